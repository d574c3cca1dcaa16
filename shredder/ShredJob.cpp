#include "shredder/ShredJob.h"

#include "app/Utilities.h"
#include "engine/FolderWalker.h"
#include "engine/ScannedPath.h"
#include "engine/SecureDelete.h"
#include "framework/MbString.h"
#include "framework/ScopedHandle.h"

namespace shredder {
namespace {

// The summary names this many failures; the count says how many there were.
constexpr size_t kReportedFailures = 5;

// The system's text for an error, on one line for the summary.
std::string SystemText(DWORD error) { return framework::MbsTrim(GetSystemErrorText(error)); }

// Deletes a link through a handle that is checked to be the link itself. Deleting by name is no
// option: under Wine 8 a Unix link opens as its target (the handle lacks the reparse attribute that
// the name shows), and RemoveDirectoryA on a link to an empty folder removes that folder and keeps
// the link (measured).
bool DeleteLinkItself(const std::string& path)
{
    framework::ScopedKernelHandle link(CreateFileA(path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                   OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                                   nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!link || !GetFileInformationByHandle(link.Get(), &info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return SetFileInformationByHandle(link.Get(), FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

}  // namespace

CShredJob::CShredJob(const std::string& target, const CRunOptions& options) : m_strTarget(target), m_options(options)
{
    m_context.m_pOptions = &m_options;
}

int CShredJob::OnWalkEntry(void* job, int walkRootLength, const char* path, void*)
{
    static_cast<CShredJob*>(job)->m_entries.push_back({path, walkRootLength});
    return 1;
}

void CShredJob::List()
{
    const DWORD attributes = GetFileAttributesA(m_strTarget.c_str());
    const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                        !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (folder) {
        FolderWalkParams params;
        params.m_pfnOnFile = OnWalkEntry;
        params.m_pfnOnFolderLink = OnWalkEntry;
        params.m_pfnOnFolder = OnWalkEntry;
        params.m_pUserData = this;
        CFolderWalker::Walk(m_strTarget, &params);
    }
    m_entries.push_back({m_strTarget, -1});
}

void CShredJob::Process(size_t index)
{
    const CEntry& entry = m_entries[index];
    const std::string& path = entry.m_strPath;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        Fail(path, SystemText(GetLastError()));
    } else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        RemoveLink(path);
    } else if (!IsStillAsScanned(&m_context, path, attributes, entry.m_nWalkRootLength)) {
        // A folder above it became a link since the listing: the path now leads somewhere else.
        Fail(path, "它所在的文件夹已被替换为链接，未触动。");
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (RemoveDirectoryA(path.c_str()))
            ++m_nFolders;
        else
            Fail(path, SystemText(GetLastError()));
    } else {
        ShredOne(path, attributes);
    }
}

// A junction or symbolic link goes as itself; what it points to is never touched.
void CShredJob::RemoveLink(const std::string& path)
{
    if (DeleteLinkItself(path))
        ++m_nNamesRemoved;
    else
        Fail(path, "无法只删除此链接本身，链接和它指向的位置都未被触动。");
}

void CShredJob::ShredOne(const std::string& path, DWORD attributes)
{
    bool overwritten = false;
    const DWORD error = ShredAndDelete(path, attributes, &m_context, &overwritten);
    if (error == ERROR_SUCCESS) {
        // Not overwritten: a file with another name keeps its content there, only this name went.
        ++(overwritten ? m_nShredded : m_nNamesRemoved);
        return;
    }
    std::string reason = SystemText(error);
    if (error == ERROR_SHARING_VIOLATION && m_options.m_bDeleteAfterWinRestart)
        reason += "（将在文件释放后或重新启动 Windows 时删除）";
    Fail(path, reason);
}

void CShredJob::Fail(const std::string& path, const std::string& reason)
{
    ++m_nFailed;
    if (m_astrFirstFailures.size() < kReportedFailures) m_astrFirstFailures.push_back(path + "\r\n    " + reason);
}

std::string CShredJob::Summary(bool cancelled) const
{
    std::string text = cancelled ? "粉碎已取消。\r\n\r\n" : "粉碎已完成。\r\n\r\n";
    text += framework::Format("已粉碎的文件: %d\r\n已删除的文件夹: %d\r\n", m_nShredded, m_nFolders);
    if (m_nNamesRemoved)
        text += framework::Format("仅删除名称的链接或多名称文件（其内容未被覆盖）: %d\r\n", m_nNamesRemoved);
    text += framework::Format("无法粉碎的对象: %d\r\n", m_nFailed);
    for (const std::string& failure : m_astrFirstFailures) text += "\r\n" + failure;
    if (static_cast<size_t>(m_nFailed) > m_astrFirstFailures.size()) text += "\r\n...";
    return text;
}

}  // namespace shredder
