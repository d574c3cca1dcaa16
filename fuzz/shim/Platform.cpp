// The shim's Win32: an in-memory disk and registry whose every call is a countable step, and code
// page 936 character stepping. Paths and key names compare case-insensitively (ASCII).
#include "Shim.h"

#include <algorithm>
#include <cstring>

namespace shim {

World g_world, g_crashWorld;
int g_steps = 0, g_failAt = 0, g_crashAt = 0;

namespace {

DWORD g_lastError = 0;
struct OpenFile {
    std::shared_ptr<Node> node;
    size_t pos = 0;
};
std::map<uintptr_t, OpenFile> g_handles;  // handles live here, so a crash point leaks none
std::map<uintptr_t, std::string> g_openKeys;
uintptr_t g_nextHandle = 0x1000;

int Fold(int c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

std::string Lower(std::string s)
{
    for (char& c : s) c = static_cast<char>(Fold(c));
    return s;
}

std::string FolderOf(const std::string& name)
{
    const size_t slash = name.rfind('\\');
    return slash == std::string::npos ? std::string() : name.substr(0, slash);
}

// A step fails (answering true, with the error set) when it is the one chosen to fail.
bool StepFails()
{
    if (++g_steps != g_failAt) return false;
    g_lastError = ERROR_ACCESS_DENIED;
    return true;
}

// After a step has taken effect: the process may end here.
void StepDone()
{
    if (g_steps != g_crashAt) return;
    g_crashWorld = g_world.Copy();
    throw CrashPoint{};
}

template <class T>
T Fail(DWORD error, T result)
{
    g_lastError = error;
    return result;
}

std::shared_ptr<Node> Find(const std::string& path)
{
    auto it = g_world.files.find(Lower(path));
    return it == g_world.files.end() ? nullptr : it->second;
}

OpenFile* HandleOf(HANDLE h)
{
    auto it = g_handles.find(reinterpret_cast<uintptr_t>(h));
    return it == g_handles.end() ? nullptr : &it->second;
}

std::string KeyName(HKEY key)
{
    if (key == HKEY_CURRENT_USER) return "hkcu";
    if (key == HKEY_LOCAL_MACHINE) return "hklm";
    auto it = g_openKeys.find(reinterpret_cast<uintptr_t>(key));
    return it == g_openKeys.end() ? std::string("?") : it->second;
}

std::string SubKeyName(HKEY root, LPCSTR subkey)
{
    const std::string sub = Lower(subkey ? subkey : "");
    return sub.empty() ? KeyName(root) : KeyName(root) + "\\" + sub;
}

HKEY NewKeyHandle(const std::string& name)
{
    g_openKeys[g_nextHandle] = name;
    return reinterpret_cast<HKEY>(g_nextHandle++);
}

std::map<std::string, RegValue>* ValuesOf(HKEY key)
{
    auto it = g_world.keys.find(KeyName(key));
    return it == g_world.keys.end() ? nullptr : &it->second;
}

}  // namespace

World World::Copy() const
{
    World copy;
    std::map<Node*, std::shared_ptr<Node>> copied;  // hard links stay links
    for (const auto& [name, node] : files) {
        auto& twin = copied[node.get()];
        if (!twin) twin = std::make_shared<Node>(*node);
        copy.files[name] = twin;
    }
    copy.keys = keys;
    return copy;
}

void Restart()
{
    g_handles.clear();
    g_openKeys.clear();
    g_steps = g_failAt = g_crashAt = 0;
}

void Reset(const std::vector<std::string>& folders)
{
    g_world = World();
    Restart();
    for (const std::string& folder : folders)
        g_world.files[Lower(folder)] = std::make_shared<Node>(Node{"", FILE_ATTRIBUTE_DIRECTORY});
    g_world.keys["hkcu\\software\\venmoor\\quillon\\settings"];
}

void PutFile(const std::string& path, const std::string& bytes)
{
    g_world.files[Lower(path)] = std::make_shared<Node>(Node{bytes, FILE_ATTRIBUTE_NORMAL});
}

bool GetFile(const std::string& path, std::string& bytes)
{
    auto node = Find(path);
    if (!node || (node->attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    bytes = node->bytes;
    return true;
}

std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : g_world.files)
        if (FolderOf(entry.first) == Lower(folder)) names.push_back(entry.first.substr(folder.size() + 1));
    return names;
}

}  // namespace shim

using namespace shim;

DWORD GetLastError() { return g_lastError; }
void SetLastError(DWORD error) { g_lastError = error; }
DWORD GetTickCount() { return 0x1234; }
DWORD GetCurrentProcessId() { return 42; }

HANDLE CreateFileA(LPCSTR path, DWORD, DWORD, SECURITY_ATTRIBUTES*, DWORD disposition, DWORD, HANDLE)
{
    if (StepFails()) return INVALID_HANDLE_VALUE;
    const std::string name = Lower(path);
    auto node = Find(name);
    if (node && (node->attributes & FILE_ATTRIBUTE_DIRECTORY)) return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    if (node && disposition == CREATE_NEW) return Fail(ERROR_FILE_EXISTS, INVALID_HANDLE_VALUE);
    if (!node && (disposition == OPEN_EXISTING || disposition == TRUNCATE_EXISTING))
        return Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
    if (!FolderOf(name).empty() && !Find(FolderOf(name))) return Fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
    if (!node) g_world.files[name] = node = std::make_shared<Node>();
    if (disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING) node->bytes.clear();
    g_handles[g_nextHandle] = OpenFile{node, 0};
    HANDLE h = reinterpret_cast<HANDLE>(g_nextHandle++);
    StepDone();
    return h;
}

BOOL ReadFile(HANDLE h, void* buffer, DWORD size, DWORD* read, void*)
{
    *read = 0;
    OpenFile* file = HandleOf(h);
    if (!file) return Fail(ERROR_INVALID_HANDLE, FALSE);
    if (StepFails()) return FALSE;
    const std::string& bytes = file->node->bytes;
    *read = file->pos < bytes.size() ? std::min<size_t>(size, bytes.size() - file->pos) : 0;
    memcpy(buffer, bytes.data() + file->pos, *read);
    file->pos += *read;
    return TRUE;
}

BOOL WriteFile(HANDLE h, const void* buffer, DWORD size, DWORD* written, void*)
{
    *written = 0;
    OpenFile* file = HandleOf(h);
    if (!file) return Fail(ERROR_INVALID_HANDLE, FALSE);
    if (StepFails()) return FALSE;
    std::string& bytes = file->node->bytes;
    if (bytes.size() < file->pos + size) bytes.resize(file->pos + size);
    memcpy(&bytes[file->pos], buffer, size);
    file->pos += size;
    *written = size;
    StepDone();
    return TRUE;
}

BOOL FlushFileBuffers(HANDLE h)
{
    if (!HandleOf(h)) return Fail(ERROR_INVALID_HANDLE, FALSE);
    if (StepFails()) return FALSE;
    StepDone();
    return TRUE;
}

BOOL SetFilePointerEx(HANDLE h, LARGE_INTEGER distance, LARGE_INTEGER* position, DWORD method)
{
    OpenFile* file = HandleOf(h);
    if (!file) return Fail(ERROR_INVALID_HANDLE, FALSE);
    const size_t base = method == FILE_BEGIN ? 0 : method == FILE_CURRENT ? file->pos : file->node->bytes.size();
    if (static_cast<LONGLONG>(base) + distance.QuadPart < 0) return Fail(ERROR_ACCESS_DENIED, FALSE);
    file->pos = static_cast<size_t>(static_cast<LONGLONG>(base) + distance.QuadPart);
    if (position) position->QuadPart = static_cast<LONGLONG>(file->pos);
    return TRUE;
}

BOOL GetFileSizeEx(HANDLE h, LARGE_INTEGER* size)
{
    OpenFile* file = HandleOf(h);
    if (!file) return Fail(ERROR_INVALID_HANDLE, FALSE);
    size->QuadPart = static_cast<LONGLONG>(file->node->bytes.size());
    return TRUE;
}

DWORD GetFileSize(HANDLE h, DWORD* high)
{
    LARGE_INTEGER size{};
    if (high) *high = 0;
    return GetFileSizeEx(h, &size) ? static_cast<DWORD>(size.QuadPart) : INVALID_FILE_SIZE;
}

BOOL GetFileInformationByHandle(HANDLE h, BY_HANDLE_FILE_INFORMATION* info)
{
    OpenFile* file = HandleOf(h);
    if (!file) return Fail(ERROR_INVALID_HANDLE, FALSE);
    *info = BY_HANDLE_FILE_INFORMATION{};
    info->dwFileAttributes = file->node->attributes;
    info->nFileSizeLow = static_cast<DWORD>(file->node->bytes.size());
    for (const auto& entry : g_world.files) info->nNumberOfLinks += entry.second == file->node;
    return TRUE;
}

BOOL CloseHandle(HANDLE h)
{
    g_handles.erase(reinterpret_cast<uintptr_t>(h));
    return TRUE;
}

DWORD GetFileAttributesA(LPCSTR path)
{
    auto node = Find(path);
    return node ? node->attributes : Fail(ERROR_FILE_NOT_FOUND, INVALID_FILE_ATTRIBUTES);
}

BOOL SetFileAttributesA(LPCSTR path, DWORD attributes)
{
    if (StepFails()) return FALSE;
    auto node = Find(path);
    if (!node) return Fail(ERROR_FILE_NOT_FOUND, FALSE);
    node->attributes = (node->attributes & FILE_ATTRIBUTE_DIRECTORY) | (attributes & ~FILE_ATTRIBUTE_DIRECTORY);
    StepDone();
    return TRUE;
}

BOOL DeleteFileA(LPCSTR path)
{
    if (StepFails()) return FALSE;
    auto node = Find(path);
    if (!node) return Fail(ERROR_FILE_NOT_FOUND, FALSE);
    if (node->attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return Fail(ERROR_ACCESS_DENIED, FALSE);
    g_world.files.erase(Lower(path));
    StepDone();
    return TRUE;
}

BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags)
{
    if (StepFails()) return FALSE;
    if (!to && (flags & MOVEFILE_DELAY_UNTIL_REBOOT)) return TRUE;
    auto node = Find(from);
    if (!node) return Fail(ERROR_FILE_NOT_FOUND, FALSE);
    if (Find(to) && !(flags & MOVEFILE_REPLACE_EXISTING)) return Fail(ERROR_ALREADY_EXISTS, FALSE);
    g_world.files.erase(Lower(from));
    g_world.files[Lower(to)] = node;
    StepDone();
    return TRUE;
}

BOOL CreateHardLinkA(LPCSTR link, LPCSTR existing, SECURITY_ATTRIBUTES*)
{
    if (StepFails()) return FALSE;
    auto node = Find(existing);
    if (!node) return Fail(ERROR_FILE_NOT_FOUND, FALSE);
    if (Find(link)) return Fail(ERROR_ALREADY_EXISTS, FALSE);
    g_world.files[Lower(link)] = node;
    StepDone();
    return TRUE;
}

BOOL PathFileExistsA(LPCSTR path) { return Find(path) != nullptr; }

BOOL SHGetSpecialFolderPathA(HWND, LPSTR path, int csidl, BOOL)
{
    snprintf(path, MAX_PATH, csidl == CSIDL_APPDATA ? "C:\\Users\\Q\\AppData\\Roaming" : "C:\\Shell\\%d", csidl);
    return TRUE;
}

DWORD ExpandEnvironmentStringsA(LPCSTR text, LPSTR out, DWORD size)
{
    const std::string expanded = Lower(text) == "%systemdrive%" ? "C:" : text;
    if (expanded.size() < size) memcpy(out, expanded.c_str(), expanded.size() + 1);
    return static_cast<DWORD>(expanded.size() + 1);
}

LONG RegOpenKeyExA(HKEY root, LPCSTR subkey, DWORD, REGSAM, HKEY* key)
{
    const std::string name = SubKeyName(root, subkey);
    if (!g_world.keys.count(name)) return ERROR_FILE_NOT_FOUND;
    *key = NewKeyHandle(name);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY root, LPCSTR subkey, DWORD, LPSTR, DWORD, REGSAM, SECURITY_ATTRIBUTES*, HKEY* key, DWORD*)
{
    if (StepFails()) return ERROR_ACCESS_DENIED;
    const std::string name = SubKeyName(root, subkey);
    for (size_t at = name.find('\\'); at != std::string::npos; at = name.find('\\', at + 1)) g_world.keys[name.substr(0, at)];
    g_world.keys[name];
    *key = NewKeyHandle(name);
    StepDone();
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key)
{
    g_openKeys.erase(reinterpret_cast<uintptr_t>(key));
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, LPCSTR name, DWORD*, DWORD* type, BYTE* data, DWORD* size)
{
    auto* values = ValuesOf(key);
    const std::string valueName = Lower(name ? name : "");
    if (!values || !values->count(valueName)) return ERROR_FILE_NOT_FOUND;
    const RegValue& value = values->at(valueName);
    if (type) *type = value.type;
    if (!size) return ERROR_SUCCESS;
    const bool fits = value.bytes.size() <= *size;
    if (data && fits) memcpy(data, value.bytes.data(), value.bytes.size());
    *size = static_cast<DWORD>(value.bytes.size());
    return !data || fits ? ERROR_SUCCESS : ERROR_MORE_DATA;
}

LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size)
{
    if (StepFails()) return ERROR_ACCESS_DENIED;
    auto* values = ValuesOf(key);
    if (!values) return ERROR_FILE_NOT_FOUND;
    (*values)[Lower(name ? name : "")] = RegValue{type, std::string(reinterpret_cast<const char*>(data), size)};
    StepDone();
    return ERROR_SUCCESS;
}

LONG RegDeleteValueA(HKEY key, LPCSTR name)
{
    if (StepFails()) return ERROR_ACCESS_DENIED;
    auto* values = ValuesOf(key);
    if (!values || !values->erase(Lower(name ? name : ""))) return ERROR_FILE_NOT_FOUND;
    StepDone();
    return ERROR_SUCCESS;
}

LONG RegQueryInfoKeyA(HKEY key, LPSTR, DWORD*, DWORD*, DWORD*, DWORD*, DWORD*, DWORD* values, DWORD*, DWORD*, DWORD*,
                      FILETIME*)
{
    auto* found = ValuesOf(key);
    if (!found) return ERROR_FILE_NOT_FOUND;
    if (values) *values = static_cast<DWORD>(found->size());
    return ERROR_SUCCESS;
}

LSTATUS SHDeleteKeyA(HKEY root, LPCSTR subkey)
{
    if (StepFails()) return ERROR_ACCESS_DENIED;
    const std::string name = SubKeyName(root, subkey);
    if (!g_world.keys.erase(name)) return ERROR_FILE_NOT_FOUND;
    auto it = g_world.keys.lower_bound(name + "\\");
    while (it != g_world.keys.end() && it->first.rfind(name + "\\", 0) == 0) it = g_world.keys.erase(it);
    StepDone();
    return ERROR_SUCCESS;
}

// Code page 936: lead bytes 0x81..0xFE; a lead byte before the NUL stands alone.
BOOL IsDBCSLeadByte(BYTE b) { return b >= 0x81 && b <= 0xFE; }

LPSTR CharNextA(LPCSTR p)
{
    if (!*p) return const_cast<LPSTR>(p);
    return const_cast<LPSTR>(IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] ? p + 2 : p + 1);
}

// Single bytes compare with ASCII letters folded, the trail byte of a double-byte character as it is.
int CompareStringA(DWORD, DWORD flags, LPCSTR a, int lenA, LPCSTR b, int lenB)
{
    if (lenA < 0) lenA = static_cast<int>(strlen(a));
    if (lenB < 0) lenB = static_cast<int>(strlen(b));
    bool trail = false;
    for (int i = 0; i < lenA && i < lenB; ++i) {
        int x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (!trail && (flags & NORM_IGNORECASE)) x = Fold(x), y = Fold(y);
        if (x != y) return x < y ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
        trail = !trail && IsDBCSLeadByte(static_cast<BYTE>(x));
    }
    return lenA == lenB ? CSTR_EQUAL : lenA < lenB ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
}

int MultiByteToWideChar(UINT, DWORD, LPCSTR, int, wchar_t*, int) { return 0; }
int WideCharToMultiByte(UINT, DWORD, const wchar_t*, int, LPSTR, int, LPCSTR, BOOL*) { return 0; }
HANDLE CreateEventA(SECURITY_ATTRIBUTES*, BOOL, BOOL, LPCSTR) { return reinterpret_cast<HANDLE>(0x10); }
DWORD WaitForSingleObject(HANDLE, DWORD) { return 0x102; }  // WAIT_TIMEOUT: no stop is ever requested
int MessageBoxA(HWND, LPCSTR, LPCSTR, UINT) { return ++g_boxes; }
HWND GetActiveWindow() { return nullptr; }
BOOL CheckDlgButton(HWND, int, UINT) { return TRUE; }
UINT IsDlgButtonChecked(HWND, int) { return 0; }
