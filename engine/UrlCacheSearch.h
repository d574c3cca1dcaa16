// Searching and deleting entries of the WinINet URL cache with the search patterns the items use.
// WinINet picks one cache container by the exact prefix of a pattern ("Cookie:", "Visited:", none
// for the content container), and Wine finds nothing at all for "*.*" or "cookie:". This layer
// gives the patterns one meaning wherever the program runs:
//   "*.*"                 every container - content, cookies, history - in one pass; an entry
//                         that two containers (or two searches) yield is served once;
//   "cookie:", "visited:" the cookie or the history container, whatever the letter case;
//   anything else         passed on as it is.
// The calls keep the contract of FindFirstUrlCacheEntryA and its partners: a buffer that is too
// small fails with ERROR_INSUFFICIENT_BUFFER and the size needed, and the same call with a larger
// buffer then yields that same entry.
//
// Below the layer sits the platform seam: a table of the four WinINet calls, the real ones by
// default, which tests may replace.
#pragma once

#include <windows.h>
#include <wininet.h>

struct CUrlCacheApi {
    HANDLE(WINAPI* pfnFindFirst)(LPCSTR pattern, LPINTERNET_CACHE_ENTRY_INFOA entry, LPDWORD size);
    BOOL(WINAPI* pfnFindNext)(HANDLE search, LPINTERNET_CACHE_ENTRY_INFOA entry, LPDWORD size);
    BOOL(WINAPI* pfnFindClose)(HANDLE search);
    BOOL(WINAPI* pfnDeleteEntry)(LPCSTR url);
};

// The real WinINet calls.
const CUrlCacheApi& RealUrlCacheApi();
// The table in use; tests swap it and put the real one back.
const CUrlCacheApi& GetUrlCacheApi();
void SetUrlCacheApiForTesting(const CUrlCacheApi& api);

// The three searches over the cache with the patterns' meanings above. The handle belongs to this
// layer: close it with UrlCacheFindClose only. First fails (null) with ERROR_NO_MORE_ITEMS when
// nothing matches.
HANDLE UrlCacheFindFirst(const char* pattern, INTERNET_CACHE_ENTRY_INFOA* entry, DWORD* size);
BOOL UrlCacheFindNext(HANDLE search, INTERNET_CACHE_ENTRY_INFOA* entry, DWORD* size);
BOOL UrlCacheFindClose(HANDLE search);

// Removes the entry of a source URL (and lets WinINet drop its local file).
BOOL UrlCacheDeleteEntry(const char* url);
