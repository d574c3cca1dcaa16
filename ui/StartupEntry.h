// The Run-key entry that starts the program with Windows (value QuillonApp of
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run): a double quote, the installed
// program's path, a double quote and, when Windows start also cleans, " /autoclean". The General
// and the Schedule options pages read and write it through these functions.
#pragma once

#include <string>

class CSettingsStore;

// What the entry held when it was read.
struct CStartupEntry {
    bool m_bRead = false;        // the value could be read; an unreadable one has been deleted
    std::string m_strProgram;    // the text between the first character and the next double quote
    bool m_bAutoClean = false;   // "/autoclean" occurs anywhere in it
};

// Reads the entry. An entry that cannot be read (missing, of another type, too long) is deleted.
CStartupEntry LoadStartupEntry();

// Writes the entry for the program in the install folder (InstalledDir, read now) with or without
// " /autoclean". Without a readable install folder, or when its Lorvex.exe does not exist, nothing
// is written and an existing entry stays.
void SaveStartupEntry(const CSettingsStore& settings, bool autoClean);

void DeleteStartupEntry();

// True when the path names an existing file (not a folder).
bool IsExistingFile(const std::string& path);
