// CAboutDlg: the About box (template 124) with the product name and version, and the button
// "查看版本历史" that opens ChangeLog.txt of the install folder with the shell.
#pragma once

#include "framework/Dialog.h"

#include <string>

class CAboutDlg : public framework::CDialog {
public:
    // A null parent means the main window.
    explicit CAboutDlg(HWND parent = nullptr);

    // InstalledDir followed by "\ChangeLog.txt".
    static std::string ChangeLogPath();

protected:
    bool OnCommand(WORD id, WORD code, HWND control) override;
};
