// The Internet Explorer items over the URL cache: cookies (item 1106), temporary internet files
// (1107) and the URL history (1109). Each is a three-step item whose m_nParam names the cache
// category it takes; its objects are removed from the cache by DeleteCacheEntry. Cookies of sites
// on the cookie keep list are counted as ignored instead of being listed.
#pragma once

#include <string>
#include <vector>

#include "catalogue/ModItem.h"
#include "engine/FoundObject.h"
#include "engine/RunContext.h"

// Puts a new CUrlCacheEnum into m_pScanData; 0 when m_pScanData is already set.
int CachePrepare(CModItem* pItem);
// Counts the entries of the item's category in a pass of its own: units = that count; 1 when it
// is not 0.
int CacheCount(int* pnUnits, CModItem* pItem);
// Closes and deletes the enumerator and resets m_pScanData.
void CacheFinish(CModItem* pItem);

// Items 1107 and 1109: every entry of the item's category goes to the item's m_pfnOnFileFound,
// called as (context, category, source URL, local file name). 0 when a stop was requested.
int CacheScan(CModItem* pItem);
// The cache entry callback: URL-history entries become objects of kind 5 with the URL as their
// path; other entries become file objects of their local file when its status can be read. Every
// entry counts as found and moves both bars. The category comes by value: the callback slot has an
// int where a pointer to the item's parameter would not fit. Returns 1.
int OnCacheEntryFound(void* pContext, int nCategory, const char* pszUrl, void* pLocalFileName);

// Item 1106: the cookies of the cache, except those the cookie keep list "SavedCookiesList" spares.
// 0 when a stop was requested.
int CookieScan(CModItem* pItem);

// The key of a cookie's cache URL on the cookie keep list: the part after the first '@' without
// trailing '/' characters ("Cookie:user@host/path/" gives "host/path"), or the whole URL when it
// has no '@'.
std::string CookieKeepKey(const std::string& url);
// True when the key equals an entry of the list, without regard to case. Keys of any length are
// compared whole.
bool IsCookieKept(const std::string& key, const std::vector<std::string>& keepList);

// What line 1011 shows for an entry of a category: a cookie its URL after the scheme prefix, an
// ordinary entry its host with the '/' after it, a history entry the host of the visited URL.
// Empty for any other category.
std::string CacheEntryDisplayText(int category, const std::string& url);

// Cleaning function of cache objects: shreds the local file first when the options ask for it
// (never for URL-history entries, which have none), then deletes the cache entry of m_strName.
// Counts the object as deleted or not deleted. Returns 1.
int DeleteCacheEntry(CFoundObject* pObject, CRunContext* pContext, int nReserved1, int nReserved2);
