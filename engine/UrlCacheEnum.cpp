#include "engine/UrlCacheEnum.h"

#include "engine/UrlCacheSearch.h"

const char* const kEveryCacheEntry = "*.*";

CUrlCacheEnum::CUrlCacheEnum() { Allocate(kInitialBufferSize); }

CUrlCacheEnum::~CUrlCacheEnum() { Close(); }

void CUrlCacheEnum::Allocate(DWORD size)
{
    // The entry structure lies at the start of the buffer, so it needs at least its own size.
    if (size < sizeof(INTERNET_CACHE_ENTRY_INFOA)) size = sizeof(INTERNET_CACHE_ENTRY_INFOA);
    m_pEntry.reset(new BYTE[size]());
    m_dwSize = size;
    Entry()->dwStructSize = size;
}

void CUrlCacheEnum::Free()
{
    m_pEntry.reset();
    m_dwSize = 0;
}

INTERNET_CACHE_ENTRY_INFOA* CUrlCacheEnum::Entry() const
{
    return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(m_pEntry.get());
}

bool CUrlCacheEnum::Open(const char* pattern)
{
    if (IsOpen()) return false;
    if (!m_pEntry) Allocate(kInitialBufferSize);  // a closed pass gave its buffer back
    DWORD size = m_dwSize;
    m_hEnum = UrlCacheFindFirst(pattern, Entry(), &size);
    if (!m_hEnum && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        Allocate(size);
        size = m_dwSize;
        m_hEnum = UrlCacheFindFirst(pattern, Entry(), &size);
    }
    return IsOpen();
}

bool CUrlCacheEnum::Next()
{
    if (!IsOpen()) return false;
    Allocate(kInitialBufferSize);
    DWORD size = m_dwSize;
    if (UrlCacheFindNext(m_hEnum, Entry(), &size)) return true;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    Allocate(size);
    size = m_dwSize;
    return UrlCacheFindNext(m_hEnum, Entry(), &size) != FALSE;
}

void CUrlCacheEnum::Close()
{
    Free();
    if (m_hEnum) UrlCacheFindClose(m_hEnum);
    m_hEnum = nullptr;
}

const char* CUrlCacheEnum::SourceUrl() const { return IsOpen() && m_pEntry ? Entry()->lpszSourceUrlName : nullptr; }

const char* CUrlCacheEnum::LocalFileName() const
{
    return IsOpen() && m_pEntry ? Entry()->lpszLocalFileName : nullptr;
}

int CUrlCacheEnum::GetCacheCategory() const
{
    if (!IsOpen() || !m_pEntry) return kCacheCategoryNone;
    DWORD type = Entry()->CacheEntryType;
    if (type & COOKIE_CACHE_ENTRY) return kCacheCategoryCookie;
    if (type & URLHISTORY_CACHE_ENTRY) return kCacheCategoryUrlHistory;
    return kCacheCategoryOrdinary;
}

bool CUrlCacheEnum::IsCategory(int category) const
{
    switch (category) {
    case kCacheCategoryCookie:
    case kCacheCategoryOrdinary:
    case kCacheCategoryUrlHistory:
        return GetCacheCategory() == category;
    default:
        return false;
    }
}
