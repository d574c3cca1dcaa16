// CMainReportDlg: the summary of a finished clean (template 110), with a button that copies the
// whole text to the clipboard. The main window shows it for the cleaning thread's report.
#pragma once

#include "framework/Dialog.h"

#include <string>

class CMainReportDlg : public framework::CDialog {
public:
    // A null parent means the main window.
    explicit CMainReportDlg(HWND parent = nullptr);

    std::string m_strText;  // shown in edit 1071

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    void CopyTextToClipboard();

    HICON m_hIcon;
};
