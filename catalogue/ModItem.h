// One cleanable item of the catalogue: identifier, texts, image, group reference, what a plug-in
// module supplies, and the function slots that the scanning thread calls to find its objects.
// Cleaning never calls items: every found object carries its own cleaning function.
#pragma once

#include <windows.h>

#include <string>

struct CRunContext;
struct CModItem;

using PFN_IS_STOP_REQUESTED = int (*)(HANDLE hStopEvent);
// Called by a folder walk for a file or folder; pContext is the run's CRunContext and
// nWalkRootLength the length of the folder the walk started from (other callers pass their own word).
using PFN_ON_FOUND = int (*)(void* pContext, int nWalkRootLength, const char* pszPath, void* pExtra);
using PFN_PREPARE = int (*)(CModItem* pItem);
using PFN_COUNT = int (*)(int* pnUnits, CModItem* pItem);
using PFN_SCAN = int (*)(CModItem* pItem);
using PFN_FINISH = void (*)(CModItem* pItem);

// The function slots of one item record, as the scanning thread calls them.
struct CItemFunctions {
    PFN_SCAN pfnScanAll;
    PFN_PREPARE pfnPrepare;
    PFN_COUNT pfnCount;
    PFN_SCAN pfnScan;
    PFN_FINISH pfnFinish;
    PFN_ON_FOUND pfnOnFileFound;
    PFN_ON_FOUND pfnOnFolderFound;
};

// What a plug-in module supplies; all flags false and all texts empty for built-ins.
struct CModPlugData {
    bool m_bHasFileRules = false;
    bool m_bHasRegRules = false;
    bool m_bHasExternalDir = false;
    bool m_bHasWarning = false;
    bool m_bHasSpecialKey = false;
    bool m_bHasDataInt = false;
    int m_nDataInt = 0;
    std::string m_strFileRules;  // every PushFileParam value, each followed by ';'
    std::string m_strRegRules;   // every PushRegParam value, each followed by ';'
    std::string m_strExternalDir;
    std::string m_strWarningText;
    std::string m_strSpecialKey;
};

struct CModItem {
    int m_nId = 0;
    CModPlugData m_PlugData;
    bool m_bIsPlugin = false;
    bool m_bScanInOneStep = false;
    int m_nReference = 0;  // category * 10 + sub-category
    // Three-step cache items: the cache category. One-step items: the progress word that the
    // scanning thread writes before the scan (checked count << 16 | position).
    int m_nParam = 0;

    PFN_IS_STOP_REQUESTED m_pfnIsStopRequested = nullptr;
    PFN_ON_FOUND m_pfnOnFileFound = nullptr;
    PFN_ON_FOUND m_pfnOnFolderFound = nullptr;
    PFN_PREPARE m_pfnPrepare = nullptr;
    PFN_COUNT m_pfnCount = nullptr;
    PFN_SCAN m_pfnScan = nullptr;
    PFN_SCAN m_pfnScanAll = nullptr;
    PFN_FINISH m_pfnFinish = nullptr;

    HANDLE m_hStopEvent = nullptr;
    CRunContext* m_pScanContext = nullptr;
    void* m_pScanData = nullptr;  // owned by the item's functions during a three-step scan

    std::string m_strDescription;
    std::string m_strTitle;
    int m_nImage = 0;

    bool IsStopRequested() const { return m_pfnIsStopRequested && m_pfnIsStopRequested(m_hStopEvent); }
};

// Category and sub-category of a group reference.
inline int CategoryOf(int reference) { return reference / 10; }
inline int SubCategoryOf(int reference) { return reference % 10; }
