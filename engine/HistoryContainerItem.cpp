#include "engine/HistoryContainerItem.h"

#include <string>

#include "engine/FolderWalker.h"
#include "engine/RegTreeWalker.h"
#include "engine/RunContext.h"
#include "engine/RunReport.h"
#include "framework/MbString.h"

const char* const kExtensibleCacheKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\Cache\\Extensible Cache";

namespace {

const char kCachePathValue[] = "CachePath";
constexpr DWORD kMaxCachePathBytes = 260;

std::string* KeyPathOf(const CModItem* pItem) { return static_cast<std::string*>(pItem->m_pScanData); }

int ItemStopTest(void* pItem) { return static_cast<CModItem*>(pItem)->IsStopRequested() ? 1 : 0; }

int ForwardValue(HKEY hKey, void* pItem, const char* pszKeyPath, const char* pszValueName)
{
    auto* item = static_cast<CModItem*>(pItem);
    if (!item->m_pfnOnFileFound) return 1;
    CRegValueRef value{hKey, pszValueName};
    return item->m_pfnOnFileFound(item->m_pScanContext, 0, pszKeyPath, &value);
}

// The folder a CachePath value names; empty when it cannot be read, is no string or does not fit.
// An expandable string is expanded, since a folder with "%USERPROFILE%" in it cannot be walked.
std::string ReadCachePath(const CRegValueRef& value)
{
    char data[kMaxCachePathBytes + 1] = "";
    DWORD size = kMaxCachePathBytes;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(value.m_hKey, value.m_pszValueName, nullptr, &type, reinterpret_cast<BYTE*>(data),
                         &size) != ERROR_SUCCESS)
        return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
    data[size < kMaxCachePathBytes ? size : kMaxCachePathBytes] = '\0';
    if (type == REG_SZ) return data;
    char expanded[MAX_PATH] = "";
    DWORD length = ExpandEnvironmentStringsA(data, expanded, MAX_PATH);
    return length != 0 && length <= MAX_PATH ? expanded : "";
}

}  // namespace

int ContainerPrepare(CModItem* pItem)
{
    if (pItem->m_pScanData) return 0;
    pItem->m_pScanData = new std::string(kExtensibleCacheKey);
    return 1;
}

int ContainerCount(int* pnUnits, CModItem* pItem)
{
    const std::string* keyPath = KeyPathOf(pItem);
    *pnUnits = 0;
    if (!keyPath) return 0;
    CRegTreeWalker walker;
    int units = walker.Count(REG_EXPAND_SZ, HKEY_CURRENT_USER, keyPath->c_str());
    if (units == 0) units = walker.Count(REG_SZ, HKEY_CURRENT_USER, keyPath->c_str());
    *pnUnits = units;
    return units != 0 ? 1 : 0;
}

int ContainerScan(CModItem* pItem)
{
    const std::string* keyPath = KeyPathOf(pItem);
    if (!keyPath) return 1;
    CRegTreeWalker::Params params;
    params.m_pfnStop = ItemStopTest;
    params.m_pStopData = pItem;
    params.m_pfnOnValue = ForwardValue;
    params.m_pUserData = pItem;
    CRegTreeWalker walker(params);
    return walker.Walk(HKEY_CURRENT_USER, keyPath->c_str());
}

void ContainerFinish(CModItem* pItem)
{
    delete KeyPathOf(pItem);
    pItem->m_pScanData = nullptr;
}

int OnCachePathValue(void* pContext, int, const char* pszKeyPath, void* pValue)
{
    auto* context = static_cast<CRunContext*>(pContext);
    const auto* value = static_cast<const CRegValueRef*>(pValue);
    if (!value || !value->m_pszValueName || !framework::MbsEqualNoCase(value->m_pszValueName, kCachePathValue))
        return 1;
    std::string folder = ReadCachePath(*value);
    SetLine(context, pszKeyPath ? pszKeyPath : "");
    if (!folder.empty()) {
        // The container's own files only, and no stop test: a container is small and walked whole.
        FolderWalkParams walk;
        walk.m_bRecurse = false;
        walk.m_pfnOnFile = OnFileFound;
        walk.m_pUserData = context;
        CFolderWalker::Walk(folder, &walk);
    }
    AdvanceBars(context);
    return 1;
}
