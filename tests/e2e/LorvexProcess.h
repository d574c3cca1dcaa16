// End-to-end fixtures: Lorvex.exe (beside the test program) started as a process of its own, with
// its own TEMP folder, driven with WM_COMMAND messages as a user's tool would, and the settings it
// reads. The registry sandbox of the other tests redirects this process only, so the child reads
// the real HKEY_CURRENT_USER of the Wine prefix: CRealQuillonSettings sets the program's key aside
// for the test and puts it back afterwards.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/ScopedHandle.h"

namespace e2e {

// Moves HKCU\Software\Venmoor\Quillon aside (to a backup key) for the life of the object, so the
// child starts from a fresh account; the test's own values go when it ends.
class CRealQuillonSettings {
public:
    CRealQuillonSettings();
    ~CRealQuillonSettings();
    CRealQuillonSettings(const CRealQuillonSettings&) = delete;
    CRealQuillonSettings& operator=(const CRealQuillonSettings&) = delete;

    void SetDword(const char* subkey, const std::string& name, DWORD value);
    // REG_MULTI_SZ under Settings.
    void SetStringList(const std::string& name, const std::vector<std::string>& list);

private:
    std::string m_backup;
    bool m_bHadKey = false;
};

class CLorvexProcess {
public:
    // Starts Lorvex.exe with the arguments, in the folder of the built data files, with TEMP and TMP
    // set to tempFolder.
    CLorvexProcess(const std::string& arguments, const std::string& tempFolder);
    ~CLorvexProcess();

    bool Started() const { return m_bStarted; }
    DWORD Pid() const { return m_dwPid; }
    bool IsRunning() const;
    bool WaitForEnd(DWORD ms = 20000) const;
    DWORD ExitCode() const;

    // The main dialog (captioned "Quillon 汉化版", holding the Scan button), or null.
    HWND MainWindow() const;
    // A visible dialog window of the process with this caption, or null.
    HWND Dialog(const std::string& caption) const;

private:
    bool m_bStarted = false;
    DWORD m_dwPid = 0;
    framework::ScopedKernelHandle m_hProcess;
};

// The main window's working states as its buttons show them: idle (Scan enabled, Clean hidden,
// Cancel disabled) and results ready (Scan disabled, Clean shown and enabled, Cancel disabled).
bool IsIdle(HWND main);
bool HasResults(HWND main);

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

}  // namespace e2e
