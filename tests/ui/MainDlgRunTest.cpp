// The main window's control of scans and cleans, with the real scanning and cleaning threads: the
// button states through scan, results, clean and idle; a scan that finds nothing; a cancelled scan
// whose results are cleaned; Clean with no ticked row answered No and Yes; the order in which rows
// are cleaned and removed; the refusals while a worker runs; the automatic sequence with its report
// and the close after cleaning; the scheduler's triggers (the timer in test time, the end of the
// session, a browser that closes) that start the same sequence.
#include "MainDlgFixture.h"

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <atomic>

#include "app/ShutdownWindows.h"
#include "engine/WorkerMessages.h"
#include "ui/AutoCleanParam.h"

using namespace maindlgtest;
using testsupport::FileExists;
using testsupport::SetRegDword;

namespace {

const char kSettingsKey[] = "Software\\Venmoor\\Quillon\\Settings";

// The path of each row in list order.
std::vector<std::string> RowPaths(CMainDlg& dlg)
{
    std::vector<std::string> paths;
    for (int row = 0; row < dlg.m_listResults.List().GetItemCount(); ++row)
        paths.push_back(dlg.m_listResults.List().GetItemText(row, 0));
    return paths;
}

// Records every UWM_REMOVE_ROW the window receives, with the row's text just before it goes.
struct CRemovedRow {
    int row;
    std::string path;
};
LRESULT CALLBACK RecordRemovedRows(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    if (msg == UWM_REMOVE_ROW) {
        auto* removed = reinterpret_cast<std::vector<CRemovedRow>*>(data);
        framework::CListView list(GetDlgItem(hwnd, IDC_RESULTS));
        removed->push_back({static_cast<int>(lp), list.GetItemText(static_cast<int>(lp), 0)});
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

TEST_F(MainDlgTest, AScanListsTheTempFilesAndACleanOfTheTickedOnesDeletesThemAndGoesIdle)
{
    SetRegDword(kSettingsKey, "Reports", 0);
    CheckItem(kTempItemId);
    const std::string a = MakeTempFile("a.tmp", 2048), b = MakeTempFile("b.tmp"), c = MakeTempFile("日志.log");
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(States(), kIdle);
    EXPECT_EQ(Status(0), "就绪");

    Command(IDC_SCAN);
    EXPECT_EQ(States(), kScanning);
    EXPECT_EQ(Status(1), "已找到的对象: 0");
    EXPECT_EQ(Status(2), "");
    EXPECT_EQ(Status(3), "");
    ASSERT_TRUE(WaitForResults());
    EXPECT_EQ(Status(0), "扫描已完成...");
    EXPECT_EQ(Status(1), "已发现对象: 3");
    EXPECT_TRUE(m_dlg->m_bScanDone);

    // Every row's item data is the index of its object, whatever order the rows were sorted into.
    ASSERT_EQ(Rows(), 3);
    ASSERT_EQ(m_dlg->AllObjsLinkedList.size(), 3u);
    std::vector<std::string> stored;
    for (const CFoundObject& object : m_dlg->AllObjsLinkedList) {
        stored.push_back(object.m_strPath);
        EXPECT_EQ(object.m_pStatus, nullptr) << "the sender's status record must not be kept";
    }
    for (int row = 0; row < Rows(); ++row) {
        const LPARAM index = m_dlg->m_listResults.List().GetItemData(row);
        ASSERT_GE(index, 0);
        ASSERT_LT(index, 3);
        EXPECT_EQ(stored[static_cast<size_t>(index)], RowText(row));
        EXPECT_FALSE(RowChecked(row)) << "rows start unticked";
    }

    const std::vector<std::string> paths = RowPaths(*m_dlg);
    for (int row = 0; row < Rows(); ++row)
        if (paths[static_cast<size_t>(row)] != b) CheckRow(row);
    Command(IDC_CLEAN);
    EXPECT_EQ(States(), kCleaning);
    EXPECT_EQ(Status(1), "已删除的对象: 0");
    EXPECT_EQ(Status(2), "剩余空间: 0.00 MB");
    EXPECT_EQ(Status(3), "已忽略的 Cookies: 0");
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Status(0), "清理已完成...");
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(m_dlg->AllObjsLinkedList.empty());
    EXPECT_TRUE(m_dlg->m_lstFolders.empty());
    EXPECT_FALSE(m_dlg->m_bScanDone);
    EXPECT_FALSE(FileExists(a));
    EXPECT_TRUE(FileExists(b));
    EXPECT_FALSE(FileExists(c));

    // Idle again: Clean does nothing until the next scan has finished.
    Command(IDC_CLEAN);
    EXPECT_EQ(States(), kIdle);
    EXPECT_TRUE(FileExists(b));
}

TEST_F(MainDlgTest, AScanThatFindsNothingGoesIdleAndOneWithNothingCheckedSaysSo)
{
    CheckItem(kTempItemId);
    ASSERT_NE(Open(), nullptr);
    Command(IDC_SCAN);
    EXPECT_EQ(States(), kScanning);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Status(0), "扫描已完成...");
    EXPECT_FALSE(m_dlg->m_bScanDone);
    EXPECT_EQ(Rows(), 0);

    CheckItem(kTempItemId, 0);
    CheckItem(1102, 2);  // only exactly 1 counts as checked
    CBoxAnswer box(IDOK);
    Command(IDC_SCAN);
    ASSERT_TRUE(box.Answered());
    EXPECT_EQ(box.Text(), "你没有选定任何项目。\n请在执行该任务前选择一个项目。");
    EXPECT_EQ(States(), kIdle);
    EXPECT_FALSE(g_theScanningThreadsParam.m_bBusy);
    EXPECT_EQ(g_theScanningThreadsParam.m_nCheckedCount, 0);
}

TEST_F(MainDlgTest, ACancelledScanKeepsItsResultsForACleanAndARescanWithNothingCheckedKeepsClean)
{
    SetRegDword(kSettingsKey, "Reports", 0);
    const std::vector<std::string> files = {MakeTempFile("x.tmp"), MakeTempFile("y.tmp"), MakeTempFile("z.tmp")};
    HoldScanAfter(files);
    ASSERT_NE(Open(), nullptr);
    Command(IDC_SCAN);
    ASSERT_TRUE(WaitFor([&] { return Rows() == 3; }));
    EXPECT_EQ(States(), kScanning);
    Command(IDC_CANCEL);
    ASSERT_TRUE(WaitForResults());
    EXPECT_EQ(Status(0), "扫描已取消...");
    EXPECT_EQ(Rows(), 3);
    EXPECT_TRUE(m_dlg->m_bScanDone);
    EXPECT_EQ(WaitForSingleObject(g_theScanningThreadsParam.m_evStop, 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the stop request must be taken back for the next run";

    // A scan with nothing checked (Ctrl+E still reaches the window) empties the list but leaves
    // Clean as it was; the rest goes idle.
    CheckItem(kHeldItemId, 0);
    int rowDeletions = 0;
    SUBCLASSPROC count = [](HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR n) {
        if (m == WM_NOTIFY && reinterpret_cast<const NMHDR*>(l)->code == LVN_DELETEITEM) ++*reinterpret_cast<int*>(n);
        return DefSubclassProc(h, m, w, l);
    };
    ASSERT_TRUE(SetWindowSubclass(m_hwnd, count, 1, reinterpret_cast<DWORD_PTR>(&rowDeletions)));
    {
        CBoxAnswer box(IDOK);
        Command(IDC_SCAN);
        ASSERT_TRUE(box.Answered());
    }
    RemoveWindowSubclass(m_hwnd, count, 1);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(rowDeletions, 0) << "the list is emptied without a notice per row";
    CButtonStates expected = kIdle;
    expected.cleanVisible = expected.cleanEnabled = true;
    EXPECT_EQ(States(), expected);

    // Scan again, cancel, and clean what the cancelled scan found.
    CheckItem(kHeldItemId);
    Command(IDC_SCAN);
    ASSERT_TRUE(WaitFor([&] { return Rows() == 3; }));
    Command(IDC_CANCEL);
    ASSERT_TRUE(WaitForResults());
    Command(ID_LIST_CHECK_ALL);
    for (int row = 0; row < 3; ++row) EXPECT_TRUE(RowChecked(row));
    Command(IDC_CLEAN);
    EXPECT_EQ(States(), kCleaning);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Status(0), "清理已完成...");
    for (const std::string& file : files) EXPECT_FALSE(FileExists(file)) << file;
}

TEST_F(MainDlgTest, CleanWithNoTickedRowAsksAndNoKeepsTheResultsWhileYesCleansNothing)
{
    SetRegDword(kSettingsKey, "Reports", 0);
    const std::vector<std::string> files = {MakeTempFile("p.tmp"), MakeTempFile("q.tmp")};
    HoldScanAfter(files);
    ASSERT_NE(Open(), nullptr);
    Command(IDC_SCAN);
    ASSERT_TRUE(WaitFor([&] { return Rows() == 2; }));
    Command(IDC_CANCEL);
    ASSERT_TRUE(WaitForResults());

    {
        CBoxAnswer no(IDNO);
        Command(IDC_CLEAN);
        ASSERT_TRUE(no.Answered());
        EXPECT_EQ(no.Text(), "没有选中要清理的对象。继续吗?");
    }
    EXPECT_EQ(States(), kResultsReady);
    EXPECT_EQ(Rows(), 2);
    EXPECT_FALSE(g_theScanningThreadsParam.m_bBusy);
    // The counters of the clean that was not started already show.
    EXPECT_EQ(Status(1), "已删除的对象: 0");
    EXPECT_EQ(Status(2), "剩余空间: 0.00 MB");
    EXPECT_EQ(Status(3), "已忽略的 Cookies: 0");

    {
        CBoxAnswer yes(IDYES);
        Command(IDC_CLEAN);
        ASSERT_TRUE(yes.Answered());
    }
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Status(0), "清理已完成...");
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(HeldRun().m_cleaned.empty());
    for (const std::string& file : files) EXPECT_TRUE(FileExists(file)) << file;
}

TEST_F(MainDlgTest, TickedRowsAreCleanedTopDownAndEachIsRemovedWhereItThenStands)
{
    SetRegDword(kSettingsKey, "Reports", 0);
    std::vector<std::string> files;
    for (int i = 0; i < 8; ++i) files.push_back(MakeTempFile("f" + std::to_string(i) + ".tmp"));
    HoldScanAfter(files);
    ASSERT_NE(Open(), nullptr);
    Command(IDC_SCAN);
    ASSERT_TRUE(WaitFor([&] { return Rows() == 8; }));
    Command(IDC_CANCEL);
    ASSERT_TRUE(WaitForResults());

    const std::vector<std::string> shown = RowPaths(*m_dlg);
    for (int row : {2, 5, 6}) CheckRow(row);
    std::vector<CRemovedRow> removed;
    ASSERT_TRUE(SetWindowSubclass(m_hwnd, RecordRemovedRows, 1, reinterpret_cast<DWORD_PTR>(&removed)));
    Command(IDC_CLEAN);
    ASSERT_TRUE(WaitUntilIdle());
    RemoveWindowSubclass(m_hwnd, RecordRemovedRows, 1);

    // Rows 2, 5 and 6 stand at 2, 4 and 4 when their turn comes.
    ASSERT_EQ(removed.size(), 3u);
    EXPECT_EQ(removed[0].row, 2);
    EXPECT_EQ(removed[1].row, 4);
    EXPECT_EQ(removed[2].row, 4);
    const std::vector<std::string> expected = {shown[2], shown[5], shown[6]};
    EXPECT_EQ(HeldRun().m_cleaned, expected);
    for (size_t i = 0; i < removed.size(); ++i) EXPECT_EQ(removed[i].path, expected[i]);
    for (const std::string& file : files) {
        const bool ticked = std::find(expected.begin(), expected.end(), file) != expected.end();
        EXPECT_EQ(FileExists(file), !ticked) << file;
    }
}

TEST_F(MainDlgTest, WhileAWorkerRunsScanIsRefusedAndQuittingStopsItInstead)
{
    SetRegDword(kSettingsKey, "Reports", 0);
    HoldScanAfter({MakeTempFile("held.tmp")});
    ASSERT_NE(Open(), nullptr);
    Command(IDC_SCAN);
    ASSERT_TRUE(WaitFor([&] { return Rows() == 1; }));

    {
        CBoxAnswer box(IDOK);
        Command(IDC_SCAN);  // Ctrl+E while the scan runs
        ASSERT_TRUE(box.Answered());
        EXPECT_EQ(box.Text(), " 无法开始，因为正在进行清理操作。");
    }
    EXPECT_EQ(Rows(), 1) << "nothing of the running scan may change";
    EXPECT_EQ(States(), kScanning);

    // Neither the tray's clean-now nor the automatic triggers start anything meanwhile.
    {
        CBoxAnswer none(IDOK, kCaption, 500);
        Command(ID_TRAY_CLEANNOW);
        EXPECT_FALSE(none.Stop());
    }
    EXPECT_EQ(States(), kScanning);

    {
        CBoxAnswer box(IDOK);
        SendMessageA(m_hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(box.Answered());
        EXPECT_EQ(box.Text(), "现在无法退出该应用程序。\n请等到扫描完成后再退出...");
    }
    ASSERT_TRUE(WaitForResults()) << "quitting asks the scan to stop";
    EXPECT_TRUE(IsWindow(m_hwnd));
    EXPECT_EQ(Status(0), "扫描已取消...");

    // During a clean the refusal names the clean, and the clean is stopped after its current object.
    const std::string second = MakeTempFile("second.tmp");
    HeldRun().m_files.push_back(second);
    Command(IDC_SCAN);
    ASSERT_TRUE(WaitFor([&] { return Rows() == 2; }));
    Command(IDC_CANCEL);
    ASSERT_TRUE(WaitForResults());
    Command(ID_LIST_CHECK_ALL);
    HeldRun().m_bGateOpen = false;
    Command(IDC_CLEAN);
    {
        CBoxAnswer box(IDOK);
        SendMessageA(m_hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(box.Answered());
        EXPECT_EQ(box.Text(), "现在无法退出该应用程序。\n请等到清理完成后再退出...");
    }
    HeldRun().m_bGateOpen = true;
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Status(0), "清理已取消...");
    EXPECT_EQ(HeldRun().m_cleaned.size(), 1u);
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(IsWindow(m_hwnd));
}

TEST_F(MainDlgTest, TheAutomaticSequenceCleansEverythingFoundAndShowsTheReport)
{
    CheckItem(kTempItemId);
    const std::string a = MakeTempFile("auto1.tmp", 1024), b = MakeTempFile("auto2.tmp", 1024);
    ASSERT_NE(Open(), nullptr);

    std::string report;
    std::atomic<bool> reportClosed{false};
    testsupport::WindowWatcher reportBox(
        [] { return FindOwnWindow("#32770", "报告"); },
        [&](HWND box) {
            report = testsupport::WindowText(GetDlgItem(box, IDC_REPORT_TEXT));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            reportClosed = true;
        },
        30000);
    Command(ID_TRAY_CLEANNOW);
    EXPECT_EQ(States(), kScanning);
    EXPECT_TRUE(m_dlg->m_bAutoSequence);
    ASSERT_TRUE(WaitFor([&] { return reportClosed.load(); }, 30000)) << "no report after the automatic clean";
    EXPECT_NE(report.find("已删除的对象数: 2。"), std::string::npos) << report;
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_FALSE(m_dlg->m_bAutoSequence);
    EXPECT_EQ(Status(0), "清理已完成...");
    EXPECT_FALSE(FileExists(a));
    EXPECT_FALSE(FileExists(b));

    // With nothing checked the sequence does nothing at all: no message, no state change.
    CheckItem(kTempItemId, 0);
    CBoxAnswer none(IDOK, kCaption, 500);
    m_dlg->StartAutoSequence();
    EXPECT_FALSE(none.Stop());
    EXPECT_EQ(States(), kIdle);
    EXPECT_FALSE(m_dlg->m_bAutoSequence);
}

TEST_F(MainDlgTest, StartedForAutomaticCleaningItCleansAndClosesAfterCleaningUnlessShutdownCleaningWaits)
{
    SetRegDword(kSettingsKey, "Reports", 0);
    SetRegDword(kSettingsKey, "CloseAfterCleaning", 1);
    SetRegDword(kSettingsKey, "SessCleanWinShutdown", 1);
    CheckItem(kTempItemId);
    const std::string first = MakeTempFile("first.tmp");
    m_dlg = std::make_unique<CMainDlg>();
    m_dlg->m_bAutoClean = true;
    m_hwnd = m_dlg->Create();
    ASSERT_NE(m_hwnd, nullptr);
    ASSERT_TRUE(WaitFor([&] { return !FileExists(first); }));
    ASSERT_TRUE(WaitUntilIdle());
    testsupport::PumpUntil([] { return false; }, 500);
    EXPECT_TRUE(IsWindow(m_hwnd)) << "cleaning at shutdown needs the program to stay";

    SetRegDword(kSettingsKey, "SessCleanWinShutdown", 0);
    const std::string second = MakeTempFile("second.tmp");
    Command(ID_TRAY_CLEANNOW);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(m_hwnd); })) << "the window did not close after cleaning";
    EXPECT_FALSE(FileExists(second));
    EXPECT_TRUE(m_dlg->IsEnded());
}

TEST_F(MainDlgTest, WhileRowsStreamInTheListShowsTheNewestRowWithinAFractionOfASecond)
{
    std::vector<std::string> files;
    for (int i = 0; i < 80; ++i) files.push_back(MakeTempFile("row" + std::to_string(100 + i) + ".tmp"));
    HoldScanAfter(files);
    ASSERT_NE(Open(), nullptr);
    HWND list = Item(IDC_RESULTS);
    Command(IDC_SCAN);
    ASSERT_TRUE(WaitFor([&] { return Rows() == 80; }));
    // A refresh comes within a fraction of a second and shows the newest row.
    auto newestRowInView = [&] {
        const int top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
        const int perPage = static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
        return top > 0 && top + perPage >= 80;
    };
    EXPECT_TRUE(WaitFor(newestRowInView, 1500));

    Command(IDC_CANCEL);
    ASSERT_TRUE(WaitForResults());
    EXPECT_TRUE(newestRowInView());
    EXPECT_TRUE(IsWindowVisible(list));
}

// ---------------------------------------------------------------- the scheduler's triggers

namespace {

// The timer's commands (ID_TRAY_CLEANNOW) with the tick of their arrival, and the cleans completed.
struct CTriggerLog {
    std::vector<DWORD> m_ticks;
    int m_nCleans = 0;
};
LRESULT CALLBACK RecordTriggers(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    auto* log = reinterpret_cast<CTriggerLog*>(data);
    if (msg == WM_COMMAND && LOWORD(wp) == ID_TRAY_CLEANNOW) log->m_ticks.push_back(GetTickCount());
    log->m_nCleans += msg == UWM_CLEAN_COMPLETED;
    return DefSubclassProc(hwnd, msg, wp, lp);
}

constexpr DWORD kInterval1Ms = 1500;  // interval 1 (15 "minutes") with a minute of 100 ms

class ScheduleTest : public MainDlgTest {
protected:
    ScheduleTest() { SetAutoCleanMinuteForTesting(1000000); }
    ~ScheduleTest() override
    {
        Close();
        SetAutoCleanMinuteForTesting(0);
    }
    HWND OpenRecording(DWORD interval)
    {
        SetRegDword(kSettingsKey, "Reports", 0);
        SetRegDword(kSettingsKey, "AutoCleaningTimeIntervalOptNum", interval);
        if (Open()) SetWindowSubclass(m_hwnd, RecordTriggers, 2, reinterpret_cast<DWORD_PTR>(&m_log));
        return m_hwnd;
    }
    void Pump(DWORD ms) { testsupport::PumpUntil([] { return false; }, ms); }
    CTriggerLog m_log;
};

}  // namespace

TEST_F(ScheduleTest, TheTimerRunsOneScanAndCleanOfTheCheckedItemsAfterItsIntervalAlsoFromTheTray)
{
    CheckItem(kTempItemId);
    const std::string file = MakeTempFile("timer.tmp");
    const DWORD armed = GetTickCount();
    ASSERT_NE(OpenRecording(1), nullptr);
    Command(ID_TRAY_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return m_log.m_nCleans == 1; }, 10000));
    EXPECT_FALSE(FileExists(file));
    EXPECT_EQ(m_log.m_ticks.size(), 1u);
    EXPECT_GE(m_log.m_ticks[0] - armed, kInterval1Ms - 100) << "fired before its interval";
    EXPECT_FALSE(IsWindowVisible(m_hwnd)) << "WndRestOnWake is off";
}

TEST_F(ScheduleTest, SwitchingTheIntervalOffEndsTheTimerThreadAndSwitchingItOnStartsANewOne)
{
    ASSERT_NE(OpenRecording(2), nullptr);
    ASSERT_TRUE(m_dlg->IsAutoCleanRunning());
    for (DWORD off : {0u, 6u}) {  // six choices: any other number is off too
        SetRegDword(kSettingsKey, "AutoCleaningTimeIntervalOptNum", off);
        ASSERT_TRUE(RunOptionsSheet(PSBTN_CANCEL));
        EXPECT_TRUE(WaitFor([&] { return !m_dlg->IsAutoCleanRunning() && !g_autoCleanParam.m_hTimer; }, 5000)) << off;
        SetRegDword(kSettingsKey, "AutoCleaningTimeIntervalOptNum", 5);
        ASSERT_TRUE(RunOptionsSheet(PSBTN_CANCEL));
        EXPECT_TRUE(m_dlg->IsAutoCleanRunning() && g_autoCleanParam.m_hTimer) << off;
        EXPECT_EQ(g_autoCleanParam.m_nMinutes.load(), 1440);
    }
}

TEST_F(ScheduleTest, ReopeningTheOptionsWithoutChangingTheIntervalKeepsTheDueTime)
{
    ASSERT_NE(OpenRecording(1), nullptr);
    Pump(kInterval1Ms - 500);
    const DWORD reopened = GetTickCount();
    ASSERT_TRUE(RunOptionsSheet(PSBTN_OK));
    ASSERT_TRUE(WaitFor([&] { return !m_log.m_ticks.empty(); }, 5000));
    EXPECT_LT(m_log.m_ticks[0] - reopened, kInterval1Ms - 300) << "re-armed by the reopening";
}

TEST_F(ScheduleTest, ATriggerWhileAWorkerRunsDoesNothingAndTheTimerIsArmedAgainAllTheSame)
{
    HoldScanAfter({MakeTempFile("held.tmp")});
    ASSERT_NE(OpenRecording(1), nullptr);
    Command(IDC_SCAN);
    ASSERT_TRUE(WaitFor([&] { return m_log.m_ticks.size() >= 2; }, 10000));
    EXPECT_EQ(States(), kScanning);
    EXPECT_FALSE(m_dlg->m_bAutoSequence);
}

namespace {

std::vector<std::pair<UINT, LRESULT>> g_endRequests;  // flags, and the window's answer to Windows
HWND g_sessionWindow = nullptr;
std::vector<std::wstring> g_blockReasons;  // "" for a reason taken away
BOOL WINAPI RecordExitWindows(UINT flags, DWORD)
{
    g_endRequests.push_back({flags, SendMessageA(g_sessionWindow, WM_QUERYENDSESSION, 0, 0)});
    return TRUE;
}
BOOL WINAPI RecordBlockReason(HWND, LPCWSTR reason)
{
    g_blockReasons.push_back(reason);
    return TRUE;
}
BOOL WINAPI RecordBlockEnd(HWND)
{
    g_blockReasons.push_back(L"");
    return TRUE;
}

}  // namespace

TEST_F(ScheduleTest, TheEndOfTheSessionIsRefusedThenTheProgramCleansQuitsAndAsksForTheSameEnd)
{
    struct {
        LPARAM how;
        bool checked;
        UINT want;
    } const kCases[] = {{0, true, EWX_SHUTDOWN}, {ENDSESSION_LOGOFF, true, EWX_LOGOFF}, {0, false, EWX_SHUTDOWN}};
    SetRegDword(kSettingsKey, "SessCleanWinShutdown", 1);
    SetExitWindowsForTesting(RecordExitWindows);
    SetShutdownBlockCallsForTesting({RecordBlockReason, RecordBlockEnd});
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << "lParam " << c.how << ", checked " << c.checked);
        g_endRequests.clear();
        g_blockReasons.clear();
        CheckItem(kTempItemId, c.checked);
        const std::string file = MakeTempFile("session.tmp");
        ASSERT_NE(g_sessionWindow = OpenRecording(0), nullptr);
        EXPECT_EQ(SendMessageA(m_hwnd, WM_QUERYENDSESSION, 0, c.how), FALSE);
        SendMessageA(m_hwnd, WM_ENDSESSION, FALSE, c.how);
        EXPECT_EQ(States(), c.checked ? kScanning : kIdle);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(m_hwnd); }, 15000)) << "the program did not quit";
        const std::vector<std::pair<UINT, LRESULT>> want = {{c.want, TRUE}};  // its own request is not refused
        EXPECT_EQ(g_endRequests, want);
        EXPECT_EQ(FileExists(file), !c.checked);
        // Windows shows why the session waits while the cleaning runs, and no longer afterwards.
        EXPECT_EQ(g_blockReasons, (std::vector<std::wstring>{L"正在清理使用痕迹，完成后将结束会话。", L""}));
        Close();
    }
    SetExitWindowsForTesting(nullptr);
    SetShutdownBlockCallsForTesting({});
}

TEST_F(ScheduleTest, OnlyABrowserSeenOpenStartsOneCleanWhenItsLastWindowCloses)
{
    SetRegDword(kSettingsKey, "SessCleanBrowserClose", 1);
    CheckItem(kTempItemId);
    const std::string file = MakeTempFile("browser.tmp");
    ASSERT_NE(OpenRecording(0), nullptr);
    // Never open, and an Opera window that came and went between two ticks: never seen.
    DestroyWindow(testsupport::OpenBrowserWindow("OpWindow"));
    HWND first = testsupport::OpenBrowserWindow("IEFrame"), second = testsupport::OpenBrowserWindow("IEFrame");
    Pump(2 * kBrowserWatchMs);
    DestroyWindow(first);
    Pump(2 * kBrowserWatchMs);
    EXPECT_EQ(m_log.m_nCleans, 0) << "one Internet Explorer window is still open";
    DestroyWindow(second);
    ASSERT_TRUE(WaitFor([&] { return m_log.m_nCleans == 1; }, 10000));
    EXPECT_FALSE(FileExists(file));
    Pump(2 * kBrowserWatchMs);
    EXPECT_EQ(m_log.m_nCleans, 1);
}
