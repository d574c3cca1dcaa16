// The scheduler's entry points in the main window, called where the window arms them: at the end of
// its initialisation and after the options sheet. The scheduler completes them: the waitable timer
// with its thread behind ArmAutoClean, and the watch's tick (IDT_BROWSER_WATCH) that looks for
// closed browsers. Until it does, no timer thread exists and the watch's ticks find no handler.
#include "ui/MainDlg.h"

#include <algorithm>
#include <iterator>

void CMainDlg::ArmAutoClean(bool /*start*/)
{
    // Completed by the scheduler: read the interval, stop the timer thread when it is off, and arm
    // the timer (starting the thread) when start is true.
}

bool CMainDlg::IsAutoCleanRunning() const
{
    // Completed by the scheduler, whose timer thread is the only one that can run.
    return false;
}

void CMainDlg::StartBrowserWatch()
{
    std::fill(std::begin(m_abBrowserSeen), std::end(m_abBrowserSeen), false);
    SetTimer(m_hWnd, IDT_BROWSER_WATCH, kBrowserWatchMs, nullptr);
}

void CMainDlg::StopBrowserWatch()
{
    KillTimer(m_hWnd, IDT_BROWSER_WATCH);
}
