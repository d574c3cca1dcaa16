// The recursive folder walk shared by every folder-based item, the standard three-step functions
// of folder-based items, and the standard file and folder callbacks that turn files into found
// objects, with the pieces of them that other file callbacks share (keep list, read-only and
// hidden rule, reporting a found file).
#pragma once

#include <string>

#include "catalogue/ModItem.h"

struct CRunContext;
struct CRunOptions;

// One walk. Counts accumulate over every folder visited.
struct FolderWalkParams {
    int m_nFiles = 0;
    int m_nFolders = 0;
    int m_bContinue = 1;  // cleared when a stop request ended the walk
    bool m_bRecurse = true;
    int (*m_pfnStop)(HANDLE) = nullptr;  // non-zero: stop
    HANDLE m_hStopArg = nullptr;
    PFN_ON_FOUND m_pfnOnFolder = nullptr;  // each sub-folder, after its contents
    PFN_ON_FOUND m_pfnOnFile = nullptr;    // each file
    // Each folder that is a reparse point (junction, symbolic link), which the walk never enters;
    // with a mask only those the mask matches.
    PFN_ON_FOUND m_pfnOnFolderLink = nullptr;
    void* m_pUserData = nullptr;           // the CRunContext, or the callback's own record
    const char* m_pszMask = nullptr;       // none means "*.*"
    // A walk never starts at an empty or relative folder, and at the root of a drive or share only
    // with this leave: for the folder the user chose to search.
    bool m_bMayStartAtRoot = false;
    void* m_pExtra = nullptr;
    // 0: the stop test runs before every entry. Otherwise it runs before a file only when this many
    // milliseconds have passed since the walk last asked, but always before a sub-folder is entered
    // and before a folder whose files went unasked is left: a stop is noticed within the interval
    // and never carried into another folder, at one test per interval instead of one per file.
    DWORD m_dwStopPollMs = 0;

    // Walk state of the stop test.
    bool m_bAskedOnce = false;
    DWORD m_dwLastAsked = 0;
    bool m_bStopTestOwed = false;  // entries went by unasked since the last test
};

class CFolderWalker {
public:
    // Files first, then the sub-folders depth-first, each reported after its contents. The stop
    // test runs before every entry the walk handles (see m_dwStopPollMs). Folders that are reparse
    // points (junctions, symbolic links, mount points) are never entered nor counted, only handed to
    // m_pfnOnFolderLink (after the folder's files), and
    // entries whose full path would not fit MAX_PATH are passed over. The callbacks get, as their
    // second argument, the length of the starting folder without trailing backslashes: the part of
    // each path below it is what the walk went down. A starting folder that is refused (see
    // m_bMayStartAtRoot) is not walked. 1 when the walk ran to its end, 0 when a stop request ended it.
    static int Walk(const std::string& folder, FolderWalkParams* params);

private:
    static int WalkFolder(const std::string& base, FolderWalkParams* params, int rootLength);
};

// Standard functions of folder-based items; the item's m_pScanData holds the folder path
// (a heap std::string) that its prepare function found.
// Counts the files below the folder: units = files; 1 when files or sub-folders exist.
int FolderCount(int* pnUnits, CModItem* pItem);
// Walks the folder with the item's stop test (polled every kFolderScanStopPollMs) and callbacks;
// 0 when stopped.
constexpr DWORD kFolderScanStopPollMs = 5;
int FolderScan(CModItem* pItem);
// Frees the folder string and resets m_pScanData.
void FolderFinish(CModItem* pItem);

// Standard callbacks: pContext is the run's CRunContext. Both return 1.
int OnFileFound(void* pContext, int nReserved, const char* pszPath, void* pExtra);
int OnFolderFound(void* pContext, int nReserved, const char* pszPath, void* pExtra);

// True when the name contains an entry of the run's file keep list (case-sensitive substring).
bool IsKeptByName(const CRunContext* context, const std::string& name);

// The read-only and hidden rule of the standard callbacks: a read-only file or folder is taken only
// with m_bIncludeReadOnlyFiles, a hidden one only with m_bIncludeHiddenFiles. Nothing on the disk
// changes. A path whose attributes cannot be read is taken (reading its status then fails).
bool TakeByAttributes(const char* pszPath, const CRunOptions& options);

// Reads the status of a taken file and reports it as found: a record of kind 1 (name, size, status,
// DeleteFoundFile) is sent with the full 64-bit size. A file whose status cannot be read is counted
// with size 0 but not listed. With bApplyAgeRule and the option m_bDelOnlyOldTmpFiles, a file
// modified less than 48 hours ago is counted but not listed.
// walkRootLength: see CFoundObject::m_nWalkRootLength.
void ReportFoundFile(CRunContext* context, const std::string& path, bool bApplyAgeRule, int walkRootLength = -1);
