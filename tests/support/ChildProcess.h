// Programs of the build started as processes of their own (Lorvex.exe, tambShred.exe), the real
// settings they read, and waiting on them from outside. The registry sandbox of the other tests
// redirects this process only, so a child reads the real HKEY_CURRENT_USER of the Wine prefix:
// CRealQuillonSettings sets the program's key aside for the test and puts it back afterwards.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/ScopedHandle.h"

namespace testsupport {

// The folder of the test program, where the build puts every program and DLL.
std::string BinFolder();

// Moves HKCU\Software\Venmoor\Quillon aside (to a backup key) for the life of the object, so the
// child starts from a fresh account; the test's own values go when it ends.
class CRealQuillonSettings {
public:
    CRealQuillonSettings();
    ~CRealQuillonSettings();
    CRealQuillonSettings(const CRealQuillonSettings&) = delete;
    CRealQuillonSettings& operator=(const CRealQuillonSettings&) = delete;

    void SetDword(const char* subkey, const std::string& name, DWORD value);
    void SetString(const std::string& name, const std::string& value);  // REG_SZ under Settings
    // REG_MULTI_SZ under Settings.
    void SetStringList(const std::string& name, const std::vector<std::string>& list);

private:
    std::string m_backup;
    bool m_bHadKey = false;
};

// A program of the bin folder started with the arguments in a working folder, with TEMP and TMP set
// to tempFolder (empty: inherited). Ended by force if it still runs when the object goes.
class CChildProcess {
public:
    CChildProcess(const std::string& program, const std::string& arguments, const std::string& workingFolder,
                  const std::string& tempFolder = "");
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    bool Started() const { return m_bStarted; }
    DWORD Pid() const { return m_dwPid; }
    bool IsRunning() const;
    bool WaitForEnd(DWORD ms = 20000) const;
    DWORD ExitCode() const;
    // A visible dialog window of the process with this caption, or null.
    HWND Dialog(const std::string& caption) const;

private:
    bool m_bStarted = false;
    DWORD m_dwPid = 0;
    framework::ScopedKernelHandle m_hProcess;
};

// Text of a control of another process (WM_GETTEXT crosses processes).
std::string ControlText(HWND control);
// Polls (without a message loop of its own: the child is another process) until cond holds.
template <class Cond>
bool WaitUntil(Cond cond, DWORD timeoutMs = 30000)
{
    const DWORD start = GetTickCount();
    while (!cond()) {
        if (GetTickCount() - start > timeoutMs) return cond();
        Sleep(50);
    }
    return true;
}

}  // namespace testsupport
