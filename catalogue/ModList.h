// The catalogue: every item in one array (the 15 built-ins, then the modules of the four plug-in
// data files in file order), plus what the worker threads share with the main window: the main
// window handle, the checked identifiers, the busy flag and the stop event. Its one instance is
// g_theScanningThreadsParam; it is built and rebuilt on the user-interface thread only, never while
// a worker runs.
#pragma once

#include "catalogue/ModItem.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

constexpr int kBuiltinItemCount = 15;
constexpr int kFirstBuiltinId = 1100;

// The plug-in passes over one data file, filled in by the plug-in file reader. The selection pass
// returns the ordinal numbers of the accepted modules' sections; the fill pass sets up the items
// from pItems on, one per accepted section.
struct CPluginFilePasses {
    std::vector<int> (*pfnSelect)(const std::string& path) = nullptr;
    void (*pfnFill)(const std::string& path, const std::vector<int>& sections, CModItem* pItems) = nullptr;
};
// Installs other passes (tests); by default the data-file reader of PluginFilePasses.h runs. Empty
// passes leave the catalogue with the built-ins alone.
void SetPluginFilePasses(const CPluginFilePasses& passes);
const CPluginFilePasses& GetPluginFilePasses();

// The functions that every plug-in item receives, chosen by its special key: the rule scan with the
// standard walk callbacks, the cookies-file callback for "NETS_FIREFOXS_COOKIES", and the custom
// search with its callbacks for "PROCESS_RULES". The engine hands them over (WireItemFunctions);
// tests may swap them.
struct CPluginItemFunctions {
    PFN_SCAN pfnRuleScan = nullptr;
    PFN_ON_FOUND pfnOnFileFound = nullptr;
    PFN_ON_FOUND pfnOnFolderFound = nullptr;
    PFN_ON_FOUND pfnOnCookiesFile = nullptr;
    PFN_SCAN pfnCustomSearch = nullptr;
    PFN_ON_FOUND pfnOnCustomFile = nullptr;
    PFN_ON_FOUND pfnOnCustomFolder = nullptr;
};
void SetPluginItemFunctions(const CPluginItemFunctions& functions);
const CPluginItemFunctions& GetPluginItemFunctions();
// The functions of the built-in items: kBuiltinItemCount rows, row i for item 1100 + i.
void SetBuiltinItemFunctions(const CItemFunctions* rows);

// The special keys that change a plug-in item's functions (compared without regard to case).
extern const char* const kSpecialKeyFirefoxCookies;  // "NETS_FIREFOXS_COOKIES"
extern const char* const kSpecialKeyCustomRules;     // "PROCESS_RULES"

// Stop test of every item function: 1 when h is set and signalled.
int IsStopRequested(HANDLE h);

class CModList {
public:
    CModList();
    ~CModList();
    CModList(const CModList&) = delete;
    CModList& operator=(const CModList&) = delete;

    // (Re)builds the whole catalogue from the built-in table and the four plug-in data files; a
    // module whose identifier (other than 0) an earlier item holds is left out with the
    // damaged-module message. Invalidates every item pointer and clears the checked identifiers.
    // Refused while a worker runs (m_bBusy), since the worker reads the items.
    void Build();
    // First item with this identifier, or null.
    CModItem* FindById(int id) const;
    // Item at a zero-based index, or null outside 0..m_nCount-1.
    CModItem* GetAt(int index);
    const CModItem* GetAt(int index) const { return const_cast<CModList*>(this)->GetAt(index); }

    int m_nCount = 0;
    int m_nLoaded = 0;
    std::unique_ptr<CModItem[]> m_pItems;
    std::atomic<bool> m_bBusy{false};
    std::unique_ptr<int[]> m_pCheckedIds;
    int m_nCheckedCount = 0;
    HWND m_hwnd = nullptr;
    HANDLE m_evStop = nullptr;  // manual reset, created not signalled
};

extern CModList g_theScanningThreadsParam;
