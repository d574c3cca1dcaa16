// Lorvex.exe as a user runs it: started with "/autoclean" (or "-AUTOCLEAN") it scans the checked
// items, cleans everything found and leaves its report; driven with the Scan, check-all and Clean
// commands it deletes the ticked temp files; with browser-close cleaning on, a browser window that
// closes does the same as /autoclean. Files whose names hold a keep-list entry stay.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "LorvexProcess.h"
#include "support/Sandbox.h"
#include "support/WindowDriver.h"

using e2e::CLorvexProcess;
using e2e::CRealQuillonSettings;
using e2e::HasResults;
using e2e::IsIdle;
using e2e::WaitUntil;
using testsupport::FileExists;

namespace {

constexpr int kScan = 1013;
constexpr int kClean = 1000;
constexpr int kCheckAll = 226;
constexpr int kReportText = 1071;
constexpr int kTempItemId = 1104;
// The options sheet: the Options button, the Advanced and keep-files pages (tab indices 1 and 5),
// their "include hidden files" box and add button, and the entry dialog's edit and OK.
constexpr int kOptions = 1001;
constexpr int kAdvancedPage = 1;
constexpr int kKeepFilesPage = 5;
constexpr int kIncludeHidden = 1040;
constexpr int kAddKeepEntry = 1089;
constexpr int kInputEdit = 1096;
constexpr int kInputOk = 1095;

// The temp folder of the child: leftovers to clean, and files the keep list protects.
class ScanCleanTest : public ::testing::Test {
protected:
    ScanCleanTest()
    {
        m_settings.SetDword("ItemStates", "MC" + std::to_string(kTempItemId), 1);
        m_settings.SetStringList("FilesKeepList", {"keep"});
        testsupport::MakeFolder(m_temp / "setup");
        for (const char* name : {"~DF01.tmp", "安装日志.log", "setup\\data.cab"}) {
            testsupport::WriteFileBytes(m_temp / name, std::string(3000, 'q'));
            m_cleaned.push_back(m_temp / name);
        }
        for (const char* name : {"keep_me.tmp", "setup\\keep.dat"}) {
            testsupport::WriteFileBytes(m_temp / name, "keep");
            m_kept.push_back(m_temp / name);
        }
    }

    void ExpectOnlyKeptFilesLeft()
    {
        for (const std::string& file : m_cleaned) EXPECT_FALSE(FileExists(file)) << file;
        for (const std::string& file : m_kept) EXPECT_TRUE(FileExists(file)) << file;
    }

    static void Quit(CLorvexProcess& program, HWND main)
    {
        PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(program.WaitForEnd()) << "the program did not quit";
        EXPECT_EQ(program.ExitCode(), 0u);
    }

    CRealQuillonSettings m_settings;
    testsupport::TempFolder m_temp;
    std::vector<std::string> m_cleaned;
    std::vector<std::string> m_kept;
};

}  // namespace

TEST_F(ScanCleanTest, StartedWithAutocleanItCleansEverythingFoundAndLeavesTheReport)
{
    for (const char* argument : {"/autoclean", "-AUTOCLEAN"}) {
        SCOPED_TRACE(argument);
        for (const std::string& file : m_cleaned) testsupport::WriteFileBytes(file, std::string(3000, 'q'));

        CLorvexProcess program(argument, m_temp.Path());
        ASSERT_TRUE(program.Started());
        HWND report = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (report = program.Dialog("报告")) != nullptr; }))
            << "no report after the automatic clean";
        const std::string text = e2e::ControlText(GetDlgItem(report, kReportText));
        EXPECT_NE(text.find("已删除的对象数: 3。"), std::string::npos) << text;
        EXPECT_NE(text.find("无法被删除的对象数: 0。"), std::string::npos) << text;
        ExpectOnlyKeptFilesLeft();
        EXPECT_TRUE(FileExists(m_temp / "setup")) << "a folder that still holds a kept file stays";

        HWND main = program.MainWindow();
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(GetWindow(report, GW_OWNER), main);
        PostMessageA(report, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitUntil([&] { return IsIdle(main) && !program.Dialog("报告"); }));
        Quit(program, main);
    }
}

TEST_F(ScanCleanTest, ScanCheckAllAndCleanSentAsCommandsDeleteTheTickedFiles)
{
    m_settings.SetDword("Settings", "Reports", 0);
    CLorvexProcess program("", m_temp.Path());
    ASSERT_TRUE(program.Started());
    HWND main = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (main = program.MainWindow()) != nullptr; }));
    ASSERT_TRUE(WaitUntil([&] { return IsIdle(main); }));

    PostMessageA(main, WM_COMMAND, MAKEWPARAM(kScan, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return HasResults(main); })) << "the scan did not end with results";
    for (const std::string& file : m_cleaned) EXPECT_TRUE(FileExists(file)) << "a scan deletes nothing: " << file;

    PostMessageA(main, WM_COMMAND, MAKEWPARAM(kCheckAll, 0), 0);
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(kClean, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return IsIdle(main); })) << "the clean did not end";
    ExpectOnlyKeptFilesLeft();
    EXPECT_EQ(program.Dialog("报告"), nullptr) << "reports are switched off";
    EXPECT_EQ(program.Dialog("Quillon 汉化版"), main) << "no message box of the program is open";
    Quit(program, main);
}

// The options as a user sets them: "include hidden files" switched off on the Advanced page and a
// file keep entry added on the "保存文件" page; after OK the next clean leaves both files alone.
TEST_F(ScanCleanTest, OptionsSetInTheSheetRuleTheNextScan)
{
    m_settings.SetDword("Settings", "Reports", 0);
    const std::string hidden = m_temp / "hidden.tmp", keptByNewEntry = m_temp / "秘密保留.tmp";
    testsupport::WriteFileBytes(hidden, "h");
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    testsupport::WriteFileBytes(keptByNewEntry, "k");
    CLorvexProcess program("", m_temp.Path());
    ASSERT_TRUE(program.Started());
    HWND main = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (main = program.MainWindow()) != nullptr && IsIdle(main); }));

    PostMessageA(main, WM_COMMAND, MAKEWPARAM(kOptions, BN_CLICKED), 0);
    HWND sheet = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (sheet = program.Dialog("配置 Quillon...")) != nullptr; }));
    SendMessageA(sheet, PSM_SETCURSEL, kAdvancedPage, 0);
    HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    SendMessageA(GetDlgItem(page, kIncludeHidden), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(sheet, PSM_SETCURSEL, kKeepFilesPage, 0);
    page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(kAddKeepEntry, BN_CLICKED), 0);
    HWND input = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (input = program.Dialog("添加条目...")) != nullptr; }));
    SendMessageA(GetDlgItem(input, kInputEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("保留"));
    PostMessageA(input, WM_COMMAND, MAKEWPARAM(kInputOk, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return !program.Dialog("添加条目..."); }));
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !program.Dialog("配置 Quillon...") && IsIdle(main); }));

    PostMessageA(main, WM_COMMAND, MAKEWPARAM(kScan, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return HasResults(main); }));
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(kCheckAll, 0), 0);
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(kClean, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return IsIdle(main); }));
    ExpectOnlyKeptFilesLeft();
    EXPECT_TRUE(FileExists(hidden)) << "hidden files were switched off";
    EXPECT_TRUE(FileExists(keptByNewEntry)) << "kept by the entry added in the sheet";
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
    Quit(program, main);
}

// Browser-close cleaning on: a browser window that the running program saw open and then saw
// closed starts the automatic scan and clean, whose report is shown.
TEST_F(ScanCleanTest, ABrowserWindowThatOpensAndClosesStartsTheAutomaticClean)
{
    m_settings.SetDword("Settings", "SessCleanBrowserClose", 1);
    CLorvexProcess program("", m_temp.Path());
    HWND main = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (main = program.MainWindow()) != nullptr && IsIdle(main); }));
    HWND browser = testsupport::OpenBrowserWindow("MozillaUIWindowClass");
    Sleep(2000);  // seen by the watch, which looks every 750 ms
    EXPECT_TRUE(FileExists(m_cleaned[0])) << "cleaned while the browser was open";
    DestroyWindow(browser);
    HWND report = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (report = program.Dialog("报告")) != nullptr; }, 10000));
    ExpectOnlyKeptFilesLeft();
    PostMessageA(report, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsIdle(main) && !program.Dialog("报告"); }));
    Quit(program, main);
}
