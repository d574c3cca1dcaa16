// The settings store against the real registry of the sandbox: defaults of a fresh account,
// malformed values, string lists, run options, dialog controls, the Run key operations, the key
// test and the date format.
#include "app/SettingsStore.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/DateText.h"
#include "framework/ScopedHandle.h"
#include "support/Sandbox.h"

using namespace testsupport;

namespace {

const char kRoot[] = "Software\\Venmoor\\Quillon";
const char kSettings[] = "Software\\Venmoor\\Quillon\\Settings";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const DWORD kSentinel = 0xdeadbeef;

using Strings = std::vector<std::string>;

DWORD ValueCount(const std::string& key)
{
    framework::ScopedRegKey k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, k.Receive()) != ERROR_SUCCESS) return ~0u;
    DWORD values = 0;
    RegQueryInfoKeyA(k.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    return values;
}

std::string RawValue(const std::string& key, const std::string& name, DWORD& type)
{
    char data[8192];
    DWORD size = sizeof data;
    type = REG_NONE;
    if (SHGetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), &type, data, &size) != ERROR_SUCCESS) return "?";
    return std::string(data, size);
}

class SettingsStoreTest : public SandboxTest {
protected:
    void SetUp() override { m_store.Start(); }

    Strings ReadList(const std::string& bytes, bool* ok = nullptr)
    {
        SetRegBinary(kSettings, "FilesKeepList", bytes, REG_MULTI_SZ);
        Strings list{"stale"};
        bool read = m_store.ReadStringList("FilesKeepList", list);
        if (ok) *ok = read;
        if (!read) {
            EXPECT_TRUE(list.empty());
        }
        return list;
    }

    CSettingsStore m_store;
};

// A real modeless dialog, built from an in-memory template, with check boxes and radio buttons.
class TestDialog {
public:
    TestDialog(const std::vector<int>& checkBoxes, const std::vector<int>& radios)
    {
        std::vector<WORD> t;
        auto dword = [&t](DWORD d) {
            t.push_back(LOWORD(d));
            t.push_back(HIWORD(d));
        };
        dword(WS_POPUP);
        dword(0);
        t.push_back(static_cast<WORD>(checkBoxes.size() + radios.size()));
        for (int w : {0, 0, 200, 200, 0, 0, 0}) t.push_back(static_cast<WORD>(w));  // rectangle, no menu, class, title
        auto item = [&](int id, DWORD style, int y) {
            if (t.size() % 2) t.push_back(0);  // items are DWORD-aligned
            dword(WS_CHILD | WS_VISIBLE | style);
            dword(0);
            for (int w : {4, y, 100, 10, id}) t.push_back(static_cast<WORD>(w));
            for (int w : {0xFFFF, 0x0080, int('x'), 0, 0}) t.push_back(static_cast<WORD>(w));  // button class, title, no data
        };
        int y = 0;
        for (int id : checkBoxes) item(id, BS_AUTOCHECKBOX, y += 12);
        bool first = true;
        for (int id : radios) {
            item(id, BS_AUTORADIOBUTTON | (first ? WS_GROUP : 0), y += 12);
            first = false;
        }
        m_hwnd = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<DLGTEMPLATE*>(t.data()),
                                            nullptr, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    }
    ~TestDialog() { DestroyWindow(m_hwnd); }

    HWND Get() const { return m_hwnd; }
    bool Checked(int id) const { return IsDlgButtonChecked(m_hwnd, id) == BST_CHECKED; }
    void Check(int id, bool on) const { CheckDlgButton(m_hwnd, id, on ? BST_CHECKED : BST_UNCHECKED); }

private:
    HWND m_hwnd = nullptr;
};

}  // namespace

TEST_F(SettingsStoreTest, FreshAccountHasAllKeysAndOnlyAbsentValues)
{
    for (const char* key : {kRoot, kSettings, "Software\\Venmoor\\Quillon\\ItemStates",
                            "Software\\Venmoor\\Quillon\\PreviewListSettings",
                            "Software\\Venmoor\\Quillon\\WarningChecks"}) {
        EXPECT_TRUE(RegKeyExists(key)) << key;
        EXPECT_EQ(0u, ValueCount(key)) << key;  // keys only, no value written at start
    }
    EXPECT_EQ(kSettings, m_store.m_strSettingsKey);
    EXPECT_EQ("Software\\Venmoor\\Quillon\\WarningChecks", m_store.m_strWarningChecksKey);

    for (int i = 0; i < kDwordOptionCount; ++i)
        EXPECT_EQ(kDwordOptions[i].m_dwAbsent, m_store.ReadOption(kDwordOptions[i].m_pszName)) << i;
    EXPECT_EQ(1u, CSettingsStore::AbsentValue("Reports"));
    EXPECT_EQ(1u, CSettingsStore::AbsentValue("IncludeHiddenFiles"));
    EXPECT_EQ(1u, CSettingsStore::AbsentValue("WipeOverwritePasses"));
    EXPECT_EQ(0u, CSettingsStore::AbsentValue("IncludeReadOnlyFiles"));
    EXPECT_FALSE(m_store.ReadBool("Reports"));  // Boolean reads count only a stored 1

    CRunOptions o = m_store.GetRunOptions();
    EXPECT_TRUE(o.m_bReports);
    EXPECT_TRUE(o.m_bIncludeHiddenFiles);
    EXPECT_FALSE(o.m_bIncludeReadOnlyFiles);
    EXPECT_FALSE(o.m_bShred);
    EXPECT_FALSE(o.m_bDeleteAfterWinRestart);
    EXPECT_FALSE(o.m_bCloseAfterCleaning);
    EXPECT_FALSE(o.m_bDelOnlyOldTmpFiles);
    EXPECT_EQ(1, o.m_nOverwritePasses);

    EXPECT_FALSE(m_store.m_bMonthDayYear);
    EXPECT_TRUE(m_store.m_strInstalledDir.empty());
    EXPECT_EQ((Strings{"InetEng.dat", "SysEng.dat", "AppsEng.dat", "DiskCleanEng.dat"}), m_store.m_astrPluginFiles);
    EXPECT_EQ("LorvexHelp.chm", m_store.m_strHelpFile);
}

TEST_F(SettingsStoreTest, DwordReadsAcceptOnlyWholeDwords)
{
    DWORD value = kSentinel;
    EXPECT_NE(ERROR_SUCCESS, m_store.ReadDword("Missing", value));
    EXPECT_EQ(kSentinel, value);

    SetRegString(kSettings, "AsText", "1");
    SetRegBinary(kSettings, "AsBinary", std::string("\x01\0\0\0", 4), REG_BINARY);
    SetRegBinary(kSettings, "Short", std::string("\x01\0", 2), REG_DWORD);
    SetRegBinary(kSettings, "AsQword", std::string("\x01\0\0\0\0\0\0\0", 8), REG_QWORD);
    for (const char* name : {"AsText", "AsBinary", "Short", "AsQword"}) {
        value = kSentinel;
        EXPECT_NE(ERROR_SUCCESS, m_store.ReadDword(name, value)) << name;
        EXPECT_EQ(kSentinel, value) << name;
        EXPECT_FALSE(m_store.ReadBool(name)) << name;
        EXPECT_EQ(0u, m_store.ReadOption(name)) << name;
    }
    SetRegDword(kSettings, "IncludeHiddenFiles", 7);
    EXPECT_EQ(7u, m_store.ReadOption("IncludeHiddenFiles"));
    SetRegString(kSettings, "IncludeHiddenFiles", "0");
    EXPECT_EQ(1u, m_store.ReadOption("IncludeHiddenFiles"));  // wrong type: the absent value

    for (DWORD stored : {0u, 2u, 0xFFFFFFFFu}) {
        SetRegDword(kSettings, "Flag", stored);
        EXPECT_FALSE(m_store.ReadBool("Flag")) << stored;
    }
    SetRegDword(kSettings, "Flag", 1);
    EXPECT_TRUE(m_store.ReadBool("Flag"));

    EXPECT_EQ(ERROR_SUCCESS, m_store.WriteDword("ColWidth0", 120, kPreviewListSubkey));
    EXPECT_TRUE(ReadRegDword("Software\\Venmoor\\Quillon\\PreviewListSettings", "ColWidth0", value));
    EXPECT_EQ(120u, value);
    EXPECT_FALSE(RegValueExists(kSettings, "ColWidth0"));
    EXPECT_EQ(ERROR_SUCCESS, m_store.DeleteValue("ColWidth0", kPreviewListSubkey));
    EXPECT_NE(ERROR_SUCCESS, m_store.ReadDword("ColWidth0", value, kPreviewListSubkey));

    // Readers and writers open, never create: a missing key stays missing.
    EXPECT_NE(ERROR_SUCCESS, m_store.WriteDword("X", 1, "NoSuchSubkey"));
    EXPECT_FALSE(RegKeyExists("Software\\Venmoor\\Quillon\\NoSuchSubkey"));
}

TEST_F(SettingsStoreTest, StringsReadOnlyWhatFitsAndNeverPastTheData)
{
    std::string text = "stale";
    EXPECT_NE(ERROR_SUCCESS, m_store.ReadString("CustomFolderToScan", text));
    EXPECT_EQ("", text);

    EXPECT_EQ(ERROR_SUCCESS, m_store.WriteString("CustomFolderToScan", "D:\\资料\\旧文件"));
    DWORD type;
    EXPECT_EQ(std::string("D:\\资料\\旧文件", sizeof "D:\\资料\\旧文件"), RawValue(kSettings, "CustomFolderToScan", type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(ERROR_SUCCESS, m_store.ReadString("CustomFolderToScan", text));
    EXPECT_EQ("D:\\资料\\旧文件", text);

    SetRegBinary(kSettings, "NoZero", "C:\\Tools", REG_SZ);  // stored without its terminating zero
    EXPECT_EQ(ERROR_SUCCESS, m_store.ReadString("NoZero", text));
    EXPECT_EQ("C:\\Tools", text);

    std::string fits(1023, 'f');
    SetRegString(kSettings, "Fits", fits);
    EXPECT_EQ(ERROR_SUCCESS, m_store.ReadString("Fits", text));
    EXPECT_EQ(fits, text);
    SetRegString(kSettings, "TooLong", std::string(1024, 'g'));
    EXPECT_NE(ERROR_SUCCESS, m_store.ReadString("TooLong", text));
    EXPECT_EQ("", text);
    std::string full(1024, 'h');
    SetRegBinary(kSettings, "FullNoZero", full, REG_SZ);
    m_store.ReadString("FullNoZero", text);
    EXPECT_TRUE(text.empty() || text == full) << text.size();

    SetRegString(kSettings, "Expand", "%TEMP%", REG_EXPAND_SZ);
    SetRegDword(kSettings, "Number", 5);
    SetRegString(kSettings, "Multi", std::string("a\0b\0", 4), REG_MULTI_SZ);
    for (const char* name : {"Expand", "Number", "Multi"}) {
        text = "stale";
        EXPECT_NE(ERROR_SUCCESS, m_store.ReadString(name, text)) << name;
        EXPECT_EQ("", text) << name;
    }
}

TEST_F(SettingsStoreTest, StringListsDropDuplicatesWithoutRegardToCase)
{
    EXPECT_EQ((Strings{"a", "b"}), ReadList(std::string("a\0A\0b\0\0", 7)));
    EXPECT_EQ((Strings{"x", "Y", "z"}), ReadList(std::string("x\0Y\0X\0y\0z\0\0", 11)));
    // 癆 and 癮 differ only in a trail byte 'A' / 'a': different characters, both kept.
    std::string chinese;
    for (const char* s : {"网站", "网站", "中文Cookie", "中文COOKIE", "癆", "癮", ""}) chinese.append(s, strlen(s) + 1);
    EXPECT_EQ((Strings{"网站", "中文Cookie", "癆", "癮"}), ReadList(chinese));

    bool ok = false;
    EXPECT_EQ((Strings{"only"}), ReadList(std::string("only\0\0", 6), &ok));
    EXPECT_TRUE(ok);
    EXPECT_EQ((Strings{}), ReadList(std::string("\0\0", 2), &ok));
    EXPECT_TRUE(ok);
    EXPECT_EQ((Strings{"a"}), ReadList(std::string("a\0\0b\0\0", 6)));  // ends at the first empty string

    // Without the closing zeros only the complete strings count.
    EXPECT_EQ((Strings{"a", "b"}), ReadList(std::string("a\0b\0", 4)));
    Strings partial = ReadList(std::string("a\0bc", 4));
    EXPECT_TRUE(partial == (Strings{"a"}) || partial == (Strings{"a", "bc"})) << partial.size();
}

TEST_F(SettingsStoreTest, StringListSizeLimitsAndWrite)
{
    bool ok = true;
    ReadList(std::string("\0", 1), &ok);
    EXPECT_FALSE(ok);
    std::string first(2000, 'p'), second(2092, 'q');
    std::string limit = first + '\0' + second + '\0' + '\0';
    ASSERT_EQ(4095u, limit.size());
    EXPECT_EQ((Strings{first, second}), ReadList(limit, &ok));
    EXPECT_TRUE(ok);
    ReadList(first + '\0' + second + "q" + '\0' + '\0', &ok);  // 4096 bytes
    EXPECT_FALSE(ok);
    ReadList(std::string(6000, 'r') + '\0' + '\0', &ok);
    EXPECT_FALSE(ok);

    Strings list{"stale"};
    SetRegString(kSettings, "SavedCookiesList", "a");
    EXPECT_FALSE(m_store.ReadStringList("SavedCookiesList", list));
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(m_store.ReadStringList("Missing", list));

    EXPECT_EQ(ERROR_SUCCESS, m_store.WriteStringList("SavedCookiesList", {"a", "网站"}));
    DWORD type;
    EXPECT_EQ(std::string("a\0网站\0\0", 8), RawValue(kSettings, "SavedCookiesList", type));
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), type);
    EXPECT_TRUE(m_store.ReadStringList("SavedCookiesList", list));
    EXPECT_EQ((Strings{"a", "网站"}), list);
    EXPECT_EQ(ERROR_SUCCESS, m_store.WriteStringList("SavedCookiesList", {}));
    EXPECT_EQ(std::string(1, '\0'), RawValue(kSettings, "SavedCookiesList", type));
}

TEST_F(SettingsStoreTest, WipeMethodAndPasses)
{
    struct Case {
        DWORD method;
        const char* passes;  // null: WipeOverwritePasses missing
        bool shred;
        int expected;
    };
    const Case cases[] = {
        {4, "0", true, 1},      {4, "101", true, 1},   {4, nullptr, true, 1}, {4, "100", true, 100},
        {4, "42", true, 42},    {7, nullptr, false, 1}, {0xFFFFFFFF, "50", false, 1},
        {0, "50", false, 1},    {1, "50", true, 3},    {2, nullptr, true, 7}, {3, nullptr, true, 35},
    };
    for (const Case& c : cases) {
        SetRegDword(kSettings, "WipeMethod", c.method);
        if (c.passes)
            SetRegDword(kSettings, "WipeOverwritePasses", static_cast<DWORD>(atoi(c.passes)));
        else
            m_store.DeleteValue("WipeOverwritePasses");
        CRunOptions o = m_store.GetRunOptions();
        EXPECT_EQ(c.shred, o.m_bShred) << c.method << " " << (c.passes ? c.passes : "-");
        EXPECT_EQ(c.expected, o.m_nOverwritePasses) << c.method << " " << (c.passes ? c.passes : "-");
    }
    SetRegString(kSettings, "WipeMethod", "4");
    EXPECT_FALSE(m_store.GetRunOptions().m_bShred);
}

TEST_F(SettingsStoreTest, RunOptionsTakeOnlyZeroOrOne)
{
    const char* names[] = {"Reports", "DeleteAfterWinRestart", "IncludeReadOnlyFiles", "IncludeHiddenFiles",
                           "CloseAfterCleaning", "DelOnlyOldTmpFiles"};
    for (const char* name : names) SetRegDword(kSettings, name, 2);
    CRunOptions o = m_store.GetRunOptions();
    EXPECT_TRUE(o.m_bReports && o.m_bIncludeHiddenFiles);
    EXPECT_FALSE(o.m_bDeleteAfterWinRestart || o.m_bIncludeReadOnlyFiles || o.m_bCloseAfterCleaning ||
                 o.m_bDelOnlyOldTmpFiles);

    for (const char* name : names) SetRegDword(kSettings, name, 1);
    SetRegDword(kSettings, "Reports", 0);
    SetRegDword(kSettings, "IncludeHiddenFiles", 0);
    o = m_store.GetRunOptions();
    EXPECT_FALSE(o.m_bReports || o.m_bIncludeHiddenFiles);
    EXPECT_TRUE(o.m_bDeleteAfterWinRestart && o.m_bIncludeReadOnlyFiles && o.m_bCloseAfterCleaning &&
                o.m_bDelOnlyOldTmpFiles);

    // A worker thread reads through the same (redirected) registry.
    CRunOptions fromThread;
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            CSettingsStore store;
            *static_cast<CRunOptions*>(p) = store.GetRunOptions();
            return 0;
        },
        &fromThread, 0, nullptr);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    EXPECT_FALSE(fromThread.m_bReports);
    EXPECT_TRUE(fromThread.m_bIncludeReadOnlyFiles);
}

TEST_F(SettingsStoreTest, InstallFolderGivesPluginAndHelpPaths)
{
    SetRegString(kSettings, "InstalledDir", "C:\\Tools");
    CSettingsStore store;
    EXPECT_EQ("C:\\Tools", store.m_strInstalledDir);
    EXPECT_EQ((Strings{"C:\\Tools\\InetEng.dat", "C:\\Tools\\SysEng.dat", "C:\\Tools\\AppsEng.dat",
                       "C:\\Tools\\DiskCleanEng.dat"}),
              store.m_astrPluginFiles);
    EXPECT_EQ("C:\\Tools\\LorvexHelp.chm", store.m_strHelpFile);

    SetRegString(kSettings, "InstalledDir", "C:\\");
    store.LoadInstallDir();
    EXPECT_EQ("C:\\InetEng.dat", store.m_astrPluginFiles[0]);
    // The last character's trail byte is 0x5C; it is not a backslash.
    ASSERT_EQ('\\', std::string("癨")[1]);
    SetRegString(kSettings, "InstalledDir", "D:\\工具癨");
    store.LoadInstallDir();
    EXPECT_EQ("D:\\工具癨\\LorvexHelp.chm", store.m_strHelpFile);
    EXPECT_EQ("D:\\工具癨\\DiskCleanEng.dat", store.m_astrPluginFiles[3]);
}

TEST_F(SettingsStoreTest, CheckBoxesOnARealDialog)
{
    TestDialog dlg({1038, 1039, 1040, 1041}, {});
    ASSERT_TRUE(dlg.Get());
    const char* names[] = {"DeleteAfterWinRestart", "IncludeReadOnlyFiles", "IncludeHiddenFiles",
                           "DelOnlyOldTmpFiles"};
    const int ids[] = {1038, 1039, 1040, 1041};
    SetRegDword(kSettings, "DeleteAfterWinRestart", 1);
    SetRegDword(kSettings, "IncludeReadOnlyFiles", 2);
    SetRegString(kSettings, "DelOnlyOldTmpFiles", "1");
    dlg.Check(1039, true);
    dlg.Check(1040, true);
    m_store.LoadCheckBoxes(names, ids, 4, dlg.Get());
    EXPECT_TRUE(dlg.Checked(1038));
    EXPECT_FALSE(dlg.Checked(1039));  // 2 is no setting: cleared
    EXPECT_TRUE(dlg.Checked(1040));   // missing: as the dialog had it
    EXPECT_FALSE(dlg.Checked(1041));  // wrong type: missing
    EXPECT_FALSE(m_store.GetRunOptions().m_bIncludeReadOnlyFiles);

    SetRegDword(kSettings, "DeleteAfterWinRestart", 0);
    m_store.LoadCheckBoxes(names, ids, 1, dlg.Get());
    EXPECT_FALSE(dlg.Checked(1038));

    dlg.Check(1041, true);
    m_store.SaveCheckBoxes(names, ids, 4, dlg.Get());
    const DWORD expected[] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        DWORD value = kSentinel;
        EXPECT_TRUE(ReadRegDword(kSettings, names[i], value)) << names[i];
        EXPECT_EQ(expected[i], value) << names[i];
    }
}

TEST_F(SettingsStoreTest, RadioGroupsOnARealDialog)
{
    TestDialog dlg({}, {1060, 1061, 1062, 1063, 1064});
    ASSERT_TRUE(dlg.Get());
    const int ids[] = {1060, 1061, 1062, 1063, 1064};
    auto checkedIds = [&] {
        std::vector<int> on;
        for (int id : ids)
            if (dlg.Checked(id)) on.push_back(id);
        return on;
    };

    dlg.Check(1063, true);
    EXPECT_EQ(0, m_store.LoadRadioGroup("WipeMethod", ids, 5, dlg.Get()));
    EXPECT_EQ(std::vector<int>{1063}, checkedIds());

    SetRegDword(kSettings, "WipeMethod", 2);
    EXPECT_EQ(1062, m_store.LoadRadioGroup("WipeMethod", ids, 5, dlg.Get()));
    EXPECT_EQ(std::vector<int>{1062}, checkedIds());
    for (DWORD beyond : {5u, 0xFFFFFFFFu}) {
        SetRegDword(kSettings, "WipeMethod", beyond);
        EXPECT_EQ(1060, m_store.LoadRadioGroup("WipeMethod", ids, 5, dlg.Get())) << beyond;
        EXPECT_EQ(std::vector<int>{1060}, checkedIds());
    }

    dlg.Check(1060, false);
    dlg.Check(1064, true);
    EXPECT_EQ(1064, m_store.SaveRadioGroup("WipeMethod", ids, 5, dlg.Get()));
    DWORD value = kSentinel;
    EXPECT_TRUE(ReadRegDword(kSettings, "WipeMethod", value));
    EXPECT_EQ(4u, value);

    dlg.Check(1064, false);
    EXPECT_EQ(0, m_store.SaveRadioGroup("WipeMethod", ids, 5, dlg.Get()));
    EXPECT_TRUE(ReadRegDword(kSettings, "WipeMethod", value));
    EXPECT_EQ(4u, value);  // nothing written when none is checked
}

TEST_F(SettingsStoreTest, RunKeyIsOpenedNeverCreated)
{
    std::string text = "stale";
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, CSettingsStore::ReadKeyString(HKEY_CURRENT_USER, kRunKey, "QuillonApp", text));
    EXPECT_EQ("", text);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, CSettingsStore::WriteKeyString(HKEY_CURRENT_USER, kRunKey, "QuillonApp", "x"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, CSettingsStore::DeleteKeyValue(HKEY_CURRENT_USER, kRunKey, "QuillonApp"));
    EXPECT_FALSE(RegKeyExists(kRunKey));

    SetRegString(kRunKey, "Other", "keep");
    const std::string command = "\"C:\\工具\\Lorvex.exe\" /autoclean";
    EXPECT_EQ(ERROR_SUCCESS, CSettingsStore::WriteKeyString(HKEY_CURRENT_USER, kRunKey, "QuillonApp", command));
    EXPECT_EQ(ERROR_SUCCESS, CSettingsStore::ReadKeyString(HKEY_CURRENT_USER, kRunKey, "QuillonApp", text));
    EXPECT_EQ(command, text);
    EXPECT_EQ(ERROR_SUCCESS, CSettingsStore::DeleteKeyValue(HKEY_CURRENT_USER, kRunKey, "QuillonApp"));
    EXPECT_FALSE(RegValueExists(kRunKey, "QuillonApp"));
    EXPECT_TRUE(RegValueExists(kRunKey, "Other"));
    EXPECT_NE(ERROR_SUCCESS, CSettingsStore::DeleteKeyValue(HKEY_CURRENT_USER, kRunKey, "QuillonApp"));

    SetRegDword(kRunKey, "Number", 1);
    text = "stale";
    EXPECT_NE(ERROR_SUCCESS, CSettingsStore::ReadKeyString(HKEY_CURRENT_USER, kRunKey, "Number", text));
    EXPECT_EQ("", text);
}

TEST_F(SettingsStoreTest, KeyExistsNamesItsRoot)
{
    EXPECT_TRUE(CSettingsStore::KeyExists("HKCU\\Software\\Venmoor\\Quillon\\Settings"));
    EXPECT_TRUE(CSettingsStore::KeyExists("hkcu\\software\\venmoor\\QUILLON"));
    EXPECT_TRUE(CSettingsStore::KeyExists("HKEY_CURRENT_USER\\Software\\Venmoor\\Quillon"));  // other text: HKCU
    EXPECT_TRUE(CSettingsStore::KeyExists("HKLM\\Software\\Microsoft"));
    EXPECT_TRUE(CSettingsStore::KeyExists("hklm\\SOFTWARE"));
    EXPECT_FALSE(CSettingsStore::KeyExists("HKLM\\Software\\Venmoor\\Quillon"));  // only in HKCU
    EXPECT_FALSE(CSettingsStore::KeyExists("HKCU\\Software\\Venmoor\\NoSuchProduct"));
    EXPECT_FALSE(CSettingsStore::KeyExists("\\Software\\Venmoor\\Quillon"));
    EXPECT_FALSE(CSettingsStore::KeyExists(""));

    EXPECT_EQ("MC1100", CSettingsStore::ItemStateName(1100));
    EXPECT_EQ("MC4294967295", CSettingsStore::ItemStateName(-1));
}

TEST_F(SettingsStoreTest, DateFormatFollowsTheOption)
{
    SetRegDword(kSettings, "UseMonthDayYearFormat", 1);
    m_store.LoadDateFormat();
    EXPECT_TRUE(m_store.m_bMonthDayYear);
    SetRegDword(kSettings, "UseMonthDayYearFormat", 2);
    m_store.LoadDateFormat();
    EXPECT_FALSE(m_store.m_bMonthDayYear);

    CSettingsStore& settings = TheSettings();
    const bool saved = settings.m_bMonthDayYear;
    for (__time64_t time : {static_cast<__time64_t>(1700000000), static_cast<__time64_t>(4102444800)}) {
        struct tm* local = _localtime64(&time);
        ASSERT_TRUE(local);
        char dmy[16], mdy[16];
        snprintf(dmy, sizeof dmy, "%02d/%02d/%04d", local->tm_mday, local->tm_mon + 1, local->tm_year + 1900);
        snprintf(mdy, sizeof mdy, "%02d/%02d/%04d", local->tm_mon + 1, local->tm_mday, local->tm_year + 1900);
        settings.m_bMonthDayYear = false;
        EXPECT_EQ(dmy, FormatDate(time));
        settings.m_bMonthDayYear = true;
        EXPECT_EQ(mdy, FormatDate(time));
    }
    settings.m_bMonthDayYear = saved;
}
