#include "engine/FolderWalker.h"

#include <windows.h>

#include <ctime>
#include <vector>

#include "app/SettingsStore.h"
#include "engine/FileStatus.h"
#include "engine/RunContext.h"
#include "engine/RunReport.h"
#include "engine/SecureDelete.h"
#include "framework/MbString.h"
#include "framework/PathText.h"
#include "framework/ScopedHandle.h"

namespace {

constexpr long long kSecondsPerHour = 3600;
constexpr long long kMinHoursOfOldFiles = 48;

bool IsDotEntry(const char* name)
{
    return (name[0] == '.' && name[1] == '\0') || (name[0] == '.' && name[1] == '.' && name[2] == '\0');
}

bool IsDirectory(const WIN32_FIND_DATAA& entry)
{
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A junction, symbolic link or mount point may lead back up the tree or out of the folder the user
// chose, so the walk never enters one.
bool IsReparsePoint(const WIN32_FIND_DATAA& entry)
{
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool IsDriveLetter(char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); }

// "\\server\share" with nothing below it.
bool IsBareShare(const std::string& folder)
{
    const std::string below = folder.substr(2);
    const size_t slash = framework::MbsFindChar(below, '\\');
    return slash == std::string::npos || framework::MbsFindChar(below.substr(slash + 1), '\\') == std::string::npos;
}

// A walk starts only at a fully qualified folder ("C:\..." or "\\server\share\..."): an empty or
// relative folder ("", "\", "Temp", "C:") would be taken from the current drive or folder, wherever
// that happens to be. A bare root is the whole drive and needs the caller's leave.
bool IsWalkableStart(const std::string& folder, const std::string& base, bool mayStartAtRoot)
{
    if (folder.size() >= 3 && IsDriveLetter(folder[0]) && folder[1] == ':' && folder[2] == '\\')
        return mayStartAtRoot || base.size() > 2;
    if (folder.size() > 2 && folder[0] == '\\' && folder[1] == '\\' && !base.empty())
        return mayStartAtRoot || !IsBareShare(base);
    return false;
}

// A joined path that does not fit the MAX_PATH buffers of the ANSI calls is passed over: a path cut
// short would name another file.
bool FitsAnsiCalls(const std::string& path) { return path.size() < MAX_PATH; }

// Asks the stop test; on a stop the walk may not continue.
bool AskStop(FolderWalkParams* params)
{
    if (!params || !params->m_pfnStop) return false;
    params->m_bAskedOnce = true;
    params->m_dwLastAsked = GetTickCount();
    params->m_bStopTestOwed = false;
    if (!params->m_pfnStop(params->m_hStopArg)) return false;
    params->m_bContinue = 0;
    return true;
}

// The stop test before a file; with a poll interval it waits for its turn.
bool StopBeforeFile(FolderWalkParams* params)
{
    if (!params || !params->m_pfnStop) return false;
    if (params->m_dwStopPollMs && params->m_bAskedOnce &&
        GetTickCount() - params->m_dwLastAsked < params->m_dwStopPollMs) {
        params->m_bStopTestOwed = true;
        return false;
    }
    return AskStop(params);
}

// Enumerates folder\pattern and calls visit(entry) for each entry the pass takes, while result
// stays 1, with the stop test before each of them. Entries the pass leaves alone (".", "..", folders
// in the file pass, files in the folder pass) are stepped over without asking: under Wine every stop
// test is a round trip to the server (about a quarter of what sending the object costs), and asking
// before entries that are not handled would not stop a walk any sooner where it matters. A failing
// FindFirstFile ends the pass quietly.
template <class Takes, class Stop, class Visit>
void EachEntry(const std::string& folder, const char* pattern, int& result, Takes takes, Stop stop,
               Visit visit)
{
    const std::string search = framework::JoinPath(folder, pattern);
    WIN32_FIND_DATAA entry;
    framework::ScopedFindHandle find(FindFirstFileA(search.c_str(), &entry));
    if (!find) return;
    do {
        if (result != 1) break;
        if (IsDotEntry(entry.cFileName) || !takes(entry)) continue;
        if (stop()) {
            result = 0;
            break;
        }
        visit(entry);
    } while (FindNextFileA(find.Get(), &entry));
}


// A scan only looks: the read-only attribute of a taken file is cleared by the clean, right before
// the file goes.
bool TakeByAttributeBits(DWORD attributes, const CRunOptions& options)
{
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    if ((attributes & FILE_ATTRIBUTE_READONLY) && !options.m_bIncludeReadOnlyFiles) return false;
    if ((attributes & FILE_ATTRIBUTE_HIDDEN) && !options.m_bIncludeHiddenFiles) return false;
    return true;
}

// Reports a taken file whose status (if any) was already read.
void ReportTakenFile(CRunContext* context, const std::string& path, int walkRootLength,
                     const CFileStatus* status, bool bApplyAgeRule)
{
    if (!status) {
        ReportFound(context, nullptr, 0);
        return;
    }
    CFoundObject object = MakeFileObject(path, *status);
    object.m_nWalkRootLength = walkRootLength;
    bool listed = true;
    if (bApplyAgeRule && OptionsOf(context).m_bDelOnlyOldTmpFiles) {
        long long hours = (static_cast<long long>(_time64(nullptr)) - status->m_tModification) / kSecondsPerHour;
        listed = hours >= kMinHoursOfOldFiles;
    }
    ReportFound(context, listed ? &object : nullptr, status->m_qwSize);
}

}  // namespace

int CFolderWalker::Walk(const std::string& folder, FolderWalkParams* params)
{
    const std::string base = framework::WithoutTrailingSeparators(folder);
    if (!IsWalkableStart(folder, base, params && params->m_bMayStartAtRoot)) return params ? params->m_bContinue : 1;
    return WalkFolder(base, params, static_cast<int>(base.size()));
}

int CFolderWalker::WalkFolder(const std::string& base, FolderWalkParams* params, int rootLength)
{
    int result = params ? params->m_bContinue : 1;
    const bool recurse = params && params->m_bRecurse;
    int files = 0;
    int folders = 0;
    std::string path;

    // Files first. Without a mask the file pass lists the folders too, and the folder pass takes
    // them from that listing instead of reading the folder a second time.
    const char* mask = params && params->m_pszMask ? params->m_pszMask : "*.*";
    const bool listsFolders = recurse && lstrcmpA(mask, "*.*") == 0;
    std::vector<std::string> subFolders;
    std::vector<std::string> folderLinks;
    const bool reportsLinks = params && params->m_pfnOnFolderLink;
    EachEntry(
        base, mask, result,
        [&](const WIN32_FIND_DATAA& entry) {
            if (!IsDirectory(entry)) return true;
            if (IsReparsePoint(entry)) {
                if (reportsLinks) folderLinks.push_back(entry.cFileName);
            } else if (listsFolders) {
                subFolders.push_back(entry.cFileName);
            }
            return false;
        },
        [&] { return StopBeforeFile(params); },
        [&](const WIN32_FIND_DATAA& entry) {
            path = framework::JoinPath(base, entry.cFileName);
            if (!FitsAnsiCalls(path)) return;
            if (params && params->m_pfnOnFile)
                params->m_pfnOnFile(params->m_pUserData, rootLength, path.c_str(), params->m_pExtra);
            ++files;
        });

    for (const std::string& name : folderLinks) {
        path = framework::JoinPath(base, name);
        if (result == 1 && FitsAnsiCalls(path))
            params->m_pfnOnFolderLink(params->m_pUserData, rootLength, path.c_str(), params->m_pExtra);
    }

    // Then the sub-folders, each reported after everything inside it.
    auto walkSubFolder = [&](const char* name) {
        const std::string child = framework::JoinPath(base, name);
        if (!FitsAnsiCalls(child)) return;
        result = WalkFolder(child, params, rootLength);
        if (params->m_pfnOnFolder)
            params->m_pfnOnFolder(params->m_pUserData, rootLength, child.c_str(), params->m_pExtra);
        ++folders;
    };
    if (recurse && result && listsFolders) {
        for (const std::string& name : subFolders) {
            if (result != 1) break;
            if (AskStop(params)) {
                result = 0;
                break;
            }
            walkSubFolder(name.c_str());
        }
    } else if (recurse && result) {
        EachEntry(
            base, "*.*", result,
            [](const WIN32_FIND_DATAA& entry) { return IsDirectory(entry) && !IsReparsePoint(entry); },
            [&] { return AskStop(params); }, [&](const WIN32_FIND_DATAA& entry) { walkSubFolder(entry.cFileName); });
    }
    // Files that went by unasked are settled before the folder is left.
    if (result == 1 && params && params->m_bStopTestOwed && AskStop(params)) result = 0;

    if (params) {
        params->m_nFiles += files;
        params->m_nFolders += folders;
    }
    return result;
}

int FolderCount(int* pnUnits, CModItem* pItem)
{
    auto* folder = static_cast<const std::string*>(pItem->m_pScanData);
    if (!folder) return 0;
    FolderWalkParams params;
    CFolderWalker::Walk(*folder, &params);
    if (pnUnits) *pnUnits = params.m_nFiles;
    return params.m_nFiles > 0 || params.m_nFolders > 0 ? 1 : 0;
}

int FolderScan(CModItem* pItem)
{
    auto* folder = static_cast<const std::string*>(pItem->m_pScanData);
    if (!folder) return 1;
    FolderWalkParams params;
    params.m_pfnStop = pItem->m_pfnIsStopRequested;
    params.m_hStopArg = pItem->m_hStopEvent;
    params.m_pfnOnFile = pItem->m_pfnOnFileFound;
    params.m_pfnOnFolder = pItem->m_pfnOnFolderFound;
    params.m_pUserData = pItem->m_pScanContext;
    params.m_dwStopPollMs = kFolderScanStopPollMs;
    return CFolderWalker::Walk(*folder, &params);
}

void FolderFinish(CModItem* pItem)
{
    delete static_cast<std::string*>(pItem->m_pScanData);
    pItem->m_pScanData = nullptr;
}

bool IsKeptByName(const CRunContext* context, const std::string& name)
{
    if (!context) return false;
    for (const std::string& entry : context->m_ppKeep)
        if (!entry.empty() && framework::MbsFind(name, entry) != std::string::npos) return true;
    return false;
}

bool TakeByAttributes(const char* pszPath, const CRunOptions& options)
{
    return TakeByAttributeBits(GetFileAttributesA(pszPath), options);
}

void ReportFoundFile(CRunContext* context, const std::string& path, bool bApplyAgeRule, int walkRootLength)
{
    CFileStatus status;
    bool readable = ReadFileStatus(path, status);
    ReportTakenFile(context, path, walkRootLength, readable ? &status : nullptr, bApplyAgeRule);
}

int OnFileFound(void* pContext, int nWalkRootLength, const char* pszPath, void*)
{
    auto* context = static_cast<CRunContext*>(pContext);
    const std::string path = pszPath;
    const std::string name = framework::NameOfPath(path);
    SetLine(context, name);
    if (IsKeptByName(context, name)) return 1;

    // One query gives both the attributes and the status.
    WIN32_FILE_ATTRIBUTE_DATA data;
    bool readable = GetFileAttributesExA(pszPath, GetFileExInfoStandard, &data) != 0;
    DWORD attributes = readable ? data.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
    if (TakeByAttributeBits(attributes, OptionsOf(context))) {
        CFileStatus status;
        if (readable) status = FileStatusOf(data);
        ReportTakenFile(context, path, nWalkRootLength, readable ? &status : nullptr, true);
    }
    AdvanceBars(context);
    return 1;
}

int OnFolderFound(void* pContext, int, const char* pszPath, void*)
{
    auto* context = static_cast<CRunContext*>(pContext);
    if (TakeByAttributes(pszPath, OptionsOf(context))) ReportFolder(context, pszPath);
    return 1;
}
