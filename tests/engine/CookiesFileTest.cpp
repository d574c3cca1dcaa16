// Netscape-format cookies files: the fields of a line, the scan that lists every cookie (keep list,
// comments, junk, over-long domains, a missing final newline) and the cleaning that rewrites the
// file without a cookie's lines, keeping every other cookie whatever fails.
#include <algorithm>

#include "support/RuleScanFixture.h"
#include "TestUrlCache.h"
#include "engine/CookieSites.h"

#include "app/SettingsStore.h"
#include "engine/CookiesFile.h"
#include "catalogue/FileReplace.h"

namespace {

std::string Cookie(const std::string& domain, const std::string& name, const std::string& value = "v")
{
    return domain + "\tTRUE\t/\tFALSE\t2000000000\t" + name + "\t" + value;
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return names;
}

TEST(CookieLine, DomainIsTheFirstFieldWithoutDotsAndTheNameTheFifthNonEmptyFieldAfterIt)
{
    std::string domain, name;
    ASSERT_TRUE(ParseCookieLine(Cookie(" ..example.com ", "SID"), domain, name));
    EXPECT_EQ(domain, "example.com");
    EXPECT_EQ(name, "SID");

    ASSERT_TRUE(ParseCookieLine("a.com\t\tTRUE\t\t/\tFALSE\t0\tNAME\tv", domain, name));
    EXPECT_EQ(name, "NAME") << "empty fields do not count";
    ASSERT_TRUE(ParseCookieLine("a.com\tTRUE\t/\tFALSE\t0\tN\r", domain, name));
    EXPECT_EQ(name, "N") << "a CR of a CR LF file is no part of the name";
    ASSERT_TRUE(ParseCookieLine("a.com\tTRUE\t/", domain, name));
    EXPECT_EQ(name, "NO NAME");
    ASSERT_TRUE(ParseCookieLine("no-tabs-at-all", domain, name));
    EXPECT_EQ(domain, "no-tabs-at-all");
    EXPECT_EQ(name, "NO NAME");
    ASSERT_TRUE(ParseCookieLine(Cookie("例子.中国", "名字"), domain, name));
    EXPECT_EQ(domain, "例子.中国");
    EXPECT_EQ(name, "名字");

    ASSERT_TRUE(ParseCookieLine(Cookie(std::string(149, 'd'), "n"), domain, name));
    EXPECT_FALSE(ParseCookieLine(Cookie(std::string(150, 'd'), "n"), domain, name));
    EXPECT_FALSE(ParseCookieLine(Cookie("...", "n"), domain, name));
    EXPECT_FALSE(ParseCookieLine("\tTRUE\t/", domain, name));
    EXPECT_FALSE(ParseCookieLine("", domain, name));

    EXPECT_TRUE(IsCookieComment("# Netscape HTTP Cookie File"));
    EXPECT_TRUE(IsCookieComment("#HttpOnly_.example.com\tTRUE"));
    EXPECT_FALSE(IsCookieComment(" # indented"));
}

class CookiesFileTest : public RuleScanTest {
protected:
    CModItem CookiesItem(const std::string& folder)
    {
        CModItem item = PluginItem({folder + "|cookies.txt"});
        item.m_PlugData.m_bHasSpecialKey = true;
        item.m_PlugData.m_strSpecialKey = "NETS_FIREFOXS_COOKIES";
        item.m_pfnOnFileFound = GetPluginItemFunctions().pfnOnCookiesFile;
        item.m_pfnOnFolderFound = nullptr;
        return item;
    }

    // The object of one cookie, as the scan lists it.
    CFoundObject CookieObject(const std::string& domain, const std::string& name, DWORD size = 40)
    {
        CFoundObject object;
        object.m_strPath = domain + "[" + name + "]";
        object.m_strName = domain;
        object.m_strExtra1 = name;
        object.m_strExtra2 = m_cookies;
        object.m_dwSize = size;
        object.m_nKind = kObjCookie;
        object.m_pfnClean = RemoveCookieLines;
        return object;
    }

    bool ShredStatusShown() const
    {
        for (const auto& write : m_window.m_statusWrites)
            if (write.text == "正在粉碎...") return true;
        return false;
    }

    const std::string m_folder = m_temp / "profile";
    const std::string m_cookies = m_temp / "profile\\cookies.txt";
};

TEST_F(CookiesFileTest, ScanListsEveryCookieLineAndPassesOverCommentsJunkAndKeptSites)
{
    testsupport::SetRegString(TheSettings().m_strSettingsKey, kOptSavedCookiesList,
                              std::string("kept.ORG\0other.net\0", 20), REG_MULTI_SZ);
    const std::string lines[] = {
        "# Netscape HTTP Cookie File",
        Cookie(".example.com", "SID"),
        Cookie("example.com", "pref"),
        Cookie(".Kept.org", "session"),
        "",
        "\x01\x02junk\xff",
        "notabs.example",
        Cookie(std::string(146, 'l') + ".com", "long"),
        Cookie("last.net", "z"),
    };
    std::string content;
    for (const std::string& line : lines) content += line + "\n";
    content.pop_back();  // no final newline
    WriteFileIn(m_cookies, content);

    CModItem item = CookiesItem(m_folder);
    ASSERT_EQ(Scan(item), 1);
    const std::vector<CFoundObject> objects = Objects();
    ASSERT_EQ(ObjectPaths(), (std::vector<std::string>{"example.com[SID]", "example.com[pref]", "\x01\x02junk\xff[NO NAME]",
                                                       "notabs.example[NO NAME]", "last.net[z]"}));
    EXPECT_EQ(objects[0].m_strName, "example.com");
    EXPECT_EQ(objects[0].m_strExtra1, "SID");
    EXPECT_EQ(objects[0].m_strExtra2, m_cookies);
    EXPECT_EQ(objects[0].m_dwSize, lines[1].size());
    EXPECT_EQ(objects[0].m_nKind, kObjCookie);
    EXPECT_EQ(objects[0].m_pfnClean, &RemoveCookieLines);
    EXPECT_EQ(objects[4].m_dwSize, lines[8].size()) << "the last line needs no newline";

    EXPECT_EQ(m_context.m_nFoundOrDeleted, 5);
    EXPECT_EQ(m_context.m_qwBytes, lines[1].size() + lines[2].size() + lines[5].size() + lines[6].size() + lines[8].size());
    EXPECT_EQ(m_context.m_nIgnoredCookies, 1);
    EXPECT_EQ(m_window.StatusText(3), "已忽略的 Cookies: 1");
    EXPECT_EQ(m_window.StatusText(1), "已发现对象: 5");
    EXPECT_EQ(m_window.ItemText(IDC_CURRENT_OBJECT), "cookies.txt");
    EXPECT_TRUE(ReportedFolders().empty()) << "cookie items report no folders";
    // One file: both bars move by one.
    EXPECT_EQ(m_window.ProgressMax(IDC_ITEM_PROGRESS), 1);
    EXPECT_EQ(m_window.ProgressPos(IDC_ITEM_PROGRESS), 1);
}

TEST_F(CookiesFileTest, FileThatCannotBeOpenedListsNothingButStillMovesTheBars)
{
    WriteFileIn(m_cookies, Cookie("example.com", "SID") + "\n");
    HANDLE locked = CreateFileA(m_cookies.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    CModItem item = CookiesItem(m_folder);
    EXPECT_EQ(Scan(item), 1);
    CloseHandle(locked);
    EXPECT_TRUE(ObjectPaths().empty());
    EXPECT_EQ(m_window.ProgressPos(IDC_ITEM_PROGRESS), 1);

    // A stop request ends the lines of a file; the callback still answers 1 and moves the bars.
    SetEvent(g_theScanningThreadsParam.m_evStop);
    RangeBarsForItems(1);
    struct Call {
        CRunContext* context;
        const char* path;
        int result;
    } call{&m_context, m_cookies.c_str(), -1};
    ASSERT_TRUE(RunOnWorker([](void* p) {
        auto* c = static_cast<Call*>(p);
        c->result = ScanCookiesFile(c->context, 0, c->path, nullptr);
    }, &call));
    EXPECT_EQ(call.result, 1);
    EXPECT_TRUE(ObjectPaths().empty());
    EXPECT_EQ(m_window.ProgressPos(IDC_ITEM_PROGRESS), 1);
}

TEST_F(CookiesFileTest, CleaningRemovesEveryLineOfTheCookieAndKeepsTheOthers)
{
    WriteFileIn(m_cookies, "# Netscape HTTP Cookie File\n" + Cookie(".example.com", "SID", "1") + "\n" +
                               Cookie("other.org", "SID") + "\n\n" + Cookie(std::string(150, 'x'), "n") + "\n" +
                               Cookie("EXAMPLE.COM", "sid", "2") + "\r\n" + Cookie("example.com", "pref") + "\n" +
                               Cookie("last.net", "z"));
    CFoundObject object = CookieObject("example.com", "SID", 40);
    EXPECT_EQ(CleanOnWorker(object), 1);

    // Comments and other cookies stay, each line ending with a newline; lines without a valid
    // domain go.
    EXPECT_EQ(testsupport::ReadFileBytes(m_cookies), "# Netscape HTTP Cookie File\n" + Cookie("other.org", "SID") + "\n" +
                                                         Cookie("example.com", "pref") + "\n" + Cookie("last.net", "z") +
                                                         "\n");
    EXPECT_EQ(m_context.m_nFoundOrDeleted, 2) << "both lines of the cookie";
    EXPECT_EQ(m_context.m_nNotDeleted, 0);
    EXPECT_EQ(m_context.m_qwBytes, 80u);
    EXPECT_EQ(m_window.StatusText(1), "已删除的对象: 2");
    EXPECT_EQ(m_window.StatusText(2), "总计大小: 0.00 MB");
    EXPECT_TRUE(ShredStatusShown()) << "the old content is shredded";
    EXPECT_EQ(FilesIn(m_folder), std::vector<std::string>{"cookies.txt"}) << "no file of the rewrite is left";
    EXPECT_FALSE(testsupport::RegValueExists(TheSettings().m_strSettingsKey, kOptTransientFiles));

    // The cookie is gone now: nothing to do, nothing counted, the file untouched.
    const std::string before = testsupport::ReadFileBytes(m_cookies);
    EXPECT_EQ(CleanOnWorker(object), 1);
    EXPECT_EQ(m_context.m_nFoundOrDeleted + m_context.m_nNotDeleted, 0);
    EXPECT_EQ(testsupport::ReadFileBytes(m_cookies), before);
}

TEST_F(CookiesFileTest, LinesAndFilesAboveTheirCapsListNoCookie)
{
    const auto sized = [](const char* domain, const char* name, size_t length) {
        const std::string head = Cookie(domain, name, "");
        return head + std::string(length - head.size(), 'v');
    };
    WriteFileIn(m_cookies, Cookie("a.com", "1") + "\n" + sized("edge.com", "fits", kMaxCookieLineLength) + "\n" +
                               sized("long.com", "big", kMaxCookieLineLength + 1) + "\n" + Cookie("c.com", "3"));
    CModItem item = CookiesItem(m_folder);
    ASSERT_EQ(Scan(item), 1);
    EXPECT_EQ(ObjectPaths(), (std::vector<std::string>{"a.com[1]", "edge.com[fits]", "c.com[3]"}));

    // Grown (sparse, so the test stays fast) past the size cap: not read at all, the bars still move.
    HANDLE file = CreateFileA(m_cookies.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size{};
    size.QuadPart = kMaxCookiesFileSize + 1;
    ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
    m_window.m_objects.clear();
    ASSERT_EQ(Scan(item), 1);
    EXPECT_TRUE(ObjectPaths().empty());
    EXPECT_EQ(m_window.ProgressPos(IDC_ITEM_PROGRESS), 1);
}

TEST_F(CookiesFileTest, HardLinkedCookiesFileKeepsTheOldContentUnderItsOtherName)
{
    const std::string content = Cookie("example.com", "SID") + "\n" + Cookie("other.org", "x") + "\n";
    WriteFileIn(m_cookies, content);
    const std::string other = m_folder + "\\backup.txt";
    ASSERT_TRUE(CreateHardLinkA(other.c_str(), m_cookies.c_str(), nullptr));
    CFoundObject object = CookieObject("example.com", "SID");
    EXPECT_EQ(CleanOnWorker(object), 1);
    EXPECT_EQ(testsupport::ReadFileBytes(m_cookies), Cookie("other.org", "x") + "\n");
    EXPECT_EQ(testsupport::ReadFileBytes(other), content) << "neither zeroed nor removed";
    EXPECT_EQ(FilesIn(m_folder), (std::vector<std::string>{"backup.txt", "cookies.txt"}));
}

TEST_F(CookiesFileTest, RemovingTheOnlyCookieLeavesNoFileBehind)
{
    WriteFileIn(m_cookies, Cookie("example.com", "SID") + "\n\n");
    CFoundObject object = CookieObject("example.com", "SID");
    EXPECT_EQ(CleanOnWorker(object), 1);
    EXPECT_FALSE(testsupport::FileExists(m_cookies));
    EXPECT_TRUE(FilesIn(m_folder).empty());
    EXPECT_EQ(m_context.m_nFoundOrDeleted, 1);
}

TEST_F(CookiesFileTest, JunkWithNulBytesAndBrokenCharactersSurvivesTheRewriteByteForByte)
{
    const std::string junk("bin\0ary\xff\x81\tjunk", 16);
    WriteFileIn(m_cookies, Cookie("gone.com", "a") + "\n" + junk + "\n" + Cookie("stays.com", "b") + "\n");
    // The scan reads the text of a block up to its first NUL; what it lists before it is whole.
    CModItem item = CookiesItem(m_folder);
    ASSERT_EQ(Scan(item), 1);
    ASSERT_FALSE(ObjectPaths().empty());
    EXPECT_EQ(ObjectPaths()[0], "gone.com[a]");

    CFoundObject object = CookieObject("gone.com", "a");
    EXPECT_EQ(CleanOnWorker(object), 1);
    EXPECT_EQ(testsupport::ReadFileBytes(m_cookies), junk + "\n" + Cookie("stays.com", "b") + "\n");
    EXPECT_EQ(m_context.m_nFoundOrDeleted, 1);
}

TEST_F(CookiesFileTest, FileThatCannotBeRewrittenStaysAsItWasAndTheCookieIsNotDeleted)
{
    const std::string content = Cookie("example.com", "SID") + "\n" + Cookie("other.org", "x") + "\n";
    WriteFileIn(m_cookies, content);
    CFoundObject object = CookieObject("example.com", "SID");

    // Held open by its browser: it can be read but not replaced.
    HANDLE held = CreateFileA(m_cookies.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CleanOnWorker(object), 1);
    CloseHandle(held);
    EXPECT_EQ(testsupport::ReadFileBytes(m_cookies), content);
    EXPECT_EQ(m_context.m_nNotDeleted, 1);
    EXPECT_EQ(m_context.m_nFoundOrDeleted, 0);
    EXPECT_EQ(FilesIn(m_folder), std::vector<std::string>{"cookies.txt"});

    // Held open without any sharing: it cannot even be read.
    held = CreateFileA(m_cookies.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CleanOnWorker(object), 1);
    CloseHandle(held);
    EXPECT_EQ(m_context.m_nNotDeleted, 1);

    // Read-only.
    SetFileAttributesA(m_cookies.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(CleanOnWorker(object), 1);
    EXPECT_EQ(m_context.m_nNotDeleted, 1);
    EXPECT_EQ(GetFileAttributesA(m_cookies.c_str()) & FILE_ATTRIBUTE_READONLY, DWORD(FILE_ATTRIBUTE_READONLY));
    SetFileAttributesA(m_cookies.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(testsupport::ReadFileBytes(m_cookies), content);

    // Gone.
    DeleteFileA(m_cookies.c_str());
    EXPECT_EQ(CleanOnWorker(object), 1);
    EXPECT_EQ(m_context.m_nNotDeleted, 1);
}

// The profile folder the scan walked down is replaced by a link before Clean: the cookies file
// behind the link is not rewritten.
TEST_F(CookiesFileTest, AFolderThatBecameALinkAfterTheScanIsNotFollowed)
{
    const std::string walked = m_temp / "walked", elsewhere = m_temp / "elsewhere";
    const std::string content = Cookie("example.com", "SID") + "\n";
    WriteFileIn(walked + "\\profile\\cookies.txt", content);
    CModItem item = CookiesItem(walked);
    item.m_PlugData.m_strFileRules = walked + "|cookies.txt|RECURSE;";
    ASSERT_EQ(Scan(item), 1);
    ASSERT_EQ(m_window.m_objects.size(), 1u);
    CFoundObject object = m_window.m_objects[0].object;

    WriteFileIn(elsewhere + "\\cookies.txt", content);
    testsupport::RemoveTree(walked + "\\profile");
    ASSERT_TRUE(testsupport::MakeSymlink(elsewhere, walked + "\\profile"));
    EXPECT_EQ(CleanOnWorker(object), 1);
    EXPECT_EQ(testsupport::ReadFileBytes(elsewhere + "\\cookies.txt"), content);
    EXPECT_EQ(m_context.m_nNotDeleted, 1);
    testsupport::RemoveSymlink(walked + "\\profile");
}

TEST_F(CookiesFileTest, RewrittenFileKeepsItsAttributes)
{
    WriteFileIn(m_cookies, Cookie("example.com", "SID") + "\n" + Cookie("other.org", "x") + "\n");
    SetFileAttributesA(m_cookies.c_str(), FILE_ATTRIBUTE_HIDDEN);
    CFoundObject object = CookieObject("example.com", "SID");
    EXPECT_EQ(CleanOnWorker(object), 1);
    EXPECT_EQ(m_context.m_nFoundOrDeleted, 1);
    EXPECT_TRUE(GetFileAttributesA(m_cookies.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(CookiesFileTest, ScanThenCleanEveryCookieOfAFile)
{
    WriteFileIn(m_cookies, "# header\n" + Cookie("a.com", "1") + "\n" + Cookie("b.com", "2") + "\n" + Cookie("a.com", "3"));
    CModItem item = CookiesItem(m_folder);
    ASSERT_EQ(Scan(item), 1);
    std::vector<CFoundObject> objects = Objects();
    ASSERT_EQ(objects.size(), 3u);
    CFoundObject first = objects[0];
    EXPECT_EQ(CleanOnWorker(first), 1);
    EXPECT_EQ(testsupport::ReadFileBytes(m_cookies), "# header\n" + Cookie("b.com", "2") + "\n" + Cookie("a.com", "3") + "\n");
    for (size_t i = 1; i < objects.size(); ++i) CleanOnWorker(objects[i]);
    EXPECT_EQ(testsupport::ReadFileBytes(m_cookies), "# header\n") << "comments stay";
}

}  // namespace

// The sites the cookie keep list offers: every cookie of the URL cache (a site two users share comes
// twice) and the domains of the Firefox cookies files of the modules that name them, once each.
TEST_F(CookiesFileTest, SitesWithCookiesComeFromTheCacheAndTheModulesFirefoxFiles)
{
    RealCacheEntries cache;
    const std::string host = cache.Host();
    std::string upperHost = host;
    CharUpperBuffA(&upperHost[0], static_cast<DWORD>(upperHost.size()));
    cache.AddCookie(host + "/", "a", "alice");
    cache.AddCookie(host + "/", "b", "bob");
    cache.AddCookie(host + "/shop/", "c");
    const std::string appData = RedirectShellFolder("AppData");
    WriteFileIn(appData + "\\Mozilla\\Firefox\\Profiles\\p1\\cookies.txt",
                "# comment\n" + Cookie(".example.org", "a") + "\n" + Cookie("EXAMPLE.org", "b") + "\n" +
                    Cookie(upperHost, "c") + "\n");
    CModList catalogue;
    catalogue.m_nCount = 2;
    catalogue.m_pItems = std::make_unique<CModItem[]>(2);
    for (int i = 0; i < 2; ++i) {
        CModItem& item = catalogue.m_pItems[i];
        item.m_bIsPlugin = true;
        item.m_PlugData = CookiesItem(m_folder).m_PlugData;
        item.m_PlugData.m_strExternalDir = i == 0 ? "Profiles\\p1" : "Profiles\\missing";
    }

    std::vector<std::string> sites;
    for (const std::string& site : CookieSites(catalogue))
        if (site.find(host) != std::string::npos || site.find("example.org") != std::string::npos) sites.push_back(site);
    std::vector<std::string> expected{host, host, host + "/shop", "example.org"};
    std::sort(sites.begin(), sites.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sites, expected);
}
