// The options sheet from its real templates, modeless, against the registry sandbox: OK saves the
// pages that were shown (in tab order), Cancel saves nothing, the shredding page's method and pass
// count rules, the interval change the main window reads, and the Run-key entry through the General
// and the Schedule page. The main window around the modal sheet is tested with the main window.
#include "UiFixture.h"

#include <prsht.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "app/SettingsStore.h"
#include "catalogue/ModList.h"
#include "framework/PathText.h"
#include "resource.h"
#include "ui/SettingsPropSheet.h"

namespace {

constexpr DWORD kAbsent = 0xdeadbeef;
enum EPage { kGeneral, kAdvanced, kShredding, kSchedule };

DWORD Stored(const char* name)
{
    DWORD value = kAbsent;
    TheSettings().ReadDword(name, value);
    return value;
}

void Store(const char* name, DWORD value)
{
    value == kAbsent ? TheSettings().DeleteValue(name) : TheSettings().WriteDword(name, value);
}

// The Run-key entry; "-" when there is none, "?" when it is not a text.
std::string StoredEntry()
{
    std::string text;
    if (!testsupport::RegValueExists(kStartupRunKey, kStartupRunValue)) return "-";
    return CSettingsStore::ReadKeyString(HKEY_CURRENT_USER, kStartupRunKey, kStartupRunValue, text) ? "?" : text;
}

class OptionsSheetTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        // The Run key exists on every Windows; the sandbox starts empty.
        testsupport::SetRegDword(kStartupRunKey, "x", 0);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kStartupRunKey, "x");
    }

    // Opens the sheet (its first page shows at once), shows the pages in order, lets inSheet look and
    // act, and presses PSBTN_OK or PSBTN_CANCEL; the sheet stays until the next run.
    void RunSheet(const std::vector<EPage>& shown, int button, const std::function<void()>& inSheet = nullptr)
    {
        m_sheet = std::make_unique<CSettingsPropSheet>("配置 Quillon...", nullptr, &g_theScanningThreadsParam);
        ASSERT_NE(m_sheet->Create(), nullptr);
        for (EPage page : shown) PropSheet_SetCurSel(m_sheet->GetHwnd(), nullptr, page);
        if (inSheet) inSheet();
        PropSheet_PressButton(m_sheet->GetHwnd(), button);
        ASSERT_TRUE(testsupport::PumpUntil([&] { return m_sheet->IsClosed(); }));
    }
    HWND Page(EPage page) const { return PropSheet_IndexToHwnd(m_sheet->GetHwnd(), page); }
    bool Checked(EPage page, int id) const { return IsDlgButtonChecked(Page(page), id) == BST_CHECKED; }

    std::unique_ptr<CSettingsPropSheet> m_sheet;
};

}  // namespace

TEST_F(OptionsSheetTest, OkSavesExactlyThePagesThatWereShownAndCancelSavesNothing)
{
    // Values that a saving page rewrites: check boxes of 7 show cleared and save 0, radio groups of
    // 7 show their first button and save 0.
    const std::vector<const char*> kValues[] = {
        {kOptReports, kOptShowIconInTheStatusArea, kOptDontShowPluginsWithUndetApps, kOptShowIconInTaskbarWhenMinimized,
         kOptWndRestOnWake, kOptStartInIconizedMode, kOptUseMonthDayYearFormat, kOptHideGridlines},
        {kOptCloseAfterCleaning, kOptHideWarningMsgs, kOptDeleteAfterWinRestart, kOptIncludeReadOnlyFiles,
         kOptIncludeHiddenFiles, kOptDelOnlyOldTmpFiles},
        {kOptWipeMethod},
        {kOptAutoCleaningTimeIntervalOptNum, kOptSessCleanWinShutdown, kOptSessCleanBrowserClose},
    };
    const std::tuple<std::vector<EPage>, int, std::vector<EPage>> kCases[] = {
        {{}, PSBTN_OK, {kGeneral}},
        {{kShredding}, PSBTN_OK, {kGeneral, kShredding}},
        {{kAdvanced, kSchedule, kGeneral}, PSBTN_OK, {kGeneral, kAdvanced, kSchedule}},
        {{kAdvanced, kShredding, kSchedule}, PSBTN_CANCEL, {}},
    };
    for (const auto& [shown, button, saved] : kCases) {
        for (const auto& names : kValues)
            for (const char* name : names) Store(name, 7);
        RunSheet(shown, button);
        for (EPage page : {kGeneral, kAdvanced, kShredding, kSchedule}) {
            const bool wantSaved = std::find(saved.begin(), saved.end(), page) != saved.end();
            for (const char* name : kValues[page])
                EXPECT_EQ(Stored(name), wantSaved ? 0u : 7u) << name << ", pages shown: " << shown.size();
        }
    }
}

TEST_F(OptionsSheetTest, ShreddingPageShowsAValidMethodAndStoresPassCountsOutsideTwoToHundredAsOne)
{
    struct Case {
        DWORD method, passes;
        const char* typed;  // with the custom method and OK; null: Cancel
        int wantButton;
        DWORD wantPasses;
    };
    const Case kCases[] = {
        // Opening shows a valid method and writes a valid count back at once, kept by Cancel.
        {7, 500, nullptr, IDC_SHRED_NONE, 1},       {kAbsent, kAbsent, nullptr, IDC_SHRED_NONE, 1},
        {3, 100, nullptr, IDC_SHRED_GUTMANN, 100}, {1, 0, nullptr, IDC_SHRED_DOD, 1},
        {4, 50, "2", IDC_SHRED_CUSTOM, 2},         {4, 50, "100", IDC_SHRED_CUSTOM, 100},
        {4, 50, "1", IDC_SHRED_CUSTOM, 1},         {4, 50, "0", IDC_SHRED_CUSTOM, 1},
        {4, 50, "101", IDC_SHRED_CUSTOM, 1},       {4, 50, "", IDC_SHRED_CUSTOM, 1},
        {0, 50, "abc", IDC_SHRED_NONE, 1},         {0, 50, "4294967298", IDC_SHRED_NONE, 1},
    };
    for (const Case& c : kCases) {
        Store(kOptWipeMethod, c.method);
        Store(kOptWipeOverwritePasses, c.passes);
        RunSheet({kShredding}, c.typed ? PSBTN_OK : PSBTN_CANCEL, [&] {
            for (int id : {IDC_SHRED_NONE, IDC_SHRED_DOD, IDC_SHRED_NSA, IDC_SHRED_GUTMANN, IDC_SHRED_CUSTOM})
                EXPECT_EQ(Checked(kShredding, id), id == c.wantButton) << "method " << c.method << ", button " << id;
            if (!c.typed) return;
            CheckRadioButton(Page(kShredding), IDC_SHRED_NONE, IDC_SHRED_CUSTOM, IDC_SHRED_CUSTOM);
            SetDlgItemTextA(Page(kShredding), IDC_SHRED_PASSES, c.typed);
        });
        EXPECT_EQ(Stored(kOptWipeOverwritePasses), c.wantPasses) << (c.typed ? c.typed : "cancelled");
        EXPECT_EQ(Stored(kOptWipeMethod), c.typed ? 4 : c.method);
    }
}

TEST_F(OptionsSheetTest, IntervalCountsAsChangedOnlyWhenAnotherButtonIsCheckedAtOk)
{
    struct Case {
        DWORD stored;
        std::vector<int> moves;  // each followed by a visit to another page and back
        int wantInitial;
        bool wantChanged;
    };
    const Case kCases[] = {
        {kAbsent, {}, IDC_SCHED_OFF, false},
        {9, {}, IDC_SCHED_OFF, false},
        {2, {IDC_SCHED_DAILY, IDC_SCHED_OFF, IDC_SCHED_30_MINUTES}, IDC_SCHED_30_MINUTES, false},
        {2, {IDC_SCHED_DAILY}, IDC_SCHED_30_MINUTES, true},
    };
    for (const Case& c : kCases) {
        Store(kOptAutoCleaningTimeIntervalOptNum, c.stored);
        RunSheet({kSchedule}, PSBTN_OK, [&] {
            EXPECT_EQ(m_sheet->m_pageSchedule.m_nInitialInterval, c.wantInitial);
            for (int id : c.moves) {
                CheckRadioButton(Page(kSchedule), IDC_SCHED_OFF, IDC_SCHED_DAILY, id);
                PropSheet_SetCurSel(m_sheet->GetHwnd(), nullptr, kGeneral);
                PropSheet_SetCurSel(m_sheet->GetHwnd(), nullptr, kSchedule);
            }
            m_sheet->m_pageSchedule.m_bIntervalChanged = !c.wantChanged;
        });
        EXPECT_EQ(m_sheet->m_pageSchedule.m_bIntervalChanged, c.wantChanged) << "stored " << c.stored;
        const int last = c.moves.empty() ? c.wantInitial : c.moves.back();
        EXPECT_EQ(Stored(kOptAutoCleaningTimeIntervalOptNum), static_cast<DWORD>(last - IDC_SCHED_OFF));
    }
}

TEST_F(OptionsSheetTest, RunKeyEntryFollowsGeneralAndScheduleWithTheScheduleHavingTheLastWord)
{
    // A folder whose "乗" ends in the byte of a backslash.
    const std::string folder = m_temp / "乗程序";
    testsupport::MakeFolder(folder);
    const std::string program = framework::JoinPath(folder, "Lorvex.exe");
    testsupport::WriteFileBytes(program, "MZ");
    testsupport::WriteFileBytes(m_temp / "older.exe", "MZ");
    const std::string plain = "\"" + program + "\"", autoClean = plain + " /autoclean";
    const std::string older = "\"" + (m_temp / "older.exe") + "\" /autoclean";
    const std::string gone = "\"" + (m_temp / "gone.exe") + "\" /autoclean", unquoted = program + " /autoclean";
    const std::string none = "-", notText = "?";

    enum { kLeave = -1, kClear = 0, kTick = 1, kNotShown = 2 };
    struct Case {
        const std::string* entry;
        bool installed;                  // InstalledDir names the program's folder
        int general, schedule;           // what the user does with 1041 and 1072
        bool wantGeneral, wantSchedule;  // the boxes as the pages opened
        const std::string* want;
    };
    const Case kCases[] = {
        // The General page writes the installed program and keeps the switch it found.
        {&older, true, kLeave, kNotShown, true, false, &autoClean},
        {&none, true, kTick, kNotShown, false, false, &plain},
        {&autoClean, true, kClear, kNotShown, true, false, &none},
        // Both pages: the Schedule page saves last.
        {&autoClean, true, kLeave, kClear, true, true, &none},
        {&plain, true, kLeave, kTick, true, false, &autoClean},
        // A program that is gone or a path without its opening quote shows the boxes cleared; an
        // entry that is no text is deleted as the pages open.
        {&gone, true, kLeave, kLeave, false, false, &none},
        {&unquoted, true, kTick, kNotShown, false, false, &autoClean},
        {&notText, false, kTick, kNotShown, false, false, &none},
        // Without InstalledDir nothing is written and an existing entry stays.
        {&none, false, kTick, kTick, false, false, &none},
        {&plain, false, kLeave, kTick, true, false, &plain},
    };
    for (const Case& c : kCases) {
        const std::string label = *c.entry + " / " + std::to_string(c.general) + "," + std::to_string(c.schedule);
        CSettingsStore::DeleteKeyValue(HKEY_CURRENT_USER, kStartupRunKey, kStartupRunValue);
        if (c.entry == &notText)
            testsupport::SetRegDword(kStartupRunKey, kStartupRunValue, 1);
        else if (c.entry != &none)
            CSettingsStore::WriteKeyString(HKEY_CURRENT_USER, kStartupRunKey, kStartupRunValue, *c.entry);
        c.installed ? TheSettings().WriteString(kOptInstalledDir, folder) : TheSettings().DeleteValue(kOptInstalledDir);

        RunSheet(c.schedule == kNotShown ? std::vector<EPage>{} : std::vector<EPage>{kSchedule}, PSBTN_OK, [&] {
            EXPECT_EQ(Checked(kGeneral, IDC_GEN_AUTOSTART), c.wantGeneral) << label;
            if (c.general != kLeave) CheckDlgButton(Page(kGeneral), IDC_GEN_AUTOSTART, c.general);
            if (c.schedule == kNotShown) return;
            EXPECT_EQ(Checked(kSchedule, IDC_SCHED_AT_START), c.wantSchedule) << label;
            if (c.schedule != kLeave) CheckDlgButton(Page(kSchedule), IDC_SCHED_AT_START, c.schedule);
        });
        EXPECT_EQ(StoredEntry(), *c.want) << label;
    }
}
