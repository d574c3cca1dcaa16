// Warnings with "不再显示该信息": the text and icon, the WarningChecks value written only for a
// ticked box and only as 1, suppression by the warning's own key, the shared "OneForAll" key, and
// the keys that close it (the button, Esc and the close box; not Enter).
#include "ui/WarningMsgDlg.h"

#include "UiFixture.h"
#include "resource.h"
#include "support/WindowDriver.h"

#include <string>

using testsupport::WindowText;

namespace {

class WarningMsgDlgTest : public UiTest {
protected:
    // Opens a warning modeless; null when it ended before being shown.
    static HWND Open(CWarningMsgDlg& dlg, const std::string& key, const std::string& text = "警告文本")
    {
        dlg.m_strKey = key;
        dlg.m_strText = text;
        return dlg.Create();
    }
    static void Tick(HWND hwnd) { CheckDlgButton(hwnd, IDC_WARNING_DONT_SHOW, BST_CHECKED); }
    static void PressOk(HWND hwnd)
    {
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_WARNING_OK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDC_WARNING_OK)));
    }
};

}  // namespace

TEST_F(WarningMsgDlgTest, ShowsTextAndWarningIconAndIgnoresEnter)
{
    CWarningMsgDlg dlg;
    HWND hwnd = Open(dlg, kCustomItemsWarningKey, "不建议初级用户设置这些项目。\r\n第二行");
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(WindowText(hwnd), "警告! - Quillon");
    EXPECT_EQ(WindowText(GetDlgItem(hwnd, IDC_WARNING_TEXT)), "不建议初级用户设置这些项目。\r\n第二行");
    EXPECT_NE(SendDlgItemMessageA(hwnd, IDC_WARNING_ICON, STM_GETICON, 0, 0), 0);
    EXPECT_EQ(WindowText(GetDlgItem(hwnd, IDC_WARNING_DONT_SHOW)), "不再显示该信息");
    EXPECT_EQ(IsDlgButtonChecked(hwnd, IDC_WARNING_DONT_SHOW), static_cast<UINT>(BST_UNCHECKED));

    SendMessageA(hwnd, WM_COMMAND, IDOK, 0);  // what Enter sends
    EXPECT_FALSE(dlg.IsEnded());
    PressOk(hwnd);
    EXPECT_TRUE(dlg.IsEnded());
    EXPECT_EQ(dlg.GetResult(), IDOK);
    // Not ticked: nothing is remembered.
    EXPECT_EQ(WarningCheck(kCustomItemsWarningKey), -1);
}

TEST_F(WarningMsgDlgTest, TickedWarningIsNeverShownAgainButOtherKeysAre)
{
    {
        CWarningMsgDlg dlg;
        HWND hwnd = Open(dlg, kOpenBrowsersWarningKey);
        ASSERT_NE(hwnd, nullptr);
        Tick(hwnd);
        PressOk(hwnd);
        EXPECT_EQ(dlg.GetResult(), IDOK);
    }
    EXPECT_EQ(WarningCheck(kOpenBrowsersWarningKey), 1);

    // The next time (also after a restart: only the registry remembers) it ends unseen, with OK.
    CWarningMsgDlg again;
    EXPECT_EQ(Open(again, kOpenBrowsersWarningKey), nullptr);
    EXPECT_TRUE(again.IsEnded());
    EXPECT_EQ(again.GetResult(), IDOK);
    CWarningMsgDlg modal;
    modal.m_strKey = kOpenBrowsersWarningKey;
    EXPECT_EQ(modal.DoModal(), IDOK);

    CWarningMsgDlg other;
    HWND hwnd = Open(other, kCustomItemsWarningKey);
    EXPECT_NE(hwnd, nullptr);
    other.EndDialog(IDOK);
    CWarningMsgDlg keyless;
    EXPECT_NE(Open(keyless, ""), nullptr);
}

TEST_F(WarningMsgDlgTest, WarningsWithoutKeyShareOneForAll)
{
    {
        CWarningMsgDlg first;
        HWND hwnd = Open(first, "", "第一个警告");
        ASSERT_NE(hwnd, nullptr);
        EXPECT_EQ(first.CheckKey(), "OneForAll");
        Tick(hwnd);
        SendMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);  // Esc closes like the button
        EXPECT_EQ(first.GetResult(), IDOK);
    }
    EXPECT_EQ(WarningCheck("OneForAll"), 1);
    CWarningMsgDlg second;
    EXPECT_EQ(Open(second, "", "另一个警告"), nullptr);
    CWarningMsgDlg keyed;
    EXPECT_NE(Open(keyed, kCustomItemsWarningKey), nullptr);
}

TEST_F(WarningMsgDlgTest, CloseBoxRemembersATickAndOnlyExactlyOneSuppresses)
{
    testsupport::SetRegDword(kWarningChecksKey, kCustomItemsWarningKey, 2);
    CWarningMsgDlg dlg;
    HWND hwnd = Open(dlg, kCustomItemsWarningKey);
    ASSERT_NE(hwnd, nullptr);  // 2 is not "do not show"
    Tick(hwnd);
    // The close box becomes a posted IDCANCEL.
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return dlg.IsEnded(); }));
    EXPECT_EQ(dlg.GetResult(), IDOK);
    EXPECT_EQ(WarningCheck(kCustomItemsWarningKey), 1);
}

TEST_F(WarningMsgDlgTest, ModalWarningTickedThroughTheKeyboard)
{
    CWarningMsgDlg dlg;
    dlg.m_strText = "警告";
    testsupport::WindowWatcher watcher([] { return testsupport::FindDialog("警告! - Quillon"); },
                                       [](HWND hwnd) {
                                           HWND box = GetDlgItem(hwnd, IDC_WARNING_DONT_SHOW);
                                           PostMessageA(box, WM_KEYDOWN, VK_SPACE, 0);
                                           PostMessageA(box, WM_KEYUP, VK_SPACE, 0);
                                           PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);  // ignored
                                           PostMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
                                       });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(watcher.Found());
    EXPECT_EQ(WarningCheck("OneForAll"), 1);
}
