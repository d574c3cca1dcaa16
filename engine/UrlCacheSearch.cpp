#include "engine/UrlCacheSearch.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/MbString.h"

namespace {

CUrlCacheApi g_api = RealUrlCacheApi();

// The pattern that selects a container, or none for the search that WinINet starts without one
// (the content container; Wine walks every container for it).
struct ContainerPattern {
    bool m_bNone;
    std::string m_strPattern;
};

const char kCookiePrefix[] = "Cookie:";
const char kHistoryPrefix[] = "Visited:";
const char kEveryContainer[] = "*.*";

std::vector<ContainerPattern> ContainersOf(const char* pattern)
{
    if (!pattern) return {{true, ""}};
    if (std::string(pattern) == kEveryContainer)
        return {{true, ""}, {false, kCookiePrefix}, {false, kHistoryPrefix}};
    if (framework::MbsEqualNoCase(pattern, kCookiePrefix)) return {{false, kCookiePrefix}};
    if (framework::MbsEqualNoCase(pattern, kHistoryPrefix)) return {{false, kHistoryPrefix}};
    return {{false, pattern}};
}

// One search of this layer: the containers still to walk, the platform search of the current one
// and the URLs served so far.
struct Search {
    std::vector<ContainerPattern> m_containers;
    size_t m_nNextContainer = 0;
    HANDLE m_hPlatform = nullptr;
    std::set<std::string> m_served;

    ~Search() { ClosePlatform(); }

    void ClosePlatform()
    {
        if (!m_hPlatform) return;
        DWORD error = GetLastError();
        g_api.pfnFindClose(m_hPlatform);
        SetLastError(error);
        m_hPlatform = nullptr;
    }

    // The next entry not served yet, into the caller's buffer of *size bytes. A buffer that is too
    // small leaves the search where it is, so the caller's retry yields the same entry.
    bool Fetch(INTERNET_CACHE_ENTRY_INFOA* entry, DWORD* size)
    {
        const DWORD capacity = *size;
        for (;;) {
            DWORD needed = capacity;
            if (!m_hPlatform) {
                if (m_nNextContainer >= m_containers.size()) {
                    SetLastError(ERROR_NO_MORE_ITEMS);
                    return false;
                }
                const ContainerPattern& container = m_containers[m_nNextContainer];
                HANDLE found = g_api.pfnFindFirst(container.m_bNone ? nullptr : container.m_strPattern.c_str(),
                                                  entry, &needed);
                if (!found) {
                    if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) return TooSmall(size, needed);
                    ++m_nNextContainer;  // an empty or missing container
                    continue;
                }
                m_hPlatform = found;
                ++m_nNextContainer;
            } else if (!g_api.pfnFindNext(m_hPlatform, entry, &needed)) {
                if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) return TooSmall(size, needed);
                ClosePlatform();
                continue;
            }
            if (IsNew(entry)) {
                *size = needed;
                return true;
            }
        }
    }

    static bool TooSmall(DWORD* size, DWORD needed)
    {
        *size = needed;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return false;
    }

    bool IsNew(const INTERNET_CACHE_ENTRY_INFOA* entry)
    {
        if (!entry->lpszSourceUrlName) return true;
        return m_served.insert(entry->lpszSourceUrlName).second;
    }
};

Search* SearchOf(HANDLE handle) { return static_cast<Search*>(handle); }

}  // namespace

const CUrlCacheApi& RealUrlCacheApi()
{
    static const CUrlCacheApi real = {FindFirstUrlCacheEntryA, FindNextUrlCacheEntryA, FindCloseUrlCache,
                                      DeleteUrlCacheEntryA};
    return real;
}

const CUrlCacheApi& GetUrlCacheApi() { return g_api; }

void SetUrlCacheApiForTesting(const CUrlCacheApi& api) { g_api = api; }

HANDLE UrlCacheFindFirst(const char* pattern, INTERNET_CACHE_ENTRY_INFOA* entry, DWORD* size)
{
    if (!entry || !size) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto search = std::make_unique<Search>();
    search->m_containers = ContainersOf(pattern);
    if (!search->Fetch(entry, size)) return nullptr;  // the error stays for the caller
    return search.release();
}

BOOL UrlCacheFindNext(HANDLE search, INTERNET_CACHE_ENTRY_INFOA* entry, DWORD* size)
{
    if (!search || !entry || !size) {
        SetLastError(search ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return SearchOf(search)->Fetch(entry, size) ? TRUE : FALSE;
}

BOOL UrlCacheFindClose(HANDLE search)
{
    if (!search) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete SearchOf(search);
    return TRUE;
}

BOOL UrlCacheDeleteEntry(const char* url) { return g_api.pfnDeleteEntry(url); }
