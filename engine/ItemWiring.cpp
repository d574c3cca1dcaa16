#include "engine/ItemWiring.h"

#include "engine/AutoCompleteItem.h"
#include "engine/ClipboardItem.h"
#include "engine/CookiesFile.h"
#include "engine/CustomSearch.h"
#include "engine/FolderWalker.h"
#include "engine/HistoryContainerItem.h"
#include "engine/IECacheItems.h"
#include "engine/NetscapeItems.h"
#include "engine/PluginRuleScan.h"
#include "engine/RecentDocsItem.h"
#include "engine/RecycleBinItem.h"
#include "engine/RegistryKeyItems.h"
#include "engine/TempFolderItem.h"

namespace {

// The custom search walks with this folder callback: custom items list files only, never folders.
int IgnoreFolder(void*, int, const char*, void*) { return 1; }

}  // namespace

// The functions are wired here, row by row, by the engine families that implement them:
//   - Windows and disk items (recent documents, Find/Search and Run histories, clipboard, temporary
//     folder, Recycle Bin),
//   - the folder walk (folder count and scan, the standard file and folder callbacks),
//   - the Internet Explorer items (URL cache, containers, auto-complete data),
//   - the Netscape items (profile cookies, cache, histories).
// Columns: ScanAll, Prepare, Count, Scan, Finish, OnFileFound, OnFolderFound.
const CItemFunctions kBuiltinItemFunctions[kBuiltinItemCount] = {
    // 1100: Windows items, one step.
    {ScanRecentDocuments, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    // 1101: Windows items, one step.
    {ScanFindHistory, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    // 1102: Windows items, one step.
    {ScanRunHistory, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    // 1103: Windows items, one step; the folder walk's standard folder callback.
    {ScanClipboard, nullptr, nullptr, nullptr, nullptr, nullptr, OnFolderFound},
    // 1104: three steps: the temporary-folder prepare (Windows items), then the folder walk's count,
    // scan and finish with the standard file callback.
    {nullptr, TempFolderPrepare, FolderCount, FolderScan, FolderFinish, OnFileFound, nullptr},
    // 1105: Windows items, one step.
    {ScanRecycleBin, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    // 1106: Internet Explorer items, three steps over the cookies of the URL cache.
    {nullptr, CachePrepare, CacheCount, CookieScan, CacheFinish, OnCacheEntryFound, nullptr},
    // 1107: Internet Explorer items, three steps over the ordinary cache entries.
    {nullptr, CachePrepare, CacheCount, CacheScan, CacheFinish, OnCacheEntryFound, nullptr},
    // 1108: Internet Explorer items, three steps over the history containers.
    {nullptr, ContainerPrepare, ContainerCount, ContainerScan, ContainerFinish, OnCachePathValue, nullptr},
    // 1109: Internet Explorer items, as 1107 with the URL history of the cache.
    {nullptr, CachePrepare, CacheCount, CacheScan, CacheFinish, OnCacheEntryFound, nullptr},
    // 1110: Internet Explorer items, one step.
    {ScanAutoComplete, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    // 1111: Netscape items, one step; the folder walk's standard folder callback.
    {ScanNetscapeCookies, nullptr, nullptr, nullptr, nullptr, nullptr, OnFolderFound},
    // 1112: three steps: Netscape cache prepare (Netscape items), then the temporary folder's count,
    // scan and finish and the standard file callback.
    {nullptr, NetscapeCachePrepare, FolderCount, FolderScan, FolderFinish, OnFileFound, nullptr},
    // 1113: Netscape items, one step.
    {ScanNetscapeHistory, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    // 1114: Netscape items, one step.
    {ScanNetscapeTypedUrls, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
};

const CPluginItemFunctions kPluginItemFunctions = {
    /* pfnRuleScan */ PluginRuleScan,
    /* pfnOnFileFound */ OnFileFound,
    /* pfnOnFolderFound */ OnFolderFound,
    /* pfnOnCookiesFile */ ScanCookiesFile,
    /* pfnCustomSearch */ CustomSearch,
    /* pfnOnCustomFile */ OnCustomFileFound,
    /* pfnOnCustomFolder */ IgnoreFolder,
};

void WireItemFunctions()
{
    SetBuiltinItemFunctions(kBuiltinItemFunctions);
    SetPluginItemFunctions(kPluginItemFunctions);
}
