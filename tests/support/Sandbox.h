// Test fixtures against the real Wine platform: a registry sandbox that redirects
// HKEY_CURRENT_USER to a fresh scratch key, and a private temp folder per test.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace testsupport {

// Redirects HKEY_CURRENT_USER (for every thread of the process) to a new scratch key and deletes
// it again afterwards. Code under test must not keep HKEY handles across calls.
class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

private:
    std::string m_scratch;
    HKEY m_key = nullptr;
};

// A new empty folder under the system temp folder, removed with its contents afterwards. The
// removal never follows links.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // Full path of a name inside the folder.
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Base fixture of most tests: both sandboxes.
class SandboxTest : public ::testing::Test {
protected:
    RegistrySandbox m_registry;
    TempFolder m_temp;
};

// File helpers for building trees.
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
void MakeFolder(const std::string& path);
// Sets the last-write (and creation) time to `secondsAgo` before now.
void SetFileAge(const std::string& path, long long secondsAgo);
// Removes a tree without following links; clears read-only attributes first.
void RemoveTree(const std::string& path);

// Registry helpers working on HKEY_CURRENT_USER (the sandbox).
void SetRegDword(const std::string& key, const std::string& name, DWORD value);
void SetRegString(const std::string& key, const std::string& name, const std::string& value,
                  DWORD type = REG_SZ);
void SetRegBinary(const std::string& key, const std::string& name, const std::string& bytes,
                  DWORD type);
bool RegValueExists(const std::string& key, const std::string& name);
bool RegKeyExists(const std::string& key);
bool ReadRegDword(const std::string& key, const std::string& name, DWORD& value);

// Unix path of a Windows path inside the prefix (for creating links with Wine's own tools).
std::string UnixPath(const std::string& windowsPath);
// Creates a Unix symbolic link at linkPath (a Windows path) pointing to target (a Windows path).
// Returns false when the platform cannot make one.
bool MakeSymlink(const std::string& target, const std::string& linkPath);
// Removes such a link with the host's rm: Wine's own calls would delete what it points to.
void RemoveSymlink(const std::string& linkPath);

// Pumps messages of this thread until pred() holds or timeoutMs passes; returns pred().
template <class Pred>
bool PumpUntil(Pred pred, DWORD timeoutMs = 5000)
{
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > timeoutMs) return pred();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

}  // namespace testsupport
