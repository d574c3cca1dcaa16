// CSimpDataInputDlg: asks for one line of text (template 113, a tool window kept on top). OK accepts
// a text of 4 to 259 bytes and refuses any other length with a message; Cancel, Esc and the close
// box end with IDCANCEL; Enter does nothing.
#pragma once

#include "framework/Dialog.h"

#include <string>

class CSimpDataInputDlg : public framework::CDialog {
public:
    // A null parent means the main window.
    explicit CSimpDataInputDlg(HWND parent = nullptr);

    std::string m_strValue;    // text of edit 1096, in and out
    std::string m_strCaption;  // window title

    // Length rule of the accepted text, in bytes of the ANSI code page.
    static bool IsAcceptableLength(size_t bytes) { return bytes >= 4 && bytes < 260; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void OnOK() override {}

private:
    void Accept();
};
