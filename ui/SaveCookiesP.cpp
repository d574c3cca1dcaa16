#include "ui/SaveCookiesP.h"

#include "engine/CookieSites.h"
#include "framework/MbString.h"
#include "resource.h"

namespace {

const char kKeepCountFormat[] = "选定: [%d] / 总计: [%d]";
const char kSitesCountFormat[] = "选定: [%d] / 总计: [%d] ";

}  // namespace

CSaveCookiesP::CSaveCookiesP(CSettingsStore* pSettings, CModList* pModList)
    : CPropertyPage(IDD_SAVE_COOKIES_PAGE), m_pSettings(pSettings), m_pModList(pModList)
{
}

BOOL CSaveCookiesP::OnInitDialog()
{
    m_keep.Attach(m_hWnd, IDC_COOKIES_KEEP);
    m_sites.Attach(m_hWnd, IDC_COOKIES_SITES);
    m_sites.ResetContent();
    for (const std::string& site : CookieSites(*m_pModList)) m_sites.AddString(site);
    ShowSitesCount();
    m_keep.Load(*m_pSettings, kOptSavedCookiesList);
    return TRUE;
}

bool CSaveCookiesP::OnCommand(WORD id, WORD code, HWND control)
{
    switch (id) {
    case IDC_COOKIES_ADD: AddSites(true); return true;
    case IDC_COOKIES_ADD_ALL: AddSites(false); return true;
    case IDC_COOKIES_REMOVE: m_keep.DeleteSelected(); return true;
    case IDC_COOKIES_REMOVE_ALL: m_keep.ResetContent(); return true;
    case IDC_COOKIES_KEEP:
        if (code == LBN_DBLCLK) OnKeepDoubleClick();
        if (code == LBN_SELCHANGE) ShowKeepCount();
        return true;
    case IDC_COOKIES_SITES:
        if (code == LBN_DBLCLK) OnSitesDoubleClick();
        if (code == LBN_SELCHANGE) ShowSitesCount();
        return true;
    }
    return CPropertyPage::OnCommand(id, code, control);
}

bool CSaveCookiesP::OnApply()
{
    m_keep.Save(*m_pSettings, kOptSavedCookiesList);
    return true;
}

void CSaveCookiesP::AddSites(bool selectedOnly)
{
    std::vector<std::string> sites;
    for (int i = 0; i < m_sites.GetCount(); ++i)
        if (!selectedOnly || m_sites.IsSelected(i)) sites.push_back(m_sites.GetText(i));
    m_keep.AddIfRoom(m_hWnd, sites);
    ShowKeepCount();
}

void CSaveCookiesP::OnSitesDoubleClick()
{
    if (m_sites.GetSelCount() == 1) AddSites(true);
    m_sites.SetSel(-1, false);
}

void CSaveCookiesP::OnKeepDoubleClick()
{
    if (m_keep.GetSelCount() == 1) m_keep.DeleteSelected();
    m_keep.SetSel(-1, false);
}

void CSaveCookiesP::ShowKeepCount()
{
    SetDlgItemTextA(m_hWnd, IDC_COOKIES_KEEP_COUNT,
                    framework::Format(kKeepCountFormat, m_keep.GetSelCount(), m_keep.GetCount()).c_str());
}

void CSaveCookiesP::ShowSitesCount()
{
    SetDlgItemTextA(m_hWnd, IDC_COOKIES_SITES_COUNT,
                    framework::Format(kSitesCountFormat, m_sites.GetSelCount(), m_sites.GetCount()).c_str());
}
