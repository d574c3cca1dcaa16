// The main window's control of the work: Scan, Clean and Cancel, the button sets of the four working
// states, the messages of the scanning and cleaning threads, the end of a run and the automatic
// sequence (a scan, then a clean of everything found).
//
// A worker counts as running (the catalogue's m_bBusy) from the moment this window starts it, not
// from its first instruction, so no trigger can slip into the gap. Its end messages are posted just
// before it clears the flag itself, so the end handlers first wait for the thread to be gone.
#include "ui/MainDlg.h"

#include <iterator>
#include <memory>
#include <vector>

#include "app/CleanerApp.h"
#include "app/Utilities.h"
#include "catalogue/ModList.h"
#include "engine/CleanThread.h"
#include "engine/CleaningParam.h"
#include "engine/ScanThread.h"
#include "framework/WorkerThread.h"
#include "resource.h"
#include "ui/MainReportDlg.h"

namespace {

const char kFoundZeroText[] = "已找到的对象: 0";
const char kDeletedZeroText[] = "已删除的对象: 0";
const char kFreedZeroText[] = "剩余空间: 0.00 MB";
const char kIgnoredZeroText[] = "已忽略的 Cookies: 0";
const char kScanCompletedText[] = "扫描已完成...";
const char kScanCancelledText[] = "扫描已取消...";

// Pauses that let the window settle before a worker starts, and a cancelled clean finish its last
// object.
constexpr DWORD kBeforeWorkerStartMs = 75;
constexpr DWORD kCleanCancelledPauseMs = 250;
// A worker that posted its end message has only to return; this bounds the wait if it hangs.
constexpr DWORD kWorkerEndWaitMs = 10000;

const int kProgressGroup[] = {IDC_ITEM_PROGRESS,       IDC_TOTAL_PROGRESS,      IDC_CURRENT_OPERATION,
                              IDC_CURRENT_OBJECT,      IDC_OPERATION_LABEL,     IDC_OBJECT_LABEL,
                              IDC_ITEM_PROGRESS_LABEL, IDC_TOTAL_PROGRESS_LABEL};
const int kCategoryButtons[] = {IDC_CATEGORY_WINDOWS, IDC_CATEGORY_BROWSERS, IDC_CATEGORY_APPS, IDC_CATEGORY_CUSTOM};

// One row of the button-state table. Hidden implies disabled.
struct CButtonSet {
    bool m_bScanEnabled;
    bool m_bCleanShown;
    bool m_bCleanEnabled;
    bool m_bCancelEnabled;
    bool m_bProgressShown;
    bool m_bSetCategories;  // false: the categories keep what they have
    bool m_bCategoriesEnabled;
    int m_nFocusId;  // where the keyboard focus goes when the focused control was switched off
};

CButtonSet ButtonSetOf(EWorkState state)
{
    switch (state) {
    case EWorkState::Idle: return {true, false, false, false, false, true, true, IDC_SCAN};
    case EWorkState::Scanning: return {false, false, false, true, true, true, false, IDC_CANCEL};
    case EWorkState::ResultsReady: return {false, true, true, false, false, false, false, IDC_CLEAN};
    case EWorkState::Cleaning: return {false, true, false, true, true, true, false, IDC_CANCEL};
    }
    return {true, false, false, false, false, true, true, IDC_SCAN};
}

bool WorkerRuns()
{
    return g_theScanningThreadsParam.m_bBusy;
}

// The check state and item data of every results row, top to bottom.
std::vector<CResultRowState> ReadRowStates(CResultsList& list)
{
    const int count = list.List().GetItemCount();
    std::vector<CResultRowState> rows(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) {
        rows[static_cast<size_t>(row)].m_bChecked = list.IsRowChecked(row);
        rows[static_cast<size_t>(row)].m_lItemData = list.List().GetItemData(row);
    }
    return rows;
}

}  // namespace

// ---------------------------------------------------------------- button states

void CMainDlg::ApplyWorkState(EWorkState state, bool keepClean)
{
    const CButtonSet set = ButtonSetOf(state);
    EnableControl(m_hWnd, IDC_SCAN, set.m_bScanEnabled);
    if (!keepClean) {
        ShowControl(m_hWnd, IDC_CLEAN, set.m_bCleanShown);
        EnableControl(m_hWnd, IDC_CLEAN, set.m_bCleanEnabled);
    }
    ShowControl(m_hWnd, IDC_CANCEL, true);
    EnableControl(m_hWnd, IDC_CANCEL, set.m_bCancelEnabled);
    ShowProgressGroup(set.m_bProgressShown);
    if (set.m_bSetCategories)
        EnableControls(m_hWnd, kCategoryButtons, static_cast<int>(std::size(kCategoryButtons)),
                       set.m_bCategoriesEnabled);

    // A disabled button drops the keyboard focus; hand it to the button that matters now, but only
    // in the active window, so a run ending in the background does not pull the window forward.
    HWND focus = GetFocus();
    HWND target = GetItem(set.m_nFocusId);
    if (GetActiveWindow() == m_hWnd && target && IsWindowEnabled(target) && IsWindowVisible(target) &&
        (!focus || focus == m_hWnd || !IsWindowEnabled(focus) || !IsWindowVisible(focus)))
        SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

void CMainDlg::ShowProgressGroup(bool show)
{
    ShowControls(m_hWnd, kProgressGroup, static_cast<int>(std::size(kProgressGroup)), show);
}

void CMainDlg::ResetProgressDisplay()
{
    SetDlgItemTextA(m_hWnd, IDC_CURRENT_OPERATION, "");
    SetDlgItemTextA(m_hWnd, IDC_CURRENT_OBJECT, "");
    for (int id : {IDC_ITEM_PROGRESS, IDC_TOTAL_PROGRESS}) {
        framework::CProgressBar bar(GetItem(id));
        bar.SetRange(0, 0);
        bar.SetPos(0);
    }
    SetStatusText(0, "");
}

// ---------------------------------------------------------------- Scan

void CMainDlg::StartAutoSequence()
{
    if (IsRunInProgress() || CollectCheckedItems() == 0) return;
    m_bAutoSequence = true;
    OnScan();
}

void CMainDlg::OnScan()
{
    // Nothing of the running worker's lists may change under it.
    if (WorkerRuns()) {
        ShowInfoBox(IDS_WORKER_RUNNING);
        return;
    }
    CloseOwnedWindows();
    ResetProgressDisplay();
    DeleteAllRows();
    AllObjsLinkedList.clear();
    m_lstFolders.clear();
    BuildResultColumns();
    SetStatusText(1, kFoundZeroText);
    SetStatusText(2, "");
    SetStatusText(3, "");

    const int checked = CollectCheckedItems();
    if (checked == 0) {
        m_bAutoSequence = false;
        ShowInfoBox(IDS_NO_ITEM_CHECKED);
        ApplyWorkState(EWorkState::Idle, true);
        return;
    }
    WarnOpenBrowsers(g_theScanningThreadsParam.m_pCheckedIds.get(), checked, *this);
    Sleep(kBeforeWorkerStartMs);
    ApplyWorkState(EWorkState::Scanning);
    RestoreColumnWidths();
    StartScanThread();
}

int CMainDlg::CollectCheckedItems()
{
    CModList& catalogue = g_theScanningThreadsParam;
    int count = 0;
    for (int i = 0; i < catalogue.m_nCount; ++i) {
        const CModItem* item = catalogue.GetAt(i);
        DWORD state = 0;
        if (item &&
            TheSettings().ReadDword(CSettingsStore::ItemStateName(item->m_nId).c_str(), state, kItemStatesSubkey) ==
                ERROR_SUCCESS &&
            state == 1)
            catalogue.m_pCheckedIds[count++] = item->m_nId;
    }
    for (int i = count; i < catalogue.m_nCount; ++i) catalogue.m_pCheckedIds[i] = 0;
    catalogue.m_nCheckedCount = count;
    return count;
}

bool CMainDlg::StartScanThread()
{
    if (WorkerRuns()) {
        ShowInfoBox(IDS_WORKER_RUNNING);
        return false;
    }
    g_theScanningThreadsParam.m_hwnd = m_hWnd;
    if (StartWorker(ScanThreadProc, nullptr)) return true;
    const DWORD error = GetLastError();
    m_bAutoSequence = false;
    ResetProgressDisplay();
    ApplyWorkState(EWorkState::Idle);
    ShowSystemError(error);
    return false;
}

bool CMainDlg::StartWorker(UINT (*proc)(LPVOID), LPVOID param)
{
    g_theScanningThreadsParam.m_bBusy = true;
    StartRowStream();
    HANDLE thread = framework::BeginWorkerThread(proc, param, THREAD_PRIORITY_NORMAL);
    if (!thread) {
        const DWORD error = GetLastError();
        g_theScanningThreadsParam.m_bBusy = false;
        StopRowStream();
        SetLastError(error);
        return false;
    }
    m_hWorker.Reset(thread);
    return true;
}

// ---------------------------------------------------------------- Clean and Cancel

void CMainDlg::OnClean()
{
    if (!m_bScanDone) return;
    // The cleaning thread reads and shortens the lists: a second clean must not rebuild them.
    if (WorkerRuns()) {
        ShowInfoBox(IDS_WORKER_RUNNING);
        return;
    }
    CloseOwnedWindows();
    ResetProgressDisplay();
    SetStatusText(1, kDeletedZeroText);
    SetStatusText(2, kFreedZeroText);
    SetStatusText(3, kIgnoredZeroText);

    const int checked = BuildRowsToClean(ReadRowStates(m_listResults), m_lstRowsToClean);
    Sleep(kBeforeWorkerStartMs);
    if (checked == 0 &&
        MessageBoxA(m_hWnd, LoadResString(IDS_NOTHING_TO_CLEAN).c_str(), LoadResString(IDS_APP_CAPTION).c_str(),
                    MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;
    StartCleanRun();
}

void CMainDlg::StartCleanRun()
{
    ApplyWorkState(EWorkState::Cleaning);
    RestoreColumnWidths();
    if (WorkerRuns()) {
        ShowInfoBox(IDS_WORKER_RUNNING);
        return;
    }
    g_theScanningThreadsParam.m_hwnd = m_hWnd;
    auto param = std::make_unique<CCleaningParam>(&AllObjsLinkedList, &m_lstRowsToClean, &m_lstFolders,
                                                  g_theScanningThreadsParam);
    if (StartWorker(CleanThreadProc, param.get())) {
        param.release();  // the cleaning thread deletes it
        return;
    }
    const DWORD error = GetLastError();
    ResetProgressDisplay();
    ApplyWorkState(EWorkState::Idle);
    ShowSystemError(error);
}

void CMainDlg::OnCancelWork()
{
    if (!WorkerRuns()) return;
    if (!SetEvent(g_theScanningThreadsParam.m_evStop)) ShowSystemError(GetLastError());
}

// ---------------------------------------------------------------- end of a run

void CMainDlg::WaitForWorkerEnd()
{
    if (!m_hWorker) return;
    WaitForSingleObject(m_hWorker.Get(), kWorkerEndWaitMs);
    m_hWorker.Close();
}

void CMainDlg::OnScanEnded(bool completed)
{
    WaitForWorkerEnd();
    StopRowStream();
    ResetProgressDisplay();
    ApplyWorkState(EWorkState::ResultsReady);
    m_bScanDone = true;
    const bool cleanEverything = completed && m_bAutoSequence;
    m_bAutoSequence = false;
    ResetStopEvent(completed);
    const bool empty = m_listResults.List().GetItemCount() == 0;
    if (empty) GoIdle();
    SetStatusText(0, completed ? kScanCompletedText : kScanCancelledText);
    // The rows come out the way the user last sorted them; sorted before a clean of everything
    // starts, so the rows to clean are taken in their final order.
    m_listResults.ResortAfterRun();
    if (completed) FlashWhenMinimized();
    if (cleanEverything && !empty) {
        SetResultChecks(ECheckScope::AllRows, kCheckModeCheck);
        OnClean();
    }
}

void CMainDlg::OnCleanEnding()
{
    // No row goes any more: the list can draw again while the report is read.
    StopRowStream();
    if (m_bScanDone) ApplyWorkState(EWorkState::Idle);
}

void CMainDlg::OnCleanFollowUp(WPARAM how, LPARAM text)
{
    if (how == 0) {
        CloseAfterCleaning();
        return;
    }
    std::unique_ptr<char[]> report(reinterpret_cast<char*>(text));
    CMainReportDlg dialog(m_hWnd);
    if (report) dialog.m_strText = report.get();
    report.reset();
    dialog.DoModal();
}

void CMainDlg::OnCleanEnded(bool completed)
{
    WaitForWorkerEnd();
    StopRowStream();
    if (!completed) Sleep(kCleanCancelledPauseMs);
    GoIdle();
    ResetStopEvent(completed);
    SetStatusText(0, LoadResString(completed ? IDS_CLEAN_COMPLETED : IDS_CLEAN_CANCELLED));
    m_listResults.ResortAfterRun();
    if (completed) FlashWhenMinimized();
}

void CMainDlg::GoIdle()
{
    ApplyWorkState(EWorkState::Idle);
    ResetProgressDisplay();
    m_bScanDone = false;
    DeleteAllRows();
    EmptyRunLists();
}

void CMainDlg::ResetStopEvent(bool onlyWhenSignalled)
{
    HANDLE stop = g_theScanningThreadsParam.m_evStop;
    if (onlyWhenSignalled && WaitForSingleObject(stop, 0) != WAIT_OBJECT_0) return;
    if (!ResetEvent(stop)) ShowInfoBox(IDS_RESET_STOP_FAILED);
}
