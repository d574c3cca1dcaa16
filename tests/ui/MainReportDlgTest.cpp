// The report after a clean: its text, icon and title, the copy of the whole text whatever was
// selected, and closing with OK, Enter and Esc.
#include "ui/MainReportDlg.h"

#include "UiFixture.h"
#include "resource.h"
#include "support/WindowDriver.h"

#include <string>

using testsupport::WindowText;

namespace {

const char kReport[] =
    "清理开始于 07/12/2026 14:05\r\n"
    "--------------------------------------------------\r\n"
    "已删除的对象数: 12。\r\n"
    "无法被删除的对象数: 1。\r\n"
    "已忽略的 Cookies 数: 3。\r\n"
    "--------------------------------------------------\r\n"
    "总计剩余空间: 1.25 MB\r\n\r\n"
    "清理耗时: 2 秒。";

std::string ClipboardText()
{
    std::string text;
    if (!OpenClipboard(nullptr)) return "<clipboard busy>";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void PutOnClipboard(const std::string& text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

class MainReportDlgTest : public UiTest {};

}  // namespace

TEST_F(MainReportDlgTest, ShowsTheReportAndCopiesAllOfItWhateverWasSelected)
{
    CMainReportDlg dlg;
    dlg.m_strText = kReport;
    HWND hwnd = dlg.Create();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(WindowText(hwnd), "报告");
    HWND edit = GetDlgItem(hwnd, IDC_REPORT_TEXT);
    EXPECT_EQ(WindowText(edit), kReport);
    EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & ES_READONLY);
    EXPECT_NE(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0), 0);

    PutOnClipboard("old contents");
    SendMessageA(edit, EM_SETSEL, 3, 9);  // the user selected a few characters
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_REPORT_COPY, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDC_REPORT_COPY)));
    EXPECT_EQ(ClipboardText(), kReport);
    DWORD start = 0xdeadbeef, end = 0xdeadbeef;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthW(edit)));  // positions count characters
    EXPECT_FALSE(dlg.IsEnded());
    EXPECT_TRUE(IsWindowVisible(hwnd));

    SendMessageA(hwnd, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(dlg.IsEnded());
    EXPECT_EQ(dlg.GetResult(), IDOK);
}

TEST_F(MainReportDlgTest, EnterAndEscCloseAModalReport)
{
    for (WPARAM key : {static_cast<WPARAM>(VK_RETURN), static_cast<WPARAM>(VK_ESCAPE)}) {
        CMainReportDlg dlg;
        dlg.m_strText = kReport;
        testsupport::WindowWatcher watcher([] { return testsupport::FindDialog("报告"); },
                                           [key](HWND hwnd) {
                                               HWND edit = GetDlgItem(hwnd, IDC_REPORT_TEXT);
                                               PostMessageA(edit, WM_KEYDOWN, key, 0);
                                           });
        INT_PTR result = dlg.DoModal();
        EXPECT_TRUE(watcher.Found());
        EXPECT_EQ(result, key == VK_RETURN ? IDOK : IDCANCEL);
        EXPECT_EQ(testsupport::FindDialog("报告"), nullptr);
    }
}
