#include "ui/StartupEntry.h"

#include <windows.h>

#include "app/SettingsStore.h"
#include "framework/MbString.h"
#include "framework/PathText.h"

namespace {

const char kAutoCleanArgument[] = "/autoclean";
const char kProgramFileName[] = "Lorvex.exe";

}  // namespace

CStartupEntry LoadStartupEntry()
{
    CStartupEntry entry;
    std::string text;
    if (CSettingsStore::ReadKeyString(HKEY_CURRENT_USER, kStartupRunKey, kStartupRunValue, text) != ERROR_SUCCESS) {
        DeleteStartupEntry();
        return entry;
    }
    entry.m_bRead = true;
    if (!text.empty()) {
        // The entry is expected to begin with a double quote; whatever its first character is, the
        // path runs from the next character to the next double quote. A double quote is never a
        // trail byte, but the first character may be a double-byte one.
        const std::string rest = CharNextA(text.c_str());
        const size_t quote = framework::MbsFindChar(rest, '"');
        if (quote != std::string::npos) entry.m_strProgram = rest.substr(0, quote);
    }
    entry.m_bAutoClean = framework::MbsFind(text, kAutoCleanArgument) != std::string::npos;
    return entry;
}

void SaveStartupEntry(const CSettingsStore& settings, bool autoClean)
{
    std::string folder;
    if (settings.ReadString(kOptInstalledDir, folder) != ERROR_SUCCESS || folder.empty()) return;
    const std::string program = framework::JoinPath(folder, kProgramFileName);
    if (!IsExistingFile(program)) return;
    std::string entry = "\"" + program + "\"";
    if (autoClean) entry += std::string(" ") + kAutoCleanArgument;
    CSettingsStore::WriteKeyString(HKEY_CURRENT_USER, kStartupRunKey, kStartupRunValue, entry);
}

void DeleteStartupEntry()
{
    CSettingsStore::DeleteKeyValue(HKEY_CURRENT_USER, kStartupRunKey, kStartupRunValue);
}

bool IsExistingFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
