// URL-cache helpers for the tests of the Internet Explorer items: entries committed to the real
// Wine cache (removed again when the test ends), and a fake platform for the URL-cache seam that
// behaves as WinINet does on Windows (one container per prefix) and records what it was asked.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>
#include <vector>

#include "engine/UrlCacheSearch.h"

// Real entries of the Wine cache. Every URL a test adds carries a marker of its own, and the
// destructor deletes every entry of the cache that carries it.
class RealCacheEntries {
public:
    RealCacheEntries();
    ~RealCacheEntries();
    RealCacheEntries(const RealCacheEntries&) = delete;
    RealCacheEntries& operator=(const RealCacheEntries&) = delete;

    // A host name unique to this object, for the URLs of its entries.
    const std::string& Host() const { return m_host; }

    // A cookie "Cookie:<user>@<hostPath>" with a local file holding data; returns the local file.
    std::string AddCookie(const std::string& hostPath, const std::string& data, const std::string& user = "user");
    // An ordinary entry "http://<host>/<page>"; returns the local file.
    std::string AddPage(const std::string& page, const std::string& data);
    std::string PageUrl(const std::string& page) const { return "http://" + m_host + "/" + page; }
    // A URL-history entry "Visited:user@http://<host>/<page>" (it has no local file).
    std::string AddVisit(const std::string& page);

    // Every URL of the cache (any container) that contains text.
    static std::vector<std::string> UrlsContaining(const std::string& text);
    // Deletes every entry whose URL contains text.
    static void DeleteAllContaining(const std::string& text);

private:
    std::string Commit(const std::string& url, DWORD type, const char* extension, const std::string& data);

    std::string m_host;
    std::vector<std::string> m_files;  // local files, which Wine may keep after the entry is gone
};

// The number of entries of a category in the whole cache, counted through the product's
// enumerator: the tests read the entries other tests may have left as a base line.
int CountCacheEntries(int category);

// One entry of the fake cache.
struct FakeCacheEntry {
    std::string m_strUrl;
    std::string m_strLocalFile;  // empty: no local file name
    DWORD m_dwType;
};

// A fake platform for the URL-cache seam, installed while the object lives. Containers are chosen
// as Windows does: no pattern = the content container, "Cookie:" and "Visited:" exactly; any other
// pattern finds nothing. An entry can sit in more than one container.
class FakeUrlCache {
public:
    FakeUrlCache();
    ~FakeUrlCache();
    FakeUrlCache(const FakeUrlCache&) = delete;
    FakeUrlCache& operator=(const FakeUrlCache&) = delete;

    // container: "" (content), "Cookie:" or "Visited:".
    void Add(const std::string& container, const FakeCacheEntry& entry);

    // What the platform was asked.
    std::vector<std::string> m_patterns;          // "(none)" for a null pattern
    std::vector<DWORD> m_offeredSizes;           // buffer size of every find call
    std::vector<std::string> m_deletedUrls;
    int m_nOpenSearches = 0;                      // found and not yet closed
    bool m_bFailDeletes = false;
    // Called before a delete is carried out (the tests look at the local file then).
    void (*m_pfnBeforeDelete)(const std::string& url, void* data) = nullptr;
    void* m_pBeforeDeleteData = nullptr;

    // Bytes the platform needs for an entry (structure plus both texts).
    static DWORD NeededSize(const FakeCacheEntry& entry);

private:
    struct Container {
        std::string m_strPrefix;
        std::vector<FakeCacheEntry> m_entries;
    };
    struct Search {
        const Container* m_pContainer;
        size_t m_nNext;
    };

    static HANDLE WINAPI FindFirst(LPCSTR pattern, LPINTERNET_CACHE_ENTRY_INFOA entry, LPDWORD size);
    static BOOL WINAPI FindNext(HANDLE search, LPINTERNET_CACHE_ENTRY_INFOA entry, LPDWORD size);
    static BOOL WINAPI FindClose(HANDLE search);
    static BOOL WINAPI DeleteEntry(LPCSTR url);
    static bool Fill(const FakeCacheEntry& entry, LPINTERNET_CACHE_ENTRY_INFOA out, LPDWORD size);

    std::vector<Container> m_containers;
    CUrlCacheApi m_saved;
};
