// The open-browsers check before a scan, with real top-level windows of the browsers' classes: which
// browsers count as needed, the warning's text and suppression, browsers closed while the warning
// is up, the identifiers taken out of the scan, the skip texts and the flashing of a minimised
// window.
#include "ui/OpenBrowsersCheck.h"

#include "UiFixture.h"
#include "framework/MbString.h"
#include "resource.h"
#include "support/WindowDriver.h"
#include "ui/WarningMsgDlg.h"

#include <atomic>
#include <string>
#include <vector>

namespace {

class FakeMainWindow : public COpenBrowsersHost {
public:
    HWND m_hWnd = nullptr;
    bool m_bMinimized = false;
    std::atomic<int> m_nFlashes{0};
    int m_nWarningsOwned = 0;
    std::vector<std::string> m_texts;
    std::vector<DWORD> m_textTimes;

    HWND GetWarningParent() override
    {
        ++m_nWarningsOwned;
        return m_hWnd;
    }
    bool IsMinimized() override { return m_bMinimized; }
    void StartFlashing() override { ++m_nFlashes; }
    void ShowSkipText(const std::string& text) override
    {
        m_texts.push_back(text);
        m_textTimes.push_back(GetTickCount());
    }
};

std::string WarningText(const std::string& names)
{
    return "为了能够扫描下列浏览器的 Internet 缓存，你必须关闭下列浏览器: " + names + "。\r\n否则，该过程将会被跳过。";
}

class OpenBrowsersCheckTest : public UiTest {
protected:
    void TearDown() override
    {
        for (HWND hwnd : m_browsers)
            if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    HWND Open(const char* className)
    {
        HWND hwnd = testsupport::OpenBrowserWindow(className);
        m_browsers.push_back(hwnd);
        return hwnd;
    }

    std::vector<HWND> m_browsers;
    FakeMainWindow m_main;
};

}  // namespace

TEST_F(OpenBrowsersCheckTest, AnOpenBrowserWhoseItemsAreNotCheckedChangesNothing)
{
    Open("IEFrame");
    int ids[] = {2000, 2004, 1105, 1111, 0};
    testsupport::WindowWatcher watcher([] { return testsupport::FindDialog("警告! - Quillon"); },
                                       [](HWND hwnd) { PostMessageA(hwnd, WM_COMMAND, IDC_WARNING_OK, 0); }, 2000);
    WarnOpenBrowsers(ids, 5, m_main);
    EXPECT_FALSE(watcher.Stop());
    EXPECT_EQ(m_main.m_nWarningsOwned, 0);
    EXPECT_EQ(std::vector<int>(ids, ids + 5), (std::vector<int>{2000, 2004, 1105, 1111, 0}));
    EXPECT_TRUE(m_main.m_texts.empty());
}

TEST_F(OpenBrowsersCheckTest, BrowserClosedWhileTheWarningIsUpIsScannedAfterAll)
{
    Open("IEFrame");
    HWND opera = Open("OpWindow");
    // The entry after the count is not part of this scan and stays as it is.
    int ids[] = {1106, 1110, 1111, 2005, 2008, 2009, 1200, 1107};
    std::string shownText;
    int flashesWhenShown = -1;
    testsupport::WindowWatcher watcher([] { return testsupport::FindDialog("警告! - Quillon"); },
                                       [&](HWND hwnd) {
                                           shownText = testsupport::WindowText(GetDlgItem(hwnd, IDC_WARNING_TEXT));
                                           flashesWhenShown = m_main.m_nFlashes;
                                           // The user closes Opera, then presses "确定".
                                           PostMessageA(opera, WM_CLOSE, 0, 0);
                                           for (int i = 0; i < 200 && IsWindow(opera); ++i) Sleep(10);
                                           PostMessageA(hwnd, WM_COMMAND, IDC_WARNING_OK, 0);
                                       });
    DWORD start = GetTickCount();
    WarnOpenBrowsers(ids, 7, m_main);
    DWORD end = GetTickCount();
    ASSERT_TRUE(watcher.Found());
    EXPECT_EQ(shownText, WarningText("\r\nInternet Explorer\r\nOpera"));
    EXPECT_EQ(flashesWhenShown, 0);  // the window was not minimised
    EXPECT_FALSE(IsWindow(opera));
    EXPECT_EQ(std::vector<int>(ids, ids + 8), (std::vector<int>{0, 0, 1111, 2005, 2008, 2009, 1200, 1107}));
    ASSERT_EQ(m_main.m_texts, (std::vector<std::string>{"正在跳过 Internet Explorer 扫描..."}));
    // Each skip text stays for a while before the scan goes on.
    EXPECT_GE(end - m_main.m_textTimes[0], 140u);
    EXPECT_GE(end - start, 140u);
}

TEST_F(OpenBrowsersCheckTest, EveryOpenBrowserIsListedAndSkippedInTableOrder)
{
    Open("OpWindow");
    Open("MozillaUIWindowClass");
    Open("IEFrame");
    int ids[] = {2008, 2001, 1109};
    m_main.m_bMinimized = true;
    std::string shownText;
    int flashesWhenShown = -1;
    testsupport::WindowWatcher watcher([] { return testsupport::FindDialog("警告! - Quillon"); },
                                       [&](HWND hwnd) {
                                           shownText = testsupport::WindowText(GetDlgItem(hwnd, IDC_WARNING_TEXT));
                                           flashesWhenShown = m_main.m_nFlashes;
                                           PostMessageA(hwnd, WM_COMMAND, IDC_WARNING_OK, 0);
                                       });
    WarnOpenBrowsers(ids, 3, m_main);
    ASSERT_TRUE(watcher.Found());
    EXPECT_EQ(shownText, WarningText("\r\nInternet Explorer\r\nMozilla Firefox\r\nOpera"));
    EXPECT_EQ(flashesWhenShown, 1);  // a minimised window flashes while the warning waits
    EXPECT_EQ(std::vector<int>(ids, ids + 3), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(m_main.m_texts, (std::vector<std::string>{"正在跳过 Internet Explorer 扫描...",
                                                        "正在跳过 Mozilla Firefox 扫描...", "正在跳过 Opera 扫描..."}));
    EXPECT_GE(m_main.m_textTimes[2] - m_main.m_textTimes[0], 280u);
}

TEST_F(OpenBrowsersCheckTest, SuppressedWarningStillSkipsTheOpenBrowser)
{
    testsupport::SetRegDword(kWarningChecksKey, kOpenBrowsersWarningKey, 1);
    Open("IEFrame");
    int ids[] = {1108, 2003};
    testsupport::WindowWatcher watcher([] { return testsupport::FindDialog("警告! - Quillon"); },
                                       [](HWND hwnd) { PostMessageA(hwnd, WM_COMMAND, IDC_WARNING_OK, 0); }, 2000);
    WarnOpenBrowsers(ids, 2, m_main);
    EXPECT_FALSE(watcher.Stop());  // nothing was seen
    EXPECT_EQ(std::vector<int>(ids, ids + 2), (std::vector<int>{0, 2003}));
    EXPECT_EQ(m_main.m_texts, (std::vector<std::string>{"正在跳过 Internet Explorer 扫描..."}));
}

TEST_F(OpenBrowsersCheckTest, WarningTickedOnceIsNotShownAtTheNextScan)
{
    HWND owner = CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                 nullptr, nullptr, nullptr);
    m_main.m_hWnd = owner;
    Open("IEFrame");
    int first[] = {1106};
    HWND ownerSeen = nullptr;
    testsupport::WindowWatcher watcher([] { return testsupport::FindDialog("警告! - Quillon"); },
                                       [&](HWND hwnd) {
                                           ownerSeen = GetWindow(hwnd, GW_OWNER);
                                           CheckDlgButton(hwnd, IDC_WARNING_DONT_SHOW, BST_CHECKED);
                                           PostMessageA(hwnd, WM_COMMAND, IDC_WARNING_OK, 0);
                                       });
    WarnOpenBrowsers(first, 1, m_main);
    ASSERT_TRUE(watcher.Found());
    EXPECT_EQ(ownerSeen, owner);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(WarningCheck(kOpenBrowsersWarningKey), 1);

    int second[] = {1107};
    testsupport::WindowWatcher none([] { return testsupport::FindDialog("警告! - Quillon"); },
                                    [](HWND hwnd) { PostMessageA(hwnd, WM_COMMAND, IDC_WARNING_OK, 0); }, 2000);
    WarnOpenBrowsers(second, 1, m_main);
    EXPECT_FALSE(none.Stop());
    EXPECT_EQ(second[0], 0);
    DestroyWindow(owner);
}
