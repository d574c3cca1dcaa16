// The shredding of one chosen file or folder: the list of what lies below it (the walk never enters
// a link), then each entry in turn - files shredded and deleted, links and the other names of
// hard-linked files only removed, folders removed once empty - and the summary of what happened.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/SettingsStore.h"
#include "engine/RunContext.h"

namespace shredder {

class CShredJob {
public:
    // options: the user's method and passes, with shredding on.
    CShredJob(const std::string& target, const CRunOptions& options);
    CShredJob(const CShredJob&) = delete;
    CShredJob& operator=(const CShredJob&) = delete;

    // Fills the list: for a folder, everything below it with each folder after its contents, then
    // the chosen path itself.
    void List();
    size_t Count() const { return m_entries.size(); }
    const std::string& PathOf(size_t index) const { return m_entries[index].m_strPath; }
    // Acts on one entry of the list.
    void Process(size_t index);

    // What was shredded, removed or refused, with the reasons of the first failures.
    std::string Summary(bool cancelled) const;

private:
    struct CEntry {
        std::string m_strPath;
        int m_nWalkRootLength;  // -1 for the chosen path itself
    };
    static int OnWalkEntry(void* job, int walkRootLength, const char* path, void* extra);
    void RemoveLink(const std::string& path);
    void ShredOne(const std::string& path, DWORD attributes);
    void Fail(const std::string& path, const std::string& reason);

    std::string m_strTarget;
    CRunOptions m_options;
    CRunContext m_context;
    std::vector<CEntry> m_entries;

    int m_nShredded = 0;
    int m_nNamesRemoved = 0;  // links, and names of files that keep their content under another
    int m_nFolders = 0;
    int m_nFailed = 0;
    std::vector<std::string> m_astrFirstFailures;
};

}  // namespace shredder
