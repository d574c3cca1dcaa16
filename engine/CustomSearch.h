// The search of the custom items (special key "PROCESS_RULES"): the first checked custom item of a
// scan walks the custom folder once for all of them, matching file names against the masks of
// every checked custom item, and takes the others off the scan's list.
#pragma once

#include <string>
#include <vector>

#include "catalogue/ModItem.h"
#include "catalogue/ModList.h"
#include "engine/RunContext.h"

extern const char* const kCustomFolderFallback; // "C:\"
// Files in any folder of this name are never taken by the custom search.
extern const char* const kCustomSkippedFolder;  // "Local Settings\Temp"

// What the custom file callback receives as user data.
struct CCustomSearchData {
    CRunContext* m_pContext = nullptr;
    const std::string* m_pPatterns = nullptr;  // each a PathMatchSpecA pattern, masks split by ';'
    int m_nPatterns = 0;
};

// One-step function of every custom item. 0 when a stop was requested before or during the walk.
int CustomSearch(CModItem* pItem);

// The masks of every checked custom item in catalogue order (items without file rules add none).
// Each checked custom item's identifier is cleared in m_pCheckedIds (its first entry), so that the
// scanning thread does not run the search again for it.
std::vector<std::string> CollectCustomPatterns(CModList& catalogue);

// The custom folder as the user set it: the CustomFolderToScan setting, or "C:\" when none was ever
// stored (a fresh account; the items dialog shows it). Empty when the value cannot be read as text.
std::string CustomFolderSetting();

// The folder the custom items search: CustomFolderSetting() when it exists. A stored folder that is
// missing (an unplugged drive) or unreadable gives "", and the search then finds nothing: it never
// widens to the whole system drive.
std::string CustomFolderToScan();

// File callback of the custom search; pData is a CCustomSearchData. Returns 1.
int OnCustomFileFound(void* pData, int nWalkRootLength, const char* pszPath, void* pExtra);
