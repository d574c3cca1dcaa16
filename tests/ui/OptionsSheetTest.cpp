// The options sheet from its real templates, modeless, against the registry sandbox: OK saves the
// pages that were shown (in tab order), Cancel saves nothing, the shredding page's method and pass
// count rules, the interval change the main window reads, the Run-key entry through the General and
// the Schedule page, and the main window applying the stored settings whichever button closed it.
#include "MainDlgFixture.h"

#include <prsht.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/SettingsStore.h"
#include "framework/PathText.h"
#include "ui/SettingsPropSheet.h"

using testsupport::PumpUntil;

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
    if (value == kAbsent)
        TheSettings().DeleteValue(name);
    else
        TheSettings().WriteDword(name, value);
}

// The Run-key entry, or "-" when there is none.
std::string StoredEntry()
{
    std::string text;
    return CSettingsStore::ReadKeyString(HKEY_CURRENT_USER, kStartupRunKey, kStartupRunValue, text) == ERROR_SUCCESS
               ? text
               : "-";
}

class OptionsSheetTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        // The Run key exists on every Windows; the sandbox starts empty.
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, kStartupRunKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        RegCloseKey(key);
    }
    void TearDown() override { Close(); }

    HWND Open()
    {
        m_sheet = std::make_unique<CSettingsPropSheet>("配置 Quillon...", nullptr, &g_theScanningThreadsParam);
        return m_sheet->Create();
    }
    void Show(EPage page) { PropSheet_SetCurSel(m_sheet->GetHwnd(), nullptr, page); }
    HWND Page(EPage page) const { return PropSheet_IndexToHwnd(m_sheet->GetHwnd(), page); }
    bool Checked(EPage page, int id) const { return IsDlgButtonChecked(Page(page), id) == BST_CHECKED; }
    void SetBox(EPage page, int id, bool on) { CheckDlgButton(Page(page), id, on ? BST_CHECKED : BST_UNCHECKED); }
    // Presses PSBTN_OK or PSBTN_CANCEL; true once the sheet has closed.
    bool Press(int button)
    {
        PropSheet_PressButton(m_sheet->GetHwnd(), button);
        return PumpUntil([&] { return m_sheet->IsClosed(); });
    }
    void Close() { m_sheet.reset(); }

    std::unique_ptr<CSettingsPropSheet> m_sheet;
};

// Values that every page rewrites differently when it saves: check boxes hold 2 (shown cleared,
// saved as 0), the radio groups an index beyond the group (shown as the first button, saved as 0).
struct CPageValues {
    EPage page;
    std::vector<const char*> names;
};
const CPageValues kPageValues[] = {
    {kGeneral,
     {kOptReports, kOptShowIconInTheStatusArea, kOptDontShowPluginsWithUndetApps, kOptShowIconInTaskbarWhenMinimized,
      kOptWndRestOnWake, kOptStartInIconizedMode, kOptUseMonthDayYearFormat, kOptHideGridlines}},
    {kAdvanced,
     {kOptCloseAfterCleaning, kOptHideWarningMsgs, kOptDeleteAfterWinRestart, kOptIncludeReadOnlyFiles,
      kOptIncludeHiddenFiles, kOptDelOnlyOldTmpFiles}},
    {kShredding, {kOptWipeMethod}},
    {kSchedule, {kOptAutoCleaningTimeIntervalOptNum, kOptSessCleanWinShutdown, kOptSessCleanBrowserClose}},
};
constexpr DWORD kUnsaved = 7;

}  // namespace

TEST_F(OptionsSheetTest, OkSavesExactlyThePagesThatWereShownAndCancelSavesNothing)
{
    struct Case {
        std::vector<EPage> shown;  // besides the first page, which the sheet shows at once
        int button;
        std::vector<EPage> saved;
    };
    const Case kCases[] = {
        {{}, PSBTN_OK, {kGeneral}},
        {{kShredding}, PSBTN_OK, {kGeneral, kShredding}},
        {{kAdvanced, kSchedule, kGeneral}, PSBTN_OK, {kGeneral, kAdvanced, kSchedule}},
        {{kAdvanced, kShredding, kSchedule}, PSBTN_CANCEL, {}},
    };
    for (const Case& c : kCases) {
        for (const CPageValues& values : kPageValues)
            for (const char* name : values.names) Store(name, kUnsaved);
        ASSERT_NE(Open(), nullptr);
        for (EPage page : c.shown) Show(page);
        ASSERT_TRUE(Press(c.button));
        for (const CPageValues& values : kPageValues) {
            const bool saved = std::find(c.saved.begin(), c.saved.end(), values.page) != c.saved.end();
            for (const char* name : values.names)
                EXPECT_EQ(Stored(name), saved ? 0u : kUnsaved) << name << ", pages shown: " << c.shown.size();
        }
        Close();
    }
}

TEST_F(OptionsSheetTest, ShreddingPageShowsAValidMethodAndWritesAValidPassCountBackAtOnce)
{
    struct Case {
        DWORD method, passes;
        int wantButton;
        const char* wantText;
        DWORD wantPasses;
    };
    const Case kCases[] = {
        {7, 500, IDC_SHRED_NONE, "1", 1},       {kAbsent, kAbsent, IDC_SHRED_NONE, "1", 1},
        {3, 100, IDC_SHRED_GUTMANN, "100", 100}, {4, 2, IDC_SHRED_CUSTOM, "2", 2},
        {1, 0, IDC_SHRED_DOD, "1", 1},
    };
    for (const Case& c : kCases) {
        Store(kOptWipeMethod, c.method);
        Store(kOptWipeOverwritePasses, c.passes);
        ASSERT_NE(Open(), nullptr);
        Show(kShredding);
        for (int id : {IDC_SHRED_NONE, IDC_SHRED_DOD, IDC_SHRED_NSA, IDC_SHRED_GUTMANN, IDC_SHRED_CUSTOM})
            EXPECT_EQ(Checked(kShredding, id), id == c.wantButton) << "method " << c.method << ", button " << id;
        char text[16] = "sentinel";
        GetDlgItemTextA(Page(kShredding), IDC_SHRED_PASSES, text, sizeof text);
        EXPECT_STREQ(text, c.wantText);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(Page(kShredding), IDC_SHRED_PASSES)));
        // Corrected on opening, so even a cancelled sheet leaves a valid count; the method stays.
        ASSERT_TRUE(Press(PSBTN_CANCEL));
        EXPECT_EQ(Stored(kOptWipeOverwritePasses), c.wantPasses) << "stored " << c.passes;
        EXPECT_EQ(Stored(kOptWipeMethod), c.method);
        Close();
    }
}

TEST_F(OptionsSheetTest, TypedCustomPassCountIsStoredWhenTwoToHundredElseAsOne)
{
    const std::pair<const char*, DWORD> kCases[] = {{"2", 2},   {"100", 100}, {"37", 37}, {"1", 1},  {"0", 1},
                                                    {"101", 1}, {"", 1},      {"abc", 1}, {"-5", 1}, {"4294967298", 1}};
    for (auto [typed, want] : kCases) {
        Store(kOptWipeOverwritePasses, 50);
        ASSERT_NE(Open(), nullptr);
        Show(kShredding);
        CheckRadioButton(Page(kShredding), IDC_SHRED_NONE, IDC_SHRED_CUSTOM, IDC_SHRED_CUSTOM);
        SetDlgItemTextA(Page(kShredding), IDC_SHRED_PASSES, typed);
        ASSERT_TRUE(Press(PSBTN_OK));
        EXPECT_EQ(Stored(kOptWipeOverwritePasses), want) << "typed \"" << typed << "\"";
        EXPECT_EQ(Stored(kOptWipeMethod), 4u);
        Close();
    }
}

TEST_F(OptionsSheetTest, IntervalCountsAsChangedOnlyWhenAnotherButtonIsCheckedAtOk)
{
    struct Case {
        DWORD stored;
        std::vector<int> moves;
        int wantInitial;
        bool wantChanged;
        DWORD wantStored;
    };
    const Case kCases[] = {
        {kAbsent, {}, IDC_SCHED_OFF, false, 0},
        {9, {}, IDC_SCHED_OFF, false, 0},
        {2, {IDC_SCHED_DAILY, IDC_SCHED_OFF, IDC_SCHED_30_MINUTES}, IDC_SCHED_30_MINUTES, false, 2},
        {2, {IDC_SCHED_DAILY}, IDC_SCHED_30_MINUTES, true, 5},
        {kAbsent, {IDC_SCHED_15_MINUTES}, IDC_SCHED_OFF, true, 1},
    };
    for (const Case& c : kCases) {
        Store(kOptAutoCleaningTimeIntervalOptNum, c.stored);
        ASSERT_NE(Open(), nullptr);
        Show(kSchedule);
        EXPECT_EQ(m_sheet->m_pageSchedule.m_nInitialInterval, c.wantInitial);
        EXPECT_TRUE(Checked(kSchedule, c.wantInitial));
        for (int id : c.moves) {
            CheckRadioButton(Page(kSchedule), IDC_SCHED_OFF, IDC_SCHED_DAILY, id);
            // Away to another page and back in between.
            Show(kGeneral);
            Show(kSchedule);
        }
        m_sheet->m_pageSchedule.m_bIntervalChanged = !c.wantChanged;
        ASSERT_TRUE(Press(PSBTN_OK));
        EXPECT_EQ(m_sheet->m_pageSchedule.m_bIntervalChanged, c.wantChanged) << "stored " << c.stored;
        EXPECT_EQ(Stored(kOptAutoCleaningTimeIntervalOptNum), c.wantStored);
        Close();
    }
}

TEST_F(OptionsSheetTest, RunKeyEntryFollowsGeneralAndScheduleWithTheScheduleHavingTheLastWord)
{
    // A folder name whose "乗" ends in the byte of a backslash.
    const std::string folder = m_temp / "乗程序";
    testsupport::MakeFolder(folder);
    const std::string program = framework::JoinPath(folder, "Lorvex.exe");
    testsupport::WriteFileBytes(program, "MZ");
    const std::string plain = "\"" + program + "\"";
    const std::string autoClean = plain + " /autoclean";
    const std::string missing = "\"" + (m_temp / "gone.exe") + "\" /autoclean";

    const std::string other = m_temp / "older.exe";
    testsupport::WriteFileBytes(other, "MZ");
    const std::string otherAutoClean = "\"" + other + "\" /autoclean";
    const std::string unquoted = program + " /autoclean";

    enum { kLeave = -1, kClear = 0, kTick = 1, kNotShown = 2 };
    struct Case {
        const std::string* entry;        // null: no entry
        bool installed;                  // InstalledDir names the program's folder
        int general, schedule;           // what the user does with 1041 and 1072
        bool wantGeneral, wantSchedule;  // the boxes as the pages opened
        const std::string* want;         // null: no entry
    };
    const Case kCases[] = {
        // The General page writes the installed program and keeps the switch it found.
        {&otherAutoClean, true, kLeave, kNotShown, true, false, &autoClean},
        {&plain, true, kLeave, kNotShown, true, false, &plain},
        {nullptr, true, kTick, kNotShown, false, false, &plain},
        {&autoClean, true, kClear, kNotShown, true, false, nullptr},
        // Both pages: the Schedule page saves last.
        {&autoClean, true, kLeave, kClear, true, true, nullptr},
        {&plain, true, kLeave, kTick, true, false, &autoClean},
        {&plain, true, kLeave, kLeave, true, false, nullptr},
        // A program that is gone, or a path without its opening quote, shows both boxes cleared.
        {&missing, true, kLeave, kLeave, false, false, nullptr},
        {&unquoted, true, kLeave, kNotShown, false, false, nullptr},
        // Without InstalledDir nothing is written and an existing entry stays.
        {nullptr, false, kTick, kTick, false, false, nullptr},
        {&plain, false, kLeave, kTick, true, false, &plain},
    };
    for (const Case& c : kCases) {
        const std::string label = (c.entry ? *c.entry : "-") + " / " + std::to_string(c.general) + "," +
                                  std::to_string(c.schedule);
        if (c.entry)
            CSettingsStore::WriteKeyString(HKEY_CURRENT_USER, kStartupRunKey, kStartupRunValue, *c.entry);
        else
            CSettingsStore::DeleteKeyValue(HKEY_CURRENT_USER, kStartupRunKey, kStartupRunValue);
        if (c.installed)
            TheSettings().WriteString(kOptInstalledDir, folder);
        else
            TheSettings().DeleteValue(kOptInstalledDir);

        ASSERT_NE(Open(), nullptr);
        EXPECT_EQ(Checked(kGeneral, IDC_GEN_AUTOSTART), c.wantGeneral) << label;
        if (c.general != kLeave) SetBox(kGeneral, IDC_GEN_AUTOSTART, c.general == kTick);
        if (c.schedule != kNotShown) {
            Show(kSchedule);
            EXPECT_EQ(Checked(kSchedule, IDC_SCHED_AT_START), c.wantSchedule) << label;
            if (c.schedule != kLeave) SetBox(kSchedule, IDC_SCHED_AT_START, c.schedule == kTick);
        }
        ASSERT_TRUE(Press(PSBTN_OK));
        EXPECT_EQ(StoredEntry(), c.want ? *c.want : "-") << label;
        Close();
    }
}

TEST_F(OptionsSheetTest, UnreadableRunKeyEntryIsDeletedWhenThePagesOpenEvenOnCancel)
{
    testsupport::SetRegDword(kStartupRunKey, kStartupRunValue, 1);
    ASSERT_NE(Open(), nullptr);
    EXPECT_FALSE(Checked(kGeneral, IDC_GEN_AUTOSTART));
    EXPECT_FALSE(m_sheet->m_pageGeneral.m_bHadAutoClean);
    ASSERT_TRUE(Press(PSBTN_CANCEL));
    EXPECT_FALSE(testsupport::RegValueExists(kStartupRunKey, kStartupRunValue));
}

// ---------------------------------------------------------------- the main window around the sheet

using OptionsAppliedTest = maindlgtest::MainDlgTest;

TEST_F(OptionsAppliedTest, WindowAppliesTheStoredSettingsWhicheverButtonClosedTheSheet)
{
    struct Case {
        int button;
        bool wantTray, wantGridLines, wantWatch;
    };
    // Stored before the sheet opens: tray icon, no grid lines, browser cleaning. In the sheet the
    // user switches all three the other way.
    const Case kCases[] = {{PSBTN_CANCEL, true, false, true}, {PSBTN_OK, false, true, false}};
    for (const Case& c : kCases) {
        Store(kOptShowIconInTheStatusArea, 0);
        Store(kOptHideGridlines, 0);
        Store(kOptSessCleanBrowserClose, 0);
        ASSERT_NE(Open(), nullptr);
        ASSERT_EQ(Status(1).rfind("上次清理: ", 0), 0u);
        Store(kOptShowIconInTheStatusArea, 1);
        Store(kOptHideGridlines, 1);
        Store(kOptSessCleanBrowserClose, 1);
        ASSERT_TRUE(RunOptionsSheet(c.button, [](HWND sheet) {
            HWND general = PropSheet_GetCurrentPageHwnd(sheet);
            CheckDlgButton(general, IDC_GEN_TRAY_ICON, BST_UNCHECKED);
            CheckDlgButton(general, IDC_GEN_HIDE_GRIDLINES, BST_UNCHECKED);
            PropSheet_SetCurSel(sheet, nullptr, kSchedule);
            CheckDlgButton(PropSheet_GetCurrentPageHwnd(sheet), IDC_SCHED_BROWSER_CLOSE, BST_UNCHECKED);
        }));
        EXPECT_EQ(m_dlg->HasTrayIcon(), c.wantTray) << "button " << c.button;
        EXPECT_EQ((m_dlg->m_listResults.List().GetExtendedStyle() & LVS_EX_GRIDLINES) != 0, c.wantGridLines);
        // KillTimer tells whether the watch was running.
        EXPECT_EQ(KillTimer(m_hwnd, IDT_BROWSER_WATCH) != FALSE, c.wantWatch);
        EXPECT_EQ(Status(1), "");
        Close();
    }
}
