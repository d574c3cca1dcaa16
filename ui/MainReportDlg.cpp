#include "ui/MainReportDlg.h"

#include "app/Utilities.h"
#include "resource.h"

CMainReportDlg::CMainReportDlg(HWND parent)
    : CDialog(IDD_REPORT, parent ? parent : GetMainWindow()),
      m_hIcon(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAINFRAME), IMAGE_ICON,
                                            GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED)))
{
}

BOOL CMainReportDlg::OnInitDialog()
{
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    SetDlgItemTextA(m_hWnd, IDC_REPORT_TEXT, m_strText.c_str());
    return TRUE;
}

bool CMainReportDlg::OnCommand(WORD id, WORD code, HWND control)
{
    if (id == IDC_REPORT_COPY) {
        CopyTextToClipboard();
        return true;
    }
    return CDialog::OnCommand(id, code, control);
}

void CMainReportDlg::CopyTextToClipboard()
{
    // The edit copies its own selection as plain text; selecting everything first makes the copy
    // the whole report whatever the user had selected. A failing clipboard reports nothing.
    HWND edit = GetItem(IDC_REPORT_TEXT);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_COPY, 0, 0);
}
