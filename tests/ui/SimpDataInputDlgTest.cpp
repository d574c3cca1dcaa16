// The one-line input dialog: title and text at opening, the 4..259-byte rule counted in bytes of
// code page 936 (two Chinese characters are 4 bytes), the refusal message owned by the dialog, and
// the ways it ends.
#include "ui/SimpDataInputDlg.h"

#include "UiFixture.h"
#include "resource.h"
#include "support/WindowDriver.h"

#include <string>

using testsupport::WindowText;

namespace {

struct Submission {
    bool ended = false;
    INT_PTR result = 0;
    std::string value;
    bool refused = false;     // the refusal box appeared
    std::string refusalText;  // its text
    bool boxOwnedByDialog = false;
};

std::string Repeat(const std::string& piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

class SimpDataInputDlgTest : public UiTest {
protected:
    // Opens the dialog, types text into the edit and presses "确定"; a refusal box is read and
    // closed from outside.
    static Submission Submit(const std::string& text)
    {
        Submission outcome;
        CSimpDataInputDlg dlg;
        dlg.m_strCaption = "添加文件";
        HWND hwnd = dlg.Create();
        if (!hwnd) return outcome;
        SetDlgItemTextA(hwnd, IDC_INPUT_EDIT, text.c_str());
        testsupport::WindowWatcher watcher([] { return testsupport::FindDialog("错误"); },
                                           [&](HWND box) {
                                               outcome.refusalText = testsupport::MessageBoxText(box);
                                               outcome.boxOwnedByDialog = GetWindow(box, GW_OWNER) == hwnd;
                                               PostMessageA(box, WM_COMMAND, IDOK, 0);
                                           },
                                           3000);
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_INPUT_OK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDC_INPUT_OK)));
        outcome.refused = watcher.Stop();
        outcome.ended = dlg.IsEnded();
        outcome.result = dlg.GetResult();
        outcome.value = dlg.m_strValue;
        if (!outcome.ended && !IsWindowVisible(hwnd)) outcome.ended = true;  // would be a fault
        return outcome;
    }
};

}  // namespace

TEST_F(SimpDataInputDlgTest, OpensWithItsTitleTextAndFocusOnTheEdit)
{
    CSimpDataInputDlg dlg;
    dlg.m_strCaption = "编辑文件";
    dlg.m_strValue = "临时文件.tmp";
    HWND hwnd = dlg.Create();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(WindowText(hwnd), "编辑文件");
    EXPECT_EQ(WindowText(GetDlgItem(hwnd, IDC_INPUT_EDIT)), "临时文件.tmp");
    EXPECT_EQ(GetFocus(), GetDlgItem(hwnd, IDC_INPUT_EDIT));
    LONG exStyle = GetWindowLongA(hwnd, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_EQ(WindowText(GetDlgItem(hwnd, IDC_INPUT_OK)), "确定");
    EXPECT_EQ(WindowText(GetDlgItem(hwnd, IDC_INPUT_CANCEL)), "取消");
}

TEST_F(SimpDataInputDlgTest, AcceptsFourTo259BytesCountingChineseCharactersAsTwo)
{
    const std::string accepted[] = {"中文", "abcd", Repeat("中", 129) + "a", Repeat("x", 259)};
    for (const std::string& text : accepted) {
        Submission outcome = Submit(text);
        EXPECT_FALSE(outcome.refused) << text.size();
        EXPECT_TRUE(outcome.ended) << text.size();
        EXPECT_EQ(outcome.result, IDOK);
        EXPECT_EQ(outcome.value, text);
    }
    EXPECT_EQ(std::string("中文").size(), 4u);
}

TEST_F(SimpDataInputDlgTest, RefusesOtherLengthsWithTheLimitMessageAndStaysOpen)
{
    const std::string refused[] = {"a中", "abc", "", Repeat("中", 130), Repeat("x", 260)};
    for (const std::string& text : refused) {
        Submission outcome = Submit(text);
        EXPECT_TRUE(outcome.refused) << text.size();
        EXPECT_EQ(outcome.refusalText, "指定的字符串不匹配该限制!");
        EXPECT_TRUE(outcome.boxOwnedByDialog);
        EXPECT_FALSE(outcome.ended) << text.size();
        EXPECT_EQ(outcome.value, text);  // the text is taken even when refused
    }
}

TEST_F(SimpDataInputDlgTest, CancelEscAndCloseBoxCancelWhileEnterDoesNothing)
{
    const UINT closers[] = {IDC_INPUT_CANCEL, IDCANCEL, 0};
    for (UINT closer : closers) {
        CSimpDataInputDlg dlg;
        dlg.m_strValue = "保留的值";
        HWND hwnd = dlg.Create();
        ASSERT_NE(hwnd, nullptr);
        SendMessageA(hwnd, WM_COMMAND, IDOK, 0);  // Enter
        EXPECT_FALSE(dlg.IsEnded());
        if (closer)
            SendMessageA(hwnd, WM_COMMAND, closer, 0);
        else
            SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);  // becomes a posted IDCANCEL
        EXPECT_TRUE(testsupport::PumpUntil([&] { return dlg.IsEnded(); }));
        EXPECT_EQ(dlg.GetResult(), IDCANCEL);
        EXPECT_EQ(dlg.m_strValue, "保留的值");
    }
}
