// CCreateEditModDlg: the custom-item editor (template 156), a name in edit 1028 and search
// parameters in edit 1084. OK (1082) accepts them only when their byte lengths fit, and otherwise
// names the first problem in a box titled "错误" and stays open; Cancel (1083) and Esc end without
// change.
#pragma once

#include "framework/Dialog.h"

#include <string>

class CCreateEditModDlg : public framework::CDialog {
public:
    // A null parent means the main window.
    explicit CCreateEditModDlg(HWND parent = nullptr);

    std::string m_strName;    // in and out
    std::string m_strParams;  // in and out

    // The message of the first length rule that name and parameters break, in the order the editor
    // tests them, or null when they are acceptable.
    static const char* LengthProblem(const std::string& name, const std::string& params);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void OnOK() override { Accept(); }

private:
    void Accept();
};
