// CWarningMsgDlg: a warning (template 111) with the box "不再显示该信息". A ticked box writes 1 under
// WarningChecks for the warning's key, and a warning whose key reads 1 ends at once without being
// seen. Warnings without a key share the key "OneForAll". The result is always IDOK.
#pragma once

#include "framework/Dialog.h"

#include <string>

extern const char* const kOpenBrowsersWarningKey;  // "OpenBrowsersWarning"
extern const char* const kCustomItemsWarningKey;   // "CustomItemsWarning"
extern const char* const kOneForAllWarningKey;     // "OneForAll"

class CWarningMsgDlg : public framework::CDialog {
public:
    // A null parent means the main window.
    explicit CWarningMsgDlg(HWND parent = nullptr);

    std::string m_strText;  // shown in edit 1100
    std::string m_strKey;   // value name under WarningChecks; empty means "OneForAll"

    // The value name this warning is remembered under.
    std::string CheckKey() const;
    // True when the warning was switched off under its key (the value reads exactly 1).
    static bool IsSuppressed(const std::string& key);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void OnOK() override {}  // Enter does nothing
    void OnCancel() override { Close(); }  // Esc and the close box close like the button

private:
    void Close();
};
