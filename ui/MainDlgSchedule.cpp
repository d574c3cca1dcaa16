// The scheduler: four triggers that end in CMainDlg::StartAutoSequence. The automatic-cleaning
// timer (a waitable timer and its thread, armed by ArmAutoClean), cleaning at the end of the Windows
// session (WM_QUERYENDSESSION refused, WM_ENDSESSION(FALSE) cleans, IDT_SHUTDOWN_WAIT ends the
// session once no run is left) and the browser-close watch (IDT_BROWSER_WATCH). Cleaning at Windows
// start is the Run-key entry (StartupEntry) and m_bAutoClean.
#include "ui/MainDlg.h"

#include <algorithm>
#include <iterator>

#include "app/CleanerApp.h"
#include "app/ShutdownWindows.h"
#include "catalogue/ModList.h"
#include "framework/ProcAddress.h"
#include "framework/WorkerThread.h"
#include "resource.h"
#include "ui/AutoCleanParam.h"

CAutoCleanParam g_autoCleanParam;

namespace {

// Interval choice 0..5 of AutoCleaningTimeIntervalOptNum in minutes; 0 and anything else mean off.
constexpr int kIntervalMinutes[] = {0, 15, 30, 60, 480, 1440};
constexpr LONGLONG kRealMinute = 600000000;  // in the 100-nanosecond units of SetWaitableTimer
LONGLONG g_llMinute = kRealMinute;

// A thread told to quit only has to leave its wait; this bounds the wait for it.
constexpr DWORD kAutoCleanThreadEndMs = 10000;

// Shown by Windows (Vista and later) in its list of programs that hold up the end of the session.
const wchar_t kShutdownBlockReason[] = L"正在清理使用痕迹，完成后将结束会话。";

CShutdownBlockCalls g_shutdownBlockCalls;

// Waits for a thread while handling the messages other threads send to this one: the timer thread
// may be inside SendMessage(ID_TRAY_CLEANNOW) to this thread's window.
void WaitHandlingSentMessages(HANDLE thread, DWORD ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= ms) return;
        if (MsgWaitForMultipleObjects(1, &thread, FALSE, ms - spent, QS_SENDMESSAGE) != WAIT_OBJECT_0 + 1) return;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace

// ---------------------------------------------------------------- the timer and its thread

CAutoCleanParam::CAutoCleanParam() : m_evQuit(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

CAutoCleanParam::~CAutoCleanParam()
{
    if (m_hTimer) CloseHandle(m_hTimer);
    if (m_evQuit) CloseHandle(m_evQuit);
}

void SetAutoCleanMinuteForTesting(LONGLONG units)
{
    g_llMinute = units > 0 ? units : kRealMinute;
}

bool SetAutoCleanTimer()
{
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(g_autoCleanParam.m_nMinutes.load()) * g_llMinute;  // negative: relative to now
    // Resume: the timer wakes the computer from a power-saving state.
    return g_autoCleanParam.m_hTimer && SetWaitableTimer(g_autoCleanParam.m_hTimer, &due, 0, nullptr, nullptr, TRUE);
}

UINT AutoCleanThreadProc(LPVOID /*unused*/)
{
    CAutoCleanParam& param = g_autoCleanParam;
    param.m_bThreadRunning = true;
    for (;;) {
        HANDLE handles[] = {param.m_hTimer, param.m_evQuit};
        if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0) break;
        if (param.m_bRestoreOnWake) PostMessageA(param.m_hWndMain, WM_COMMAND, ID_TRAY_RESTORE, 0);
        // Returns once the window has started the sequence (or found nothing to do), so the next
        // trigger is due one interval after this one started.
        SendMessageA(param.m_hWndMain, WM_COMMAND, ID_TRAY_CLEANNOW, 0);
        // The manual-reset timer stays signalled until it is set again: without that, stop.
        if (!SetAutoCleanTimer()) break;
    }
    CancelWaitableTimer(param.m_hTimer);
    CloseHandle(param.m_hTimer);
    param.m_hTimer = nullptr;
    param.m_bThreadRunning = false;
    return 0;
}

void CMainDlg::ArmAutoClean(bool start)
{
    CAutoCleanParam& param = g_autoCleanParam;
    const DWORD choice = TheSettings().ReadOption(kOptAutoCleaningTimeIntervalOptNum);
    if (choice == 0 || choice >= std::size(kIntervalMinutes)) {
        SetEvent(param.m_evQuit);
        return;
    }
    if (!start) return;  // a running timer keeps its due time
    // A thread told to quit must be gone before the event is reset, or it would miss its end and
    // close the timer under the new arming.
    ReapAutoCleanThread(true);
    ResetEvent(param.m_evQuit);
    param.m_nMinutes = kIntervalMinutes[choice];
    param.m_bRestoreOnWake = TheSettings().ReadBool(kOptWndRestOnWake);
    if (!param.m_hTimer && !(param.m_hTimer = CreateWaitableTimerA(nullptr, TRUE, nullptr))) return;
    if (!SetAutoCleanTimer()) return;
    if (IsAutoCleanRunning()) return;  // it sees the new due time
    param.m_hWndMain = m_hWnd;
    // Running from this moment, so an arming before the thread's first instruction starts no second.
    param.m_bThreadRunning = true;
    HANDLE thread = framework::BeginWorkerThread(AutoCleanThreadProc, nullptr, THREAD_PRIORITY_BELOW_NORMAL);
    if (!thread) {
        param.m_bThreadRunning = false;
        return;
    }
    m_hAutoCleanThread.Reset(thread);
}

bool CMainDlg::IsAutoCleanRunning() const
{
    return g_autoCleanParam.m_bThreadRunning;
}

void CMainDlg::ReapAutoCleanThread(bool onlyWhenQuitting)
{
    if (!m_hAutoCleanThread) return;
    if (WaitForSingleObject(m_hAutoCleanThread.Get(), 0) != WAIT_OBJECT_0) {
        if (onlyWhenQuitting && WaitForSingleObject(g_autoCleanParam.m_evQuit, 0) != WAIT_OBJECT_0) return;
        SetEvent(g_autoCleanParam.m_evQuit);
        WaitHandlingSentMessages(m_hAutoCleanThread.Get(), kAutoCleanThreadEndMs);
    }
    m_hAutoCleanThread.Close();
}

// ---------------------------------------------------------------- cleaning at the end of the session

bool CMainDlg::IsRunInProgress() const
{
    // A worker counts from the moment this window starts it until the window has handled its end
    // (m_hWorker), and an automatic sequence from its start until its clean starts: so neither the
    // pause between the scan and its clean nor a modal warning before the scan looks idle.
    return g_theScanningThreadsParam.m_bBusy || m_hWorker || m_bAutoSequence;
}

LRESULT CMainDlg::OnQueryEndSession(LPARAM how)
{
    // The end this program asked for itself after cleaning is never refused.
    if (m_bEndSessionRequested || !TheSettings().ReadBool(kOptSessCleanWinShutdown)) return TRUE;
    m_bShutdownCleanPending = true;
    m_bLogoffPending = (how & ENDSESSION_LOGOFF) != 0;
    SetShutdownBlockReason(true);
    return FALSE;
}

void CMainDlg::OnEndSession(bool ending)
{
    if (ending || !m_bShutdownCleanPending) return;
    if (IsRunInProgress()) {
        SetShutdownBlockReason(false);
        return;
    }
    if (TheSettings().ReadBool(kOptWndRestOnWake)) Restore();
    StartAutoSequence();
    SetTimer(m_hWnd, IDT_SHUTDOWN_WAIT, kShutdownWaitMs, nullptr);
}

void CMainDlg::OnShutdownWaitTick()
{
    if (IsRunInProgress()) return;
    KillTimer(m_hWnd, IDT_SHUTDOWN_WAIT);
    SetShutdownBlockReason(false);
    m_bEndSessionRequested = true;
    // Asked for before the window goes, so the window is still there to agree when Windows asks
    // (ExitWindowsEx only starts the end of the session). A log-off stays a log-off.
    ShutdownWindows(m_bLogoffPending ? EWX_LOGOFF : EWX_SHUTDOWN);
    Quit();
}

void SetShutdownBlockCallsForTesting(const CShutdownBlockCalls& calls) { g_shutdownBlockCalls = calls; }

void CMainDlg::SetShutdownBlockReason(bool block)
{
    // Vista and later only: looked up at run time so the program still starts where it is missing.
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (block) {
        auto create = g_shutdownBlockCalls.pfnCreate
                          ? g_shutdownBlockCalls.pfnCreate
                          : framework::GetProcAs<BOOL(WINAPI*)(HWND, LPCWSTR)>(user32, "ShutdownBlockReasonCreate");
        if (create) create(m_hWnd, kShutdownBlockReason);
        return;
    }
    auto destroy = g_shutdownBlockCalls.pfnDestroy
                       ? g_shutdownBlockCalls.pfnDestroy
                       : framework::GetProcAs<BOOL(WINAPI*)(HWND)>(user32, "ShutdownBlockReasonDestroy");
    if (destroy) destroy(m_hWnd);
}

// ---------------------------------------------------------------- the browser-close watch

void CMainDlg::StartBrowserWatch()
{
    std::fill(std::begin(m_abBrowserSeen), std::end(m_abBrowserSeen), false);
    SetTimer(m_hWnd, IDT_BROWSER_WATCH, kBrowserWatchMs, nullptr);
}

void CMainDlg::StopBrowserWatch()
{
    KillTimer(m_hWnd, IDT_BROWSER_WATCH);
}

void CMainDlg::OnBrowserWatchTick()
{
    for (int i = 0; i < kKnownBrowserCount; ++i) {
        const bool open = FindWindowA(kKnownBrowsers[i].m_pszWindowClass, nullptr) != nullptr;
        if (m_abBrowserSeen[i] && !open) {
            // The last window of a browser that was seen open has closed.
            m_abBrowserSeen[i] = false;
            if (TheSettings().ReadBool(kOptWndRestOnWake)) Restore();
            StartAutoSequence();
        } else if (!m_abBrowserSeen[i] && open) {
            m_abBrowserSeen[i] = true;
        }
    }
}
