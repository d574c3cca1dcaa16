#include "shredder/ProtectedFolders.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <vector>

#include "framework/MbString.h"
#include "framework/PathText.h"

namespace shredder {
namespace {

struct CProtectedFolder {
    std::string m_strFolder;
    const char* m_pszWhat;
    bool m_bContentsToo;  // the system's own files: nothing inside may be shredded either
};

std::string ShellFolder(int csidl)
{
    char folder[MAX_PATH] = "";
    return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder)) ? FullPathOf(folder) : "";
}

std::vector<CProtectedFolder> ProtectedFolders(const std::string& installedDir)
{
    std::vector<CProtectedFolder> folders;
    auto add = [&](const std::string& folder, const char* what, bool contentsToo = false) {
        if (!folder.empty()) folders.push_back({folder, what, contentsToo});
    };
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    add(FullPathOf(windows), "Windows 文件夹", true);
    for (int csidl : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROGRAM_FILES_COMMONX86})
        add(ShellFolder(csidl), "程序文件夹");
    add(ShellFolder(CSIDL_PROFILE), "用户配置文件文件夹");
    if (!installedDir.empty()) add(FullPathOf(installedDir), "Quillon 的安装文件夹");
    return folders;
}

// The folder itself, or a folder that holds it.
bool IsOrHolds(const std::string& path, const std::string& folder)
{
    return framework::MbsEqualNoCase(path, folder) || framework::MbsStartsWithNoCase(folder, path + "\\");
}

std::string Refusal(const std::string& path, const char* what)
{
    return framework::Format("不能粉碎“%s”：它是或包含%s。", path.c_str(), what);
}

std::string RefusalInside(const std::string& path, const char* what)
{
    return framework::Format("不能粉碎“%s”：它位于%s中。", path.c_str(), what);
}

}  // namespace

std::string FullPathOf(const std::string& path)
{
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full) return "";
    return PathIsRootA(full) ? std::string(full) : framework::WithoutTrailingSeparators(full);
}

std::string RefusalOf(const std::string& fullPath, const std::string& installedDir)
{
    if (PathIsRootA(fullPath.c_str())) return Refusal(fullPath, "驱动器的根文件夹");
    for (const CProtectedFolder& folder : ProtectedFolders(installedDir)) {
        if (IsOrHolds(fullPath, folder.m_strFolder)) return Refusal(fullPath, folder.m_pszWhat);
        if (folder.m_bContentsToo && framework::MbsStartsWithNoCase(fullPath, folder.m_strFolder + "\\"))
            return RefusalInside(fullPath, folder.m_pszWhat);
    }
    // Every user's profile lies beside this user's: each of them is a profile root too.
    const std::string profile = ShellFolder(CSIDL_PROFILE);
    if (!profile.empty() && framework::MbsEqualNoCase(framework::FolderOfPath(fullPath), framework::FolderOfPath(profile)))
        return Refusal(fullPath, "用户配置文件文件夹");
    return "";
}

}  // namespace shredder
