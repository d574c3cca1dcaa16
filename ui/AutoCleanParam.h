// CAutoCleanParam: the automatic-cleaning timer that CMainDlg::ArmAutoClean configures and
// AutoCleanThreadProc waits on. One process-wide instance, g_autoCleanParam; the thread talks to the
// main window only with WM_COMMAND ID_TRAY_RESTORE (posted) and ID_TRAY_CLEANNOW (sent).
#pragma once

#include <windows.h>

#include <atomic>

struct CAutoCleanParam {
    CAutoCleanParam();
    ~CAutoCleanParam();
    CAutoCleanParam(const CAutoCleanParam&) = delete;
    CAutoCleanParam& operator=(const CAutoCleanParam&) = delete;

    // Set by the thread (and by the window the moment it starts one), read by the window.
    std::atomic<bool> m_bThreadRunning{false};
    std::atomic<bool> m_bRestoreOnWake{false};  // restore the main window before each automatic clean
    std::atomic<int> m_nMinutes{0};             // current interval
    HANDLE m_hTimer = nullptr;                  // manual-reset, unnamed; replaced only while no thread runs
    HANDLE m_evQuit = nullptr;                  // manual-reset; ends the thread
    HWND m_hWndMain = nullptr;                  // receives the timer's commands
};

extern CAutoCleanParam g_autoCleanParam;

// Waits on the timer or m_evQuit; on each firing restores (when m_bRestoreOnWake) and sends
// ID_TRAY_CLEANNOW, then sets the timer again. The parameter is not used; returns 0.
UINT AutoCleanThreadProc(LPVOID unused);

// (Re)sets g_autoCleanParam's timer one interval (m_nMinutes) from now, waking the computer.
bool SetAutoCleanTimer();

// Tests only: the length of one interval minute in 100-nanosecond units (0 restores a real minute),
// so a test can fire the timer in milliseconds.
void SetAutoCleanMinuteForTesting(LONGLONG units);

// Seam for ShutdownBlockReasonCreate/Destroy, which Wine 8 only stubs: tests record the reason the
// window gives while the cleaning at the end of the session runs. Null members use user32's calls.
struct CShutdownBlockCalls {
    BOOL(WINAPI* pfnCreate)(HWND hwnd, LPCWSTR reason) = nullptr;
    BOOL(WINAPI* pfnDestroy)(HWND hwnd) = nullptr;
};
void SetShutdownBlockCallsForTesting(const CShutdownBlockCalls& calls);
