// How a worker thread reports to the main window: the window reference with its status lines and
// status bar, the progress bars, and the counting operations Found, Deleted, Not deleted and
// Ignored cookie. Every display write of the workers goes through this file. Each operation does
// nothing at all - no display write and no counting - when the context has no main window.
//
// A cross-thread SendMessage costs a worker about 180 us under Wine, and a worker writes several
// controls per object. The scanning and cleaning threads therefore turn on coalescing: the detail
// line, status parts 1 to 3 and the progress positions are then kept by the window reference and
// written at most once per interval, while objects, folders, row removals, ranges, status part 0
// and line 1010 still go out at once (after what is pending). The threads flush at the end of each
// item and of the run, so every run ends with the very values the uncoalesced writes produce.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <new>
#include <string>

#include "app/SettingsStore.h"
#include "engine/FoundObject.h"
#include "engine/RunContext.h"
#include "resource.h"

// How often coalescing writes at most: ten times a second. Under Wine each write makes the main
// window repaint the control, and at the 30 ms first tried the repaints alone cost a large scan a
// fifth of its time.
constexpr DWORD kWorkerDisplayIntervalMs = 100;

// Style of a part of the main window's status bar: part 0 carries the operation state plainly, the
// counters of parts 1 to 3 stand out.
inline UINT StatusPartStyle(int part) { return part == 0 ? 0 : SBT_POPOUT; }

// The main window as a worker sees it. Does nothing while m_hWndMain is null.
class CWndRef {
public:
    CWndRef() = default;
    // Takes the status bar (item 1026) of the window; the set-line operation writes lineId.
    explicit CWndRef(HWND hWndMain, int nLineId = IDC_CURRENT_OBJECT);

    bool IsAttached() const { return m_hWndMain != nullptr; }

    // Writes the text of dialog item m_nLineId.
    void SetLine(const std::string& text) const;
    // Writes the text of any dialog item of the main window (the threads set line 1010 with it).
    void SetItemText(int id, const std::string& text) const;

    // Status-bar part 0 is written without style, parts 1 to 3 with SBT_POPOUT.
    void SetStatusText(int part, const std::string& text) const;
    void SetStatusPart(int part, const char* format, ...) const
        __attribute__((format(printf, 3, 4)));
    // False, leaving text alone, when there is no status bar.
    bool GetStatusText(int part, std::string& text) const;

    // Modal message box owned by the main window and captioned with its title (MB_ICONINFORMATION),
    // after what coalescing holds back has gone out.
    void ShowMessage(const std::string& text) const;

    // Progress bar of the main window: PBM_SETRANGE32 (0, max), PBM_SETPOS, PBM_GETPOS.
    void SetBarRange(HWND bar, int max) const;
    void SetBarPos(HWND bar, int pos) const;
    int GetBarPos(HWND bar) const;

    // Coalescing of the frequent writes (see above); 0 writes everything at once (the default).
    void SetCoalescing(DWORD intervalMs);
    // Writes whatever coalescing holds back.
    void Flush() const;

    HWND m_hWndMain = nullptr;
    int m_nLineId = IDC_CURRENT_OBJECT;
    HWND m_hStatusBar = nullptr;

private:
    // What a coalescing reference knows of a progress bar. The control clamps a position into its
    // range, so the reference does the same to answer PBM_GETPOS without asking.
    struct BarState {
        HWND m_hBar = nullptr;
        bool m_bRangeKnown = false;
        int m_nMin = 0;
        int m_nMax = 0;
        bool m_bPosKnown = false;
        int m_nPos = 0;
        bool m_bDirty = false;
    };
    static constexpr int kCoalescedParts = 4;  // parts 1 to 3 are held back, part 0 never
    static constexpr int kBarSlots = 4;

    bool Coalescing() const { return m_dwInterval != 0; }
    // Flushes when the interval since the last write has passed.
    void FlushIfDue() const;
    BarState& StateOf(HWND bar) const;
    void WriteStatus(int part, const std::string& text) const;

    DWORD m_dwInterval = 0;
    mutable DWORD m_dwLastFlush = 0;
    mutable bool m_bFlushedOnce = false;
    mutable bool m_bLineDirty = false;
    mutable std::string m_strLine;
    mutable bool m_abPartDirty[kCoalescedParts] = {};
    mutable std::string m_astrPart[kCoalescedParts];
    mutable BarState m_aBars[kBarSlots];
};

// Megabytes of a byte count as the status bar and the report show them: whole kilobytes / 1024.
double BytesToMegabytes(ULONGLONG bytes);

// Sets the context's window reference and takes the main window's progress bars 1008 and 1009.
void AttachWindow(CRunContext& context, CWndRef* pWnd);
bool HasWindow(const CRunContext* context);

// What a worker thread sets up before its first report: the main window's display with coalesced
// writes, the run options read from the settings, and a run context tied to both, to the settings
// and to the stop event.
struct CWorkerRun {
    CWorkerRun(HWND main, HANDLE stopEvent);
    CWorkerRun(const CWorkerRun&) = delete;
    CWorkerRun& operator=(const CWorkerRun&) = delete;

    CWndRef m_wnd;
    CRunOptions m_options;
    CRunContext m_context;
};

void SetLine(const CRunContext* context, const std::string& text);
void SetStatusPart(const CRunContext* context, int part, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Progress bars of the context (m_pItemBar, m_pTotalBar).
void SetProgressRange(const CRunContext* context, HWND bar, int max);
void SetProgressPos(const CRunContext* context, HWND bar, int pos);
int GetProgressPos(const CRunContext* context, HWND bar);
// Position + by.
void AdvanceProgress(const CRunContext* context, HWND bar, int by = 1);
// Item bar and total bar by one each.
void AdvanceBars(const CRunContext* context);

// The counting operations: every count of the run changes here. An object may stand for several
// (a whole registry key for its values, the Recycle Bin for its files).
// Found: sends the record (when given) with UWM_ADD_OBJECT, counts it, adds size to m_qwBytes and
// shows the count and the total size. A file whose record could not be built is counted with no
// record. The second form adds the record's m_dwSize.
void ReportFound(CRunContext* context, const CFoundObject* pObject, ULONGLONG size, int count = 1);
void ReportFound(CRunContext* context, const CFoundObject* pObject);
// Found, for objects without a size (registry objects): only the count shows.
void ReportFoundUnsized(CRunContext* context, const CFoundObject& object, int count);
// Deleted: counts, adds size to m_qwBytes, shows the count and the size under sizeText (the space
// won; the removed lines of a cookies file show their total size instead).
void ReportDeleted(CRunContext* context, ULONGLONG size, int count = 1, UINT sizeText = IDS_FREED_SPACE);
// Deleted, for objects without a size: only the count shows.
void ReportDeletedUnsized(CRunContext* context, int count);
// Not deleted: counts, silently; ShowNotDeletedCount shows the count where an item does.
void ReportNotDeleted(CRunContext* context, int count = 1);
void ShowNotDeletedCount(const CRunContext* context);
void ReportIgnoredCookie(CRunContext* context);
// A folder that the cleaning run removes when it has become empty: sends UWM_ADD_FOLDER.
void ReportFolder(const CRunContext* context, const std::string& path);
// Writes what the context's window reference holds back (end of an item, end of a run).
void FlushDisplay(const CRunContext* context);

// Calls body() on a worker; an exception from it (out of memory above all) ends the run as
// stopped, with a message box in the main window that says why, instead of ending the program.
// body's result, or 0 after an exception.
void ShowRunFailure(const CRunContext& context, const char* reason);
template <class Body>
int RunCatchingFailure(const CRunContext& context, Body body)
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        ShowRunFailure(context, "内存不足。");
    } catch (const std::exception& e) {
        ShowRunFailure(context, e.what());
    } catch (...) {
        ShowRunFailure(context, "未知错误。");
    }
    return 0;
}

// The single status texts, for item functions that count by themselves.
void ShowFoundCount(const CRunContext* context);
void ShowDeletedCount(const CRunContext* context);
