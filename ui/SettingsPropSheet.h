// CSettingsPropSheet: the options sheet. Caption as given (string 171), icon 150, OK and Cancel only
// (no Apply, no Help), the first page shown first. Its pages in tab order: General, Advanced,
// Shredding, Schedule, then the keep lists. A page loads its settings when first shown; OK runs the
// OnApply of every page that was shown at least once, in tab order (the property sheet sends
// PSN_APPLY to its created pages only, first to last), so a page never shown saves nothing and the
// Schedule page has the last word on the Run-key entry; Cancel and the close box save nothing.
#pragma once

#include <string>

#include "framework/PropertySheet.h"
#include "ui/KeepFilesP.h"
#include "ui/SaveCookiesP.h"
#include "ui/SettingsPages.h"

class CModList;

class CSettingsPropSheet : public framework::CPropertySheet {
public:
    // The catalogue is for the cookie keep-list page.
    CSettingsPropSheet(std::string caption, HWND parent, CModList* modList);

    CModList* m_pModList;
    CGeneralSettingsP m_pageGeneral;
    CAdvancedSettingsP m_pageAdvanced;
    CShreddingSettingsP m_pageShredding;
    CScheduleSettingsP m_pageSchedule;
    CSaveCookiesP m_pageSaveCookies;
    CKeepFilesP m_pageKeepFiles;
};
