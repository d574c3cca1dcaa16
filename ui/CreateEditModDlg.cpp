#include "ui/CreateEditModDlg.h"

#include "app/Utilities.h"
#include "resource.h"

namespace {

constexpr size_t kMaxNameBytes = 70;
constexpr size_t kMinNameBytes = 5;
constexpr size_t kMaxParamsBytes = 260;

// The two "too short" texts end with a space.
const char kNameTooLong[] = "输入的名称过长...";
const char kNameTooShort[] = "输入的名称过短... ";
const char kParamsTooLong[] = "输入的搜索参数过长...";
const char kParamsTooShort[] = "输入的搜索参数过短... ";
const char kErrorCaption[] = "错误";

std::string EditText(HWND edit)
{
    // Room for two bytes per character: the length may be counted in characters.
    std::string text(2 * static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(edit, &text[0], static_cast<int>(text.size()))));
    return text;
}

}  // namespace

CCreateEditModDlg::CCreateEditModDlg(HWND parent) : CDialog(IDD_CREATE_EDIT_MOD, parent ? parent : GetMainWindow()) {}

const char* CCreateEditModDlg::LengthProblem(const std::string& name, const std::string& params)
{
    if (name.size() > kMaxNameBytes) return kNameTooLong;
    if (name.size() < kMinNameBytes) return kNameTooShort;
    if (params.size() > kMaxParamsBytes) return kParamsTooLong;
    if (params.empty()) return kParamsTooShort;
    return nullptr;
}

BOOL CCreateEditModDlg::OnInitDialog()
{
    SetDlgItemTextA(m_hWnd, IDC_CUSTOM_NAME, m_strName.c_str());
    SetDlgItemTextA(m_hWnd, IDC_CUSTOM_PARAMS, m_strParams.c_str());
    return TRUE;
}

bool CCreateEditModDlg::OnCommand(WORD id, WORD code, HWND control)
{
    switch (id) {
    case IDC_CUSTOM_OK:
        Accept();
        return true;
    case IDC_CUSTOM_CANCEL:
        EndDialog(IDCANCEL);
        return true;
    }
    return CDialog::OnCommand(id, code, control);
}

void CCreateEditModDlg::Accept()
{
    const std::string name = EditText(GetItem(IDC_CUSTOM_NAME));
    const std::string params = EditText(GetItem(IDC_CUSTOM_PARAMS));
    if (const char* problem = LengthProblem(name, params)) {
        MessageBoxA(m_hWnd, problem, kErrorCaption, MB_OK | MB_ICONWARNING);
        return;
    }
    m_strName = name;
    m_strParams = params;
    EndDialog(IDOK);
}
