#include "engine/IECacheItems.h"

#include "app/SettingsStore.h"
#include "engine/FileStatus.h"
#include "engine/RunReport.h"
#include "engine/SecureDelete.h"
#include "engine/UrlCacheEnum.h"
#include "engine/UrlCacheSearch.h"
#include "framework/MbString.h"

namespace {


CUrlCacheEnum* EnumeratorOf(const CModItem* pItem) { return static_cast<CUrlCacheEnum*>(pItem->m_pScanData); }

std::string AfterFirstColon(const std::string& url)
{
    size_t colon = framework::MbsFindChar(url, ':');
    return colon == std::string::npos ? url : url.substr(colon + 1);
}

// "http://host/page" shows as "host/".
std::string OrdinaryEntryText(const std::string& url)
{
    std::string text = framework::MbsTrimLeftChar(AfterFirstColon(url), '/');
    size_t slash = framework::MbsFindChar(text, '/');
    return slash == std::string::npos ? text : text.substr(0, slash + 1);
}


// The record of an entry whose local file can be read: the file with the entry's URL as its name.
CFoundObject LocalFileObject(const char* pszLocalFile, const char* pszUrl, int nParam, const CFileStatus& status)
{
    CFoundObject object;
    object.m_strPath = pszLocalFile;
    object.m_strName = pszUrl ? pszUrl : "";
    object.m_dwSize = static_cast<DWORD>(status.m_qwSize);
    object.m_nKind = kObjFile;
    object.m_nParam = nParam;
    object.m_pStatus = &status;
    object.m_pfnClean = DeleteCacheEntry;
    return object;
}

// Lists the local file of an entry; an entry without a file name, or whose file cannot be read,
// is counted as found but not listed.
void ReportEntryFile(CRunContext* context, const char* pszLocalFile, const char* pszUrl, int nParam)
{
    CFileStatus status;
    if (!pszLocalFile || !*pszLocalFile || !ReadFileStatus(pszLocalFile, status)) {
        ReportFound(context, nullptr, 0);
        return;
    }
    CFoundObject object = LocalFileObject(pszLocalFile, pszUrl, nParam, status);
    ReportFound(context, &object, status.m_qwSize);
}

void ReportUrlHistoryEntry(CRunContext* context, const char* pszUrl)
{
    CFoundObject object;
    object.m_strPath = pszUrl ? pszUrl : "";
    object.m_strName = object.m_strPath;
    object.m_nKind = kObjTypedUrl;
    object.m_nParam = kCacheCategoryUrlHistory;
    object.m_pfnClean = DeleteCacheEntry;
    ReportFound(context, &object, 0);
}

}  // namespace

int CachePrepare(CModItem* pItem)
{
    if (pItem->m_pScanData) return 0;
    pItem->m_pScanData = new CUrlCacheEnum();
    return 1;
}

int CacheCount(int* pnUnits, CModItem* pItem)
{
    CUrlCacheEnum counter;
    int count = 0;
    for (bool more = counter.Open(kEveryCacheEntry); more; more = counter.Next()) {
        if (counter.IsCategory(pItem->m_nParam)) ++count;
    }
    counter.Close();
    *pnUnits = count;
    return count != 0 ? 1 : 0;
}

void CacheFinish(CModItem* pItem)
{
    CUrlCacheEnum* enumerator = EnumeratorOf(pItem);
    if (enumerator) enumerator->Close();
    delete enumerator;
    pItem->m_pScanData = nullptr;
}

int CacheScan(CModItem* pItem)
{
    CUrlCacheEnum* enumerator = EnumeratorOf(pItem);
    if (!enumerator) return 1;
    CRunContext* context = pItem->m_pScanContext;
    int result = 1;
    for (bool more = enumerator->Open(kEveryCacheEntry); more; more = enumerator->Next()) {
        if (pItem->IsStopRequested()) {
            result = 0;
            break;
        }
        if (!enumerator->IsCategory(pItem->m_nParam)) continue;
        const char* url = enumerator->SourceUrl();
        SetLine(context, CacheEntryDisplayText(pItem->m_nParam, url ? url : ""));
        if (pItem->m_pfnOnFileFound) {
            pItem->m_pfnOnFileFound(context, pItem->m_nParam, url,
                                    const_cast<char*>(enumerator->LocalFileName()));
        }
    }
    enumerator->Close();
    return result;
}

int OnCacheEntryFound(void* pContext, int nCategory, const char* pszUrl, void* pLocalFileName)
{
    auto* context = static_cast<CRunContext*>(pContext);
    if (nCategory == kCacheCategoryUrlHistory)
        ReportUrlHistoryEntry(context, pszUrl);
    else
        ReportEntryFile(context, static_cast<const char*>(pLocalFileName), pszUrl, nCategory);
    AdvanceBars(context);
    return 1;
}

int CookieScan(CModItem* pItem)
{
    CUrlCacheEnum* enumerator = EnumeratorOf(pItem);
    if (!enumerator) return 1;
    CRunContext* context = pItem->m_pScanContext;
    std::vector<std::string> keepList;
    SettingsOf(context).ReadStringList(kOptSavedCookiesList, keepList);

    int result = 1;
    for (bool more = enumerator->Open(kEveryCacheEntry); more; more = enumerator->Next()) {
        if (pItem->IsStopRequested()) {
            result = 0;
            break;
        }
        if (!enumerator->IsCategory(kCacheCategoryCookie)) continue;
        const std::string url = enumerator->SourceUrl() ? enumerator->SourceUrl() : "";
        SetLine(context, CacheEntryDisplayText(kCacheCategoryCookie, url));
        if (IsCookieKept(CookieKeepKey(url), keepList))
            ReportIgnoredCookie(context);
        else
            ReportEntryFile(context, enumerator->LocalFileName(), url.c_str(), pItem->m_nParam);
        AdvanceBars(context);
    }
    enumerator->Close();
    return result;
}

std::string CookieKeepKey(const std::string& url)
{
    size_t at = framework::MbsFindChar(url, '@');
    if (at == std::string::npos) return url;
    return framework::MbsTrimRightChar(url.substr(at + 1), '/');
}

bool IsCookieKept(const std::string& key, const std::vector<std::string>& keepList)
{
    for (const std::string& entry : keepList) {
        if (framework::MbsEqualNoCase(key, entry)) return true;
    }
    return false;
}

std::string CacheEntryDisplayText(int category, const std::string& url)
{
    switch (category) {
    case kCacheCategoryCookie:
        return framework::MbsTrimLeftChar(AfterFirstColon(url), ' ');
    case kCacheCategoryOrdinary:
        return OrdinaryEntryText(url);
    case kCacheCategoryUrlHistory: {
        std::string text = framework::MbsTrimLeftChar(AfterFirstColon(url), ' ');
        size_t at = framework::MbsFindChar(text, '@');
        return at == std::string::npos ? text : OrdinaryEntryText(text.substr(at + 1));
    }
    default:
        return {};
    }
}

int DeleteCacheEntry(CFoundObject* pObject, CRunContext* pContext, int, int)
{
    const bool shred = pContext && pContext->m_pOptions && pContext->m_pOptions->m_bShred;
    // The file goes with the entry, so it is overwritten first; a URL-history entry has no file.
    if (pObject->m_nParam != kCacheCategoryUrlHistory && shred) ShredWithStatus(pObject->m_strPath, pContext);
    if (UrlCacheDeleteEntry(pObject->m_strName.c_str()))
        ReportDeleted(pContext, pObject->m_dwSize);
    else
        ReportNotDeleted(pContext);
    return 1;
}
