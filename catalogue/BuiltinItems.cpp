#include "catalogue/BuiltinItems.h"

namespace {

constexpr bool kOneStep = true;
constexpr bool kThreeSteps = false;

}  // namespace

const CBuiltinItem kBuiltinItems[kBuiltinItemCount] = {
    // 1100
    {"最近的文档", "最近打开的文档列表。", 0, 0, kOneStep, 0},
    // 1101
    {"查找文档与搜索助手", "查找文档与搜索助手。", 0, 1, kOneStep, 0},
    // 1102
    {"运行程序历史", "运行程序历史。", 0, 2, kOneStep, 0},
    // 1103
    {"剪贴板", "剪贴板内容。", 1, 3, kOneStep, 0},
    // 1104
    {"临时文件目录", "临时文件目录的内容。", 1, 4, kThreeSteps, 0},
    // 1105
    {"回收站", "回收站内容。", 1, 5, kOneStep, 0},
    // 1106
    {"Internet Explorer Cookies", "Cookies 文件是小块的文本信息，由网站设置。", 10, 6, kThreeSteps, kCacheCookies},
    // 1107
    {"Internet Explorer 临时 Internet 文件", "将你已访问的网页保存在缓存中以便下次更快的访问。", 10, 7, kThreeSteps, kCacheEntries},
    // 1108
    {"Internet Explorer 已访问的页面历史", "已访问的网页历史。", 10, 8, kThreeSteps, 0},
    // 1109
    {"Internet Explorer 已输入的 URL 历史", "已输入的 URL 历史。", 10, 9, kThreeSteps, kCacheUrlHistory},
    // 1110
    {"Internet Explorer 自动完成表单数据", "在网页论坛中输入的信息。", 10, 9, kOneStep, 0},
    // 1111
    {"Netscape Navigator Cookies", "Netscape Navigator Cookies", 11, 16, kOneStep, 0},
    // 1112
    {"Netscape Navigator 临时 Internet 文件", "Netscape Navigator 临时 Internet 文件。", 11, 16, kThreeSteps, 0},
    // 1113
    {"Netscape Navigator 已访问的页面历史", "Netscape Navigator 已访问的页面历史。", 11, 16, kOneStep, 0},
    // 1114
    {"Netscape Navigator 已输入的 URL 历史", "Netscape Navigator 已输入的 URL 历史。", 11, 16, kOneStep, 0},
};

void SetUpBuiltinItem(CModItem& item, int index, const CItemFunctions& functions)
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
    item.m_pfnScanAll = functions.pfnScanAll;
    item.m_pfnPrepare = functions.pfnPrepare;
    item.m_pfnCount = functions.pfnCount;
    item.m_pfnScan = functions.pfnScan;
    item.m_pfnFinish = functions.pfnFinish;
    item.m_pfnOnFileFound = functions.pfnOnFileFound;
    item.m_pfnOnFolderFound = functions.pfnOnFolderFound;
}
