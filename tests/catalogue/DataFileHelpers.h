// Helpers for tests that read or write whole plug-in data files: scrambling, the shipped files of
// this build, and pointing the catalogue at a folder of data files for the length of a test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/SettingsStore.h"
#include "catalogue/PluginFileScramble.h"
#include "support/Sandbox.h"

namespace cataloguetest {

inline std::string Scrambled(std::string text)
{
    if (!text.empty()) ScrambleBlock(&text[0], text.size());
    return text;
}

inline const char* const kDataFileNames[] = {"InetEng.dat", "SysEng.dat", "AppsEng.dat", "DiskCleanEng.dat"};

// The build puts the scrambled data files into data\ beside the bin\ folder of the test programs.
inline std::string ShippedDataFolder()
{
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder = exe;
    folder.erase(folder.find_last_of('\\'));  // bin
    folder.erase(folder.find_last_of('\\'));
    return folder + "\\data";
}

// While it lives, the catalogue reads its four data files from `folder` (the install folder).
class DataFilesIn {
public:
    explicit DataFilesIn(const std::string& folder) : m_saved(TheSettings().m_astrPluginFiles)
    {
        TheSettings().m_astrPluginFiles.clear();
        for (const char* name : kDataFileNames) TheSettings().m_astrPluginFiles.push_back(folder + "\\" + name);
    }
    ~DataFilesIn() { TheSettings().m_astrPluginFiles = m_saved; }
    DataFilesIn(const DataFilesIn&) = delete;
    DataFilesIn& operator=(const DataFilesIn&) = delete;

private:
    std::vector<std::string> m_saved;
};

// Copies the shipped data files into a folder (so a test may rewrite them).
inline void CopyShippedDataFiles(const std::string& folder)
{
    for (const char* name : kDataFileNames)
        CopyFileA((ShippedDataFolder() + "\\" + name).c_str(), (folder + "\\" + name).c_str(), FALSE);
}

}  // namespace cataloguetest
