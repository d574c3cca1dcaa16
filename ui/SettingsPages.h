// The four settings pages of the options sheet: General (template 103), Advanced (104), Shredding
// (108) and Schedule (109). Each page loads its controls from the Settings key when it is first
// shown (its dialog initialisation) and saves them only when the sheet's OK runs its OnApply; it
// shows no messages, and registry failures leave the template's state or lose the write silently.
#pragma once

#include "framework/PropertySheet.h"

class CSettingsStore;

// Nine check boxes: the Run-key entry (1041) and eight DWORD options (1042..1050).
class CGeneralSettingsP : public framework::CPropertyPage {
public:
    explicit CGeneralSettingsP(CSettingsStore* settings);

    CSettingsStore* m_pSettings;
    // The Run-key entry contained "/autoclean" when the page opened; OK keeps the switch, so the
    // cleaning at Windows start that the Schedule page set survives this page.
    bool m_bHadAutoClean = false;

protected:
    BOOL OnInitDialog() override;
    bool OnApply() override;
};

// Six check boxes of cleaning options.
class CAdvancedSettingsP : public framework::CPropertyPage {
public:
    explicit CAdvancedSettingsP(CSettingsStore* settings);

    CSettingsStore* m_pSettings;

protected:
    BOOL OnInitDialog() override;
    bool OnApply() override;
};

// The shredding method (radios 1060..1064, WipeMethod) and the custom pass count (edit 1066 with
// up-down 1067, WipeOverwritePasses, 2..100; any other count is stored as 1).
class CShreddingSettingsP : public framework::CPropertyPage {
public:
    explicit CShreddingSettingsP(CSettingsStore* settings);

    CSettingsStore* m_pSettings;

    // The custom pass count that is stored for a typed (or stored) one: 2..100 as it is, else 1.
    static DWORD ValidCustomPasses(DWORD passes);

protected:
    BOOL OnInitDialog() override;
    bool OnApply() override;
};

// The automatic-cleaning interval (radios 1060..1065) and the session cleaning at Windows start
// (the Run-key entry with "/autoclean"), at shutdown and when a browser closes.
class CScheduleSettingsP : public framework::CPropertyPage {
public:
    explicit CScheduleSettingsP(CSettingsStore* settings);

    CSettingsStore* m_pSettings;
    int m_nInitialInterval = 0;       // id of the interval button checked when the page opened
    bool m_bIntervalChanged = false;  // set by OK: the checked interval button is another one

protected:
    BOOL OnInitDialog() override;
    bool OnApply() override;
};
