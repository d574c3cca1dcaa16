// CUrlCacheEnum: one pass over the entries of the URL cache that match a search pattern, with the
// entry buffer it owns, and the category of the current entry (cookie, ordinary entry, URL
// history) by which the Internet Explorer items pick their entries.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <memory>

// Categories of cache entries; they are also the item parameter of the three cache items.
enum ECacheCategory {
    kCacheCategoryNone = 0,
    kCacheCategoryCookie = 1,      // COOKIE_CACHE_ENTRY
    kCacheCategoryOrdinary = 2,    // neither of the two bits
    kCacheCategoryUrlHistory = 3,  // URLHISTORY_CACHE_ENTRY
};

// The pattern of every scan and count: the whole cache in one pass.
extern const char* const kEveryCacheEntry;  // "*.*"

class CUrlCacheEnum {
public:
    static constexpr DWORD kInitialBufferSize = 4096;

    CUrlCacheEnum();
    ~CUrlCacheEnum();
    CUrlCacheEnum(const CUrlCacheEnum&) = delete;
    CUrlCacheEnum& operator=(const CUrlCacheEnum&) = delete;

    // Starts the pass and reads its first entry; false when already open or when nothing matches.
    // A first entry larger than the buffer is read again into a buffer of the size it needs.
    bool Open(const char* pattern);
    // Reads the next entry into a fresh buffer of 4096 bytes, grown once for an entry that needs
    // more; false at the end of the pass or on any other failure.
    bool Next();
    // Ends the pass and frees the buffer.
    void Close();
    bool IsOpen() const { return m_hEnum != nullptr; }

    // The current entry's texts; null when closed. The local file name is null for entries without
    // a file (URL-history entries, damaged entries).
    const char* SourceUrl() const;
    const char* LocalFileName() const;

    // Category of the current entry while the pass is open, else kCacheCategoryNone.
    int GetCacheCategory() const;
    // True when the pass is open and the current entry is of this category; false for any value
    // other than the three categories.
    bool IsCategory(int category) const;

    DWORD BufferSize() const { return m_dwSize; }

private:
    // Replaces the buffer by one of `size` bytes and stores the size in dwStructSize.
    void Allocate(DWORD size);
    void Free();
    INTERNET_CACHE_ENTRY_INFOA* Entry() const;

    HANDLE m_hEnum = nullptr;
    std::unique_ptr<BYTE[]> m_pEntry;
    DWORD m_dwSize = 0;
};
