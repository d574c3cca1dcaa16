#include "TestUrlCache.h"

#include <atomic>
#include <cstring>
#include <set>

#include "engine/UrlCacheEnum.h"
#include "support/Sandbox.h"

namespace {

std::atomic<int> g_nextHost{0};
FakeUrlCache* g_fake = nullptr;

// The URLs of the real cache, read with the plain WinINet calls (not through the layer under test).
void CollectUrls(const char* pattern, std::set<std::string>& urls)
{
    std::vector<BYTE> buffer(4096);
    DWORD size = static_cast<DWORD>(buffer.size());
    auto entry = [&] { return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data()); };
    HANDLE search = FindFirstUrlCacheEntryA(pattern, entry(), &size);
    if (!search && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        buffer.resize(size);
        search = FindFirstUrlCacheEntryA(pattern, entry(), &size);
    }
    if (!search) return;
    for (;;) {
        urls.insert(entry()->lpszSourceUrlName);
        size = static_cast<DWORD>(buffer.size());
        if (FindNextUrlCacheEntryA(search, entry(), &size)) continue;
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        buffer.resize(size);
        if (!FindNextUrlCacheEntryA(search, entry(), &size)) break;
    }
    FindCloseUrlCache(search);
}

}  // namespace

RealCacheEntries::RealCacheEntries()
    : m_host("quillon-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(g_nextHost++) + ".test")
{
}

RealCacheEntries::~RealCacheEntries()
{
    DeleteAllContaining(m_host);
    for (const std::string& file : m_files) DeleteFileA(file.c_str());
}

std::string RealCacheEntries::Commit(const std::string& url, DWORD type, const char* extension,
                                     const std::string& data)
{
    char file[MAX_PATH] = "";
    if (!CreateUrlCacheEntryA(url.c_str(), 0, extension, file, 0)) {
        ADD_FAILURE() << "CreateUrlCacheEntryA " << url.substr(0, 80) << ": " << GetLastError();
        return "";
    }
    testsupport::WriteFileBytes(file, data);
    m_files.push_back(file);
    FILETIME none{};
    if (!CommitUrlCacheEntryA(url.c_str(), file, none, none, type, nullptr, 0, nullptr, nullptr))
        ADD_FAILURE() << "CommitUrlCacheEntryA " << url.substr(0, 80) << ": " << GetLastError();
    return file;
}

std::string RealCacheEntries::AddCookie(const std::string& hostPath, const std::string& data, const std::string& user)
{
    return Commit("Cookie:" + user + "@" + hostPath, COOKIE_CACHE_ENTRY, "txt", data);
}

std::string RealCacheEntries::AddPage(const std::string& page, const std::string& data)
{
    return Commit(PageUrl(page), NORMAL_CACHE_ENTRY, "html", data);
}

std::string RealCacheEntries::AddVisit(const std::string& page)
{
    std::string url = "Visited:user@" + PageUrl(page);
    FILETIME none{};
    if (!CommitUrlCacheEntryA(url.c_str(), nullptr, none, none, URLHISTORY_CACHE_ENTRY, nullptr, 0, nullptr,
                              nullptr))
        ADD_FAILURE() << "CommitUrlCacheEntryA " << url << ": " << GetLastError();
    return url;
}

std::vector<std::string> RealCacheEntries::UrlsContaining(const std::string& text)
{
    std::set<std::string> urls;
    CollectUrls(nullptr, urls);
    CollectUrls("Cookie:", urls);
    CollectUrls("Visited:", urls);
    std::vector<std::string> matching;
    for (const std::string& url : urls) {
        if (url.find(text) != std::string::npos) matching.push_back(url);
    }
    return matching;
}

void RealCacheEntries::DeleteAllContaining(const std::string& text)
{
    for (const std::string& url : UrlsContaining(text)) DeleteUrlCacheEntryA(url.c_str());
}

int CountCacheEntries(int category)
{
    CUrlCacheEnum counter;
    int count = 0;
    for (bool more = counter.Open(kEveryCacheEntry); more; more = counter.Next()) {
        if (counter.IsCategory(category)) ++count;
    }
    return count;
}

FakeUrlCache::FakeUrlCache() : m_saved(GetUrlCacheApi())
{
    g_fake = this;
    SetUrlCacheApiForTesting({FindFirst, FindNext, FindClose, DeleteEntry});
}

FakeUrlCache::~FakeUrlCache()
{
    SetUrlCacheApiForTesting(m_saved);
    g_fake = nullptr;
}

void FakeUrlCache::Add(const std::string& container, const FakeCacheEntry& entry)
{
    for (Container& c : m_containers) {
        if (c.m_strPrefix == container) {
            c.m_entries.push_back(entry);
            return;
        }
    }
    m_containers.push_back({container, {entry}});
}

DWORD FakeUrlCache::NeededSize(const FakeCacheEntry& entry)
{
    DWORD size = sizeof(INTERNET_CACHE_ENTRY_INFOA) + static_cast<DWORD>(entry.m_strUrl.size()) + 1;
    if (!entry.m_strLocalFile.empty()) size += static_cast<DWORD>(entry.m_strLocalFile.size()) + 1;
    return size;
}

bool FakeUrlCache::Fill(const FakeCacheEntry& entry, LPINTERNET_CACHE_ENTRY_INFOA out, LPDWORD size)
{
    g_fake->m_offeredSizes.push_back(*size);
    const DWORD needed = NeededSize(entry);
    if (*size < needed) {
        *size = needed;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return false;
    }
    memset(out, 0, sizeof *out);
    out->dwStructSize = sizeof *out;
    char* texts = reinterpret_cast<char*>(out + 1);
    memcpy(texts, entry.m_strUrl.c_str(), entry.m_strUrl.size() + 1);
    out->lpszSourceUrlName = texts;
    if (!entry.m_strLocalFile.empty()) {
        char* local = texts + entry.m_strUrl.size() + 1;
        memcpy(local, entry.m_strLocalFile.c_str(), entry.m_strLocalFile.size() + 1);
        out->lpszLocalFileName = local;
    }
    out->CacheEntryType = entry.m_dwType;
    *size = needed;
    return true;
}

HANDLE WINAPI FakeUrlCache::FindFirst(LPCSTR pattern, LPINTERNET_CACHE_ENTRY_INFOA entry, LPDWORD size)
{
    g_fake->m_patterns.push_back(pattern ? pattern : "(none)");
    const std::string prefix = pattern ? pattern : "";
    for (const Container& c : g_fake->m_containers) {
        if (c.m_strPrefix != prefix || (pattern && prefix.empty())) continue;
        if (c.m_entries.empty()) break;
        if (!Fill(c.m_entries[0], entry, size)) return nullptr;
        ++g_fake->m_nOpenSearches;
        return new Search{&c, 1};
    }
    SetLastError(ERROR_NO_MORE_ITEMS);
    return nullptr;
}

BOOL WINAPI FakeUrlCache::FindNext(HANDLE handle, LPINTERNET_CACHE_ENTRY_INFOA entry, LPDWORD size)
{
    auto* search = static_cast<Search*>(handle);
    if (search->m_nNext >= search->m_pContainer->m_entries.size()) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    if (!Fill(search->m_pContainer->m_entries[search->m_nNext], entry, size)) return FALSE;
    ++search->m_nNext;
    return TRUE;
}

BOOL WINAPI FakeUrlCache::FindClose(HANDLE handle)
{
    delete static_cast<Search*>(handle);
    --g_fake->m_nOpenSearches;
    return TRUE;
}

BOOL WINAPI FakeUrlCache::DeleteEntry(LPCSTR url)
{
    g_fake->m_deletedUrls.push_back(url);
    if (g_fake->m_pfnBeforeDelete) g_fake->m_pfnBeforeDelete(url, g_fake->m_pBeforeDeleteData);
    if (g_fake->m_bFailDeletes) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    bool found = false;
    for (Container& c : g_fake->m_containers) {
        for (size_t i = 0; i < c.m_entries.size(); ++i) {
            if (c.m_entries[i].m_strUrl == url) {
                c.m_entries.erase(c.m_entries.begin() + static_cast<long>(i));
                found = true;
                break;
            }
        }
    }
    if (!found) SetLastError(ERROR_FILE_NOT_FOUND);
    return found ? TRUE : FALSE;
}
