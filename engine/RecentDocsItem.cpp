#include "engine/RecentDocsItem.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "engine/OneStepItem.h"
#include "engine/RunReport.h"
#include "framework/ScopedHandle.h"

const char* const kRecentDocsText = "最近打开的文档历史";
const char* const kRecentDocsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";

namespace {

// Calls fn(full path) for every shortcut directly in the Recent folder; stops early when fn says so.
template <class Fn>
void ForEachRecentShortcut(const std::string& folder, Fn fn)
{
    if (folder.empty()) return;
    WIN32_FIND_DATAA data;
    framework::ScopedFindHandle find(FindFirstFileA((folder + "\\*.lnk").c_str(), &data));
    if (!find) return;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (!fn(folder + "\\" + data.cFileName)) return;
    } while (FindNextFileA(find.Get(), &data));
}

void DeleteRecentShortcuts(const std::string& folder)
{
    ForEachRecentShortcut(folder, [](const std::string& path) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        return true;
    });
}

bool RecentListIsEmpty(const std::string& folder)
{
    bool anyShortcut = false;
    ForEachRecentShortcut(folder, [&](const std::string&) {
        anyShortcut = true;
        return false;
    });
    if (anyShortcut) return false;
    framework::ScopedRegKey key;
    return RegOpenKeyExA(HKEY_CURRENT_USER, kRecentDocsKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS;
}

}  // namespace

std::string RecentFolder()
{
    char path[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_RECENT, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    PathRemoveBackslashA(path);
    return path;
}

int ScanRecentDocuments(CModItem* pItem)
{
    CRunContext* context = pItem->m_pScanContext;
    CompleteOneStep(context);
    CFoundObject object;
    object.m_strPath = kRecentDocsText;
    object.m_pfnClean = ClearRecentDocuments;
    ReportFound(context, &object);
    return OneStepResult(context);
}

int ClearRecentDocuments(CFoundObject*, CRunContext* pContext, int, int)
{
    SHAddToRecentDocs(SHARD_PATHA, nullptr);
    // The shell may leave the list as it was (Wine ignores the call, and a failing shell says
    // nothing), so remove its two halves ourselves and look whether anything is left.
    std::string folder = RecentFolder();
    DeleteRecentShortcuts(folder);
    SHDeleteKeyA(HKEY_CURRENT_USER, kRecentDocsKey);
    if (RecentListIsEmpty(folder))
        ReportDeletedUnsized(pContext, 1);
    else
        ReportNotDeleted(pContext);
    return 1;
}
