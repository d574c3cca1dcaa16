// Property sheet and property page classes on top of the dialog base. A page is a CDialog bound to
// its window when the sheet creates it, with the sheet's notifications turned into virtuals
// (OnSetActive, OnKillActive, OnApply, OnReset). The sheet runs modally for the product, or modeless
// so tests can press its buttons and look at its pages in-process.
//
// A page that overrides OnNotify passes the notifications it does not handle to
// CPropertyPage::OnNotify. Pages are created by the sheet when first shown; OnApply and OnReset
// reach only pages that were created.
#pragma once

#include "framework/Dialog.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace framework {

class CPropertyPage : public CDialog {
public:
    // The tab text is the template's caption unless a title is given.
    explicit CPropertyPage(UINT templateId, std::string title = std::string());

    // The page description the sheet is built from.
    PROPSHEETPAGEA MakePageDescription();
    // Tells the sheet that the page holds unsaved changes (enables Apply where the sheet has one).
    void SetModified(bool changed = true);

protected:
    // PSN_SETACTIVE: true to accept the activation.
    virtual bool OnSetActive() { return true; }
    // PSN_KILLACTIVE: true when the page's values are valid and another page may be shown.
    virtual bool OnKillActive() { return true; }
    // PSN_APPLY (OK or Apply): true when the values were saved; false keeps the sheet open on this
    // page.
    virtual bool OnApply() { return true; }
    // PSN_RESET (Cancel).
    virtual void OnReset() {}

    LRESULT OnNotify(NMHDR* header) override;

private:
    std::string m_strTitle;
};

class CPropertySheet {
public:
    explicit CPropertySheet(std::string caption, HWND parent = nullptr);
    ~CPropertySheet();
    CPropertySheet(const CPropertySheet&) = delete;
    CPropertySheet& operator=(const CPropertySheet&) = delete;

    // Pages in tab order; the sheet does not own them.
    void AddPage(CPropertyPage* page);
    // Sheet icon (PSH_USEHICON); the caller keeps the icon alive.
    void SetIcon(HICON icon) { m_hIcon = icon; }
    // PSH_* flags added to the header, for example PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP.
    void AddFlags(DWORD flags) { m_dwExtraFlags |= flags; }

    // Runs the sheet modally; returns what PropertySheetA returns (positive after OK, 0 after
    // Cancel, -1 on failure).
    INT_PTR DoModal();
    // Creates the sheet modeless and returns its window (null on failure).
    HWND Create();
    // Modeless: true once OK or Cancel has closed the sheet (it then waits for Destroy).
    bool IsClosed() const;
    // Modeless: destroys the sheet window and its pages.
    void Destroy();

    HWND GetHwnd() const { return m_hWnd; }
    int GetPageCount() const { return static_cast<int>(m_apPages.size()); }

private:
    PROPSHEETHEADERA MakeHeader(std::vector<PROPSHEETPAGEA>& pages, DWORD modeFlags);

    std::string m_strCaption;
    HWND m_hWndParent;
    HWND m_hWnd = nullptr;
    HICON m_hIcon = nullptr;
    DWORD m_dwExtraFlags = 0;
    std::vector<CPropertyPage*> m_apPages;
    std::vector<PROPSHEETPAGEA> m_aPageDescriptions;  // kept while a modeless sheet lives
};

}  // namespace framework
