#include "support/ChildProcess.h"

#include <shlwapi.h>

#include <cstring>

#include "support/WindowDriver.h"

namespace testsupport {
namespace {

const char kQuillonKey[] = "Software\\Venmoor\\Quillon";

bool IsTempVariable(const char* entry)
{
    return _strnicmp(entry, "TEMP=", 5) == 0 || _strnicmp(entry, "TMP=", 4) == 0;
}

// This process's environment with TEMP and TMP pointing at folder: "NAME=value\0...\0\0".
std::vector<char> EnvironmentWithTemp(const std::string& folder)
{
    std::vector<char> block;
    auto append = [&](const std::string& entry) {
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back('\0');
    };
    if (char* strings = GetEnvironmentStringsA()) {
        for (const char* entry = strings; *entry; entry += strlen(entry) + 1)
            if (!IsTempVariable(entry)) append(entry);
        FreeEnvironmentStringsA(strings);
    }
    append("TEMP=" + folder);
    append("TMP=" + folder);
    block.push_back('\0');
    return block;
}

}  // namespace

std::string BinFolder()
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string bin = self;
    return bin.substr(0, bin.find_last_of('\\'));
}

CRealQuillonSettings::CRealQuillonSettings()
    : m_backup("Software\\QuillonTestBackup\\e2e-" + std::to_string(GetCurrentProcessId()))
{
    framework::ScopedRegKey existing;
    m_bHadKey = RegOpenKeyExA(HKEY_CURRENT_USER, kQuillonKey, 0, KEY_READ, existing.Receive()) == ERROR_SUCCESS;
    existing.Close();
    if (m_bHadKey) {
        framework::ScopedRegKey backup;
        RegCreateKeyExA(HKEY_CURRENT_USER, m_backup.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        backup.Receive(), nullptr);
        SHCopyKeyA(HKEY_CURRENT_USER, kQuillonKey, backup.Get(), 0);
    }
    SHDeleteKeyA(HKEY_CURRENT_USER, kQuillonKey);
}

CRealQuillonSettings::~CRealQuillonSettings()
{
    SHDeleteKeyA(HKEY_CURRENT_USER, kQuillonKey);
    if (!m_bHadKey) return;
    framework::ScopedRegKey restored;
    RegCreateKeyExA(HKEY_CURRENT_USER, kQuillonKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, restored.Receive(),
                    nullptr);
    SHCopyKeyA(HKEY_CURRENT_USER, m_backup.c_str(), restored.Get(), 0);
    SHDeleteKeyA(HKEY_CURRENT_USER, m_backup.c_str());
}

void CRealQuillonSettings::SetDword(const char* subkey, const std::string& name, DWORD value)
{
    const std::string key = std::string(kQuillonKey) + "\\" + subkey;
    SHSetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), REG_DWORD, &value, sizeof value);
}

void CRealQuillonSettings::SetString(const std::string& name, const std::string& value)
{
    const std::string key = std::string(kQuillonKey) + "\\Settings";
    SHSetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void CRealQuillonSettings::SetStringList(const std::string& name, const std::vector<std::string>& list)
{
    std::string bytes;
    for (const std::string& entry : list) bytes += entry + '\0';
    bytes += '\0';
    const std::string key = std::string(kQuillonKey) + "\\Settings";
    SHSetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), REG_MULTI_SZ, bytes.data(),
                static_cast<DWORD>(bytes.size()));
}

CChildProcess::CChildProcess(const std::string& program, const std::string& arguments,
                             const std::string& workingFolder, const std::string& tempFolder)
{
    const std::string exe = BinFolder() + "\\" + program;
    std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    std::vector<char> environment = tempFolder.empty() ? std::vector<char>() : EnvironmentWithTemp(tempFolder);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    m_bStarted = CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                                environment.empty() ? nullptr : environment.data(),
                                workingFolder.empty() ? nullptr : workingFolder.c_str(), &si, &pi) != FALSE;
    if (!m_bStarted) return;
    m_hProcess.Reset(pi.hProcess);
    CloseHandle(pi.hThread);
    m_dwPid = pi.dwProcessId;
}

CChildProcess::~CChildProcess()
{
    if (m_bStarted && IsRunning()) {
        TerminateProcess(m_hProcess.Get(), 1);
        WaitForSingleObject(m_hProcess.Get(), 5000);
    }
}

bool CChildProcess::IsRunning() const
{
    return WaitForSingleObject(m_hProcess.Get(), 0) == WAIT_TIMEOUT;
}

bool CChildProcess::WaitForEnd(DWORD ms) const
{
    return WaitForSingleObject(m_hProcess.Get(), ms) == WAIT_OBJECT_0;
}

DWORD CChildProcess::ExitCode() const
{
    DWORD code = 0xdeadbeef;
    GetExitCodeProcess(m_hProcess.Get(), &code);
    return code;
}

HWND CChildProcess::Dialog(const std::string& caption) const
{
    return FindDialog(caption, m_dwPid);
}

std::string ControlText(HWND control)
{
    char text[4096] = "";
    SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

}  // namespace testsupport
