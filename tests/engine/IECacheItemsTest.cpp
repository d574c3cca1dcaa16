// The Internet Explorer cache items (cookies, temporary internet files, URL history) against the
// real Wine URL cache with entries the tests commit themselves, and through the URL-cache seam where
// an entry must look as Wine cannot make it; the cookie keep list; and DeleteCacheEntry.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/ItemRunFixture.h"
#include "TestUrlCache.h"
#include "ThreeStepRun.h"
#include "app/SettingsStore.h"
#include "engine/IECacheItems.h"
#include "engine/UrlCacheEnum.h"
#include "engine/UrlCacheSearch.h"
#include "framework/MbString.h"

using testsupport::FileExists;
using testsupport::ReadFileBytes;

namespace {

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return static_cast<char>(toupper(c)); });
    return text;
}

class IECacheItemsTest : public ItemRunTest {
protected:
    // The cookie keep list of the settings, as the options page stores it.
    void SetCookieKeepList(const std::vector<std::string>& sites)
    {
        std::string data;
        for (const std::string& site : sites) data += site + '\0';
        data += '\0';
        testsupport::SetRegBinary(TheSettings().m_strSettingsKey, "SavedCookiesList", data, REG_MULTI_SZ);
    }

    ThreeStepResults RunThreeSteps(CModItem* item) { return RunThreeStepsOnWorker(item, &m_context, m_window); }

    std::vector<CFoundObject> ObjectsNaming(const std::string& text) const
    {
        std::vector<CFoundObject> objects;
        for (const auto& received : m_window.m_objects) {
            if (received.object.m_strName.find(text) != std::string::npos) objects.push_back(received.object);
        }
        return objects;
    }

    bool StatusOfObjectWasSent(const std::string& name) const
    {
        for (const auto& received : m_window.m_objects) {
            if (received.object.m_strName == name) return received.hadStatus;
        }
        return false;
    }
};

}  // namespace

TEST_F(IECacheItemsTest, BuiltInInternetExplorerItemsCarryTheirFunctions)
{
    for (int id : {1106, 1107, 1109}) {
        SCOPED_TRACE(id);
        CModItem* item = Item(id);
        EXPECT_FALSE(item->m_bScanInOneStep);
        EXPECT_EQ(CachePrepare, item->m_pfnPrepare);
        EXPECT_EQ(CacheCount, item->m_pfnCount);
        EXPECT_EQ(CacheFinish, item->m_pfnFinish);
        EXPECT_EQ(OnCacheEntryFound, item->m_pfnOnFileFound);
    }
    EXPECT_EQ(CookieScan, Item(1106)->m_pfnScan);
    EXPECT_EQ(CacheScan, Item(1107)->m_pfnScan);
    EXPECT_EQ(CacheScan, Item(1109)->m_pfnScan);
    EXPECT_EQ(kCacheCategoryCookie, Item(1106)->m_nParam);
    EXPECT_EQ(kCacheCategoryOrdinary, Item(1107)->m_nParam);
    EXPECT_EQ(kCacheCategoryUrlHistory, Item(1109)->m_nParam);
}

TEST_F(IECacheItemsTest, CookieKeepKeyIsTheSiteAfterTheAtSignWithoutClosingSlashes)
{
    EXPECT_EQ("example.com", CookieKeepKey("Cookie:user@example.com/"));
    EXPECT_EQ("example.com/forum", CookieKeepKey("Cookie:user@example.com/forum/"));
    EXPECT_EQ("example.com", CookieKeepKey("Cookie:user@example.com///"));
    EXPECT_EQ("b@c.org", CookieKeepKey("Cookie:a@b@c.org/"));
    EXPECT_EQ("Cookie:example.com/", CookieKeepKey("Cookie:example.com/")) << "no '@': the whole URL";
    // 0x81 0x40 is one character whose trail byte is '@'; only the real '@' after it counts.
    EXPECT_EQ("site.cn", CookieKeepKey("Cookie:\x81\x40user@site.cn/"));
    EXPECT_EQ("站点.cn", CookieKeepKey("Cookie:用户@站点.cn/"));

    const std::vector<std::string> keep = {"Example.COM", "other.org/forum"};
    EXPECT_TRUE(IsCookieKept("example.com", keep));
    EXPECT_TRUE(IsCookieKept("OTHER.org/forum", keep));
    EXPECT_FALSE(IsCookieKept("example.co", keep));
    EXPECT_FALSE(IsCookieKept("other.org", keep));
    EXPECT_FALSE(IsCookieKept("example.com", {}));

    // Keys longer than 255 characters are compared whole: a keep entry equal to the first 255
    // characters of a key does not keep it.
    const std::string longKey = std::string(150, 'a') + ".example.com/" + std::string(150, 'p');
    EXPECT_FALSE(IsCookieKept(longKey, {longKey.substr(0, 255)}));
    EXPECT_FALSE(IsCookieKept(longKey.substr(0, 255), {longKey}));
    EXPECT_TRUE(IsCookieKept(longKey, {Upper(longKey)}));
    EXPECT_EQ(longKey, CookieKeepKey("Cookie:user@" + longKey + "/"));
}

TEST_F(IECacheItemsTest, DisplayTextDependsOnTheCategory)
{
    EXPECT_EQ("user@site.com/", CacheEntryDisplayText(kCacheCategoryCookie, "Cookie:  user@site.com/"));
    EXPECT_EQ("plain", CacheEntryDisplayText(kCacheCategoryCookie, "plain"));
    EXPECT_EQ("www.site.com/", CacheEntryDisplayText(kCacheCategoryOrdinary, "http://www.site.com/dir/a.html"));
    EXPECT_EQ("host", CacheEntryDisplayText(kCacheCategoryOrdinary, "http://host"));
    EXPECT_EQ("C:/", CacheEntryDisplayText(kCacheCategoryOrdinary, "file:///C:/dir/page.htm"));
    EXPECT_EQ("site.com/", CacheEntryDisplayText(kCacheCategoryUrlHistory, "Visited: user@http://site.com/a/b"));
    EXPECT_EQ("no-user", CacheEntryDisplayText(kCacheCategoryUrlHistory, "Visited:  no-user"));
    EXPECT_EQ("站点.cn/", CacheEntryDisplayText(kCacheCategoryUrlHistory, "Visited:用户@http://站点.cn/页"));
    EXPECT_EQ("", CacheEntryDisplayText(0, "http://site.com/"));
    EXPECT_EQ("", CacheEntryDisplayText(4, "http://site.com/"));
}

TEST_F(IECacheItemsTest, CookieScanListsCookiesAndOnlyCountsTheKeptAndTheVanishedOnes)
{
    RealCacheEntries cache;
    const int others = CountCacheEntries(kCacheCategoryCookie);
    cache.AddCookie(cache.Host() + "/", "kept=1");
    std::string listed = cache.AddCookie(cache.Host() + "/forum/", "listed=1");
    std::string vanished = cache.AddCookie(cache.Host() + "/gone/", "gone=1");
    ASSERT_TRUE(DeleteFileA(vanished.c_str()));
    cache.AddPage("page.html", "not a cookie");
    cache.AddVisit("page.html");
    SetCookieKeepList({"aaa.example", Upper(cache.Host()), "zzz.example"});

    ThreeStepResults steps = RunThreeSteps(Item(1106));
    EXPECT_EQ(1, steps.prepared);
    EXPECT_EQ(others + 3, steps.units) << "the count takes every cookie, kept or not";
    EXPECT_EQ(1, steps.scanned);

    std::vector<CFoundObject> ours = ObjectsNaming(cache.Host());
    ASSERT_EQ(1u, ours.size());
    const CFoundObject& cookie = ours[0];
    EXPECT_EQ(listed, cookie.m_strPath);
    EXPECT_EQ("Cookie:user@" + cache.Host() + "/forum/", cookie.m_strName);
    EXPECT_EQ(8u, cookie.m_dwSize);
    EXPECT_EQ(kObjFile, cookie.m_nKind);
    EXPECT_EQ(kCacheCategoryCookie, cookie.m_nParam);
    EXPECT_EQ(DeleteCacheEntry, cookie.m_pfnClean);
    EXPECT_TRUE(StatusOfObjectWasSent(cookie.m_strName));

    // The kept cookie is only ignored; the vanished one is found but not listed.
    EXPECT_EQ(1, m_context.m_nIgnoredCookies);
    EXPECT_EQ("已忽略的 Cookies: 1", m_window.StatusText(3));
    EXPECT_EQ(others + 2, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(framework::Format("已发现对象: %d", others + 2), m_window.StatusText(1));
    // Every cookie moves both bars, the kept one too.
    EXPECT_EQ(others + 3, m_window.ProgressPos(IDC_ITEM_PROGRESS));
    EXPECT_EQ(others + 3, m_window.ProgressPos(IDC_TOTAL_PROGRESS));
}

TEST_F(IECacheItemsTest, ALongCookieKeyIsKeptOnlyByTheWholeKey)
{
    RealCacheEntries cache;
    const std::string key = cache.Host() + "/" + std::string(300, 'k');
    cache.AddCookie(key + "/", "long=1");

    SetCookieKeepList({key.substr(0, 255)});
    RunThreeSteps(Item(1106));
    EXPECT_EQ(1u, ObjectsNaming(cache.Host()).size()) << "a keep entry equal to a cut key keeps nothing";
    EXPECT_EQ(0, m_context.m_nIgnoredCookies);

    m_window.m_objects.clear();
    SetCookieKeepList({key});
    RunThreeSteps(Item(1106));
    EXPECT_EQ(0u, ObjectsNaming(cache.Host()).size());
    EXPECT_EQ(1, m_context.m_nIgnoredCookies);
}

TEST_F(IECacheItemsTest, TemporaryFilesAreListedByTheirLocalFileAndHistoryEntriesByTheirUrl)
{
    RealCacheEntries cache;
    const int otherPages = CountCacheEntries(kCacheCategoryOrdinary);
    const int otherVisits = CountCacheEntries(kCacheCategoryUrlHistory);
    std::string page = cache.AddPage("page.html", "<html></html>");
    std::string gone = cache.AddPage("gone.html", "x");
    ASSERT_TRUE(DeleteFileA(gone.c_str()));
    std::string visit = cache.AddVisit("page.html");
    cache.AddCookie(cache.Host() + "/", "c=1");

    ThreeStepResults files = RunThreeSteps(Item(1107));
    EXPECT_EQ(otherPages + 2, files.units);
    EXPECT_EQ(1, files.scanned);
    std::vector<CFoundObject> ours = ObjectsNaming(cache.Host());
    ASSERT_EQ(1u, ours.size());
    EXPECT_EQ(page, ours[0].m_strPath);
    EXPECT_EQ(cache.PageUrl("page.html"), ours[0].m_strName);
    EXPECT_EQ(13u, ours[0].m_dwSize);
    EXPECT_EQ(kObjFile, ours[0].m_nKind);
    EXPECT_EQ(kCacheCategoryOrdinary, ours[0].m_nParam);
    EXPECT_EQ(DeleteCacheEntry, ours[0].m_pfnClean);
    EXPECT_TRUE(StatusOfObjectWasSent(ours[0].m_strName));
    EXPECT_EQ(otherPages + 2, m_context.m_nFoundOrDeleted) << "the page without its file is counted";
    EXPECT_EQ(otherPages + 2, m_window.ProgressPos(IDC_ITEM_PROGRESS));

    m_window.m_objects.clear();
    m_context.m_nFoundOrDeleted = 0;
    const ULONGLONG bytesBefore = m_context.m_qwBytes;
    ThreeStepResults history = RunThreeSteps(Item(1109));
    EXPECT_EQ(otherVisits + 1, history.units);
    ours = ObjectsNaming(cache.Host());
    ASSERT_EQ(1u, ours.size());
    EXPECT_EQ(visit, ours[0].m_strPath);
    EXPECT_EQ(visit, ours[0].m_strName);
    EXPECT_EQ(0u, ours[0].m_dwSize);
    EXPECT_EQ(kObjTypedUrl, ours[0].m_nKind);
    EXPECT_EQ(kCacheCategoryUrlHistory, ours[0].m_nParam);
    EXPECT_EQ(DeleteCacheEntry, ours[0].m_pfnClean);
    EXPECT_FALSE(StatusOfObjectWasSent(visit)) << "history entries have no dates";
    EXPECT_EQ(otherVisits + 1, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(bytesBefore, m_context.m_qwBytes);
}

TEST_F(IECacheItemsTest, EntriesWithoutALocalFileNameAreCountedButNotListed)
{
    FakeUrlCache fake;
    fake.Add("", {"http://www.site.com/dir/page.htm", "", NORMAL_CACHE_ENTRY});
    fake.Add("Cookie:", {"Cookie:user@damaged.com/", "", COOKIE_CACHE_ENTRY});

    ThreeStepResults files = RunThreeSteps(Item(1107));
    EXPECT_EQ(1, files.units);
    EXPECT_EQ("www.site.com/", m_window.ItemText(IDC_CURRENT_OBJECT));
    EXPECT_TRUE(m_window.m_objects.empty());
    EXPECT_EQ(1, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(1, m_window.ProgressPos(IDC_ITEM_PROGRESS));

    ThreeStepResults cookies = RunThreeSteps(Item(1106));
    EXPECT_EQ(1, cookies.units);
    EXPECT_EQ("user@damaged.com/", m_window.ItemText(IDC_CURRENT_OBJECT));
    EXPECT_TRUE(m_window.m_objects.empty());
    EXPECT_EQ(2, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(0, fake.m_nOpenSearches);
}

TEST_F(IECacheItemsTest, AStopRequestEndsTheScanBeforeTheNextEntry)
{
    FakeUrlCache fake;
    std::string file = m_temp / "page.htm";
    testsupport::WriteFileBytes(file, "page");
    fake.Add("", {"http://site/page.htm", file, NORMAL_CACHE_ENTRY});
    fake.Add("Cookie:", {"Cookie:u@site/", file, COOKIE_CACHE_ENTRY});
    RequestStop();

    ThreeStepResults files = RunThreeSteps(Item(1107));
    EXPECT_EQ(1, files.units);
    EXPECT_EQ(0, files.scanned);
    ThreeStepResults cookies = RunThreeSteps(Item(1106));
    EXPECT_EQ(0, cookies.scanned);
    EXPECT_TRUE(m_window.m_objects.empty());
    EXPECT_EQ(0, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(0, fake.m_nOpenSearches);

    // Prepared twice without a finish: the second prepare refuses.
    CModItem* item = Item(1107);
    EXPECT_EQ(1, CachePrepare(item));
    EXPECT_EQ(0, CachePrepare(item));
    CacheFinish(item);
    EXPECT_EQ(nullptr, item->m_pScanData);
}

namespace {

// The local file as the deletion of its entry finds it.
struct DeleteWitness {
    std::string localFile;
    std::string contents;
    bool existed = false;
};
DeleteWitness g_witness;

BOOL WINAPI WitnessingDelete(LPCSTR url)
{
    g_witness.existed = FileExists(g_witness.localFile);
    g_witness.contents = ReadFileBytes(g_witness.localFile);
    return RealUrlCacheApi().pfnDeleteEntry(url);
}

class WitnessedDeletes {
public:
    WitnessedDeletes()
    {
        CUrlCacheApi api = RealUrlCacheApi();
        api.pfnDeleteEntry = WitnessingDelete;
        SetUrlCacheApiForTesting(api);
    }
    ~WitnessedDeletes() { SetUrlCacheApiForTesting(RealUrlCacheApi()); }
};

}  // namespace

TEST_F(IECacheItemsTest, WithShreddingTheTemporaryFileIsOverwrittenBeforeItsEntryIsDeleted)
{
    RealCacheEntries cache;
    std::string file = cache.AddPage("secret.html", std::string(300, 's'));
    ThreeStepResults files = RunThreeSteps(Item(1107));
    ASSERT_EQ(1, files.scanned);
    std::vector<CFoundObject> ours = ObjectsNaming(cache.Host());
    ASSERT_EQ(1u, ours.size());

    m_options.m_bShred = true;
    m_options.m_nOverwritePasses = 2;
    g_witness = DeleteWitness{file, "", false};
    {
        WitnessedDeletes seam;
        EXPECT_EQ(1, CleanOnWorker(ours[0]));
    }
    ASSERT_TRUE(g_witness.existed);
    EXPECT_EQ(std::string(384, '\0'), g_witness.contents) << "overwritten in whole 128-byte blocks";
    EXPECT_TRUE(RealCacheEntries::UrlsContaining(cache.Host()).empty());
    EXPECT_EQ(1, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(0, m_context.m_nNotDeleted);
    EXPECT_EQ(300u, m_context.m_qwBytes);
    EXPECT_EQ("已删除的对象: 1", m_window.StatusText(1));
    bool shredText = std::any_of(m_window.m_statusWrites.begin(), m_window.m_statusWrites.end(),
                                 [](const TestMainWindow::StatusWrite& w) { return w.text == "正在粉碎..."; });
    EXPECT_TRUE(shredText);
}

TEST_F(IECacheItemsTest, HistoryEntriesAreNeverShreddedAndFailedDeletionsAreCounted)
{
    RealCacheEntries cache;
    std::string visit = cache.AddVisit("page.html");
    RunThreeSteps(Item(1109));
    std::vector<CFoundObject> ours = ObjectsNaming(cache.Host());
    ASSERT_EQ(1u, ours.size());

    m_options.m_bShred = true;
    m_window.m_statusWrites.clear();
    EXPECT_EQ(1, CleanOnWorker(ours[0]));
    for (const auto& write : m_window.m_statusWrites) EXPECT_NE("正在粉碎...", write.text);
    EXPECT_TRUE(RealCacheEntries::UrlsContaining(cache.Host()).empty());
    EXPECT_EQ(1, m_context.m_nFoundOrDeleted);

    // The entry is gone now: deleting it again fails and counts as not deleted.
    EXPECT_EQ(1, CleanOnWorker(ours[0]));
    EXPECT_EQ(0, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(1, m_context.m_nNotDeleted);
}
