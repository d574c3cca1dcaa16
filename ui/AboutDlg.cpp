#include "ui/AboutDlg.h"

#include "app/CleanerApp.h"
#include "app/Utilities.h"
#include "resource.h"

CAboutDlg::CAboutDlg(HWND parent) : CDialog(IDD_ABOUTBOX, parent ? parent : GetMainWindow()) {}

std::string CAboutDlg::ChangeLogPath()
{
    return TheSettings().m_strInstalledDir + "\\ChangeLog.txt";
}

bool CAboutDlg::OnCommand(WORD id, WORD code, HWND control)
{
    if (id == IDC_VERSION_HISTORY) {
        OpenWithShell(ChangeLogPath());
        return true;
    }
    return CDialog::OnCommand(id, code, control);
}
