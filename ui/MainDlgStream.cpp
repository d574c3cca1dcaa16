// The rows of a run: every object a scan sends becomes a copy in AllObjsLinkedList and a row of the
// results list, every folder an entry of the folder list, and a clean takes the rows away one by
// one. Tens of thousands of these messages arrive while the worker waits for each, so:
//
// - The list does not repaint per row (under Wine a row inserted while the list redraws its scroll
//   bar costs about 10 ms). Its drawing is off while a worker runs, and a timer brings it up to
//   date four times a second with the newest row scrolled into view. A refresh costs tens of
//   milliseconds with a large list on a slow display, so the interval stretches to keep refreshing
//   below a fifth of the window's time; a refresh with no new rows is skipped.
//
// - The per-row messages skip the dialog dispatch. The dialog layer finds its object through a
//   window property, and under Wine reading a property is a round trip to the server (about 30 us),
//   paid once for the worker's message and once more for the list's own notification of the new
//   row: as much again as the row itself. A window procedure in front of the dialog's takes these
//   few messages straight to their handlers through the window's user data and hands everything
//   else on unchanged.
#include "ui/MainDlg.h"

#include <algorithm>

#include "engine/WorkerMessages.h"
#include "resource.h"

namespace {

// At most a fifth of the window's time goes to refreshing the list.
constexpr DWORD kRefreshCostShare = 5;

// The window procedure of dialog windows, which the fast path hands every other message to.
WNDPROC g_pfnDialogWindowProc = nullptr;

// The list's notifications that come once per row added or removed, which no one acts on while a
// worker runs (the list ignores the user until then).
bool IsPerRowNotification(UINT code)
{
    return code == LVN_INSERTITEM || code == LVN_DELETEITEM || code == LVN_ITEMCHANGING || code == LVN_ITEMCHANGED;
}

}  // namespace

void CMainDlg::InstallRowFastPath()
{
    SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    WNDPROC previous =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RowFastPathProc)));
    if (!g_pfnDialogWindowProc) g_pfnDialogWindowProc = previous;
}

LRESULT CALLBACK CMainDlg::RowFastPathProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = reinterpret_cast<CMainDlg*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (self && self->m_hWnd == hwnd && self->OnRowMessage(msg, wp, lp, result)) return result;
    if (msg == WM_NCDESTROY) SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    return CallWindowProcA(g_pfnDialogWindowProc, hwnd, msg, wp, lp);
}

bool CMainDlg::OnRowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    result = 0;
    switch (msg) {
    case UWM_ADD_OBJECT: OnAddObject(reinterpret_cast<const CFoundObject*>(wp)); return true;
    case UWM_ADD_FOLDER: OnAddFolder(reinterpret_cast<const char*>(wp)); return true;
    case UWM_REMOVE_ROW: OnRemoveRow(static_cast<int>(lp)); return true;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lp);
        if (!header || header->idFrom != IDC_RESULTS) return false;
        // The rows carry nothing to free: no per-row notifications when the list is emptied.
        if (header->code == LVN_DELETEALLITEMS) {
            result = TRUE;
            return true;
        }
        return m_listResults.IsStreaming() && IsPerRowNotification(header->code);
    }
    }
    return false;
}

void CMainDlg::OnAddObject(const CFoundObject* object)
{
    if (!object || object->m_strPath.empty()) return;
    AllObjsLinkedList.push_back(*object);
    // The row takes the dates from the sender's status record, which lives only during this call.
    AddResultRow(*object, static_cast<int>(AllObjsLinkedList.size()) - 1);
    AllObjsLinkedList.back().m_pStatus = nullptr;
}

void CMainDlg::OnAddFolder(const char* path)
{
    if (path) m_lstFolders.emplace_back(path);
}

void CMainDlg::OnRemoveRow(int row)
{
    m_listResults.List().DeleteItem(row);
}

void CMainDlg::StartRowStream()
{
    m_listResults.BeginRowStream();
    m_nRowsAtLastRefresh = -1;
    SetTimer(m_hWnd, IDT_LIST_REFRESH, kListRefreshMs, nullptr);
}

void CMainDlg::OnRefreshTick()
{
    if (!m_listResults.IsStreaming()) return;
    const int rows = m_listResults.List().GetItemCount();
    if (rows == m_nRowsAtLastRefresh) return;
    m_nRowsAtLastRefresh = rows;
    const DWORD start = GetTickCount();
    m_listResults.RefreshRowStream();
    const DWORD cost = GetTickCount() - start;
    SetTimer(m_hWnd, IDT_LIST_REFRESH, std::max<DWORD>(kListRefreshMs, cost * kRefreshCostShare), nullptr);
}

void CMainDlg::StopRowStream()
{
    KillTimer(m_hWnd, IDT_LIST_REFRESH);
    m_listResults.EndRowStream();
}
