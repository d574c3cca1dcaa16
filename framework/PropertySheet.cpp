#include "framework/PropertySheet.h"

#include <utility>

namespace framework {

CPropertyPage::CPropertyPage(UINT templateId, std::string title)
    : CDialog(templateId), m_strTitle(std::move(title))
{
}

PROPSHEETPAGEA CPropertyPage::MakePageDescription()
{
    PROPSHEETPAGEA page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT | (m_strTitle.empty() ? 0 : PSP_USETITLE);
    page.hInstance = GetModuleHandleA(nullptr);
    page.pszTemplate = MAKEINTRESOURCEA(GetTemplateId());
    page.pszTitle = m_strTitle.empty() ? nullptr : m_strTitle.c_str();
    page.pfnDlgProc = PageProc;
    page.lParam = reinterpret_cast<LPARAM>(static_cast<CDialog*>(this));  // what PageProc binds
    return page;
}

void CPropertyPage::SetModified(bool changed)
{
    if (!m_hWnd) return;
    SendMessageA(GetParent(m_hWnd), changed ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

LRESULT CPropertyPage::OnNotify(NMHDR* header)
{
    switch (header->code) {
    case PSN_SETACTIVE:
        return OnSetActive() ? 0 : -1;
    case PSN_KILLACTIVE:
        return OnKillActive() ? FALSE : TRUE;
    case PSN_APPLY:
        return OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
    case PSN_RESET:
        OnReset();
        return 0;
    }
    return CDialog::OnNotify(header);
}

CPropertySheet::CPropertySheet(std::string caption, HWND parent)
    : m_strCaption(std::move(caption)), m_hWndParent(parent)
{
}

CPropertySheet::~CPropertySheet()
{
    Destroy();
}

void CPropertySheet::AddPage(CPropertyPage* page)
{
    m_apPages.push_back(page);
}

PROPSHEETHEADERA CPropertySheet::MakeHeader(std::vector<PROPSHEETPAGEA>& pages, DWORD modeFlags)
{
    pages.clear();
    for (CPropertyPage* page : m_apPages) pages.push_back(page->MakePageDescription());
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | modeFlags | m_dwExtraFlags | (m_hIcon ? PSH_USEHICON : 0);
    header.hwndParent = m_hWndParent;
    header.hInstance = GetModuleHandleA(nullptr);
    header.hIcon = m_hIcon;
    header.pszCaption = m_strCaption.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.nStartPage = 0;
    header.ppsp = pages.data();
    return header;
}

INT_PTR CPropertySheet::DoModal()
{
    std::vector<PROPSHEETPAGEA> pages;
    PROPSHEETHEADERA header = MakeHeader(pages, 0);
    return PropertySheetA(&header);
}

HWND CPropertySheet::Create()
{
    if (m_hWnd) return m_hWnd;
    PROPSHEETHEADERA header = MakeHeader(m_aPageDescriptions, PSH_MODELESS);
    INT_PTR result = PropertySheetA(&header);
    m_hWnd = result > 0 ? reinterpret_cast<HWND>(result) : nullptr;
    return m_hWnd;
}

bool CPropertySheet::IsClosed() const
{
    // A modeless sheet stays on screen after OK or Cancel; it only stops having a current page.
    return !m_hWnd || !IsWindow(m_hWnd) || PropSheet_GetCurrentPageHwnd(m_hWnd) == nullptr;
}

void CPropertySheet::Destroy()
{
    if (m_hWnd && IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

}  // namespace framework
