// The main window around the work: what initialisation leaves (menu, icons, hint, status bar, last
// cleaning date, list), the layout for a client size and the minimum while dragging, the placement
// clamped at start and stored on every move and size change, Enter and Escape, the quit rule, the
// help commands and the About box, minimising to the tray and back, the options applied after the
// options sheet, and the caption flashing after a run that ended while minimised.
#include "MainDlgFixture.h"

#include <commctrl.h>
#include <prsht.h>

#include <atomic>
#include <ctime>
#include <functional>
#include <initializer_list>

#include "app/DateText.h"
#include "app/SettingsStore.h"
#include "app/Utilities.h"
#include "ui/MainReportDlg.h"

using namespace maindlgtest;
using testsupport::ReadRegDword;
using testsupport::SetRegDword;
using testsupport::SetRegString;

namespace {

const char kSettingsKey[] = "Software\\Venmoor\\Quillon\\Settings";

DWORD Setting(const char* name)
{
    DWORD value = 0xdeadbeef;
    ReadRegDword(kSettingsKey, name, value);
    return value;
}

std::string StringSetting(const char* name)
{
    std::string text;
    TheSettings().ReadString(name, text);
    return text;
}

RECT WindowRect(HWND hwnd)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

// A control's rectangle in its parent's client coordinates as (x, y, width, height).
struct CBox {
    int x, y, cx, cy;
    bool operator==(const CBox& o) const { return x == o.x && y == o.y && cx == o.cx && cy == o.cy; }
};
std::ostream& operator<<(std::ostream& out, const CBox& b)
{
    return out << "(" << b.x << ", " << b.y << ", " << b.cx << ", " << b.cy << ")";
}
CBox ClientBox(HWND control)
{
    RECT r = WindowRect(control);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

std::vector<std::string> g_opened;
HINSTANCE WINAPI RecordShellExecute(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT)
{
    g_opened.push_back(std::string(verb ? verb : "") + " " + (file ? file : ""));
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

class MainWindowTest : public MainDlgTest {
protected:
    MainWindowTest() { g_opened.clear(); SetShellExecuteForTesting(RecordShellExecute); }
    ~MainWindowTest() override
    {
        SetShellExecuteForTesting(nullptr);
        // No install folder of a test outlives it.
        SetRegString(kSettingsKey, "InstalledDir", "");
        TheSettings().LoadInstallDir();
    }

    CBox Box(int id) const { return ClientBox(Item(id)); }
    RECT Client() const
    {
        RECT r{};
        GetClientRect(m_hwnd, &r);
        return r;
    }
    // Runs a scan of the (empty) temp folder to its end.
    void ScanNothing()
    {
        CheckItem(kTempItemId);
        Command(IDC_SCAN);
        ASSERT_TRUE(WaitUntilIdle());
    }
};

}  // namespace

TEST_F(MainWindowTest, InitialisationSetsUpMenuIconsHintStatusBarListAndTheLastCleaningDate)
{
    SetRegString(kSettingsKey, "LastCleaningDate", "01/02/2003");
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(testsupport::WindowText(m_hwnd), kCaption);
    EXPECT_NE(SendMessageA(m_hwnd, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageA(m_hwnd, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(GetMainWindow(), m_hwnd);

    // The system menu ends with a separator and item 16.
    HMENU system = GetSystemMenu(m_hwnd, FALSE);
    const int count = GetMenuItemCount(system);
    ASSERT_GE(count, 2);
    EXPECT_EQ(GetMenuItemID(system, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    char text[64] = "";
    GetMenuStringA(system, count - 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "关于 Quillon(&A)...");
    EXPECT_TRUE(GetMenuState(system, count - 2, MF_BYPOSITION) & MF_SEPARATOR);

    const std::string hint = testsupport::WindowText(Item(IDC_HINT));
    EXPECT_EQ(hint, m_dlg->m_strHint);
    EXPECT_EQ(hint.rfind("点击下列的按钮打开列表窗口。", 0), 0u);
    EXPECT_NE(hint.find("Ctrl+E = 扫描\nCtrl+C = 清理\nCtrl+S = 取消"), std::string::npos);
    for (int id : {IDC_CATEGORY_WINDOWS, IDC_CATEGORY_BROWSERS, IDC_CATEGORY_APPS, IDC_CATEGORY_CUSTOM}) {
        BUTTON_IMAGELIST images{};
        SendMessageA(Item(id), BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images));
        EXPECT_NE(images.himl, nullptr) << "button " << id << " has no picture";
        EXPECT_EQ(images.himl ? ImageList_GetImageCount(images.himl) : 0, 1);
    }

    // Four parts at a third, five ninths and seven ninths of the width; the last takes the rest.
    HWND bar = Item(IDC_STATUSBAR);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(GetWindowLongA(bar, GWL_STYLE) & SBARS_SIZEGRIP);
    int edges[8] = {};
    ASSERT_EQ(SendMessageA(bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 4);
    const int width = Client().right;
    EXPECT_EQ(edges[0], width / 3);
    EXPECT_EQ(edges[1], width * 5 / 9);
    EXPECT_EQ(edges[2], width * 7 / 9);
    EXPECT_EQ(edges[3], -1);
    EXPECT_EQ(Status(0), "就绪");

    // The status bar shows the date of the previous start; the setting now holds today's.
    const std::string today = FormatDate(_time64(nullptr));
    EXPECT_EQ(Status(1), "上次清理: 01/02/2003");
    EXPECT_EQ(StringSetting("LastCleaningDate"), today);
    EXPECT_EQ(States(), kIdle);
    EXPECT_EQ(m_dlg->m_listResults.List().GetColumnCount(), 5);
    const DWORD styles = m_dlg->m_listResults.List().GetExtendedStyle();
    EXPECT_EQ(styles & (LVS_EX_FULLROWSELECT | LVS_EX_BORDERSELECT | LVS_EX_GRIDLINES),
              static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_BORDERSELECT | LVS_EX_GRIDLINES));
    EXPECT_TRUE(m_dlg->m_bInitDone);
    Close();

    // A stored text of more than 13 characters is not a date: today's is shown instead.
    SetRegString(kSettingsKey, "LastCleaningDate", "01/02/2003 xyz");
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Status(1), "上次清理: " + today);
}

TEST_F(MainWindowTest, TheRightHandSideFollowsTheWindowAndDraggingKeepsTheMinimum)
{
    ASSERT_NE(Open(), nullptr);
    SetWindowPos(m_hwnd, nullptr, 0, 0, 900, 640, SWP_NOZORDER | SWP_NOMOVE);
    const int W = Client().right, H = Client().bottom;
    EXPECT_EQ(Box(IDC_INFO_GROUP), (CBox{180, 5, W - 185, H - 75}));
    EXPECT_EQ(Box(IDC_RESULTS), (CBox{187, 20, W - 199, H - 205}));
    EXPECT_EQ(Box(IDC_OPERATION_LABEL), (CBox{187, H - 170, 93, 19}));
    EXPECT_EQ(Box(IDC_CURRENT_OPERATION), (CBox{290, H - 172, W - 302, 19}));
    EXPECT_EQ(Box(IDC_CURRENT_OBJECT), (CBox{290, H - 148, W - 302, 19}));
    EXPECT_EQ(Box(IDC_ITEM_PROGRESS), (CBox{290, H - 125, W - 302, 15}));
    EXPECT_EQ(Box(IDC_TOTAL_PROGRESS_LABEL), (CBox{187, H - 105, 93, 19}));
    EXPECT_EQ(Box(IDC_TOTAL_PROGRESS), (CBox{290, H - 105, W - 302, 15}));
    EXPECT_EQ(Box(IDC_SCAN), (CBox{180, H - 65, 111, 33}));
    EXPECT_EQ(Box(IDC_CLEAN), (CBox{W - 242, H - 65, 111, 33}));
    EXPECT_EQ(Box(IDC_CANCEL), (CBox{W - 121, H - 65, 111, 33}));
    // The left column keeps its place.
    const CBox options = Box(IDC_OPTIONS);
    SetWindowPos(m_hwnd, nullptr, 0, 0, 1000, 700, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_EQ(Box(IDC_OPTIONS), options);
    int edges[4] = {};
    SendMessageA(Item(IDC_STATUSBAR), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges));
    EXPECT_EQ(edges[0], Client().right / 3);
    const RECT bar = WindowRect(Item(IDC_STATUSBAR)), window = WindowRect(m_hwnd);
    EXPECT_EQ(bar.right - bar.left, Client().right);
    EXPECT_LE(bar.bottom, window.bottom);

    // A too small rectangle grows on the side being dragged: right or left, bottom or top.
    struct Drag {
        WPARAM edge;
        RECT in, out;
    } drags[] = {
        {WMSZ_RIGHT, {100, 100, 400, 300}, {100, -148, 777, 300}},
        {WMSZ_BOTTOMRIGHT, {100, 100, 400, 300}, {100, 100, 777, 548}},
        {WMSZ_TOPLEFT, {100, 100, 400, 300}, {-277, -148, 400, 300}},
        {WMSZ_BOTTOM, {100, 100, 900, 300}, {100, 100, 900, 548}},
        {WMSZ_LEFT, {100, 100, 900, 700}, {100, 100, 900, 700}},
    };
    for (const Drag& drag : drags) {
        RECT r = drag.in;
        SendMessageA(m_hwnd, WM_SIZING, drag.edge, reinterpret_cast<LPARAM>(&r));
        EXPECT_TRUE(EqualRect(&r, &drag.out)) << "edge " << drag.edge << ": " << r.left << "," << r.top << ","
                                              << r.right << "," << r.bottom;
    }
}

TEST_F(MainWindowTest, StoredPlacementIsClampedAtStartAndStoredOnEveryMoveAndSizeChange)
{
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetRegDword(kSettingsKey, "MainWndWidth", 500);
    SetRegDword(kSettingsKey, "MainWndHeight", 300);
    SetRegDword(kSettingsKey, "MainWndLeft", 20);
    SetRegDword(kSettingsKey, "MainWndTop", 30);
    ASSERT_NE(Open(), nullptr);
    RECT r = WindowRect(m_hwnd);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right - r.left, kMinWindowWidth);
    EXPECT_EQ(r.bottom - r.top, kMinWindowHeight);
    Close();

    // Beyond the work area: the size falls back, the position goes to the edge.
    SetRegDword(kSettingsKey, "MainWndWidth", static_cast<DWORD>(work.right + 1));
    SetRegDword(kSettingsKey, "MainWndHeight", 500);
    SetRegDword(kSettingsKey, "MainWndLeft", static_cast<DWORD>(work.right + 5));
    SetRegDword(kSettingsKey, "MainWndTop", static_cast<DWORD>(work.bottom + 5));
    ASSERT_NE(Open(), nullptr);
    r = WindowRect(m_hwnd);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, kMinWindowWidth);
    EXPECT_EQ(r.bottom - r.top, 500);
    EXPECT_FALSE(IsZoomed(m_hwnd));

    // Moving and resizing store at once; negative positions as 0.
    SetWindowPos(m_hwnd, nullptr, -20, 40, 720, 510, SWP_NOZORDER);
    EXPECT_EQ(Setting("MainWndLeft"), 0u);
    EXPECT_EQ(Setting("MainWndTop"), 40u);
    EXPECT_EQ(Setting("MainWndWidth"), 720u);
    EXPECT_EQ(Setting("MainWndHeight"), 510u);
    EXPECT_EQ(Setting("MainWndMaximized"), 0u);
    ShowWindow(m_hwnd, SW_MAXIMIZE);
    EXPECT_EQ(Setting("MainWndMaximized"), 1u);
    EXPECT_TRUE(m_dlg->m_bMaximized);
    EXPECT_EQ(Setting("MainWndWidth"), 720u) << "the maximised size is not stored";
    Close();

    // Maximised is restored; only exactly 1 counts.
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(IsZoomed(m_hwnd));
    EXPECT_TRUE(m_dlg->m_bMaximized);
    Close();
    SetRegDword(kSettingsKey, "MainWndMaximized", 2);
    ASSERT_NE(Open(), nullptr);
    EXPECT_FALSE(IsZoomed(m_hwnd));
    EXPECT_FALSE(m_dlg->m_bMaximized);

    // Minimised, the small rectangle is stored, and the next start makes the minimum of it.
    SetRegDword(kSettingsKey, "ShowIconInTaskbarWhenMinimized", 1);
    SendMessageA(m_hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(IsIconic(m_hwnd));
    EXPECT_EQ(Setting("MainWndMaximized"), 0u);
    EXPECT_LT(Setting("MainWndWidth"), static_cast<DWORD>(kMinWindowWidth));
    Close();
    ASSERT_NE(Open(), nullptr);
    r = WindowRect(m_hwnd);
    EXPECT_EQ(r.right - r.left, kMinWindowWidth);
    EXPECT_EQ(r.bottom - r.top, kMinWindowHeight);
}

TEST_F(MainWindowTest, EnterAndEscapeDoNothingAndQuittingClosesTheOwnedWindowsToo)
{
    ASSERT_NE(Open(), nullptr);
    Command(IDOK);
    Command(IDCANCEL);
    SendMessageA(m_hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(m_hwnd));
    EXPECT_FALSE(m_dlg->IsEnded());

    CMainReportDlg report(m_hwnd);
    report.m_strText = "报告";
    HWND reportHwnd = report.Create();
    ASSERT_NE(reportHwnd, nullptr);
    SendMessageA(m_hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(m_hwnd));
    EXPECT_TRUE(m_dlg->IsEnded());
    EXPECT_EQ(m_dlg->GetResult(), IDOK);
    EXPECT_FALSE(IsWindow(reportHwnd));
    EXPECT_EQ(GetMainWindow(), nullptr);
}

TEST_F(MainWindowTest, HelpCommandsOpenTheHelpFileAndTheWebAddressAndAboutItsVersionHistory)
{
    SetRegString(kSettingsKey, "InstalledDir", "C:\\Tools\\Quillon");
    TheSettings().LoadInstallDir();
    ASSERT_NE(Open(), nullptr);
    Command(ID_HELP_CONTENTS);
    Command(ID_HELP);
    Command(ID_HELP_HOMEPAGE);
    Command(ID_HELP_FORUM);
    ASSERT_EQ(g_opened.size(), 4u);
    EXPECT_EQ(g_opened[0], "open C:\\Tools\\Quillon\\LorvexHelp.chm");
    EXPECT_EQ(g_opened[1], g_opened[0]);
    EXPECT_EQ(g_opened[2], std::string("open ") + kMakerWebAddress);
    EXPECT_EQ(g_opened[3], g_opened[2]);

    // The About box, from the help menu and from the system menu, with its version history.
    for (bool fromSystemMenu : {false, true}) {
        g_opened.clear();
        std::atomic<bool> closed{false};
        testsupport::WindowWatcher about(
            [] { return FindOwnWindow("#32770", "关于 Quillon"); },
            [&](HWND box) {
                SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDC_VERSION_HISTORY, BN_CLICKED), 0);
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                closed = true;
            });
        if (fromSystemMenu)
            PostMessageA(m_hwnd, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        else
            PostCommand(ID_HELP_ABOUT);
        ASSERT_TRUE(WaitFor([&] { return closed.load(); })) << "no About box";
        ASSERT_TRUE(WaitFor([&] { return !FindOwnWindow("#32770", "关于 Quillon"); }));
        ASSERT_EQ(g_opened.size(), 1u);
        EXPECT_EQ(g_opened[0], "open C:\\Tools\\Quillon\\ChangeLog.txt");
    }

    // Not while another window of the program is open.
    CMainReportDlg report(m_hwnd);
    ASSERT_NE(report.Create(), nullptr);
    Command(ID_HELP_ABOUT);
    EXPECT_EQ(FindOwnWindow("#32770", "关于 Quillon"), nullptr);
}

TEST_F(MainWindowTest, TheHelpAndTrayMenusPopUpWhereTheyBelong)
{
    ASSERT_NE(Open(), nullptr);
    // The help menu at the Help button's top-left corner plus 3 pixels.
    RECT button = WindowRect(Item(IDC_HELP_MENU));
    RECT menuRect{};
    int menuItems = 0;
    std::atomic<bool> seen{false};
    {
        testsupport::WindowWatcher menu([] { return FindOwnWindow("#32768", ""); },
                                        [&](HWND popup) {
                                            GetWindowRect(popup, &menuRect);
                                            menuItems = GetMenuItemCount(reinterpret_cast<HMENU>(
                                                SendMessageA(popup, MN_GETHMENU, 0, 0)));
                                            seen = true;
                                            PostMessageA(popup, WM_CANCELMODE, 0, 0);
                                        });
        PostCommand(IDC_HELP_MENU);
        ASSERT_TRUE(WaitFor([&] { return seen.load(); })) << "no help menu";
    }
    EXPECT_EQ(menuRect.left, button.left + 3);
    EXPECT_EQ(menuRect.top, button.top + 3);
    EXPECT_EQ(menuItems, 5);
    ASSERT_TRUE(WaitFor([] { return FindOwnWindow("#32768", "") == nullptr; }));

    // The tray menu at the cursor on a right-button press: restore, minimise, clean now, help, exit.
    SetCursorPos(300, 200);
    seen = false;
    std::vector<UINT> ids;
    {
        testsupport::WindowWatcher menu([] { return FindOwnWindow("#32768", ""); },
                                        [&](HWND popup) {
                                            GetWindowRect(popup, &menuRect);
                                            HMENU m = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
                                            for (int i = 0; i < GetMenuItemCount(m); ++i) ids.push_back(GetMenuItemID(m, i));
                                            seen = true;
                                            PostMessageA(popup, WM_CANCELMODE, 0, 0);
                                        });
        PostMessageA(m_hwnd, UWM_TRAY_NOTIFY, kTrayIconId, WM_RBUTTONDOWN);
        ASSERT_TRUE(WaitFor([&] { return seen.load(); })) << "no tray menu";
    }
    EXPECT_EQ(menuRect.left, 300);
    EXPECT_EQ(menuRect.top, 200);
    const std::vector<UINT> expected = {ID_TRAY_RESTORE, ID_TRAY_MINIMIZE, 0, ID_TRAY_CLEANNOW, 0,
                                        static_cast<UINT>(-1), 0, ID_TRAY_EXIT};
    EXPECT_EQ(ids, expected);
}

TEST_F(MainWindowTest, MinimisingWithoutTaskbarButtonHidesInTheTrayForGoodAndRestoringBringsItBack)
{
    ASSERT_NE(Open(), nullptr);
    ShowWindow(m_hwnd, SW_MAXIMIZE);
    SendMessageA(m_hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(m_hwnd));
    EXPECT_FALSE(IsIconic(m_hwnd));
    EXPECT_EQ(Setting("ShowIconInTheStatusArea"), 1u);
    EXPECT_TRUE(m_dlg->HasTrayIcon());

    // A left click on the tray icon restores, maximised as the window was.
    SendMessageA(m_hwnd, UWM_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONDOWN);
    EXPECT_TRUE(IsWindowVisible(m_hwnd));
    EXPECT_TRUE(IsZoomed(m_hwnd));
    Command(ID_TRAY_MINIMIZE);
    EXPECT_FALSE(IsWindowVisible(m_hwnd));
    Command(ID_TRAY_RESTORE);
    EXPECT_TRUE(IsWindowVisible(m_hwnd));
    Close();

    // The icon stays on at the next start; with a taskbar button the window simply minimises.
    SetRegDword(kSettingsKey, "ShowIconInTaskbarWhenMinimized", 1);
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(m_dlg->HasTrayIcon());
    SendMessageA(m_hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(m_hwnd));
    Command(ID_TRAY_RESTORE);
    EXPECT_FALSE(IsIconic(m_hwnd));

    // After the options sheet: the tray icon follows the setting, the last-cleaning text goes.
    SetRegDword(kSettingsKey, "ShowIconInTheStatusArea", 0);
    ASSERT_EQ(Status(1).rfind("上次清理: ", 0), 0u);
    ASSERT_TRUE(RunOptionsSheet(PSBTN_CANCEL));
    EXPECT_FALSE(m_dlg->HasTrayIcon());
    EXPECT_EQ(Status(1), "");
    // Whichever button closed the sheet, the stored settings apply; the user's changes only after OK.
    SetRegDword(kSettingsKey, "HideGridlines", 1);
    SetRegDword(kSettingsKey, "ShowIconInTheStatusArea", 1);
    SetRegDword(kSettingsKey, "SessCleanBrowserClose", 1);
    for (int button : {PSBTN_CANCEL, PSBTN_OK}) {
        ASSERT_TRUE(RunOptionsSheet(button, [](HWND sheet) {
            CheckDlgButton(PropSheet_GetCurrentPageHwnd(sheet), IDC_GEN_TRAY_ICON, BST_UNCHECKED);
            PropSheet_SetCurSel(sheet, nullptr, 3);  // Schedule
            CheckDlgButton(PropSheet_GetCurrentPageHwnd(sheet), IDC_SCHED_BROWSER_CLOSE, BST_UNCHECKED);
        }));
        EXPECT_EQ(m_dlg->HasTrayIcon(), button == PSBTN_CANCEL);
        // KillTimer tells whether the browser-close watch was running.
        EXPECT_EQ(KillTimer(m_hwnd, IDT_BROWSER_WATCH) != FALSE, button == PSBTN_CANCEL);
        EXPECT_EQ(m_dlg->m_listResults.List().GetExtendedStyle() & LVS_EX_GRIDLINES, 0u);
    }
}

TEST_F(MainWindowTest, StartingInTheTrayMinimisesAndHidesTheWindow)
{
    SetRegDword(kSettingsKey, "StartInIconizedMode", 1);
    ASSERT_NE(Open(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(m_hwnd); }, 5000));
    EXPECT_TRUE(IsIconic(m_hwnd));
    EXPECT_EQ(Setting("MainWndMaximized"), 0u);
    // The minimised rectangle was stored: the next start opens at the minimum at the left top.
    EXPECT_LT(Setting("MainWndWidth"), static_cast<DWORD>(kMinWindowWidth));
    EXPECT_TRUE(m_dlg->HasTrayIcon());
    Command(ID_TRAY_RESTORE);
    EXPECT_TRUE(IsWindowVisible(m_hwnd));
    // Quitting takes the icon away.
    SendMessageA(m_hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(m_dlg->HasTrayIcon());
}

TEST_F(MainWindowTest, ARunThatEndsWhileMinimisedFlashesTheCaptionFiveTimes)
{
    SetRegDword(kSettingsKey, "ShowIconInTaskbarWhenMinimized", 1);
    ASSERT_NE(Open(), nullptr);
    SendMessageA(m_hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(IsIconic(m_hwnd));
    ScanNothing();
    EXPECT_TRUE(KillTimer(m_hwnd, IDT_FLASH)) << "no flashing after the scan";

    // Five flashes, then the timer stops by itself (and the next round has five again).
    for (int round = 0; round < 2; ++round) {
        ScanNothing();
        testsupport::PumpUntil([] { return false; }, 3500);
        EXPECT_FALSE(KillTimer(m_hwnd, IDT_FLASH)) << "round " << round << " still flashing";
    }

    // Not when the window is in sight.
    Command(ID_TRAY_RESTORE);
    ScanNothing();
    EXPECT_FALSE(KillTimer(m_hwnd, IDT_FLASH));
}

// Keys pressed as the user would reach the window through the test's own loop, which routes them
// through the dialog layer as a modal run does.
using testsupport::PressKeys;
using testsupport::PumpThroughDialogs;

TEST_F(MainWindowTest, KeysGoToTheAcceleratorsFirstAndEnterOrEscapeDoNotClose)
{
    SetRegDword(kSettingsKey, "Reports", 0);
    const std::string file = MakeTempFile("keys.tmp");
    CheckItem(kTempItemId);
    ASSERT_NE(Open(), nullptr);
    SetForegroundWindow(m_hwnd);
    SetFocus(Item(IDC_RESULTS));
    ASSERT_TRUE(PumpThroughDialogs([&] { return GetForegroundWindow() == m_hwnd; }));

    PressKeys({VK_ESCAPE});
    PressKeys({VK_RETURN});
    PumpThroughDialogs([] { return false; }, 300);
    EXPECT_TRUE(IsWindow(m_hwnd));
    EXPECT_FALSE(m_dlg->IsEnded());

    PressKeys({VK_CONTROL, 'E'});  // scan
    ASSERT_TRUE(PumpThroughDialogs([&] { return States() == kResultsReady; })) << "Ctrl+E did not scan";
    ASSERT_EQ(Rows(), 1);
    PressKeys({VK_CONTROL, 'A'});  // tick all
    ASSERT_TRUE(PumpThroughDialogs([&] { return RowChecked(0); })) << "Ctrl+A did not tick the rows";
    PressKeys({VK_CONTROL, 'C'});  // clean
    ASSERT_TRUE(PumpThroughDialogs([&] { return States() == kIdle && !g_theScanningThreadsParam.m_bBusy; }, 20000))
        << "Ctrl+C did not clean";
    EXPECT_FALSE(testsupport::FileExists(file));
}
