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
// - The per-row messages take the ordinary dialog dispatch, which finds the window's object in
//   DWLP_USER without a round trip to the Wine server: about 1 us a message, against 150 us for the
//   worker's SendMessage. While a worker runs, the list's own notices of each row inserted, removed
//   or changed are answered at once and go no further; emptying the list asks for none at all.
#include "ui/MainDlg.h"

#include <algorithm>

#include "engine/WorkerMessages.h"
#include "resource.h"

namespace {

// At most a fifth of the window's time goes to refreshing the list.
constexpr DWORD kRefreshCostShare = 5;

// The list's notifications that come once per row added or removed, which no one acts on while a
// worker runs (the list ignores the user until then).
bool IsPerRowNotification(UINT code)
{
    return code == LVN_INSERTITEM || code == LVN_DELETEITEM || code == LVN_ITEMCHANGING || code == LVN_ITEMCHANGED;
}

}  // namespace

bool CMainDlg::OnRowNotify(const NMHDR* header, LRESULT& result)
{
    result = 0;
    if (!header || header->idFrom != IDC_RESULTS) return false;
    // The rows carry nothing to free: no per-row notifications when the list is emptied.
    if (header->code == LVN_DELETEALLITEMS) {
        result = TRUE;
        return true;
    }
    return m_listResults.IsStreaming() && IsPerRowNotification(header->code);
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
