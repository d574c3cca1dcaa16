#include "ui/SettingsPages.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <iterator>

#include "app/SettingsStore.h"
#include "app/Utilities.h"
#include "resource.h"
#include "ui/StartupEntry.h"

namespace {

// Check boxes and their values, in the order they are loaded and saved.
const char* const kGeneralNames[] = {kOptReports,
                                     kOptShowIconInTheStatusArea,
                                     kOptDontShowPluginsWithUndetApps,
                                     kOptShowIconInTaskbarWhenMinimized,
                                     kOptWndRestOnWake,
                                     kOptStartInIconizedMode,
                                     kOptUseMonthDayYearFormat,
                                     kOptHideGridlines};
const int kGeneralBoxes[] = {IDC_GEN_REPORTS,         IDC_GEN_TRAY_ICON,      IDC_GEN_HIDE_UNDETECTED,
                             IDC_GEN_TASKBAR_ICON,    IDC_GEN_RESTORE_ON_WAKE, IDC_GEN_START_ICONIZED,
                             IDC_GEN_MONTH_DAY_YEAR,  IDC_GEN_HIDE_GRIDLINES};
static_assert(std::size(kGeneralNames) == std::size(kGeneralBoxes));

const char* const kAdvancedNames[] = {kOptCloseAfterCleaning,  kOptHideWarningMsgs,    kOptDeleteAfterWinRestart,
                                      kOptIncludeReadOnlyFiles, kOptIncludeHiddenFiles, kOptDelOnlyOldTmpFiles};
const int kAdvancedBoxes[] = {IDC_ADV_CLOSE_AFTER_CLEAN, IDC_ADV_HIDE_WARNINGS, IDC_ADV_DELETE_AT_RESTART,
                              IDC_ADV_READ_ONLY,         IDC_ADV_HIDDEN,        IDC_ADV_OLD_TEMP_ONLY};
static_assert(std::size(kAdvancedNames) == std::size(kAdvancedBoxes));

const char* const kSessionNames[] = {kOptSessCleanWinShutdown, kOptSessCleanBrowserClose};
const int kSessionBoxes[] = {IDC_SCHED_AT_SHUTDOWN, IDC_SCHED_BROWSER_CLOSE};
static_assert(std::size(kSessionNames) == std::size(kSessionBoxes));

// Radio groups: the index of the checked button is the stored value.
const int kWipeMethodButtons[] = {IDC_SHRED_NONE, IDC_SHRED_DOD, IDC_SHRED_NSA, IDC_SHRED_GUTMANN, IDC_SHRED_CUSTOM};
const int kIntervalButtons[] = {IDC_SCHED_OFF,  IDC_SCHED_15_MINUTES, IDC_SCHED_30_MINUTES,
                                IDC_SCHED_1_HOUR, IDC_SCHED_8_HOURS,  IDC_SCHED_DAILY};

constexpr DWORD kMinCustomPasses = 2;
constexpr DWORD kMaxCustomPasses = 100;
// What a custom count outside the range becomes.
constexpr DWORD kFallbackPasses = 1;

template <size_t N>
constexpr int Count(const int (&)[N])
{
    return static_cast<int>(N);
}

void CheckFirstButton(HWND page, const int* buttons, int count)
{
    CheckRadioButton(page, buttons[0], buttons[count - 1], buttons[0]);
}

}  // namespace

// ---------------------------------------------------------------- General

CGeneralSettingsP::CGeneralSettingsP(CSettingsStore* settings) : CPropertyPage(IDD_GENERAL_PAGE), m_pSettings(settings)
{
}

BOOL CGeneralSettingsP::OnInitDialog()
{
    m_pSettings->LoadCheckBoxes(kGeneralNames, kGeneralBoxes, Count(kGeneralBoxes), m_hWnd);
    const CStartupEntry entry = LoadStartupEntry();
    m_bHadAutoClean = entry.m_bAutoClean;
    const bool autoStart = entry.m_bRead && IsExistingFile(entry.m_strProgram);
    CheckDlgButton(m_hWnd, IDC_GEN_AUTOSTART, autoStart ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

bool CGeneralSettingsP::OnApply()
{
    m_pSettings->SaveCheckBoxes(kGeneralNames, kGeneralBoxes, Count(kGeneralBoxes), m_hWnd);
    if (IsDlgButtonChecked(m_hWnd, IDC_GEN_AUTOSTART) == BST_CHECKED)
        SaveStartupEntry(*m_pSettings, m_bHadAutoClean);
    else
        DeleteStartupEntry();
    return true;
}

// ---------------------------------------------------------------- Advanced

CAdvancedSettingsP::CAdvancedSettingsP(CSettingsStore* settings)
    : CPropertyPage(IDD_ADVANCED_PAGE), m_pSettings(settings)
{
}

BOOL CAdvancedSettingsP::OnInitDialog()
{
    m_pSettings->LoadCheckBoxes(kAdvancedNames, kAdvancedBoxes, Count(kAdvancedBoxes), m_hWnd);
    return TRUE;
}

bool CAdvancedSettingsP::OnApply()
{
    m_pSettings->SaveCheckBoxes(kAdvancedNames, kAdvancedBoxes, Count(kAdvancedBoxes), m_hWnd);
    return true;
}

// ---------------------------------------------------------------- Shredding

CShreddingSettingsP::CShreddingSettingsP(CSettingsStore* settings)
    : CPropertyPage(IDD_SHREDDING_PAGE), m_pSettings(settings)
{
}

DWORD CShreddingSettingsP::ValidCustomPasses(DWORD passes)
{
    return passes >= kMinCustomPasses && passes <= kMaxCustomPasses ? passes : kFallbackPasses;
}

BOOL CShreddingSettingsP::OnInitDialog()
{
    SetDlgItemTextA(m_hWnd, IDC_SHRED_HINT, LoadResString(IDS_SHRED_HINT).c_str());
    if (!m_pSettings->LoadRadioGroup(kOptWipeMethod, kWipeMethodButtons, Count(kWipeMethodButtons), m_hWnd))
        CheckFirstButton(m_hWnd, kWipeMethodButtons, Count(kWipeMethodButtons));

    // The up-down control only steps the number; 1..100 makes its up arrow count up (its default
    // range runs backwards) over every count the store accepts. OK still applies the 2..100 rule.
    SendDlgItemMessageA(m_hWnd, IDC_SHRED_PASSES_SPIN, UDM_SETRANGE32, kFallbackPasses, kMaxCustomPasses);

    DWORD passes = kFallbackPasses;
    m_pSettings->ReadDword(kOptWipeOverwritePasses, passes);
    passes = ValidCustomPasses(passes);
    SetDlgItemInt(m_hWnd, IDC_SHRED_PASSES, passes, FALSE);
    // Written back at once, so a stored count outside the range is corrected even if the sheet is
    // then cancelled.
    m_pSettings->WriteDword(kOptWipeOverwritePasses, passes);
    return TRUE;
}

bool CShreddingSettingsP::OnApply()
{
    m_pSettings->SaveRadioGroup(kOptWipeMethod, kWipeMethodButtons, Count(kWipeMethodButtons), m_hWnd);
    // A text that is not an unsigned decimal number (empty, letters, a sign) reads as 0.
    const UINT typed = GetDlgItemInt(m_hWnd, IDC_SHRED_PASSES, nullptr, FALSE);
    m_pSettings->WriteDword(kOptWipeOverwritePasses, ValidCustomPasses(typed));
    return true;
}

// ---------------------------------------------------------------- Schedule

CScheduleSettingsP::CScheduleSettingsP(CSettingsStore* settings)
    : CPropertyPage(IDD_SCHEDULE_PAGE), m_pSettings(settings)
{
}

BOOL CScheduleSettingsP::OnInitDialog()
{
    m_pSettings->LoadCheckBoxes(kSessionNames, kSessionBoxes, Count(kSessionBoxes), m_hWnd);
    m_nInitialInterval = m_pSettings->LoadRadioGroup(kOptAutoCleaningTimeIntervalOptNum, kIntervalButtons,
                                                     Count(kIntervalButtons), m_hWnd);
    if (!m_nInitialInterval) {
        CheckFirstButton(m_hWnd, kIntervalButtons, Count(kIntervalButtons));
        m_nInitialInterval = kIntervalButtons[0];
    }
    // Cleaning at Windows start: the entry's program path exists (PathFileExistsA, so a folder
    // counts too) and the entry carries the switch.
    const CStartupEntry entry = LoadStartupEntry();
    const bool atStart = entry.m_bRead && PathFileExistsA(entry.m_strProgram.c_str()) && entry.m_bAutoClean;
    CheckDlgButton(m_hWnd, IDC_SCHED_AT_START, atStart ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

bool CScheduleSettingsP::OnApply()
{
    m_pSettings->SaveCheckBoxes(kSessionNames, kSessionBoxes, Count(kSessionBoxes), m_hWnd);
    const int interval = m_pSettings->SaveRadioGroup(kOptAutoCleaningTimeIntervalOptNum, kIntervalButtons,
                                                     Count(kIntervalButtons), m_hWnd);
    // After the General page in tab order, so this page has the last word on the entry.
    if (IsDlgButtonChecked(m_hWnd, IDC_SCHED_AT_START) == BST_CHECKED)
        SaveStartupEntry(*m_pSettings, true);
    else
        DeleteStartupEntry();
    m_bIntervalChanged = interval != m_nInitialInterval;
    return true;
}
