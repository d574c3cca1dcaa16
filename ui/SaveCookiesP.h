// The "保存 Cookies" page of the options sheet: the cookie keep list (sites whose cookies no scan
// lists or deletes) beside the sites that have cookies on this machine. The list is read when the
// page is first shown and written only by OK.
#pragma once

#include "app/SettingsStore.h"
#include "catalogue/ModList.h"
#include "framework/PropertySheet.h"
#include "ui/KeepListBox.h"

class CSaveCookiesP : public framework::CPropertyPage {
public:
    CSaveCookiesP(CSettingsStore* pSettings, CModList* pModList);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnApply() override;

private:
    void AddSites(bool selectedOnly);
    void OnSitesDoubleClick();
    void OnKeepDoubleClick();
    void ShowKeepCount();
    void ShowSitesCount();

    CSettingsStore* m_pSettings;
    CModList* m_pModList;
    CKeepListBox m_keep;   // 1043
    CKeepListBox m_sites;  // 1045
};
