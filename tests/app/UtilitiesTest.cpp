// Shared utilities: string-table texts, system error texts, the standard message boxes (found on
// screen from another thread and closed there), control groups, owned windows and the shell seam.
#include "app/Utilities.h"
#include "framework/MbString.h"
#include "resource.h"
#include "support/BoxWatcher.h"
#include "support/Sandbox.h"

#include <commctrl.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

const char kNoSystemText[] = "无法从系统消息表资源中获取错误信息!";

using testsupport::SeenBox;

// The one message box that action shows, read and closed from another thread.
SeenBox OnlyBoxOf(const std::function<void()>& action)
{
    std::vector<SeenBox> boxes = testsupport::CloseBoxesDuring(action);
    EXPECT_EQ(boxes.size(), 1u);
    return boxes.empty() ? SeenBox{} : boxes.front();
}

struct ShellCall {
    HWND owner;
    std::string verb;
    std::string file;
    bool noParameters;
    bool noDirectory;
    INT show;
};
std::vector<ShellCall> g_shellCalls;

HINSTANCE WINAPI RecordShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                   INT show)
{
    g_shellCalls.push_back({owner, verb ? verb : "(null)", file ? file : "(null)", parameters == nullptr,
                            directory == nullptr, show});
    return reinterpret_cast<HINSTANCE>(42);
}

class UtilitiesTest : public testsupport::SandboxTest {
protected:
    void TearDown() override
    {
        SetMainWindow(nullptr);
        SetShellExecuteForTesting(nullptr);
        g_shellCalls.clear();
        for (HWND hwnd : m_windows)
            if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }

    // A plain top-level window; with an owner it is an owned window. WM_CLOSE destroys it.
    HWND TopLevel(const char* title, HWND owner = nullptr)
    {
        HWND hwnd = CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, owner, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        m_windows.push_back(hwnd);
        return hwnd;
    }

    std::vector<HWND> m_windows;
};

TEST_F(UtilitiesTest, LoadsStringTableTextsExactly)
{
    const struct {
        UINT id;
        const char* text;
    } cases[] = {
        {IDS_APP_CAPTION, "Quillon 汉化版"},
        {IDS_ABOUTBOX, "关于 Quillon(&A)..."},
        {IDS_WORKER_RUNNING, " 无法开始，因为正在进行清理操作。"},
        {IDS_NO_ITEM_CHECKED, "你没有选定任何项目。\n请在执行该任务前选择一个项目。"},
        {IDS_CLEAN_REPORT,
         "清理开始于 %s\r\n--------------------------------------------------\r\n已删除的对象数: %d。\r\n"
         "无法被删除的对象数: %d。\r\n已忽略的 Cookies 数: %d。\r\n--------------------------------------------------"
         "\r\n总计剩余空间: %.2f MB\r\n\r\n清理耗时: %s。"},
        {IDS_MAIN_HINT,
         "点击下列的按钮打开列表窗口。你可以在列表窗口中浏览你想要清理的项目。每个项目都代表着你的系统的一个部分。"
         "当你完成项目选择之后，请点击“保存”按钮，然后将会自动转到主窗口。之后你便可以通过点击“检查”按钮检查选定的"
         "项目或直接点击“清理”按钮立即开始清理操作。操作过程中，你可以通过点击“停止”按钮来立即停止操作。右侧的列表"
         "将会显示已发现的对象与已清除的对象以及对象的详细信息。键盘快捷键: \nCtrl+E = 扫描\nCtrl+C = 清理\n"
         "Ctrl+S = 取消\nCtrl+X = 清除统计\nShift+Ctrl+S = 保存列表\nShift+Ctrl+O = 打开选定的文件。"},
        {IDS_ITEMS_HINT,
         "在列表中点击鼠标右键选定项目的快捷命令菜单。同时可以选中多个项目。\n键盘快捷键: \nAlt + ← = 转到上一页\n"
         "Alt + → = 转到下一页\n"},
        {IDS_ITEM_WARNING, "关于“%s”的警告。\n\n[%s]"},
        {IDS_SCANNING_ITEM, "正在扫描 - %s..."},
        {IDS_TOTAL_SIZE, "总计大小: %.2f MB"},
        {IDS_LOG_FOOTER, "\r\n-----------------------------------------------------------------\r\n"},
        {IDS_CLOSE_BROWSERS,
         "为了能够扫描下列浏览器的 Internet 缓存，你必须关闭下列浏览器: %s。\r\n否则，该过程将会被跳过。"},
        {IDS_SKIPPING_BROWSER, "正在跳过 %s 扫描..."},
    };
    for (const auto& c : cases) EXPECT_EQ(LoadResString(c.id), c.text) << "string " << c.id;

    // The log header holds a character outside code page 936; it arrives as the system converts it.
    const std::string dashes(65, '-');
    const std::string header = framework::Utf8ToAnsi(
        u8"[Quillon® 扫描结果文件]\r\n" + dashes + u8"\r\n日期与事件: %s\r\n%s\r\n%s\r\n%s\r\n" + dashes +
        u8"\r\n已发现的对象列表: (注意: 这些对象还未被删除)\r\n\r\n");
    EXPECT_EQ(LoadResString(IDS_LOG_HEADER), header);
}

TEST_F(UtilitiesTest, MissingStringGivesTheSystemTextInstead)
{
    for (UINT id : {129u, 217u, 9999u}) {
        SetLastError(0xdeadbeef);
        std::string text = LoadResString(id);
        EXPECT_FALSE(text.empty()) << id;
        EXPECT_EQ(text.find("Quillon"), std::string::npos) << id;
    }
}

TEST_F(UtilitiesTest, SystemErrorTextComesFromTheSystemOrIsTheFixedText)
{
    std::string accessDenied = GetSystemErrorText(ERROR_ACCESS_DENIED);
    EXPECT_NE(accessDenied, kNoSystemText);
    ASSERT_GE(accessDenied.size(), 2u);
    EXPECT_EQ(accessDenied.substr(accessDenied.size() - 2), "\r\n") << "the system's line break is kept";
    EXPECT_NE(GetSystemErrorText(ERROR_FILE_NOT_FOUND), accessDenied);

    EXPECT_EQ(GetSystemErrorText(0x0FFFFFF0), kNoSystemText);
    EXPECT_EQ(GetSystemErrorText(0xDEADBEEF), kNoSystemText);
}

TEST_F(UtilitiesTest, InfoBoxIsOwnedByTheMainWindowWithTheProgramCaption)
{
    HWND main = TopLevel("main");
    SetMainWindow(main);
    SeenBox seen = OnlyBoxOf([] { ShowInfoBox("扫描已完成", ""); });
    EXPECT_TRUE(seen.foundByCaption);
    EXPECT_EQ(seen.caption, "Quillon 汉化版");
    EXPECT_EQ(seen.text, "扫描已完成");
    EXPECT_EQ(seen.owner, main);
    EXPECT_EQ(seen.icon, LoadIconA(nullptr, IDI_INFORMATION));

    seen = OnlyBoxOf([] { ShowInfoBox(IDS_NO_DESCRIPTION, "错误"); });
    EXPECT_TRUE(seen.foundByCaption);
    EXPECT_EQ(seen.caption, "错误");
    EXPECT_EQ(seen.text, "抱歉，该项目没有描述信息");
    EXPECT_EQ(seen.owner, main);

    seen = OnlyBoxOf([] { ShowSystemError(ERROR_ACCESS_DENIED); });
    EXPECT_EQ(seen.caption, "Quillon 汉化版");
    EXPECT_EQ(seen.text, GetSystemErrorText(ERROR_ACCESS_DENIED));

    // Without a main window (or after it is gone) the box has no owner.
    DestroyWindow(main);
    seen = OnlyBoxOf([] { ShowInfoBox("无主窗口"); });
    EXPECT_EQ(seen.text, "无主窗口");
    EXPECT_EQ(seen.owner, nullptr);
}

TEST_F(UtilitiesTest, DebugBoxHasNoOwnerAndItsOwnCaption)
{
    SetMainWindow(TopLevel("main"));
    SeenBox seen = OnlyBoxOf([] { ShowDebugBox("对象索引超出范围"); });
    EXPECT_TRUE(seen.foundByCaption);
    EXPECT_EQ(seen.caption, "Debugging");
    EXPECT_EQ(seen.text, "对象索引超出范围");
    EXPECT_EQ(seen.owner, nullptr);
}

TEST_F(UtilitiesTest, ShowsAndEnablesGroupsOfControlsSkippingMissingOnes)
{
    HWND dlg = TopLevel("dialog");
    HWND controls[3];
    for (int i = 0; i < 3; ++i)
        controls[i] = CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE, 0, 30 * i, 50, 20, dlg,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(1010 + i)), nullptr, nullptr);
    auto visible = [](HWND hwnd) { return (GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; };

    const int ids[] = {1010, 9999, 1012};
    ShowControls(dlg, ids, 3, false);
    EXPECT_FALSE(visible(controls[0]));
    EXPECT_TRUE(visible(controls[1]));
    EXPECT_FALSE(visible(controls[2]));
    ShowControl(dlg, 1012, true);
    EXPECT_TRUE(visible(controls[2]));

    EnableControls(dlg, ids, 3, false);
    EXPECT_FALSE(IsWindowEnabled(controls[0]));
    EXPECT_TRUE(IsWindowEnabled(controls[1]));
    EXPECT_FALSE(IsWindowEnabled(controls[2]));
    EnableControl(dlg, 1010, true);
    EnableControl(dlg, 4242, true);
    EXPECT_TRUE(IsWindowEnabled(controls[0]));
}

TEST_F(UtilitiesTest, ClosesOwnedWindowsOfThisThreadButNotTheMainWindowOrUnownedOnes)
{
    HWND unowned = TopLevel("unowned");
    HWND main = TopLevel("main", unowned);  // even an owned main window stays
    HWND report = TopLevel("report", main);
    HWND warning = TopLevel("warning", unowned);
    SetMainWindow(main);
    // The results list keeps its tooltip, an owned top-level window of its own.
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 150, 80, main,
                                reinterpret_cast<HMENU>(1058), nullptr, nullptr);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_INFOTIP | LVS_EX_LABELTIP);
    HWND tooltip = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETTOOLTIPS, 0, 0));
    ASSERT_TRUE(IsWindow(tooltip));
    ASSERT_NE(GetWindow(tooltip, GW_OWNER), nullptr);

    // Windows of another thread are not this thread's business.
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND foreign = nullptr;
    DWORD foreignThread = 0;
    std::thread other([&] {
        HWND parent = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr,
                                      nullptr, nullptr);
        foreign = CreateWindowExA(0, "STATIC", "other owned", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, parent, nullptr,
                                  nullptr, nullptr);
        foreignThread = GetCurrentThreadId();
        SetEvent(ready);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        DestroyWindow(foreign);
        DestroyWindow(parent);
    });
    WaitForSingleObject(ready, 5000);
    CloseHandle(ready);

    EXPECT_TRUE(HasOwnedWindows());
    CloseOwnedWindows();
    EXPECT_TRUE(IsWindow(unowned));
    EXPECT_TRUE(IsWindow(main));
    EXPECT_FALSE(IsWindow(report));
    EXPECT_FALSE(IsWindow(warning));
    EXPECT_TRUE(IsWindow(foreign));
    EXPECT_TRUE(IsWindow(tooltip));
    EXPECT_FALSE(HasOwnedWindows()) << "a control's tooltip is no open window";

    PostThreadMessageA(foreignThread, WM_QUIT, 0, 0);
    other.join();
}

TEST_F(UtilitiesTest, OpensWithTheShellThroughTheSeam)
{
    SetShellExecuteForTesting(RecordShellExecute);
    HWND main = TopLevel("main");
    SetMainWindow(main);
    OpenWithShell("C:\\Program Files\\Quillon\\ChangeLog.txt");
    SetMainWindow(nullptr);
    OpenWithShell("http://www.example.com/");

    ASSERT_EQ(g_shellCalls.size(), 2u);
    EXPECT_EQ(g_shellCalls[0].owner, main);
    EXPECT_EQ(g_shellCalls[0].verb, "open");
    EXPECT_EQ(g_shellCalls[0].file, "C:\\Program Files\\Quillon\\ChangeLog.txt");
    EXPECT_TRUE(g_shellCalls[0].noParameters);
    EXPECT_TRUE(g_shellCalls[0].noDirectory);
    EXPECT_EQ(g_shellCalls[0].show, SW_SHOWNORMAL);
    EXPECT_EQ(g_shellCalls[1].owner, nullptr);
    EXPECT_EQ(g_shellCalls[1].file, "http://www.example.com/");
}

}  // namespace
