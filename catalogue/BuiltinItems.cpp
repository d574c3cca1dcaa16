#include "catalogue/BuiltinItems.h"

#include "engine/AutoCompleteItem.h"
#include "engine/ClipboardItem.h"
#include "engine/FolderWalker.h"
#include "engine/HistoryContainerItem.h"
#include "engine/IECacheItems.h"
#include "engine/NetscapeItems.h"
#include "engine/RecentDocsItem.h"
#include "engine/RecycleBinItem.h"
#include "engine/RegistryKeyItems.h"
#include "engine/TempFolderItem.h"

namespace {

constexpr bool kOneStep = true;
constexpr bool kThreeSteps = false;

// Item parameter of the three-step Internet Explorer cache items: which part of the URL cache.
constexpr int kCacheCookies = 1;
constexpr int kCacheEntries = 2;
constexpr int kCacheUrlHistory = 3;

}  // namespace

// The functions are wired here, row by row, by the engine families that implement them:
//   - Windows and disk items (recent documents, Find/Search and Run histories, clipboard, temporary
//     folder, Recycle Bin),
//   - the folder walk (folder count and scan, the standard file and folder callbacks),
//   - the Internet Explorer items (URL cache, containers, auto-complete data),
//   - the Netscape items (profile cookies, cache, histories).
// Columns: ScanAll, Prepare, Count, Scan, Finish, OnFileFound, OnFolderFound.
const CBuiltinItem kBuiltinItems[kBuiltinItemCount] = {
    // 1100: Windows items, one step.
    {"最近的文档", "最近打开的文档列表。", 0, 0, kOneStep, 0,
     {ScanRecentDocuments, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}},
    // 1101: Windows items, one step.
    {"查找文档与搜索助手", "查找文档与搜索助手。", 0, 1, kOneStep, 0,
     {ScanFindHistory, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}},
    // 1102: Windows items, one step.
    {"运行程序历史", "运行程序历史。", 0, 2, kOneStep, 0,
     {ScanRunHistory, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}},
    // 1103: Windows items, one step; the folder walk's standard folder callback.
    {"剪贴板", "剪贴板内容。", 1, 3, kOneStep, 0,
     {ScanClipboard, nullptr, nullptr, nullptr, nullptr, nullptr, OnFolderFound}},
    // 1104: three steps: the temporary-folder prepare (Windows items), then the folder walk's count,
    // scan and finish with the standard file callback.
    {"临时文件目录", "临时文件目录的内容。", 1, 4, kThreeSteps, 0,
     {nullptr, TempFolderPrepare, FolderCount, FolderScan, FolderFinish, OnFileFound, nullptr}},
    // 1105: Windows items, one step.
    {"回收站", "回收站内容。", 1, 5, kOneStep, 0,
     {ScanRecycleBin, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}},
    // 1106: Internet Explorer items, three steps over the cookies of the URL cache.
    {"Internet Explorer Cookies", "Cookies 文件是小块的文本信息，由网站设置。", 10, 6, kThreeSteps,
     kCacheCookies,
     {nullptr, CachePrepare, CacheCount, CookieScan, CacheFinish, OnCacheEntryFound, nullptr}},
    // 1107: Internet Explorer items, three steps over the ordinary cache entries.
    {"Internet Explorer 临时 Internet 文件", "将你已访问的网页保存在缓存中以便下次更快的访问。", 10, 7,
     kThreeSteps, kCacheEntries,
     {nullptr, CachePrepare, CacheCount, CacheScan, CacheFinish, OnCacheEntryFound, nullptr}},
    // 1108: Internet Explorer items, three steps over the history containers.
    {"Internet Explorer 已访问的页面历史", "已访问的网页历史。", 10, 8, kThreeSteps, 0,
     {nullptr, ContainerPrepare, ContainerCount, ContainerScan, ContainerFinish, OnCachePathValue, nullptr}},
    // 1109: Internet Explorer items, as 1107 with the URL history of the cache.
    {"Internet Explorer 已输入的 URL 历史", "已输入的 URL 历史。", 10, 9, kThreeSteps, kCacheUrlHistory,
     {nullptr, CachePrepare, CacheCount, CacheScan, CacheFinish, OnCacheEntryFound, nullptr}},
    // 1110: Internet Explorer items, one step.
    {"Internet Explorer 自动完成表单数据", "在网页论坛中输入的信息。", 10, 9, kOneStep, 0,
     {ScanAutoComplete, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}},
    // 1111: Netscape items, one step; the folder walk's standard folder callback.
    {"Netscape Navigator Cookies", "Netscape Navigator Cookies", 11, 16, kOneStep, 0,
     {ScanNetscapeCookies, nullptr, nullptr, nullptr, nullptr, nullptr, OnFolderFound}},
    // 1112: three steps: Netscape cache prepare (Netscape items), then the temporary folder's count,
    // scan and finish and the standard file callback.
    {"Netscape Navigator 临时 Internet 文件", "Netscape Navigator 临时 Internet 文件。", 11, 16, kThreeSteps, 0,
     {nullptr, NetscapeCachePrepare, FolderCount, FolderScan, FolderFinish, OnFileFound, nullptr}},
    // 1113: Netscape items, one step.
    {"Netscape Navigator 已访问的页面历史", "Netscape Navigator 已访问的页面历史。", 11, 16, kOneStep, 0,
     {ScanNetscapeHistory, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}},
    // 1114: Netscape items, one step.
    {"Netscape Navigator 已输入的 URL 历史", "Netscape Navigator 已输入的 URL 历史。", 11, 16, kOneStep, 0,
     {ScanNetscapeTypedUrls, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}},
};

void SetUpBuiltinItem(CModItem& item, int index)
{
    const CBuiltinItem& row = kBuiltinItems[index];
    item.m_nId = kFirstBuiltinId + index;
    item.m_bIsPlugin = false;
    item.m_strTitle = row.pszTitle;
    item.m_strDescription = row.pszDescription;
    item.m_nReference = row.nReference;
    item.m_nImage = row.nImage;
    item.m_bScanInOneStep = row.bScanInOneStep;
    item.m_nParam = row.nParam;
    item.m_pfnScanAll = row.functions.pfnScanAll;
    item.m_pfnPrepare = row.functions.pfnPrepare;
    item.m_pfnCount = row.functions.pfnCount;
    item.m_pfnScan = row.functions.pfnScan;
    item.m_pfnFinish = row.functions.pfnFinish;
    item.m_pfnOnFileFound = row.functions.pfnOnFileFound;
    item.m_pfnOnFolderFound = row.functions.pfnOnFolderFound;
}
