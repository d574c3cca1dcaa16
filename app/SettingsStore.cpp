#include "app/SettingsStore.h"

#include <cstring>

#include "app/RegistryPath.h"
#include "framework/MbString.h"
#include "framework/PathText.h"
#include "framework/ScopedHandle.h"

const char* const kItemStatesSubkey = "ItemStates";
const char* const kPreviewListSubkey = "PreviewListSettings";
const char* const kWarningChecksSubkey = "WarningChecks";

const CDwordOption kDwordOptions[] = {
    {kOptReports, 1},
    {kOptShowIconInTheStatusArea, 0},
    {kOptDontShowPluginsWithUndetApps, 0},
    {kOptShowIconInTaskbarWhenMinimized, 0},
    {kOptWndRestOnWake, 0},
    {kOptStartInIconizedMode, 0},
    {kOptUseMonthDayYearFormat, 0},
    {kOptHideGridlines, 0},
    {kOptCloseAfterCleaning, 0},
    {kOptHideWarningMsgs, 0},
    {kOptDeleteAfterWinRestart, 0},
    {kOptIncludeReadOnlyFiles, 0},
    {kOptIncludeHiddenFiles, 1},
    {kOptDelOnlyOldTmpFiles, 0},
    {kOptWipeMethod, 0},
    {kOptWipeOverwritePasses, 1},
    {kOptAutoCleaningTimeIntervalOptNum, 0},
    {kOptSessCleanWinShutdown, 0},
    {kOptSessCleanBrowserClose, 0},
    {kOptMainWndLeft, 0},
    {kOptMainWndTop, 0},
    {kOptMainWndWidth, 0},
    {kOptMainWndHeight, 0},
    {kOptMainWndMaximized, 0},
    {kOptLastActiveColumn, 0},
    {kOptSortAscending, 0},
};
const int kDwordOptionCount = static_cast<int>(sizeof kDwordOptions / sizeof kDwordOptions[0]);

namespace {

const char kRootKey[] = "Software\\Venmoor\\Quillon";
const char kSettingsSubkey[] = "Settings";

const char* const kPluginFileNames[] = {"InetEng.dat", "SysEng.dat", "AppsEng.dat", "DiskCleanEng.dat"};
const char kHelpFileName[] = "LorvexHelp.chm";

constexpr DWORD kStringBufferSize = 1024;
// String lists of 4096 bytes and more are refused, so the largest accepted one fits this buffer.
constexpr DWORD kMinStringListSize = 2;

constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;

// A value whose type (or size) is not what the reader expects counts as absent.
constexpr LONG kWrongType = ERROR_UNSUPPORTED_TYPE;

constexpr DWORD kMaxWipeMethod = 4;
constexpr DWORD kCustomPassesMethod = 4;
constexpr DWORD kMaxOverwritePasses = 100;
// Passes of the fixed methods 0..3: a single pass when shredding is off, DOD 5220.22-M, NSA,
// Peter Guttman.
const int kMethodPasses[] = {1, 3, 7, 35};

framework::ScopedRegKey OpenKey(HKEY root, const std::string& path, REGSAM access, LONG& error)
{
    framework::ScopedRegKey key;
    error = RegOpenKeyExA(root, path.c_str(), 0, access, key.Receive());
    if (error != ERROR_SUCCESS) key.Take();  // nothing was opened, nothing to close
    return key;
}

LONG QueryDword(HKEY key, const char* name, DWORD& value)
{
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD size = sizeof data;
    LONG error = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (error != ERROR_SUCCESS) return error;
    // A REG_BINARY of four bytes or a short REG_DWORD is not a number we wrote.
    if (type != REG_DWORD || size != sizeof data) return kWrongType;
    value = data;
    return ERROR_SUCCESS;
}

// Reads a REG_SZ of at most kStringBufferSize bytes. The stored size is not trusted to include the
// terminating zero: the text ends at the first zero within the bytes returned, or with them.
LONG QueryString(HKEY key, const char* name, std::string& text)
{
    text.clear();
    char buffer[kStringBufferSize + 1] = {};
    DWORD type = REG_NONE;
    DWORD size = kStringBufferSize;
    LONG error = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (error != ERROR_SUCCESS) return error;
    if (type != REG_SZ) return kWrongType;
    if (size > kStringBufferSize) size = kStringBufferSize;
    text.assign(buffer, strnlen(buffer, size));
    return ERROR_SUCCESS;
}

LONG SetValue(HKEY key, const char* name, DWORD type, const void* data, DWORD size)
{
    return RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
}

// The strings of a REG_MULTI_SZ up to the first empty one. A string whose zero does not lie within
// the stored bytes is incomplete and left out, so a list without its closing zeros never leads the
// reader past the data.
std::vector<std::string> SplitStringList(const char* data, size_t size)
{
    std::vector<std::string> strings;
    size_t pos = 0;
    while (pos < size) {
        const void* zero = memchr(data + pos, '\0', size - pos);
        if (!zero) break;
        size_t length = static_cast<size_t>(static_cast<const char*>(zero) - (data + pos));
        if (length == 0) break;
        strings.emplace_back(data + pos, length);
        pos += length + 1;
    }
    return strings;
}

std::vector<std::string> WithoutDuplicates(const std::vector<std::string>& strings)
{
    std::vector<std::string> kept;
    for (const std::string& s : strings) {
        bool seen = false;
        for (const std::string& k : kept) {
            if (framework::MbsEqualNoCase(s, k)) {
                seen = true;
                break;
            }
        }
        if (!seen) kept.push_back(s);
    }
    return kept;
}

void SetCheck(HWND dlg, int id, bool checked)
{
    CheckDlgButton(dlg, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace

CSettingsStore::CSettingsStore()
    : m_strRootKey(kRootKey),
      m_strSettingsKey(m_strRootKey + "\\" + kSettingsSubkey),
      m_strItemStatesKey(m_strRootKey + "\\" + kItemStatesSubkey),
      m_strPreviewListKey(m_strRootKey + "\\" + kPreviewListSubkey),
      m_strWarningChecksKey(m_strRootKey + "\\" + kWarningChecksSubkey)
{
    LoadInstallDir();
}

void CSettingsStore::Start()
{
    LoadDateFormat();
    const std::string* keys[] = {&m_strRootKey, &m_strSettingsKey, &m_strItemStatesKey,
                                 &m_strPreviewListKey, &m_strWarningChecksKey};
    for (const std::string* path : keys) {
        framework::ScopedRegKey key;
        RegCreateKeyExA(HKEY_CURRENT_USER, path->c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kAccess,
                        nullptr, key.Receive(), nullptr);
    }
}

void CSettingsStore::LoadInstallDir()
{
    ReadString(kOptInstalledDir, m_strInstalledDir);
    m_astrPluginFiles.clear();
    for (const char* name : kPluginFileNames) m_astrPluginFiles.push_back(framework::JoinPath(m_strInstalledDir, name));
    m_strHelpFile = framework::JoinPath(m_strInstalledDir, kHelpFileName);
}

void CSettingsStore::LoadDateFormat() { m_bMonthDayYear = ReadBool(kOptUseMonthDayYearFormat); }

std::string CSettingsStore::KeyPath(const char* subkey) const
{
    if (!subkey || !*subkey) return m_strSettingsKey;
    return m_strRootKey + "\\" + subkey;
}

LONG CSettingsStore::ReadDword(const char* name, DWORD& value, const char* subkey) const
{
    LONG error;
    framework::ScopedRegKey key = OpenKey(HKEY_CURRENT_USER, KeyPath(subkey), kAccess, error);
    if (!key) return error;
    return QueryDword(key.Get(), name, value);
}

LONG CSettingsStore::WriteDword(const char* name, DWORD value, const char* subkey) const
{
    LONG error;
    framework::ScopedRegKey key = OpenKey(HKEY_CURRENT_USER, KeyPath(subkey), kAccess, error);
    if (!key) return error;
    return SetValue(key.Get(), name, REG_DWORD, &value, sizeof value);
}

bool CSettingsStore::ReadBool(const char* name, const char* subkey) const
{
    DWORD value = 0;
    return ReadDword(name, value, subkey) == ERROR_SUCCESS && value == 1;
}

LONG CSettingsStore::ReadString(const char* name, std::string& text, const char* subkey) const
{
    text.clear();
    LONG error;
    framework::ScopedRegKey key = OpenKey(HKEY_CURRENT_USER, KeyPath(subkey), kAccess, error);
    if (!key) return error;
    return QueryString(key.Get(), name, text);
}

LONG CSettingsStore::WriteString(const char* name, const std::string& text, const char* subkey) const
{
    LONG error;
    framework::ScopedRegKey key = OpenKey(HKEY_CURRENT_USER, KeyPath(subkey), kAccess, error);
    if (!key) return error;
    return SetValue(key.Get(), name, REG_SZ, text.c_str(), static_cast<DWORD>(strlen(text.c_str()) + 1));
}

LONG CSettingsStore::DeleteValue(const char* name, const char* subkey) const
{
    LONG error;
    framework::ScopedRegKey key = OpenKey(HKEY_CURRENT_USER, KeyPath(subkey), kAccess, error);
    if (!key) return error;
    return RegDeleteValueA(key.Get(), name);
}

bool CSettingsStore::ReadStringList(const char* name, std::vector<std::string>& list) const
{
    list.clear();
    LONG error;
    framework::ScopedRegKey key = OpenKey(HKEY_CURRENT_USER, m_strSettingsKey, kAccess, error);
    if (!key) return false;

    // Reading into a buffer of the size limit both asks for the size and fetches the data, so the
    // value cannot grow between the two; a larger value answers ERROR_MORE_DATA.
    std::vector<char> buffer(kStringListLimit + 2, '\0');
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(kStringListLimit);
    if (RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS)
        return false;
    if (type != REG_MULTI_SZ || size < kMinStringListSize || size >= kStringListLimit) return false;

    std::vector<std::string> strings = SplitStringList(buffer.data(), size);
    // Fewer than two strings have nothing to compare; an empty list is a valid list of none.
    list = strings.size() < 2 ? strings : WithoutDuplicates(strings);
    return true;
}

size_t StringListBytes(const std::vector<std::string>& list)
{
    size_t bytes = 1;
    for (const std::string& s : list) bytes += s.size() + 1;
    return bytes;
}

LONG CSettingsStore::WriteStringList(const char* name, const std::vector<std::string>& list) const
{
    std::string data;
    for (const std::string& s : list) {
        data.append(s.c_str());
        data.push_back('\0');
    }
    data.push_back('\0');  // the empty string that ends the list

    LONG error;
    framework::ScopedRegKey key = OpenKey(HKEY_CURRENT_USER, m_strSettingsKey, kAccess, error);
    if (!key) return error;
    return SetValue(key.Get(), name, REG_MULTI_SZ, data.data(), static_cast<DWORD>(data.size()));
}

void CSettingsStore::LoadCheckBoxes(const char* const* names, const int* ids, int count, HWND dlg) const
{
    for (int i = 0; i < count; ++i) {
        DWORD value = 0;
        // A missing value leaves the box as the dialog template has it.
        if (ReadDword(names[i], value) != ERROR_SUCCESS) continue;
        SetCheck(dlg, ids[i], value == 1);
    }
}

void CSettingsStore::SaveCheckBoxes(const char* const* names, const int* ids, int count, HWND dlg) const
{
    for (int i = 0; i < count; ++i)
        WriteDword(names[i], IsDlgButtonChecked(dlg, ids[i]) == BST_CHECKED ? 1 : 0);
}

int CSettingsStore::LoadRadioGroup(const char* name, const int* ids, int count, HWND dlg) const
{
    DWORD index = 0;
    if (count <= 0 || ReadDword(name, index) != ERROR_SUCCESS) return 0;
    // Unsigned, so a stored -1 is beyond the group as well.
    if (index >= static_cast<DWORD>(count)) index = 0;
    for (int i = 0; i < count; ++i) SetCheck(dlg, ids[i], static_cast<DWORD>(i) == index);
    return ids[index];
}

int CSettingsStore::SaveRadioGroup(const char* name, const int* ids, int count, HWND dlg) const
{
    for (int i = 0; i < count; ++i) {
        if (IsDlgButtonChecked(dlg, ids[i]) == BST_CHECKED) {
            WriteDword(name, static_cast<DWORD>(i));
            return ids[i];
        }
    }
    return 0;
}

CRunOptions CSettingsStore::GetRunOptions() const
{
    CRunOptions options;
    struct BoolOption {
        const char* name;
        bool CRunOptions::*field;
    };
    // Read in this order from the one open key.
    const BoolOption booleans[] = {
        {kOptReports, &CRunOptions::m_bReports},
        {kOptDeleteAfterWinRestart, &CRunOptions::m_bDeleteAfterWinRestart},
        {kOptIncludeReadOnlyFiles, &CRunOptions::m_bIncludeReadOnlyFiles},
        {kOptIncludeHiddenFiles, &CRunOptions::m_bIncludeHiddenFiles},
        {kOptCloseAfterCleaning, &CRunOptions::m_bCloseAfterCleaning},
        {kOptDelOnlyOldTmpFiles, &CRunOptions::m_bDelOnlyOldTmpFiles},
    };
    for (const BoolOption& b : booleans) options.*b.field = AbsentValue(b.name) == 1;

    DWORD method = AbsentValue(kOptWipeMethod);
    DWORD passes = AbsentValue(kOptWipeOverwritePasses);
    LONG error;
    framework::ScopedRegKey key = OpenKey(HKEY_CURRENT_USER, m_strSettingsKey, kAccess, error);
    if (key) {
        for (const BoolOption& b : booleans) {
            DWORD value = 0;
            // Only 0 and 1 are settings; any other number leaves the absent value.
            if (QueryDword(key.Get(), b.name, value) == ERROR_SUCCESS && value <= 1) options.*b.field = value == 1;
        }
        QueryDword(key.Get(), kOptWipeMethod, method);
        if (method > kMaxWipeMethod) method = 0;
        if (method == kCustomPassesMethod) QueryDword(key.Get(), kOptWipeOverwritePasses, passes);
    }

    options.m_bShred = method != 0;
    if (method == kCustomPassesMethod)
        options.m_nOverwritePasses = (passes == 0 || passes > kMaxOverwritePasses) ? 1 : static_cast<int>(passes);
    else
        options.m_nOverwritePasses = kMethodPasses[method];
    return options;
}

DWORD CSettingsStore::ReadOption(const char* name) const
{
    DWORD value = AbsentValue(name);
    ReadDword(name, value);
    return value;
}

DWORD CSettingsStore::AbsentValue(const char* name)
{
    for (int i = 0; i < kDwordOptionCount; ++i)
        if (strcmp(kDwordOptions[i].m_pszName, name) == 0) return kDwordOptions[i].m_dwAbsent;
    return 0;
}

LONG CSettingsStore::ReadKeyString(HKEY root, const char* key, const char* name, std::string& text)
{
    text.clear();
    LONG error;
    framework::ScopedRegKey k = OpenKey(root, key, kAccess, error);
    if (!k) return error;
    return QueryString(k.Get(), name, text);
}

LONG CSettingsStore::WriteKeyString(HKEY root, const char* key, const char* name, const std::string& text)
{
    LONG error;
    framework::ScopedRegKey k = OpenKey(root, key, kAccess, error);
    if (!k) return error;
    return SetValue(k.Get(), name, REG_SZ, text.c_str(), static_cast<DWORD>(strlen(text.c_str()) + 1));
}

LONG CSettingsStore::DeleteKeyValue(HKEY root, const char* key, const char* name)
{
    LONG error;
    framework::ScopedRegKey k = OpenKey(root, key, kAccess, error);
    if (!k) return error;
    return RegDeleteValueA(k.Get(), name);
}

bool CSettingsStore::KeyExists(const std::string& path)
{
    std::string rootName, subkey;
    SplitRegistryPath(path, rootName, subkey);
    if (rootName.empty()) return false;
    return KeyExists(RootKeyOfName(rootName), subkey);
}

bool CSettingsStore::KeyExists(HKEY root, const std::string& subkey)
{
    LONG error;
    return static_cast<bool>(OpenKey(root, subkey, KEY_READ, error));
}

std::string CSettingsStore::ItemStateName(int id)
{
    return framework::Format("MC%lu", static_cast<unsigned long>(static_cast<unsigned int>(id)));
}
