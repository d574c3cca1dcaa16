#include "support/Sandbox.h"

#include <shlwapi.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "framework/ProcAddress.h"
#include "framework/ScopedHandle.h"

namespace testsupport {
namespace {

std::atomic<int> g_counter{0};

std::string UniqueName(const char* prefix)
{
    char buf[96];
    snprintf(buf, sizeof buf, "%s-%lu-%d", prefix, GetCurrentProcessId(), ++g_counter);
    return buf;
}

framework::ScopedRegKey CreateKey(const std::string& key)
{
    framework::ScopedRegKey k;
    RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    k.Receive(), nullptr);
    return k;
}

}  // namespace

RegistrySandbox::RegistrySandbox()
{
    m_scratch = "Software\\QuillonTestSandbox\\" + UniqueName("reg");
    // A run that crashed left its scratch key behind, and Wine reuses process ids: start empty.
    SHDeleteKeyA(HKEY_CURRENT_USER, m_scratch.c_str());
    LONG r = RegCreateKeyExA(HKEY_CURRENT_USER, m_scratch.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, &m_key, nullptr);
    if (r != ERROR_SUCCESS) throw std::runtime_error("cannot create the registry sandbox");
    r = RegOverridePredefKey(HKEY_CURRENT_USER, m_key);
    if (r != ERROR_SUCCESS) throw std::runtime_error("RegOverridePredefKey failed");
}

RegistrySandbox::~RegistrySandbox()
{
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(m_key);
    SHDeleteKeyA(HKEY_CURRENT_USER, m_scratch.c_str());
}

TempFolder::TempFolder()
{
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    m_path = std::string(base) + UniqueName("lorvex-test");
    CreateDirectoryA(m_path.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(m_path); }

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    framework::ScopedKernelHandle h(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) throw std::runtime_error("cannot write " + path);
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(h.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string ReadFileBytes(const std::string& path)
{
    framework::ScopedKernelHandle h(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                nullptr, OPEN_EXISTING, 0, nullptr));
    if (!h) return {};
    std::string out;
    char buf[65536];
    DWORD read = 0;
    while (ReadFile(h.Get(), buf, sizeof buf, &read, nullptr) && read > 0) out.append(buf, read);
    return out;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeFolder(const std::string& path) { CreateDirectoryA(path.c_str(), nullptr); }

void SetFileAge(const std::string& path, long long secondsAgo)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t;
    t.LowPart = now.dwLowDateTime;
    t.HighPart = now.dwHighDateTime;
    t.QuadPart -= static_cast<ULONGLONG>(secondsAgo) * 10000000ULL;
    FILETIME ft{t.LowPart, t.HighPart};
    DWORD attrs = GetFileAttributesA(path.c_str());
    DWORD flags = (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY))
                      ? FILE_FLAG_BACKUP_SEMANTICS : 0;
    framework::ScopedKernelHandle h(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                flags, nullptr));
    if (h) SetFileTime(h.Get(), &ft, &ft, &ft);
}

void RemoveTree(const std::string& path)
{
    DWORD attrs = GetFileAttributesA(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesA(path.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
    if (!(attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    if (!(attrs & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAA fd;
        framework::ScopedFindHandle find(FindFirstFileA((path + "\\*").c_str(), &fd));
        if (find) {
            do {
                std::string name = fd.cFileName;
                if (name != "." && name != "..") RemoveTree(path + "\\" + name);
            } while (FindNextFileA(find.Get(), &fd));
        }
    }
    RemoveDirectoryA(path.c_str());
}

void SetRegDword(const std::string& key, const std::string& name, DWORD value)
{
    auto k = CreateKey(key);
    RegSetValueExA(k.Get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void SetRegString(const std::string& key, const std::string& name, const std::string& value, DWORD type)
{
    SetRegBinary(key, name, std::string(value.c_str(), value.size() + 1), type);
}

void SetRegBinary(const std::string& key, const std::string& name, const std::string& bytes, DWORD type)
{
    auto k = CreateKey(key);
    RegSetValueExA(k.Get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
}

bool RegValueExists(const std::string& key, const std::string& name)
{
    return SHGetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

bool RegKeyExists(const std::string& key)
{
    framework::ScopedRegKey k;
    return RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, k.Receive()) == ERROR_SUCCESS;
}

bool ReadRegDword(const std::string& key, const std::string& name, DWORD& value)
{
    DWORD type = 0, size = sizeof value;
    return SHGetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), &type, &value, &size) ==
               ERROR_SUCCESS && type == REG_DWORD;
}

std::string UnixPath(const std::string& windowsPath)
{
    // wine_get_unix_file_name is exported by kernel32 under Wine only.
    using Fn = char*(__cdecl*)(const wchar_t*);
    auto fn = framework::GetProcAs<Fn>(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!fn) return {};
    wchar_t wide[MAX_PATH * 2];
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH * 2);
    char* unix = fn(wide);
    if (!unix) return {};
    std::string out = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return out;
}

namespace {

// Runs a command of the host's shell through Wine's Unix program support and waits for it. Wine
// hands a Unix program its arguments split by Windows rules, so the shell does the quoting.
bool RunHostShell(const std::string& cmd)
{
    std::string line = "/bin/sh -c \"" + cmd + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> buf(line.begin(), line.end());
    buf.push_back('\0');
    if (!CreateProcessA(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

}  // namespace

bool MakeSymlink(const std::string& target, const std::string& linkPath)
{
    // Windows' CreateSymbolicLinkA is not available under Wine 8; a Unix symlink made through the
    // host's /bin/ln is what Wine reports as a reparse point.
    std::string unixTarget = UnixPath(target);
    std::string unixLink = UnixPath(linkPath);
    if (unixTarget.empty() || unixLink.empty()) return false;
    if (!RunHostShell("/bin/ln -s '" + unixTarget + "' '" + unixLink + "'")) return false;
    for (int i = 0; i < 50 && !FileExists(linkPath); ++i) Sleep(20);
    return FileExists(linkPath);
}

void RemoveSymlink(const std::string& linkPath)
{
    std::string unixLink = UnixPath(linkPath);
    if (!unixLink.empty()) RunHostShell("/bin/rm -f '" + unixLink + "'");
}

}  // namespace testsupport
