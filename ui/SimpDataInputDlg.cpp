#include "ui/SimpDataInputDlg.h"

#include "app/Utilities.h"
#include "resource.h"

namespace {

const char kLengthRefused[] = "指定的字符串不匹配该限制!";
const char kErrorCaption[] = "错误";

}  // namespace

CSimpDataInputDlg::CSimpDataInputDlg(HWND parent) : CDialog(IDD_INPUT, parent ? parent : GetMainWindow()) {}

BOOL CSimpDataInputDlg::OnInitDialog()
{
    SetDlgItemTextA(m_hWnd, IDC_INPUT_EDIT, m_strValue.c_str());
    SetFocus(GetItem(IDC_INPUT_EDIT));
    SetWindowTextA(m_hWnd, m_strCaption.c_str());
    return FALSE;  // the focus is set
}

bool CSimpDataInputDlg::OnCommand(WORD id, WORD code, HWND control)
{
    switch (id) {
    case IDC_INPUT_OK:
        Accept();
        return true;
    case IDC_INPUT_CANCEL:
        EndDialog(IDCANCEL);
        return true;
    }
    return CDialog::OnCommand(id, code, control);
}

void CSimpDataInputDlg::Accept()
{
    HWND edit = GetItem(IDC_INPUT_EDIT);
    std::string text(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(edit, &text[0], static_cast<int>(text.size()))));
    m_strValue = text;
    if (IsAcceptableLength(m_strValue.size())) {
        EndDialog(IDOK);
        return;
    }
    // Owned by this dialog, which stays on top of everything else.
    MessageBoxA(m_hWnd, kLengthRefused, kErrorCaption, MB_ICONINFORMATION);
}
