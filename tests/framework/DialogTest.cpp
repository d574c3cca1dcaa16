// The dialog layer on real templates of the program: binding and dispatch, results through
// DWLP_MSGRESULT, modeless and modal runs, exceptions kept out of user32, message routing, and the
// property sheet with its page notifications.
#include "framework/Dialog.h"
#include "framework/PropertySheet.h"
#include "resource.h"
#include "support/Sandbox.h"
#include "support/WindowDriver.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

using framework::CDialog;
using framework::CPropertyPage;
using framework::CPropertySheet;
using testsupport::PumpUntil;

namespace {

constexpr UINT kAskResult = WM_APP + 7;
constexpr UINT kEndFromLoop = WM_APP + 8;
constexpr UINT kTestNotifyCode = 0x7123;

// Records what reaches the virtuals.
class CProbeDlg : public CDialog {
public:
    explicit CProbeDlg(UINT id = IDD_INPUT, HWND parent = nullptr) : CDialog(id, parent) {}

    std::vector<UINT> m_seen;  // messages in arrival order; WM_INITDIALOG first if nothing leaked
    bool m_bEndInInit = false;
    bool m_bThrowInInit = false;
    bool m_bThrowOnCommand = false;
    bool m_bSwallowKeys = false;
    int m_nKeysSeen = 0;
    bool m_bOwnerWasDisabled = false;
    bool m_bWasVisible = false;
    HBRUSH m_hBrush = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));

protected:
    BOOL OnInitDialog() override
    {
        m_seen.push_back(WM_INITDIALOG);
        if (m_bThrowInInit) throw std::runtime_error("init failed");
        if (m_bEndInInit) EndDialog(55);
        return TRUE;
    }
    bool OnCommand(WORD id, WORD code, HWND control) override
    {
        m_seen.push_back(WM_COMMAND);
        if (m_bThrowOnCommand) throw 42;
        return CDialog::OnCommand(id, code, control);
    }
    LRESULT OnNotify(NMHDR* header) override
    {
        m_seen.push_back(WM_NOTIFY);
        return header->code == kTestNotifyCode ? 1234 : 0;
    }
    bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) override
    {
        m_seen.push_back(msg);
        if (msg == kAskResult) {
            result = 77;
            return true;
        }
        if (msg == WM_CTLCOLORSTATIC) {
            result = reinterpret_cast<LRESULT>(m_hBrush);
            return true;
        }
        if (msg == kEndFromLoop) {
            HWND owner = GetWindow(m_hWnd, GW_OWNER);
            m_bOwnerWasDisabled = owner && !IsWindowEnabled(owner);
            m_bWasVisible = IsWindowVisible(m_hWnd) != FALSE;
            EndDialog(7);
            return true;
        }
        return false;
    }
    bool PreTranslateMessage(MSG& msg) override
    {
        if (msg.message != WM_KEYDOWN) return false;
        ++m_nKeysSeen;
        return m_bSwallowKeys;
    }
};

HWND MakeOwnerWindow()
{
    return CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

void Pump()
{
    PumpUntil([] { return false; }, 50);
}

}  // namespace

TEST(DialogLayer, ModelessDialogBindsAtInitAndEndsByDestroyingItsWindow)
{
    CProbeDlg dlg;
    HWND hwnd = dlg.Create();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(dlg.GetHwnd(), hwnd);
    EXPECT_EQ(CDialog::FromHandle(hwnd), &dlg);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    // WM_SETFONT and the creation messages come before WM_INITDIALOG and reach no virtual.
    ASSERT_FALSE(dlg.m_seen.empty());
    EXPECT_EQ(dlg.m_seen.front(), static_cast<UINT>(WM_INITDIALOG));
    EXPECT_EQ(std::count(dlg.m_seen.begin(), dlg.m_seen.end(), static_cast<UINT>(WM_SETFONT)), 0);
    EXPECT_FALSE(dlg.IsEnded());

    // Esc arrives as IDCANCEL; the base turns it into OnCancel.
    SendMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(dlg.IsEnded());
    EXPECT_EQ(dlg.GetResult(), IDCANCEL);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(dlg.GetHwnd(), nullptr);
    EXPECT_EQ(CDialog::FromHandle(hwnd), nullptr);

    // The same object can be created again.
    HWND again = dlg.Create();
    ASSERT_NE(again, nullptr);
    EXPECT_FALSE(dlg.IsEnded());
    dlg.EndDialog(IDOK);
    EXPECT_EQ(dlg.GetResult(), IDOK);
    EXPECT_FALSE(IsWindow(again));
}

TEST(DialogLayer, ResultsTravelThroughDwlpMsgResultOrDirectly)
{
    CProbeDlg dlg;
    HWND hwnd = dlg.Create();
    ASSERT_NE(hwnd, nullptr);

    NMHDR header{hwnd, 1, kTestNotifyCode};
    EXPECT_EQ(SendMessageA(hwnd, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header)), 1234);
    EXPECT_EQ(GetWindowLongPtrA(hwnd, DWLP_MSGRESULT), 1234);
    header.code = 0x7124;
    EXPECT_EQ(SendMessageA(hwnd, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header)), 0);

    EXPECT_EQ(SendMessageA(hwnd, kAskResult, 0, 0), 77);
    // Colour messages return the brush itself, not TRUE.
    HWND edit = GetDlgItem(hwnd, IDC_INPUT_EDIT);
    EXPECT_EQ(SendMessageA(hwnd, WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(edit)),
              reinterpret_cast<LRESULT>(dlg.m_hBrush));
    // A message nobody handles gets the default handling.
    EXPECT_EQ(SendMessageA(hwnd, WM_APP + 99, 0, 0), 0);
    dlg.EndDialog(IDOK);
}

TEST(DialogLayer, ExceptionsStayInsideTheHandler)
{
    CProbeDlg failing;
    failing.m_bThrowInInit = true;
    EXPECT_EQ(failing.Create(), nullptr);
    EXPECT_TRUE(failing.IsEnded());
    EXPECT_EQ(failing.GetResult(), -1);

    CProbeDlg modal;
    modal.m_bThrowInInit = true;
    EXPECT_EQ(modal.DoModal(), -1);

    CProbeDlg throwing;
    throwing.m_bThrowOnCommand = true;
    HWND hwnd = throwing.Create();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(SendMessageA(hwnd, WM_COMMAND, IDC_INPUT_OK, 0), 0);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_FALSE(throwing.IsEnded());
}

TEST(DialogLayer, DialogEndedByItsInitIsNeverShown)
{
    CProbeDlg modeless;
    modeless.m_bEndInInit = true;
    EXPECT_EQ(modeless.Create(), nullptr);
    EXPECT_EQ(modeless.GetResult(), 55);

    HWND owner = MakeOwnerWindow();
    CProbeDlg modal(IDD_INPUT, owner);
    modal.m_bEndInInit = true;
    EXPECT_EQ(modal.DoModal(), 55);
    EXPECT_EQ(std::count(modal.m_seen.begin(), modal.m_seen.end(), static_cast<UINT>(WM_SHOWWINDOW)), 0);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}

TEST(DialogLayer, ModalRunDisablesItsOwnerAndReturnsTheResult)
{
    HWND owner = MakeOwnerWindow();
    HWND ownerChild = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, owner, nullptr, nullptr, nullptr);
    // Given a child as parent, the dialog belongs to (and disables) its top-level window.
    CProbeDlg dlg(IDD_INPUT, ownerChild);
    // The end request is posted from outside once the window is on screen, so it has to come
    // through the dialog's own loop.
    testsupport::WindowWatcher watcher([] { return testsupport::FindDialog("输入数据..."); },
                                       [](HWND hwnd) { PostMessageA(hwnd, kEndFromLoop, 0, 0); });
    EXPECT_EQ(dlg.DoModal(), 7);
    EXPECT_TRUE(watcher.Found());
    EXPECT_TRUE(dlg.m_bOwnerWasDisabled);
    EXPECT_TRUE(dlg.m_bWasVisible);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(dlg.GetHwnd(), nullptr);
    EXPECT_EQ(testsupport::FindDialog("输入数据..."), nullptr);
    DestroyWindow(owner);
}

TEST(DialogLayer, ModalLoopOffersKeysToPreTranslateFirstAndLeavesWmQuitToTheOuterLoop)
{
    CProbeDlg dlg;
    dlg.m_bSwallowKeys = true;
    testsupport::WindowWatcher watcher([] { return testsupport::FindDialog("输入数据..."); },
                                       [](HWND hwnd) {
                                           HWND edit = GetDlgItem(hwnd, IDC_INPUT_EDIT);
                                           // Esc would end the dialog if it got past PreTranslateMessage.
                                           PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
                                           PostMessageA(edit, WM_KEYDOWN, 'A', 0);
                                           Sleep(200);
                                           PostThreadMessageA(GetWindowThreadProcessId(hwnd, nullptr), WM_QUIT, 3, 0);
                                       });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(watcher.Found());
    EXPECT_EQ(dlg.m_nKeysSeen, 2);
    // The WM_QUIT that ended the run is there again for the outer loop.
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST(DialogLayer, RouteDialogMessageGivesModelessDialogsTheirKeyboardHandling)
{
    CProbeDlg dlg;
    HWND hwnd = dlg.Create();
    ASSERT_NE(hwnd, nullptr);
    PostMessageA(GetDlgItem(hwnd, IDC_INPUT_EDIT), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PumpUntil([&] {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CDialog::RouteDialogMessage(msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        return dlg.IsEnded();
    }));
    EXPECT_EQ(dlg.m_nKeysSeen, 1);
    EXPECT_EQ(dlg.GetResult(), IDCANCEL);
    // Someone else's dialog with its own data in DWLP_USER gets its keyboard handling and no more.
    HWND other = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_INPUT), nullptr, [](HWND h, UINT m, WPARAM, LPARAM) {
        return static_cast<INT_PTR>(m == WM_INITDIALOG && SetWindowLongPtrA(h, DWLP_USER, 0x5150) >= 0);
    }, 0);
    EXPECT_EQ(CDialog::FromHandle(other), nullptr);
    MSG key{GetDlgItem(other, IDC_INPUT_EDIT), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(CDialog::RouteDialogMessage(key));
    DestroyWindow(other);
}

TEST(DialogLayer, DestroyingTheObjectDestroysAModelessWindow)
{
    HWND hwnd = nullptr;
    {
        CProbeDlg dlg;
        hwnd = dlg.Create();
        ASSERT_TRUE(IsWindow(hwnd));
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

namespace {

// A page that records the sheet's notifications.
class CProbePage : public CPropertyPage {
public:
    CProbePage(UINT id, const char* title, std::vector<std::string>& log) : CPropertyPage(id, title), m_log(log) {}

    bool m_bRefuseApply = false;
    bool m_bRefuseLeave = false;

protected:
    BOOL OnInitDialog() override
    {
        Log("init");
        return TRUE;
    }
    bool OnSetActive() override
    {
        Log("active");
        return true;
    }
    bool OnKillActive() override
    {
        Log("leave");
        return !m_bRefuseLeave;
    }
    bool OnApply() override
    {
        Log("apply");
        return !m_bRefuseApply;
    }
    void OnReset() override { Log("reset"); }

private:
    void Log(const char* what) { m_log.push_back(std::string(GetTemplateId() == IDD_INPUT ? "1:" : "2:") + what); }
    std::vector<std::string>& m_log;
};

std::string TabText(HWND sheet, int index)
{
    char text[64] = "";
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(PropSheet_GetTabControl(sheet), TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
    return text;
}

}  // namespace

TEST(PropertySheetLayer, ModelessSheetCreatesPagesOnDemandAndAppliesEveryCreatedPage)
{
    std::vector<std::string> log;
    CProbePage first(IDD_INPUT, "常规", log);
    CProbePage second(IDD_REPORT, "", log);
    CPropertySheet sheet("配置 Quillon...");
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    sheet.AddFlags(PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP);
    HWND hwnd = sheet.Create();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(testsupport::WindowText(hwnd), "配置 Quillon...");
    EXPECT_EQ(TabText(hwnd, 0), "常规");
    EXPECT_EQ(TabText(hwnd, 1), "报告");  // no title given: the template's caption
    EXPECT_EQ(log, (std::vector<std::string>{"1:init", "1:active"}));
    EXPECT_EQ(second.GetHwnd(), nullptr);
    EXPECT_EQ(CDialog::FromHandle(first.GetHwnd()), &first);

    // A page that refuses to be left keeps the sheet where it is.
    first.m_bRefuseLeave = true;
    PropSheet_SetCurSel(hwnd, nullptr, 1);
    EXPECT_EQ(PropSheet_GetCurrentPageHwnd(hwnd), first.GetHwnd());
    first.m_bRefuseLeave = false;
    log.clear();
    PropSheet_SetCurSel(hwnd, nullptr, 1);
    EXPECT_EQ(PropSheet_GetCurrentPageHwnd(hwnd), second.GetHwnd());
    EXPECT_EQ(log, (std::vector<std::string>{"1:leave", "2:init", "2:active"}));

    // OK: a page that refuses its values keeps the sheet open; then both created pages apply.
    second.m_bRefuseApply = true;
    log.clear();
    PropSheet_PressButton(hwnd, PSBTN_OK);
    Pump();
    EXPECT_FALSE(sheet.IsClosed());
    second.m_bRefuseApply = false;
    log.clear();
    PropSheet_PressButton(hwnd, PSBTN_OK);
    EXPECT_TRUE(PumpUntil([&] { return sheet.IsClosed(); }));
    EXPECT_NE(std::find(log.begin(), log.end(), "1:apply"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "2:apply"), log.end());
    sheet.Destroy();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(first.GetHwnd(), nullptr);
}

TEST(PropertySheetLayer, CancelResetsTheCreatedPagesOnly)
{
    std::vector<std::string> log;
    CProbePage first(IDD_INPUT, "常规", log);
    CProbePage second(IDD_REPORT, "高级", log);
    CPropertySheet sheet("配置 Quillon...");
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    ASSERT_NE(sheet.Create(), nullptr);
    EXPECT_EQ(sheet.GetPageCount(), 2);
    log.clear();
    PropSheet_PressButton(sheet.GetHwnd(), PSBTN_CANCEL);
    EXPECT_TRUE(PumpUntil([&] { return sheet.IsClosed(); }));
    EXPECT_EQ(log, (std::vector<std::string>{"1:reset"}));
}
