#include "engine/RunReport.h"

#include <commctrl.h>

#include <cstdarg>
#include <cstdio>
#include <map>
#include <mutex>
#include <vector>

#include "app/SettingsStore.h"
#include "app/Utilities.h"
#include "engine/WorkerMessages.h"
#include "framework/Controls.h"
#include "framework/MbString.h"

namespace {

std::string FormatV(const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    int length = vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    vsnprintf(buffer.data(), buffer.size(), format, args);
    return std::string(buffer.data(), static_cast<size_t>(length));
}

// The status formats, loaded once: a worker writes one or two per object, and loading a string
// resource each time was a measurable part of cleaning a small file.
const char* StatusFormat(UINT id)
{
    static std::mutex guard;
    static std::map<UINT, std::string> formats;
    std::lock_guard<std::mutex> lock(guard);
    auto known = formats.find(id);
    if (known == formats.end()) known = formats.emplace(id, LoadResString(id)).first;
    return known->second.c_str();
}

const CWndRef* WindowOf(const CRunContext* context)
{
    if (!context || !context->m_pWnd || !context->m_pWnd->IsAttached()) return nullptr;
    return context->m_pWnd;
}

}  // namespace

CWndRef::CWndRef(HWND hWndMain, int nLineId)
    : m_hWndMain(hWndMain), m_nLineId(nLineId),
      m_hStatusBar(hWndMain ? GetDlgItem(hWndMain, IDC_STATUSBAR) : nullptr)
{
}

void CWndRef::SetLine(const std::string& text) const { SetItemText(m_nLineId, text); }

void CWndRef::SetItemText(int id, const std::string& text) const
{
    if (!m_hWndMain) return;
    if (Coalescing() && id == m_nLineId) {
        m_strLine = text;
        m_bLineDirty = true;
        FlushIfDue();
        return;
    }
    Flush();
    SetDlgItemTextA(m_hWndMain, id, text.c_str());
}

void CWndRef::SetStatusText(int part, const std::string& text) const
{
    if (!m_hWndMain || !m_hStatusBar) return;
    if (Coalescing() && part > 0 && part < kCoalescedParts) {
        m_astrPart[part] = text;
        m_abPartDirty[part] = true;
        FlushIfDue();
        return;
    }
    Flush();
    WriteStatus(part, text);
}

void CWndRef::WriteStatus(int part, const std::string& text) const
{
    framework::CStatusBar(m_hStatusBar).SetText(part, text, StatusPartStyle(part));
}

void CWndRef::SetStatusPart(int part, const char* format, ...) const
{
    if (!m_hWndMain) return;
    va_list args;
    va_start(args, format);
    std::string text = FormatV(format, args);
    va_end(args);
    SetStatusText(part, text);
}

bool CWndRef::GetStatusText(int part, std::string& text) const
{
    if (!m_hWndMain || !m_hStatusBar) return false;
    Flush();
    text = framework::CStatusBar(m_hStatusBar).GetText(part);
    return true;
}

void CWndRef::ShowMessage(const std::string& text) const
{
    if (!m_hWndMain) return;
    Flush();
    std::vector<char> title(static_cast<size_t>(GetWindowTextLengthA(m_hWndMain)) * 2 + 1, '\0');
    GetWindowTextA(m_hWndMain, title.data(), static_cast<int>(title.size()));
    MessageBoxA(m_hWndMain, text.c_str(), title.data(), MB_ICONINFORMATION);
}

CWndRef::BarState& CWndRef::StateOf(HWND bar) const
{
    for (BarState& state : m_aBars)
        if (state.m_hBar == bar) return state;
    for (BarState& state : m_aBars) {
        if (state.m_hBar) continue;
        state = BarState();
        state.m_hBar = bar;
        return state;
    }
    // More bars than slots: write the first slot out and reuse it.
    Flush();
    m_aBars[0] = BarState();
    m_aBars[0].m_hBar = bar;
    return m_aBars[0];
}

void CWndRef::SetBarRange(HWND bar, int max) const
{
    if (!m_hWndMain || !bar) return;
    Flush();
    SendMessageA(bar, PBM_SETRANGE32, 0, max);
    if (!Coalescing()) return;
    BarState& state = StateOf(bar);
    state.m_bRangeKnown = true;
    state.m_nMin = 0;
    state.m_nMax = max;
    state.m_bPosKnown = false;  // the control has moved its position into the new range
}

void CWndRef::SetBarPos(HWND bar, int pos) const
{
    if (!m_hWndMain || !bar) return;
    if (!Coalescing()) {
        SendMessageA(bar, PBM_SETPOS, pos, 0);
        return;
    }
    BarState& state = StateOf(bar);
    if (!state.m_bRangeKnown) {
        PBRANGE range{};
        SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        state.m_nMin = range.iLow;
        state.m_nMax = range.iHigh;
        state.m_bRangeKnown = true;
    }
    // The control's own order: first up to the minimum, then down to the maximum.
    if (pos < state.m_nMin) pos = state.m_nMin;
    if (pos > state.m_nMax) pos = state.m_nMax;
    state.m_nPos = pos;
    state.m_bPosKnown = true;
    state.m_bDirty = true;
    FlushIfDue();
}

int CWndRef::GetBarPos(HWND bar) const
{
    if (!m_hWndMain || !bar) return 0;
    if (!Coalescing()) return static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));
    BarState& state = StateOf(bar);
    if (!state.m_bPosKnown) {
        state.m_nPos = static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));
        state.m_bPosKnown = true;
    }
    return state.m_nPos;
}

void CWndRef::SetCoalescing(DWORD intervalMs)
{
    Flush();
    m_dwInterval = intervalMs;
    for (BarState& state : m_aBars) state = BarState();
}

void CWndRef::FlushIfDue() const
{
    // The first write after a quiet spell goes out at once; the ones that follow it wait.
    DWORD now = GetTickCount();
    if (m_bFlushedOnce && now - m_dwLastFlush < m_dwInterval) return;
    Flush();
}

void CWndRef::Flush() const
{
    if (!m_hWndMain) return;
    bool wrote = false;
    if (m_bLineDirty) {
        m_bLineDirty = false;
        SetDlgItemTextA(m_hWndMain, m_nLineId, m_strLine.c_str());
        wrote = true;
    }
    for (int part = 1; part < kCoalescedParts; ++part) {
        if (!m_abPartDirty[part]) continue;
        m_abPartDirty[part] = false;
        WriteStatus(part, m_astrPart[part]);
        wrote = true;
    }
    for (BarState& state : m_aBars) {
        if (!state.m_bDirty) continue;
        state.m_bDirty = false;
        SendMessageA(state.m_hBar, PBM_SETPOS, state.m_nPos, 0);
        wrote = true;
    }
    // The interval runs from the last time held-back writes went out.
    if (wrote) {
        m_dwLastFlush = GetTickCount();
        m_bFlushedOnce = true;
    }
}

double BytesToMegabytes(ULONGLONG bytes)
{
    return static_cast<double>(bytes >> 10) * (1.0 / 1024.0);
}

void AttachWindow(CRunContext& context, CWndRef* pWnd)
{
    context.m_pWnd = pWnd;
    HWND main = pWnd ? pWnd->m_hWndMain : nullptr;
    context.m_pItemBar = main ? GetDlgItem(main, IDC_ITEM_PROGRESS) : nullptr;
    context.m_pTotalBar = main ? GetDlgItem(main, IDC_TOTAL_PROGRESS) : nullptr;
}

bool HasWindow(const CRunContext* context) { return WindowOf(context) != nullptr; }

CWorkerRun::CWorkerRun(HWND main, HANDLE stopEvent)
    : m_wnd(main, IDC_CURRENT_OBJECT), m_options(TheSettings().GetRunOptions())
{
    m_wnd.SetCoalescing(kWorkerDisplayIntervalMs);
    AttachWindow(m_context, &m_wnd);
    m_context.m_pOptions = &m_options;
    m_context.m_pApp = &TheSettings();
    m_context.m_pStopEvent = stopEvent;
}

void SetLine(const CRunContext* context, const std::string& text)
{
    if (const CWndRef* wnd = WindowOf(context)) wnd->SetLine(text);
}

void SetStatusPart(const CRunContext* context, int part, const char* format, ...)
{
    const CWndRef* wnd = WindowOf(context);
    if (!wnd) return;
    va_list args;
    va_start(args, format);
    std::string text = FormatV(format, args);
    va_end(args);
    wnd->SetStatusText(part, text);
}

void SetProgressRange(const CRunContext* context, HWND bar, int max)
{
    if (const CWndRef* wnd = WindowOf(context)) wnd->SetBarRange(bar, max);
}

void SetProgressPos(const CRunContext* context, HWND bar, int pos)
{
    if (const CWndRef* wnd = WindowOf(context)) wnd->SetBarPos(bar, pos);
}

int GetProgressPos(const CRunContext* context, HWND bar)
{
    const CWndRef* wnd = WindowOf(context);
    return wnd ? wnd->GetBarPos(bar) : 0;
}

void AdvanceProgress(const CRunContext* context, HWND bar, int by)
{
    if (!HasWindow(context) || !bar) return;
    SetProgressPos(context, bar, GetProgressPos(context, bar) + by);
}

void AdvanceBars(const CRunContext* context)
{
    if (!HasWindow(context)) return;
    AdvanceProgress(context, context->m_pItemBar);
    AdvanceProgress(context, context->m_pTotalBar);
}

void ShowFoundCount(const CRunContext* context)
{
    if (!HasWindow(context)) return;
    SetStatusPart(context, 1, StatusFormat(IDS_FOUND_COUNT), context->m_nFoundOrDeleted);
}

void ShowDeletedCount(const CRunContext* context)
{
    if (!HasWindow(context)) return;
    SetStatusPart(context, 1, StatusFormat(IDS_DELETED_COUNT), context->m_nFoundOrDeleted);
}

void ReportFoundUnsized(CRunContext* context, const CFoundObject& object, int count)
{
    const CWndRef* wnd = WindowOf(context);
    if (!wnd) return;
    // Sent, not posted: the window copies the record (and reads its status) while we wait, so both
    // may live on this thread's stack.
    SendMessageA(wnd->m_hWndMain, UWM_ADD_OBJECT, reinterpret_cast<WPARAM>(&object), 0);
    context->m_nFoundOrDeleted += count;
    ShowFoundCount(context);
}

void ReportFound(CRunContext* context, const CFoundObject* pObject, ULONGLONG size, int count)
{
    const CWndRef* wnd = WindowOf(context);
    if (!wnd) return;
    if (pObject) SendMessageA(wnd->m_hWndMain, UWM_ADD_OBJECT, reinterpret_cast<WPARAM>(pObject), 0);
    context->m_nFoundOrDeleted += count;
    ShowFoundCount(context);
    context->m_qwBytes += size;
    SetStatusPart(context, 2, StatusFormat(IDS_TOTAL_SIZE), BytesToMegabytes(context->m_qwBytes));
}

void ReportFound(CRunContext* context, const CFoundObject* pObject)
{
    ReportFound(context, pObject, pObject ? pObject->m_dwSize : 0);
}

void ReportDeleted(CRunContext* context, ULONGLONG size, int count, UINT sizeText)
{
    if (!HasWindow(context)) return;
    ReportDeletedUnsized(context, count);
    context->m_qwBytes += size;
    SetStatusPart(context, 2, StatusFormat(sizeText), BytesToMegabytes(context->m_qwBytes));
}

void ReportDeletedUnsized(CRunContext* context, int count)
{
    if (!HasWindow(context)) return;
    context->m_nFoundOrDeleted += count;
    ShowDeletedCount(context);
}

void ReportNotDeleted(CRunContext* context, int count)
{
    if (!HasWindow(context)) return;
    context->m_nNotDeleted += count;
}

void ShowNotDeletedCount(const CRunContext* context)
{
    if (!HasWindow(context)) return;
    SetStatusPart(context, 2, StatusFormat(IDS_NOT_DELETED_COUNT), context->m_nNotDeleted);
}

void ReportIgnoredCookie(CRunContext* context)
{
    if (!HasWindow(context)) return;
    context->m_nIgnoredCookies += 1;
    SetStatusPart(context, 3, StatusFormat(IDS_IGNORED_COOKIES), context->m_nIgnoredCookies);
}

void ReportFolder(const CRunContext* context, const std::string& path)
{
    const CWndRef* wnd = WindowOf(context);
    if (!wnd) return;
    // Sent: the window copies the path while we wait.
    SendMessageA(wnd->m_hWndMain, UWM_ADD_FOLDER, reinterpret_cast<WPARAM>(path.c_str()), 0);
}

void FlushDisplay(const CRunContext* context)
{
    if (const CWndRef* wnd = WindowOf(context)) wnd->Flush();
}

void ShowRunFailure(const CRunContext& context, const char* reason)
{
    if (const CWndRef* wnd = WindowOf(&context))
        wnd->ShowMessage(framework::Format("出现错误，本次运行已停止。\n原因: %s", reason ? reason : ""));
}
