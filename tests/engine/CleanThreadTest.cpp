// The cleaning thread against real files and a test main window on this thread: rows removed at
// r - k, missing objects, stop requests, emptied folders, the completion messages of every option
// combination and the report.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <ctime>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/TestMainWindow.h"
#include "WorkerThreadRun.h"
#include "app/SettingsStore.h"
#include "app/Utilities.h"
#include "catalogue/ModList.h"
#include "engine/CleanThread.h"
#include "engine/CleaningParam.h"
#include "engine/RunReport.h"
#include "engine/SecureDelete.h"
#include "engine/WorkerMessages.h"
#include "framework/ScopedHandle.h"
#include "support/Sandbox.h"

using testsupport::FileExists;

namespace {

CModList& Catalogue() { return g_theScanningThreadsParam; }

// Deletes the file, then asks the run to stop.
int DeleteThenStop(CFoundObject* object, CRunContext* context, int a, int b)
{
    int result = DeleteFoundFile(object, context, a, b);
    SetEvent(g_theScanningThreadsParam.m_evStop);
    return result;
}

int ThrowingClean(CFoundObject*, CRunContext*, int, int) { throw std::runtime_error("坏了"); }

class CleanThreadTest : public testsupport::SandboxTest {
protected:
    CleanThreadTest()
    {
        TheSettings().Start();  // the settings keys of the sandbox
        Catalogue().m_hwnd = m_window.Hwnd();
        ResetEvent(Catalogue().m_evStop);
        m_files = m_temp / "files";
        testsupport::MakeFolder(m_files);
    }
    ~CleanThreadTest() override
    {
        ResetEvent(Catalogue().m_evStop);
        Catalogue().m_hwnd = nullptr;
    }

    // count file objects of 2 KiB each, as a scan lists them.
    void MakeObjects(int count)
    {
        for (int i = 0; i < count; ++i) {
            std::string path = m_files + "\\obj" + std::to_string(i) + ".txt";
            testsupport::WriteFileBytes(path, std::string(2048, 'o'));
            CFileStatus status;
            ReadFileStatus(path, status);
            CFoundObject object = MakeFileObject(path, status);
            object.m_pStatus = nullptr;
            m_objects.push_back(object);
        }
    }
    // Ticks the given results rows; row r shows object r.
    void Tick(const std::vector<int>& rows)
    {
        std::vector<CResultRowState> state(m_objects.size());
        for (size_t r = 0; r < state.size(); ++r) state[r].m_lItemData = static_cast<LPARAM>(r);
        for (int r : rows) state[r].m_bChecked = true;
        BuildRowsToClean(state, m_rows);
    }
    WorkerRunResult RunClean()
    {
        auto* param = new CCleaningParam(&m_objects, &m_rows, &m_folders, Catalogue());
        HANDLE thread = StartCleanThread(param);
        EXPECT_NE(nullptr, thread);
        return PumpWorker(thread);
    }
    std::vector<LPARAM> RemovedRows() const
    {
        std::vector<LPARAM> rows;
        for (const auto& m : m_window.MessagesOf(UWM_REMOVE_ROW)) rows.push_back(m.lParam);
        return rows;
    }
    void SetOption(const char* name, DWORD value) { TheSettings().WriteDword(name, value); }

    TestMainWindow m_window;
    std::string m_files;
    CFoundObjectList m_objects;
    CRowsToCleanList m_rows;
    CFolderList m_folders;
};

using Messages = std::vector<UINT>;

}  // namespace

TEST_F(CleanThreadTest, CheckedRowsAreCleanedAndRemovedWhereTheyStandAtTheirTurn)
{
    MakeObjects(8);
    Tick({2, 5, 6});
    WorkerRunResult run = RunClean();
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_TRUE(run.boxes.empty());

    // Rows 2, 5 and 6 go as rows 2, 4 and 4, each with the cleaning function's result.
    EXPECT_EQ((std::vector<LPARAM>{2, 4, 4}), RemovedRows());
    for (const auto& m : m_window.MessagesOf(UWM_REMOVE_ROW)) EXPECT_EQ(1u, m.wParam);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(i != 2 && i != 5 && i != 6, FileExists(m_files + "\\obj" + std::to_string(i) + ".txt")) << i;
    EXPECT_TRUE(m_rows.empty());
    EXPECT_EQ(8u, m_objects.size());  // the object list is never changed

    EXPECT_EQ("已删除的对象: 3", m_window.StatusText(1));
    EXPECT_EQ("剩余空间: 0.01 MB", m_window.StatusText(2));
    EXPECT_EQ("正在工作...", m_window.StatusText(0));
    EXPECT_EQ("正在清理...", m_window.ItemText(IDC_CURRENT_OPERATION));
    EXPECT_EQ("obj6.txt", m_window.ItemText(IDC_CURRENT_OBJECT));
    EXPECT_EQ(3, m_window.ProgressMax(IDC_TOTAL_PROGRESS));
    EXPECT_EQ(3, m_window.ProgressPos(IDC_TOTAL_PROGRESS));
    EXPECT_EQ(100, m_window.ProgressPos(IDC_ITEM_PROGRESS));
    EXPECT_FALSE(Catalogue().m_bBusy);
}

TEST_F(CleanThreadTest, ARowWithoutObjectIsReportedAndLeftInTheList)
{
    MakeObjects(3);
    Tick({0, 2});
    CRowToClean bad;
    bad.m_uiListCurIndex = 7;
    bad.m_iObjIndex = 3;  // equal to the object count: no such object
    m_rows.insert(std::next(m_rows.begin()), bad);

    WorkerRunResult run = RunClean();
    ASSERT_TRUE(run.ended);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(m_window.Hwnd(), run.boxes[0].owner);
    EXPECT_EQ("Quillon test", run.boxes[0].caption);
    EXPECT_EQ(std::string("执行了非法操作!\n\r\n信息: 尝试移除不存在的列表元素。\nAllObjsLinkedListElemCount=3\n"
                          "iCurObjIndex=3\npCurItemData->m_uiListCurIndex=7\n\r\n请将该报告发送到 ") +
                  kSupportAddress,
              run.boxes[0].text);

    // The run went on with the next row and completed; the bad element stays.
    EXPECT_EQ((std::vector<LPARAM>{0, 1}), RemovedRows());
    ASSERT_EQ(1u, m_rows.size());
    EXPECT_EQ(3, m_rows.front().m_iObjIndex);
    EXPECT_EQ((Messages{UWM_CLEAN_ENDING, UWM_CLEAN_FOLLOWUP, UWM_CLEAN_COMPLETED}), m_window.CompletionMessages());
}

TEST_F(CleanThreadTest, AStopAfterTheFirstObjectLeavesTheOtherRowsAndStillRemovesEmptiedFolders)
{
    MakeObjects(4);
    m_objects.front().m_pfnClean = DeleteThenStop;
    // The first object is the only file of a folder of its own.
    std::string emptyFolder = m_files + "\\emptied";
    testsupport::MakeFolder(emptyFolder);
    std::string moved = emptyFolder + "\\obj0.txt";
    ASSERT_TRUE(MoveFileA(m_objects.front().m_strPath.c_str(), moved.c_str()));
    m_objects.front().m_strPath = moved;
    m_folders = {emptyFolder, m_files};
    Tick({0, 1, 3});

    ASSERT_TRUE(RunClean().ended);
    EXPECT_EQ((std::vector<LPARAM>{0}), RemovedRows());
    EXPECT_FALSE(FileExists(moved));
    EXPECT_TRUE(FileExists(m_files + "\\obj1.txt"));
    ASSERT_EQ(2u, m_rows.size());
    EXPECT_EQ(1, m_rows.front().m_iObjIndex);
    EXPECT_EQ((Messages{UWM_CLEAN_CANCELLED}), m_window.CompletionMessages());
    EXPECT_FALSE(FileExists(emptyFolder));
    EXPECT_EQ((CFolderList{m_files}), m_folders);  // not empty: stays in the list
}

TEST_F(CleanThreadTest, CompletionMessagesFollowTheReportAndCloseOptions)
{
    struct Case {
        DWORD reports, closeAfter;
        Messages expected;
        std::vector<WPARAM> followupWParams;
    } cases[] = {
        {1, 0, {UWM_CLEAN_ENDING, UWM_CLEAN_FOLLOWUP, UWM_CLEAN_COMPLETED}, {1}},
        {0, 0, {UWM_CLEAN_ENDING, UWM_CLEAN_COMPLETED}, {}},
        {1, 1, {UWM_CLEAN_ENDING, UWM_CLEAN_FOLLOWUP, UWM_CLEAN_COMPLETED, UWM_CLEAN_FOLLOWUP}, {1, 0}},
        {0, 1, {UWM_CLEAN_ENDING, UWM_CLEAN_COMPLETED, UWM_CLEAN_FOLLOWUP}, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.reports) + std::to_string(c.closeAfter));
        SetOption("Reports", c.reports);
        SetOption("CloseAfterCleaning", c.closeAfter);
        m_window.m_messages.clear();
        m_rows.clear();
        ASSERT_TRUE(RunClean().ended);
        EXPECT_EQ(c.expected, m_window.CompletionMessages());
        std::vector<WPARAM> followups;
        for (const auto& m : m_window.MessagesOf(UWM_CLEAN_FOLLOWUP)) {
            followups.push_back(m.wParam);
            EXPECT_EQ(m.wParam == 1, m.lParam != 0);
            if (m.wParam == 1) {
                EXPECT_NE(std::string::npos, m.text.find("已删除的对象数: 0。"));
            }
        }
        EXPECT_EQ(c.followupWParams, followups);
        for (const auto& m : m_window.MessagesOf(UWM_CLEAN_ENDING)) EXPECT_EQ(1u, m.wParam);
    }
}

// The stop test is asked at most once per few milliseconds; a stop during the last objects still
// ends the run as stopped.
TEST_F(CleanThreadTest, AStopDuringTheLastObjectStillEndsTheRunAsCancelled)
{
    MakeObjects(3);
    m_objects.back().m_pfnClean = DeleteThenStop;
    Tick({0, 1, 2});
    ASSERT_TRUE(RunClean().ended);
    EXPECT_EQ((std::vector<LPARAM>{0, 0, 0}), RemovedRows());
    EXPECT_EQ((Messages{UWM_CLEAN_CANCELLED}), m_window.CompletionMessages());
}

TEST_F(CleanThreadTest, EmptiedFoldersGoInOnePassInTheOrderTheScanReportedThem)
{
    // Folders as a walk reports them: inner first.
    std::string a = m_temp / "A", b = a + "\\B", c = b + "\\C";
    for (const std::string& f : {a, b, c}) testsupport::MakeFolder(f);
    std::string file = c + "\\only.txt";
    testsupport::WriteFileBytes(file, "x");
    CFileStatus status;
    ReadFileStatus(file, status);
    m_objects.push_back(MakeFileObject(file, status));
    m_objects.back().m_pStatus = nullptr;
    m_folders = {c, b, a};
    Tick({0});
    ASSERT_TRUE(RunClean().ended);
    EXPECT_FALSE(FileExists(a));
    EXPECT_TRUE(m_folders.empty());

    // In the other order one pass removes only the innermost folder; the others stay listed.
    for (const std::string& f : {a, b, c}) testsupport::MakeFolder(f);
    testsupport::WriteFileBytes(file, "x");
    m_folders = {a, b, c};
    Tick({0});
    ASSERT_TRUE(RunClean().ended);
    EXPECT_TRUE(FileExists(b));
    EXPECT_FALSE(FileExists(c));
    EXPECT_EQ((CFolderList{a, b}), m_folders);
}

// Only a folder that this clean emptied goes: one that was empty before, or whose files stayed
// (not ticked, or not deletable), is the user's. A read-only emptied folder goes too.
TEST_F(CleanThreadTest, OnlyFoldersThisCleanEmptiedAreRemoved)
{
    MakeObjects(3);
    const std::string wasEmpty = m_files + "\\was-empty", emptied = m_files + "\\emptied",
                      readOnly = m_files + "\\read-only", untouched = m_files + "\\untouched",
                      lockedIn = m_files + "\\locked";
    const std::string homes[] = {emptied, readOnly, lockedIn};
    for (const std::string& f : {wasEmpty, emptied, readOnly, untouched, lockedIn}) testsupport::MakeFolder(f);
    testsupport::WriteFileBytes(untouched + "\\not-ticked.txt", "x");
    CFoundObject unticked = m_objects.back();
    unticked.m_strPath = untouched + "\\not-ticked.txt";
    m_objects.push_back(unticked);
    int i = 0;
    for (CFoundObject& object : m_objects) {
        if (i == 3) break;
        const std::string moved = homes[i++] + "\\" + object.m_strName;
        ASSERT_TRUE(MoveFileA(object.m_strPath.c_str(), moved.c_str()));
        object.m_strPath = moved;
    }
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    framework::ScopedKernelHandle owner(CreateFileA((lockedIn + "\\obj2.txt").c_str(), GENERIC_READ, 0, nullptr,
                                                    OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(owner.IsValid());
    m_folders = {wasEmpty, emptied, readOnly, untouched, lockedIn, m_files};
    Tick({0, 1, 2});

    ASSERT_TRUE(RunClean().ended);
    EXPECT_FALSE(FileExists(emptied));
    EXPECT_FALSE(FileExists(readOnly));
    EXPECT_TRUE(FileExists(wasEmpty));
    EXPECT_TRUE(FileExists(untouched + "\\not-ticked.txt"));
    EXPECT_TRUE(FileExists(lockedIn));
    EXPECT_EQ((CFolderList{wasEmpty, untouched, lockedIn, m_files}), m_folders);
}

TEST_F(CleanThreadTest, NothingToCleanLeavesEmptyFoldersAndReportsZero)
{
    std::string empty = m_temp / "empty";
    testsupport::MakeFolder(empty);
    m_folders = {empty};
    ASSERT_TRUE(RunClean().ended);
    EXPECT_TRUE(FileExists(empty));
    auto followups = m_window.MessagesOf(UWM_CLEAN_FOLLOWUP);
    ASSERT_EQ(1u, followups.size());
    EXPECT_NE(std::string::npos, followups[0].text.find("已删除的对象数: 0。\r\n无法被删除的对象数: 0。"));
    EXPECT_EQ(0, m_window.ProgressMax(IDC_TOTAL_PROGRESS));
}

TEST_F(CleanThreadTest, AnExceptionEndsTheCleanAsCancelledWithABoxThatSaysWhy)
{
    MakeObjects(3);
    std::next(m_objects.begin())->m_pfnClean = ThrowingClean;
    Tick({0, 1, 2});
    WorkerRunResult run = RunClean();
    ASSERT_TRUE(run.ended);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_NE(std::string::npos, run.boxes[0].text.find("坏了"));
    EXPECT_FALSE(FileExists(m_files + "\\obj0.txt"));
    EXPECT_TRUE(FileExists(m_files + "\\obj2.txt"));
    EXPECT_EQ((Messages{UWM_CLEAN_CANCELLED}), m_window.CompletionMessages());
    EXPECT_FALSE(Catalogue().m_bBusy);
}

TEST_F(CleanThreadTest, EarlyErrorsEndTheThreadWithOne)
{
    EXPECT_EQ(1u, CleanThreadProc(nullptr));
    EXPECT_TRUE(m_window.m_messages.empty());

    Catalogue().m_hwnd = nullptr;
    WorkerRunResult run = RunClean();
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(1u, run.exitCode);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(nullptr, run.boxes[0].owner);
    EXPECT_EQ("Debugging", run.boxes[0].caption);
    EXPECT_EQ("出现错误。\n原因: cpCleaningParam->m_rUniversalParam.m_hwnd==NULL", run.boxes[0].text);
    EXPECT_TRUE(m_window.m_messages.empty());
    EXPECT_FALSE(Catalogue().m_bBusy);
}

TEST(CleanReport, DurationsBelowAMinuteInSecondsAndAboveInMinutesAndSeconds)
{
    EXPECT_EQ("0 秒", FormatElapsed(0));
    EXPECT_EQ("59 秒", FormatElapsed(59));
    EXPECT_EQ("1 分 0 秒", FormatElapsed(60));
    EXPECT_EQ("1 分 1 秒", FormatElapsed(61));
    EXPECT_EQ("59 分 59 秒", FormatElapsed(3599));
    EXPECT_EQ("120 分 5 秒", FormatElapsed(7205));
}

TEST(CleanReport, TheReportNamesStartCountsSizeAndDuration)
{
    struct tm start {};
    start.tm_year = 2024 - 1900;
    start.tm_mon = 2;
    start.tm_mday = 5;
    start.tm_hour = 14;
    start.tm_min = 7;
    start.tm_sec = 9;
    start.tm_isdst = -1;
    __time64_t t = _mktime64(&start);
    CRunContext context;
    context.m_nFoundOrDeleted = 12;
    context.m_nNotDeleted = 2;
    context.m_nIgnoredCookies = 0;
    context.m_qwBytes = 3 * 1024 * 1024 + 512 * 1024 + 1023;
    const std::string dashes(50, '-');
    const std::string head = "清理开始于 Tuesday，March 05，2024，在 14:07:09\r\n" + dashes +
                             "\r\n已删除的对象数: 12。\r\n无法被删除的对象数: 2。\r\n已忽略的 Cookies 数: 0。\r\n" +
                             dashes + "\r\n总计剩余空间: 3.50 MB\r\n\r\n清理耗时: ";
    EXPECT_EQ(head + "59 秒。", FormatCleanReport(t, t + 59, context));
    EXPECT_EQ(head + "1 分 0 秒。", FormatCleanReport(t, t + 60, context));
}
