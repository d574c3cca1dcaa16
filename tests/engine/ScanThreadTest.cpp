// The scanning thread against the real catalogue, whose items get test functions, and a test main
// window on this thread: the calling contract, the progress word and bars, the pauses, the messages
// and the end of a run.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "support/TestMainWindow.h"
#include "WorkerThreadRun.h"
#include "app/SettingsStore.h"
#include "catalogue/ModList.h"
#include "engine/FolderWalker.h"
#include "engine/RunReport.h"
#include "engine/ScanThread.h"
#include "engine/WorkerMessages.h"
#include "support/Sandbox.h"

namespace {

CModList& Catalogue() { return g_theScanningThreadsParam; }

// What the test item functions were called with, and what they saw of the window.
struct Call {
    std::string what;  // "P1100", "C1100", "S1100", "F1100", "A1103"
    LONGLONG ticks;     // when the call came
    LONGLONG ticksEnd;  // when it returned (after looking at the window)
    int param = 0;
    int itemMax = -1, totalMax = -1, totalPos = -1;
    std::string line1010, line1011;
    bool hadContext = false;
};

// How the test items answer, by identifier.
struct Script {
    int prepare = 1, count = 1, units = 5, scan = 1;
};

std::vector<Call> g_calls;
Script g_script[kBuiltinItemCount];

Script& ScriptOf(const CModItem* item) { return g_script[item->m_nId - kFirstBuiltinId]; }

LONGLONG Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double Ms(LONGLONG from, LONGLONG to)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return 1000.0 * static_cast<double>(to - from) / static_cast<double>(f.QuadPart);
}

void Record(const char* what, CModItem* item)
{
    Call call;
    call.what = what + std::to_string(item->m_nId);
    call.ticks = Now();
    call.param = item->m_nParam;
    call.hadContext = item->m_pScanContext != nullptr;
    if (CRunContext* context = item->m_pScanContext) {
        // What the thread set before calling, as the window shows it.
        FlushDisplay(context);
        HWND main = context->m_pWnd->m_hWndMain;
        call.itemMax = static_cast<int>(SendMessageA(context->m_pItemBar, PBM_GETRANGE, FALSE, 0));
        call.totalMax = static_cast<int>(SendMessageA(context->m_pTotalBar, PBM_GETRANGE, FALSE, 0));
        call.totalPos = static_cast<int>(SendMessageA(context->m_pTotalBar, PBM_GETPOS, 0, 0));
        char text[256] = "";
        GetDlgItemTextA(main, IDC_CURRENT_OPERATION, text, sizeof text);
        call.line1010 = text;
        GetDlgItemTextA(main, IDC_CURRENT_OBJECT, text, sizeof text);
        call.line1011 = text;
    }
    call.ticksEnd = Now();
    g_calls.push_back(call);
}

int TestPrepare(CModItem* item)
{
    Record("P", item);
    return ScriptOf(item).prepare;
}
int TestCount(int* units, CModItem* item)
{
    Record("C", item);
    *units = ScriptOf(item).units;
    return ScriptOf(item).count;
}
int TestScan(CModItem* item)
{
    Record("S", item);
    return ScriptOf(item).scan;
}
int TestScanAll(CModItem* item)
{
    Record("A", item);
    return ScriptOf(item).scan;
}
void TestFinish(CModItem* item) { Record("F", item); }

class ScanThreadTest : public testsupport::SandboxTest {
protected:
    ScanThreadTest() : m_savedPasses(GetPluginFilePasses())
    {
        g_calls.clear();
        for (Script& s : g_script) s = Script();
        // The built-in items are enough; no plug-in data file is read (or complained about).
        SetPluginFilePasses(CPluginFilePasses{});
        TheSettings().Start();  // the settings keys of the sandbox
        Catalogue().Build();
        Catalogue().m_hwnd = m_window.Hwnd();
        ResetEvent(Catalogue().m_evStop);
    }
    ~ScanThreadTest() override
    {
        ResetEvent(Catalogue().m_evStop);
        Catalogue().m_hwnd = nullptr;
        Catalogue().Build();  // the items get their own functions back
        SetPluginFilePasses(m_savedPasses);
    }

    CModItem* ThreeSteps(int id)
    {
        CModItem* item = Catalogue().FindById(id);
        item->m_bScanInOneStep = false;
        item->m_pfnPrepare = TestPrepare;
        item->m_pfnCount = TestCount;
        item->m_pfnScan = TestScan;
        item->m_pfnFinish = TestFinish;
        return item;
    }
    CModItem* OneStep(int id)
    {
        CModItem* item = Catalogue().FindById(id);
        item->m_bScanInOneStep = true;
        item->m_pfnScanAll = TestScanAll;
        return item;
    }
    void Check(const std::vector<int>& ids)
    {
        for (size_t i = 0; i < ids.size(); ++i) Catalogue().m_pCheckedIds[i] = ids[i];
        Catalogue().m_nCheckedCount = static_cast<int>(ids.size());
    }
    WorkerRunResult RunScan()
    {
        HANDLE thread = StartScanThread();
        EXPECT_NE(nullptr, thread);
        return PumpWorker(thread);
    }
    std::vector<std::string> CallNames() const
    {
        std::vector<std::string> names;
        for (const Call& c : g_calls) names.push_back(c.what);
        return names;
    }
    const Call& CallOf(const std::string& what) const
    {
        for (const Call& c : g_calls)
            if (c.what == what) return c;
        static Call none;
        ADD_FAILURE() << "no call " << what;
        return none;
    }

    CPluginFilePasses m_savedPasses;
    TestMainWindow m_window;
};

using Strings = std::vector<std::string>;

}  // namespace

TEST_F(ScanThreadTest, ItemsAreCalledByTheContractInCheckedOrder)
{
    ThreeSteps(1100);                                     // scanned
    ThreeSteps(1101);
    g_script[1].prepare = 0;                              // nothing to scan
    ThreeSteps(1102);
    g_script[2].count = 0;                                // nothing to count
    OneStep(1103);
    ThreeSteps(1104)->m_pfnPrepare = nullptr;             // no prepare function: skipped
    Check({1100, 1101, 4242, 1102, 1103, 1104});          // 4242 is no item

    WorkerRunResult run = RunScan();
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ((Strings{"P1100", "C1100", "S1100", "F1100", "P1101", "F1101", "P1102", "C1102", "F1102",
                       "A1103", "F1104"}),
              CallNames());
    EXPECT_EQ((std::vector<UINT>{UWM_SCAN_COMPLETED}), m_window.CompletionMessages());
    EXPECT_FALSE(Catalogue().m_bBusy);

    // Pauses: none after a prepare of 0, 55 ms after a count of 0, 25 ms after a scanned item.
    EXPECT_LT(Ms(CallOf("P1101").ticksEnd, CallOf("F1101").ticks), 20.0);
    EXPECT_GE(Ms(CallOf("C1102").ticksEnd, CallOf("F1102").ticks), 54.0);
    EXPECT_GE(Ms(CallOf("S1100").ticksEnd, CallOf("F1100").ticks), 24.0);
    EXPECT_LT(Ms(CallOf("S1100").ticksEnd, CallOf("F1100").ticks), 54.0);

    // Bars of a three-step item: the item's units, and the total re-ranged to units x n with this
    // item's share starting at b / n (n = 6 checked, b = 0 scanned before it).
    const Call& scan = CallOf("S1100");
    EXPECT_TRUE(scan.hadContext);
    EXPECT_EQ(5, scan.itemMax);
    EXPECT_EQ(30, scan.totalMax);
    EXPECT_EQ(0, scan.totalPos);
    EXPECT_EQ("正在扫描 - 最近的文档...", scan.line1010);

    // A one-step item gets the progress word (n << 16 | b) and bars over 100 per item.
    const Call& one = CallOf("A1103");
    EXPECT_EQ((6 << 16) | 1, one.param);
    EXPECT_EQ(100, one.itemMax);
    EXPECT_EQ(600, one.totalMax);
    EXPECT_EQ(100, one.totalPos);
    EXPECT_EQ("...", one.line1011);
    EXPECT_EQ("正在扫描 - 剪贴板...", one.line1010);

    // The last item had no prepare function, so its status line stays; part 0 says a worker ran.
    EXPECT_EQ("正在扫描 - 临时文件目录...", m_window.ItemText(IDC_CURRENT_OPERATION));
    EXPECT_EQ("正在工作...", m_window.StatusText(0));
    EXPECT_EQ(0, m_window.StatusStyle(0));
    EXPECT_EQ(0, m_window.ProgressPos(IDC_ITEM_PROGRESS));
}

TEST_F(ScanThreadTest, ClearedEntriesAreSkippedEvenWhenAnItemHoldsIdentifierZero)
{
    CModItem* damaged = OneStep(1100);
    damaged->m_nId = 0;  // as a module whose section name ends in no number
    damaged->m_pfnScanAll = [](CModItem* item) { Record("A", item); return 1; };
    OneStep(1101);
    Check({0, 1101, 0});
    ASSERT_TRUE(RunScan().ended);
    EXPECT_EQ((Strings{"A1101"}), CallNames());
}

TEST_F(ScanThreadTest, AScanThatReturnsZeroEndsTheRunAsCancelledAfterItsFinish)
{
    ThreeSteps(1100);
    g_script[0].scan = 0;
    ThreeSteps(1101);
    Check({1100, 1101});
    ASSERT_TRUE(RunScan().ended);
    EXPECT_EQ((Strings{"P1100", "C1100", "S1100", "F1100"}), CallNames());
    EXPECT_EQ((std::vector<UINT>{UWM_SCAN_CANCELLED}), m_window.CompletionMessages());

    // A one-step item that returns 0, or that has no function at all, also cancels.
    g_calls.clear();
    m_window.m_messages.clear();
    OneStep(1102);
    OneStep(1103)->m_pfnScanAll = nullptr;
    ThreeSteps(1104);
    Check({1102, 1103, 1104});
    g_script[2].scan = 1;
    ASSERT_TRUE(RunScan().ended);
    EXPECT_EQ((Strings{"A1102"}), CallNames());  // 1103 has nothing to call, 1104 never runs
    EXPECT_EQ((std::vector<UINT>{UWM_SCAN_CANCELLED}), m_window.CompletionMessages());

    g_calls.clear();
    m_window.m_messages.clear();
    g_script[2].scan = 0;
    Check({1102, 1104});
    ASSERT_TRUE(RunScan().ended);
    EXPECT_EQ((Strings{"A1102"}), CallNames());
    EXPECT_EQ((std::vector<UINT>{UWM_SCAN_CANCELLED}), m_window.CompletionMessages());

    // A three-step item without scan function cancels too, after its finish.
    g_calls.clear();
    m_window.m_messages.clear();
    ThreeSteps(1105)->m_pfnScan = nullptr;
    Check({1105, 1104});
    ASSERT_TRUE(RunScan().ended);
    EXPECT_EQ((Strings{"P1105", "C1105", "F1105"}), CallNames());
    EXPECT_EQ((std::vector<UINT>{UWM_SCAN_CANCELLED}), m_window.CompletionMessages());
}

int ThrowingScan(CModItem* item)
{
    Record("S", item);
    throw std::bad_alloc();
}

// Out of memory on the worker ends the run as cancelled with a box that says why; the program, and
// the next scan, go on.
TEST_F(ScanThreadTest, AnExceptionInAnItemEndsTheScanAsCancelledAfterItsFinish)
{
    ThreeSteps(1100)->m_pfnScan = ThrowingScan;
    ThreeSteps(1101);
    Check({1100, 1101});
    WorkerRunResult run = RunScan();
    ASSERT_TRUE(run.ended);
    EXPECT_EQ((Strings{"P1100", "C1100", "S1100", "F1100"}), CallNames());
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(m_window.Hwnd(), run.boxes[0].owner);
    EXPECT_NE(std::string::npos, run.boxes[0].text.find("内存不足"));
    EXPECT_EQ((std::vector<UINT>{UWM_SCAN_CANCELLED}), m_window.CompletionMessages());
    EXPECT_FALSE(Catalogue().m_bBusy);
}

TEST_F(ScanThreadTest, WithoutCheckedItemsTheUserIsToldAndTheScanStillCompletes)
{
    Check({});
    WorkerRunResult run = RunScan();
    ASSERT_TRUE(run.ended);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(m_window.Hwnd(), run.boxes[0].owner);
    EXPECT_EQ("Quillon test", run.boxes[0].caption);  // the main window's title
    EXPECT_EQ("你没有选定任何项目。\n请在执行该任务前选择一个项目。", run.boxes[0].text);
    EXPECT_EQ((std::vector<UINT>{UWM_SCAN_COMPLETED}), m_window.CompletionMessages());
    EXPECT_FALSE(Catalogue().m_bBusy);
}

TEST_F(ScanThreadTest, WithoutMainWindowNothingRunsAndADebuggingBoxSaysWhy)
{
    OneStep(1100);
    Check({1100});
    Catalogue().m_hwnd = nullptr;
    Catalogue().m_bBusy = true;
    WorkerRunResult run = RunScan();
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(1u, run.exitCode);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(nullptr, run.boxes[0].owner);
    EXPECT_EQ("Debugging", run.boxes[0].caption);
    EXPECT_EQ("出现错误。\n原因: g_theScanningThreadsParam.m_hwnd==NULL", run.boxes[0].text);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_TRUE(m_window.m_messages.empty());
    EXPECT_FALSE(Catalogue().m_bBusy);
}

namespace {

// A folder item as the temporary-files item is one: prepare names the folder, then the standard
// count, scan and finish with the standard callbacks.
std::string g_treeRoot;
int PrepareTree(CModItem* item)
{
    item->m_pScanData = new std::string(g_treeRoot);
    return 1;
}

bool g_finishSawData = false;
void FinishTree(CModItem* item)
{
    g_finishSawData = item->m_pScanData != nullptr;
    FolderFinish(item);
}

// Asks for a stop as the first file two folders down is reported.
int StopInNestedFolder(void* context, int reserved, const char* path, void* extra)
{
    std::string rel = std::string(path).substr(g_treeRoot.size() + 1);
    if (std::count(rel.begin(), rel.end(), '\\') == 2) SetEvent(g_theScanningThreadsParam.m_evStop);
    return OnFileFound(context, reserved, path, extra);
}

}  // namespace

class FolderScanThreadTest : public ScanThreadTest {
protected:
    FolderScanThreadTest()
    {
        g_treeRoot = m_temp / "tree";
        testsupport::MakeFolder(g_treeRoot);
        for (const char* top : {"A", "B", "C"}) {
            std::string t = g_treeRoot + "\\" + top;
            testsupport::MakeFolder(t);
            for (const char* mid : {"x", "y"}) {
                testsupport::MakeFolder(t + "\\" + mid);
                for (int i = 0; i < 4; ++i)
                    testsupport::WriteFileBytes(t + "\\" + mid + "\\f" + std::to_string(i) + ".dat",
                                                std::string(1024, 'z'));
            }
        }
        testsupport::WriteFileBytes(g_treeRoot + "\\keep_me.dat", "k");
        testsupport::WriteFileBytes(g_treeRoot + "\\top.dat", "t");
        m_item = Catalogue().FindById(1104);
        m_item->m_bScanInOneStep = false;
        m_item->m_pfnPrepare = PrepareTree;
        m_item->m_pfnCount = FolderCount;
        m_item->m_pfnScan = FolderScan;
        m_item->m_pfnFinish = FinishTree;
        m_item->m_pfnOnFileFound = OnFileFound;
        m_item->m_pfnOnFolderFound = OnFolderFound;
        g_finishSawData = false;
    }
    CModItem* m_item;
};

TEST_F(FolderScanThreadTest, AFolderScanEndsWithTheDisplayTheWritesAddUpTo)
{
    TheSettings().WriteStringList(kOptFilesKeepList, {"keep_"});
    Check({1104});
    ASSERT_TRUE(RunScan().ended);

    EXPECT_EQ((std::vector<UINT>{UWM_SCAN_COMPLETED}), m_window.CompletionMessages());
    EXPECT_EQ(25u, m_window.m_objects.size());  // 24 + top.dat; keep_me.dat is kept
    EXPECT_TRUE(g_finishSawData);
    EXPECT_EQ(nullptr, m_item->m_pScanData);
    // Every object before the completion, and the folders inner first.
    std::vector<std::string> folders;
    for (const auto& m : m_window.MessagesOf(UWM_ADD_FOLDER)) folders.push_back(m.text.substr(g_treeRoot.size() + 1));
    ASSERT_EQ(9u, folders.size());
    for (const char* top : {"A", "B", "C"}) {
        auto at = [&](const std::string& f) { return std::find(folders.begin(), folders.end(), f) - folders.begin(); };
        EXPECT_LT(at(std::string(top) + "\\x"), at(top));
        EXPECT_LT(at(std::string(top) + "\\y"), at(top));
    }

    // The final display: counts and size, the item bar emptied by the animation, the total bar full
    // (26 units counted, 25 advanced: kept files do not move it), the lines emptied.
    EXPECT_EQ("已发现对象: 25", m_window.StatusText(1));
    EXPECT_EQ("总计大小: 0.02 MB", m_window.StatusText(2));
    EXPECT_EQ(0, m_window.ProgressPos(IDC_ITEM_PROGRESS));
    EXPECT_EQ(100, m_window.ProgressMax(IDC_ITEM_PROGRESS));
    EXPECT_EQ(26, m_window.ProgressMax(IDC_TOTAL_PROGRESS));
    EXPECT_EQ(25, m_window.ProgressPos(IDC_TOTAL_PROGRESS));
    EXPECT_EQ("", m_window.ItemText(IDC_CURRENT_OPERATION));
    EXPECT_EQ("", m_window.ItemText(IDC_CURRENT_OBJECT));
    // The status bar was written far less often than once per object.
    EXPECT_LT(m_window.m_statusWrites.size(), 25u);
}

TEST_F(FolderScanThreadTest, AStopInsideANestedFolderCancelsTheScan)
{
    m_item->m_pfnOnFileFound = StopInNestedFolder;
    ThreeSteps(1100);
    Check({1104, 1100});
    ASSERT_TRUE(RunScan().ended);

    EXPECT_EQ((std::vector<UINT>{UWM_SCAN_CANCELLED}), m_window.CompletionMessages());
    EXPECT_GE(m_window.m_objects.size(), 1u);
    EXPECT_LT(m_window.m_objects.size(), 10u);  // at most the top file and one nested folder's files
    EXPECT_TRUE(g_finishSawData);              // finish ran before the run ended
    EXPECT_EQ(nullptr, m_item->m_pScanData);
    EXPECT_TRUE(g_calls.empty());              // the next item never ran
}
