#include "ui/WarningMsgDlg.h"

#include "app/CleanerApp.h"
#include "app/Utilities.h"
#include "resource.h"

const char* const kOpenBrowsersWarningKey = "OpenBrowsersWarning";
const char* const kCustomItemsWarningKey = "CustomItemsWarning";
const char* const kOneForAllWarningKey = "OneForAll";

CWarningMsgDlg::CWarningMsgDlg(HWND parent) : CDialog(IDD_WARNING, parent ? parent : GetMainWindow()) {}

std::string CWarningMsgDlg::CheckKey() const
{
    return m_strKey.empty() ? std::string(kOneForAllWarningKey) : m_strKey;
}

bool CWarningMsgDlg::IsSuppressed(const std::string& key)
{
    return TheSettings().ReadBool(key.c_str(), kWarningChecksSubkey);
}

BOOL CWarningMsgDlg::OnInitDialog()
{
    SetDlgItemTextA(m_hWnd, IDC_WARNING_TEXT, m_strText.c_str());
    SendDlgItemMessageA(m_hWnd, IDC_WARNING_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_WARNING))), 0);
    // Ended before it is shown: the user sees nothing of a warning switched off earlier.
    if (IsSuppressed(CheckKey())) EndDialog(IDOK);
    return TRUE;
}

bool CWarningMsgDlg::OnCommand(WORD id, WORD code, HWND control)
{
    if (id == IDC_WARNING_OK) {
        Close();
        return true;
    }
    return CDialog::OnCommand(id, code, control);
}

void CWarningMsgDlg::Close()
{
    // Only 1 is ever written, and a failed write just leaves the warning on.
    if (IsDlgButtonChecked(m_hWnd, IDC_WARNING_DONT_SHOW) == BST_CHECKED)
        TheSettings().WriteDword(CheckKey().c_str(), 1, kWarningChecksSubkey);
    EndDialog(IDOK);
}
