#include "engine/ScanThread.h"

#include <string>

#include "app/SettingsStore.h"
#include "app/Utilities.h"
#include "catalogue/ModList.h"
#include "engine/RunContext.h"
#include "engine/RunReport.h"
#include "engine/WorkerMessages.h"
#include "framework/MbString.h"
#include "framework/WorkerThread.h"
#include "resource.h"

namespace {

const char kNoWindowText[] = "出现错误。\n原因: g_theScanningThreadsParam.m_hwnd==NULL";

// Item bar full for a moment, then empty; after a scanned item the status lines are emptied too.
void FinishAnimation(CRunContext& context, DWORD pauseMs, bool clearLines)
{
    SetProgressRange(&context, context.m_pItemBar, 100);
    SetProgressPos(&context, context.m_pItemBar, 100);
    FlushDisplay(&context);
    Sleep(pauseMs);
    SetProgressPos(&context, context.m_pItemBar, 0);
    if (clearLines) {
        context.m_pWnd->SetItemText(IDC_CURRENT_OPERATION, "");
        context.m_pWnd->SetLine("");
    }
    FlushDisplay(&context);
}

void CallFinish(CModItem* item)
{
    if (item->m_pfnFinish) item->m_pfnFinish(item);
}

// One-step item: 0 when it was stopped (or has no scan function).
int ScanInOneStep(CModItem* item, CRunContext& context, unsigned n, unsigned b)
{
    SetLine(&context, "...");
    SetProgressRange(&context, context.m_pItemBar, 100);
    SetProgressRange(&context, context.m_pTotalBar, static_cast<int>(n * 100));
    SetProgressPos(&context, context.m_pTotalBar, static_cast<int>(n * 100 * b / n));
    // The progress word: how many items the run has and where this one stands.
    item->m_nParam = static_cast<int>((n << 16) | (b & 0xFFFF));
    if (!item->m_pfnScanAll || !item->m_pfnScanAll(item)) return 0;
    FinishAnimation(context, kScannedItemPauseMs, true);
    return 1;
}

enum class EStepResult { kSkipped, kScanned, kStopped };

// The finish function runs after every attempt, also when an exception ends the scan, so the item
// does not keep its scan data into the next run.
struct CFinishOnExit {
    CModItem* m_pItem;
    ~CFinishOnExit() { CallFinish(m_pItem); }
};

// Three-step item: prepare, count, scan, and finish after every attempt.
EStepResult ScanInThreeSteps(CModItem* item, CRunContext& context, unsigned n, unsigned b)
{
    CFinishOnExit finish{item};
    if (!item->m_pfnPrepare || !item->m_pfnPrepare(item)) return EStepResult::kSkipped;
    int units = 0;
    if (!item->m_pfnCount || !item->m_pfnCount(&units, item)) {
        FinishAnimation(context, kEmptyItemPauseMs, false);
        return EStepResult::kSkipped;
    }
    const unsigned u = static_cast<unsigned>(units);
    SetProgressRange(&context, context.m_pItemBar, units);
    SetProgressRange(&context, context.m_pTotalBar, static_cast<int>(u * n));
    SetProgressPos(&context, context.m_pTotalBar, static_cast<int>(u * n * b / n));
    if (!item->m_pfnScan || !item->m_pfnScan(item)) {
        FlushDisplay(&context);
        return EStepResult::kStopped;
    }
    FinishAnimation(context, kScannedItemPauseMs, true);
    return EStepResult::kScanned;
}

// The checked items in order; 0 when one of them was stopped.
int ScanCheckedItems(CModList& catalogue, CRunContext& context)
{
    const unsigned n = static_cast<unsigned>(catalogue.m_nCheckedCount);
    unsigned b = 0;  // items scanned so far
    SetProgressRange(&context, context.m_pTotalBar, 0);
    SetProgressPos(&context, context.m_pTotalBar, 0);
    for (unsigned i = 0; i < n; ++i) {
        // 0 marks an entry taken out of the run (the custom search clears the other custom items);
        // a damaged module may hold that identifier.
        const int id = catalogue.m_pCheckedIds[i];
        CModItem* item = id != 0 ? catalogue.FindById(id) : nullptr;
        if (!item) continue;
        item->m_pScanContext = &context;
        context.m_pWnd->SetItemText(IDC_CURRENT_OPERATION,
                                    framework::Format(LoadResString(IDS_SCANNING_ITEM).c_str(),
                                                      item->m_strTitle.c_str()));
        if (item->m_bScanInOneStep) {
            if (!ScanInOneStep(item, context, n, b)) return 0;
            ++b;
            continue;
        }
        switch (ScanInThreeSteps(item, context, n, b)) {
            case EStepResult::kStopped: return 0;
            case EStepResult::kScanned: ++b; break;
            case EStepResult::kSkipped: break;
        }
    }
    return 1;
}

}  // namespace

UINT ScanThreadProc(LPVOID)
{
    CModList& catalogue = g_theScanningThreadsParam;
    HWND main = catalogue.m_hwnd;
    if (!main) {
        catalogue.m_bBusy = false;
        ShowDebugBox(kNoWindowText);
        return 1;
    }
    catalogue.m_bBusy = true;

    CWorkerRun run(main, catalogue.m_evStop);
    CWndRef& wnd = run.m_wnd;
    CRunContext& context = run.m_context;
    context.m_pfnIsStopRequested = IsStopRequested;
    SettingsOf(&context).ReadStringList(kOptFilesKeepList, context.m_ppKeep);

    wnd.SetStatusText(0, LoadResString(IDS_WORKING));
    int ok = 1;
    if (catalogue.m_nCheckedCount == 0) {
        wnd.ShowMessage(LoadResString(IDS_NO_ITEM_CHECKED));
    } else {
        ok = RunCatchingFailure(context, [&] { return ScanCheckedItems(catalogue, context); });
        context.m_ppKeep.clear();
    }

    // The window reads the final counts when the completion message arrives.
    FlushDisplay(&context);
    PostMessageA(main, ok ? UWM_SCAN_COMPLETED : UWM_SCAN_CANCELLED, 0, 0);
    catalogue.m_bBusy = false;
    return 0;
}

HANDLE StartScanThread()
{
    return framework::BeginWorkerThread(ScanThreadProc, nullptr);
}
