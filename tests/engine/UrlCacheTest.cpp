// The URL-cache enumeration: the meaning of the search patterns on the real Wine cache and on a
// platform that selects containers as Windows does, entries served once, the buffer that grows
// for one large entry, and the cache categories of the entries.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "TestUrlCache.h"
#include "engine/UrlCacheEnum.h"
#include "engine/UrlCacheSearch.h"

namespace {

struct Seen {
    std::string url;
    int category;
    DWORD bufferSize;
};

// Every entry of one pass, with the category and the buffer size it was read with.
std::vector<Seen> Pass(const char* pattern, const std::string& onlyContaining = "")
{
    std::vector<Seen> seen;
    CUrlCacheEnum cache;
    for (bool more = cache.Open(pattern); more; more = cache.Next()) {
        std::string url = cache.SourceUrl();
        if (url.find(onlyContaining) == std::string::npos) continue;
        seen.push_back({url, cache.GetCacheCategory(), cache.BufferSize()});
    }
    cache.Close();
    return seen;
}

std::map<std::string, int> CategoriesOf(const std::vector<Seen>& seen)
{
    std::map<std::string, int> categories;
    for (const Seen& s : seen) categories[s.url] = s.category;
    return categories;
}

}  // namespace

TEST(UrlCacheTest, OnTheWineCacheEveryEntryPatternWalksAllContainersOnce)
{
    RealCacheEntries cache;
    cache.AddCookie(cache.Host() + "/", "c=1");
    cache.AddPage("index.html", "<html>");
    std::string visit = cache.AddVisit("index.html");
    const std::string cookie = "Cookie:user@" + cache.Host() + "/";

    std::vector<Seen> all = Pass(kEveryCacheEntry, cache.Host());
    ASSERT_EQ(3u, all.size()) << "each entry exactly once";
    std::map<std::string, int> expected = {
        {cookie, kCacheCategoryCookie}, {cache.PageUrl("index.html"), kCacheCategoryOrdinary},
        {visit, kCacheCategoryUrlHistory}};
    EXPECT_EQ(expected, CategoriesOf(all));

    // Wine finds nothing for the lower-case prefixes by itself.
    for (const char* pattern : {"cookie:", "Cookie:", "COOKIE:"}) {
        SCOPED_TRACE(pattern);
        std::vector<Seen> cookies = Pass(pattern, cache.Host());
        ASSERT_EQ(1u, cookies.size());
        EXPECT_EQ(cookie, cookies[0].url);
    }
    std::vector<Seen> visits = Pass("visited:", cache.Host());
    ASSERT_EQ(1u, visits.size());
    EXPECT_EQ(visit, visits[0].url);
}

TEST(UrlCacheTest, OnTheWineCacheOnlyTheLargeEntryGetsALargerBuffer)
{
    RealCacheEntries cache;
    const std::string longPath = cache.Host() + "/" + std::string(5000, 'p') + "/";
    cache.AddCookie(longPath, "big=1");
    cache.AddCookie(cache.Host() + "/small/", "small=1");

    std::vector<Seen> cookies = Pass("cookie:", cache.Host());
    ASSERT_EQ(2u, cookies.size());
    for (const Seen& s : cookies) {
        if (s.url == "Cookie:user@" + longPath)
            EXPECT_GT(s.bufferSize, 5000u + sizeof(INTERNET_CACHE_ENTRY_INFOA));
        else
            EXPECT_EQ(CUrlCacheEnum::kInitialBufferSize, s.bufferSize) << s.url;
    }
}

TEST(UrlCacheTest, CategoriesFollowTheCookieAndHistoryBits)
{
    FakeUrlCache fake;
    struct Case {
        const char* url;
        DWORD type;
        int category;
    };
    const Case cases[] = {
        {"http://a/", NORMAL_CACHE_ENTRY, kCacheCategoryOrdinary},
        {"http://b/", NORMAL_CACHE_ENTRY | STICKY_CACHE_ENTRY, kCacheCategoryOrdinary},
        {"http://c/", 0, kCacheCategoryOrdinary},
        {"Cookie:u@d/", COOKIE_CACHE_ENTRY, kCacheCategoryCookie},
        {"Cookie:u@e/", COOKIE_CACHE_ENTRY | NORMAL_CACHE_ENTRY, kCacheCategoryCookie},
        {"Visited:u@f", URLHISTORY_CACHE_ENTRY, kCacheCategoryUrlHistory},
        {"Visited:u@g", URLHISTORY_CACHE_ENTRY | NORMAL_CACHE_ENTRY, kCacheCategoryUrlHistory},
    };
    for (const Case& c : cases) fake.Add("", {c.url, "C:\\x", c.type});

    CUrlCacheEnum cache;
    size_t index = 0;
    for (bool more = cache.Open(nullptr); more; more = cache.Next(), ++index) {
        ASSERT_LT(index, std::size(cases));
        SCOPED_TRACE(cases[index].url);
        EXPECT_EQ(cases[index].category, cache.GetCacheCategory());
        for (int category = kCacheCategoryCookie; category <= kCacheCategoryUrlHistory; ++category)
            EXPECT_EQ(category == cases[index].category, cache.IsCategory(category));
        EXPECT_FALSE(cache.IsCategory(0));
        EXPECT_FALSE(cache.IsCategory(4));
        EXPECT_FALSE(cache.IsCategory(-1));
    }
    EXPECT_EQ(std::size(cases), index);
    cache.Close();
    EXPECT_EQ(kCacheCategoryNone, cache.GetCacheCategory());
    EXPECT_FALSE(cache.IsCategory(kCacheCategoryOrdinary));
    EXPECT_EQ(nullptr, cache.SourceUrl());
}

TEST(UrlCacheTest, WhereEachPrefixSelectsOneContainerTheLayerStillWalksThemAll)
{
    FakeUrlCache fake;
    fake.Add("", {"http://site/page", "C:\\cache\\page.htm", NORMAL_CACHE_ENTRY});
    fake.Add("", {"Cookie:u@both/", "C:\\cookies\\both.txt", COOKIE_CACHE_ENTRY});
    fake.Add("Cookie:", {"Cookie:u@both/", "C:\\cookies\\both.txt", COOKIE_CACHE_ENTRY});
    fake.Add("Cookie:", {"Cookie:u@only/", "C:\\cookies\\only.txt", COOKIE_CACHE_ENTRY});
    fake.Add("Visited:", {"Visited:u@http://site/page", "", URLHISTORY_CACHE_ENTRY});

    std::vector<Seen> all = Pass(kEveryCacheEntry);
    std::vector<std::string> urls;
    for (const Seen& s : all) urls.push_back(s.url);
    EXPECT_EQ((std::vector<std::string>{"http://site/page", "Cookie:u@both/", "Cookie:u@only/",
                                        "Visited:u@http://site/page"}),
              urls);
    EXPECT_EQ((std::vector<std::string>{"(none)", "Cookie:", "Visited:"}), fake.m_patterns);
    EXPECT_EQ(0, fake.m_nOpenSearches) << "every platform search is closed";

    fake.m_patterns.clear();
    EXPECT_EQ(2u, Pass("cookie:").size());
    EXPECT_EQ(1u, Pass("VISITED:").size());
    EXPECT_EQ(0u, Pass("Other:").size());
    EXPECT_EQ((std::vector<std::string>{"Cookie:", "Visited:", "Other:"}), fake.m_patterns);
    EXPECT_EQ(0, fake.m_nOpenSearches);
}

TEST(UrlCacheTest, ABufferTooSmallIsGrownForThatEntryAlone)
{
    FakeUrlCache fake;
    const FakeCacheEntry huge{"Cookie:u@" + std::string(6000, 'h') + "/", "C:\\cookies\\huge.txt",
                              COOKIE_CACHE_ENTRY};
    const FakeCacheEntry small{"Cookie:u@small/", "C:\\cookies\\small.txt", COOKIE_CACHE_ENTRY};
    const DWORD hugeSize = FakeUrlCache::NeededSize(huge);
    fake.Add("", {"http://site/", "C:\\cache\\site.htm", NORMAL_CACHE_ENTRY});
    fake.Add("Cookie:", huge);  // first entry of the next container
    fake.Add("Cookie:", small);
    fake.Add("Visited:", small);  // served already: skipped
    fake.Add("Visited:", {"Visited:u@x", "", URLHISTORY_CACHE_ENTRY});

    std::vector<Seen> all = Pass(kEveryCacheEntry);
    ASSERT_EQ(4u, all.size());
    EXPECT_EQ(huge.m_strUrl, all[1].url);
    EXPECT_EQ(hugeSize, all[1].bufferSize);
    EXPECT_EQ(small.m_strUrl, all[2].url);
    EXPECT_EQ(CUrlCacheEnum::kInitialBufferSize, all[2].bufferSize);
    EXPECT_EQ("Visited:u@x", all[3].url);
    EXPECT_EQ(CUrlCacheEnum::kInitialBufferSize, all[3].bufferSize);
    // The refused read of the large entry was repeated once with the size it asked for.
    const std::vector<DWORD> expected = {4096, 4096, hugeSize, 4096, 4096, 4096};
    EXPECT_EQ(expected, fake.m_offeredSizes);

    // A large first entry is read again by Open itself.
    FakeUrlCache onlyHuge;
    onlyHuge.Add("Cookie:", huge);
    CUrlCacheEnum cache;
    ASSERT_TRUE(cache.Open("cookie:"));
    EXPECT_EQ(huge.m_strUrl, cache.SourceUrl());
    EXPECT_EQ(hugeSize, cache.BufferSize());
    EXPECT_FALSE(cache.Next());
}

TEST(UrlCacheTest, OpenIsRefusedWhileOpenAndWorksAgainAfterClose)
{
    FakeUrlCache fake;
    fake.Add("Cookie:", {"Cookie:u@a/", "", COOKIE_CACHE_ENTRY});

    CUrlCacheEnum cache;
    EXPECT_FALSE(cache.IsOpen());
    ASSERT_TRUE(cache.Open("cookie:"));
    EXPECT_EQ(nullptr, cache.LocalFileName()) << "an entry without a local file";
    EXPECT_FALSE(cache.Open("cookie:"));
    EXPECT_EQ(1u, fake.m_patterns.size()) << "the refused Open asks the platform nothing";
    cache.Close();
    EXPECT_FALSE(cache.IsOpen());
    EXPECT_EQ(0u, cache.BufferSize()) << "Close gives the buffer back";
    ASSERT_TRUE(cache.Open("cookie:"));
    EXPECT_EQ(CUrlCacheEnum::kInitialBufferSize, cache.BufferSize());
    EXPECT_STREQ("Cookie:u@a/", cache.SourceUrl());
    cache.Close();

    FakeUrlCache empty;
    EXPECT_FALSE(cache.Open(kEveryCacheEntry));
    EXPECT_FALSE(cache.IsOpen());
    EXPECT_EQ(nullptr, cache.SourceUrl());
    EXPECT_EQ(0, empty.m_nOpenSearches);
}
