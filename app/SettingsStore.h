// The settings store: the one component that knows the registry layout under
// HKEY_CURRENT_USER\Software\Venmoor\Quillon. Typed reads and writes by value name (every call opens
// and closes its own key, nothing is cached), the run-options snapshot for the worker threads, the
// string lists, check-box and radio-group load/save, the plain key operations used for the Run key,
// the key test used by the catalogue, and the values derived at start-up.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Options snapshot taken by a scanning or cleaning thread at its start.
struct CRunOptions {
    bool m_bReports = true;
    bool m_bDeleteAfterWinRestart = false;
    bool m_bIncludeReadOnlyFiles = false;
    bool m_bIncludeHiddenFiles = true;
    bool m_bShred = false;
    bool m_bCloseAfterCleaning = false;
    bool m_bDelOnlyOldTmpFiles = false;
    int m_nOverwritePasses = 1;
};

// A stored string list of this many bytes or more cannot be read back.
constexpr size_t kStringListLimit = 4096;
// Bytes a list takes when stored: each entry with its zero byte, then the closing zero byte.
size_t StringListBytes(const std::vector<std::string>& list);

class CSettingsStore {
public:
    // Builds the key paths and reads the install folder with its derived paths.
    CSettingsStore();

    // Start routine: reads the date format and creates the five keys.
    void Start();

    // Reads InstalledDir again and derives the plug-in and help file paths from it.
    void LoadInstallDir();
    // Reads UseMonthDayYearFormat into m_bMonthDayYear (start-up and after the options sheet).
    void LoadDateFormat();

    // An empty subkey means the Settings key; any other name is a key directly below the root.
    LONG ReadDword(const char* name, DWORD& value, const char* subkey = "") const;
    LONG WriteDword(const char* name, DWORD value, const char* subkey = "") const;
    bool ReadBool(const char* name, const char* subkey = "") const;
    LONG ReadString(const char* name, std::string& text, const char* subkey = "") const;
    LONG WriteString(const char* name, const std::string& text, const char* subkey = "") const;
    LONG DeleteValue(const char* name, const char* subkey = "") const;

    // REG_MULTI_SZ lists of the Settings key. Reading fails (false, empty list) for a missing value,
    // another type, or a size below 2 or of kStringListLimit bytes and more; duplicates (without
    // regard to case) are dropped. Editors keep what they write below the limit (StringListBytes).
    bool ReadStringList(const char* name, std::vector<std::string>& list) const;
    LONG WriteStringList(const char* name, const std::vector<std::string>& list) const;

    void LoadCheckBoxes(const char* const* names, const int* ids, int count, HWND dlg) const;
    void SaveCheckBoxes(const char* const* names, const int* ids, int count, HWND dlg) const;
    // Returns the id of the radio button checked, or 0 when the value could not be read.
    int LoadRadioGroup(const char* name, const int* ids, int count, HWND dlg) const;
    // Returns the id of the checked radio button (its index is stored), or 0 when none is checked.
    int SaveRadioGroup(const char* name, const int* ids, int count, HWND dlg) const;

    CRunOptions GetRunOptions() const;

    // The stored DWORD option of Settings, or its absent value when it is missing, of another type
    // or unreadable. No range rule is applied: the reader of each option knows its valid values.
    DWORD ReadOption(const char* name) const;
    // What a reader assumes for a DWORD option of Settings that is not there (0 for unknown names).
    static DWORD AbsentValue(const char* name);

    // Plain operations on a key that is opened, never created (the Run key).
    static LONG ReadKeyString(HKEY root, const char* key, const char* name, std::string& text);
    static LONG WriteKeyString(HKEY root, const char* key, const char* name, const std::string& text);
    static LONG DeleteKeyValue(HKEY root, const char* key, const char* name);

    // "HKLM\Software\X" style path: true when the key opens for reading. "HKCU" and "HKLM" select
    // their root without regard to case; any other root text means HKEY_CURRENT_USER.
    static bool KeyExists(const std::string& path);
    // The same for a root key and a sub-key of it.
    static bool KeyExists(HKEY root, const std::string& subkey);

    // Name of the checked-state value of an item in ItemStates ("MC1100").
    static std::string ItemStateName(int id);

    // Key paths below HKEY_CURRENT_USER.
    std::string m_strRootKey;
    std::string m_strSettingsKey;
    std::string m_strItemStatesKey;
    std::string m_strPreviewListKey;
    std::string m_strWarningChecksKey;

    // Derived at start-up.
    std::string m_strInstalledDir;
    std::vector<std::string> m_astrPluginFiles;  // InetEng, SysEng, AppsEng, DiskCleanEng
    std::string m_strHelpFile;
    bool m_bMonthDayYear = false;

private:
    std::string KeyPath(const char* subkey) const;
};

// The process's one settings store (it lives in the application object). Workers read it through
// their run context instead.
CSettingsStore& TheSettings();

// Value names of the Settings key, each declared once here. The DWORD options are also rows of
// kDwordOptions below.
inline constexpr char kOptReports[] = "Reports";
inline constexpr char kOptShowIconInTheStatusArea[] = "ShowIconInTheStatusArea";
inline constexpr char kOptDontShowPluginsWithUndetApps[] = "DontShowPluginsWithUndetApps";
inline constexpr char kOptShowIconInTaskbarWhenMinimized[] = "ShowIconInTaskbarWhenMinimized";
inline constexpr char kOptWndRestOnWake[] = "WndRestOnWake";
inline constexpr char kOptStartInIconizedMode[] = "StartInIconizedMode";
inline constexpr char kOptUseMonthDayYearFormat[] = "UseMonthDayYearFormat";
inline constexpr char kOptHideGridlines[] = "HideGridlines";
inline constexpr char kOptCloseAfterCleaning[] = "CloseAfterCleaning";
inline constexpr char kOptHideWarningMsgs[] = "HideWarningMsgs";
inline constexpr char kOptDeleteAfterWinRestart[] = "DeleteAfterWinRestart";
inline constexpr char kOptIncludeReadOnlyFiles[] = "IncludeReadOnlyFiles";
inline constexpr char kOptIncludeHiddenFiles[] = "IncludeHiddenFiles";
inline constexpr char kOptDelOnlyOldTmpFiles[] = "DelOnlyOldTmpFiles";
inline constexpr char kOptWipeMethod[] = "WipeMethod";
inline constexpr char kOptWipeOverwritePasses[] = "WipeOverwritePasses";
inline constexpr char kOptAutoCleaningTimeIntervalOptNum[] = "AutoCleaningTimeIntervalOptNum";
inline constexpr char kOptSessCleanWinShutdown[] = "SessCleanWinShutdown";
inline constexpr char kOptSessCleanBrowserClose[] = "SessCleanBrowserClose";
inline constexpr char kOptMainWndLeft[] = "MainWndLeft";
inline constexpr char kOptMainWndTop[] = "MainWndTop";
inline constexpr char kOptMainWndWidth[] = "MainWndWidth";
inline constexpr char kOptMainWndHeight[] = "MainWndHeight";
inline constexpr char kOptMainWndMaximized[] = "MainWndMaximized";
inline constexpr char kOptLastActiveColumn[] = "LastActiveColumn";
inline constexpr char kOptSortAscending[] = "SortAscending";
// Texts.
inline constexpr char kOptInstalledDir[] = "InstalledDir";
inline constexpr char kOptLastCleaningDate[] = "LastCleaningDate";
inline constexpr char kOptCustomFolderToScan[] = "CustomFolderToScan";
// String lists (REG_MULTI_SZ).
inline constexpr char kOptFilesKeepList[] = "FilesKeepList";
inline constexpr char kOptSavedCookiesList[] = "SavedCookiesList";
inline constexpr char kOptTransientFiles[] = "TransientFiles";

// The Run-key entry that starts the program with Windows: a REG_SZ value of this key under
// HKEY_CURRENT_USER, reached through the plain key operations (opened, never created).
inline constexpr char kStartupRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kStartupRunValue[] = "QuillonApp";

// One DWORD option of Settings with the value that readers assume when it is absent.
struct CDwordOption {
    const char* m_pszName;
    DWORD m_dwAbsent;
};
// Every DWORD option of Settings, declared once, so readers, the run options and the tests walk the
// same table.
extern const CDwordOption kDwordOptions[];
extern const int kDwordOptionCount;

extern const char* const kItemStatesSubkey;       // "ItemStates"
extern const char* const kPreviewListSubkey;      // "PreviewListSettings"
extern const char* const kWarningChecksSubkey;    // "WarningChecks"
