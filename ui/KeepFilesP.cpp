#include "ui/KeepFilesP.h"

#include "resource.h"
#include "ui/SimpDataInputDlg.h"

namespace {

const char kEntryCaption[] = "添加条目...";

}  // namespace

CKeepFilesP::CKeepFilesP(CSettingsStore* pSettings) : CPropertyPage(IDD_KEEP_FILES_PAGE), m_pSettings(pSettings) {}

BOOL CKeepFilesP::OnInitDialog()
{
    m_list.Attach(m_hWnd, IDC_KEEP_FILES_LIST);
    m_list.Load(*m_pSettings, kOptFilesKeepList);
    return TRUE;
}

bool CKeepFilesP::OnCommand(WORD id, WORD code, HWND control)
{
    switch (id) {
    case IDC_KEEP_FILES_ADD: AddEntry(); return true;
    case IDC_KEEP_FILES_EDIT: EditEntry(); return true;
    case IDC_KEEP_FILES_REMOVE: m_list.DeleteSelected(); return true;
    }
    return CPropertyPage::OnCommand(id, code, control);
}

bool CKeepFilesP::OnApply()
{
    m_list.Save(*m_pSettings, kOptFilesKeepList);
    return true;
}

bool CKeepFilesP::AskEntry(std::string& text)
{
    CSimpDataInputDlg input(m_hWnd);
    input.m_strCaption = kEntryCaption;
    input.m_strValue = text;
    if (input.DoModal() != IDOK) return false;
    text = input.m_strValue;
    return true;
}

void CKeepFilesP::AddEntry()
{
    std::string text;
    if (AskEntry(text)) m_list.AddIfRoom(m_hWnd, {text});
}

void CKeepFilesP::EditEntry()
{
    if (m_list.GetSelCount() != 1) return;
    const int item = m_list.SelectedFromLast().front();
    std::string text = m_list.GetText(item);
    if (AskEntry(text)) m_list.ReplaceIfRoom(m_hWnd, item, text);
}
