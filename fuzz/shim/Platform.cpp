// The shim's Win32: an in-memory disk and registry, and code page 936 character stepping. Paths and
// key names compare case-insensitively (ASCII).
#include "Shim.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace shim {

int g_steps = 0, g_failAt = 0, g_crashAt = 0;

namespace {

// What survives the process: files and folders by lower-cased path (hard links share a node). The
// registry is on the same disk: a key is a folder below "hkcu" or "hklm" with its values (name ->
// type and bytes).
struct Node {
    std::string bytes;
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    std::map<std::string, std::pair<DWORD, std::string>> values;
};
std::map<std::string, std::shared_ptr<Node>> g_files;
// What the process holds: its handles, each an open file (node and position) or an open key (name).
struct Open { std::shared_ptr<Node> node; size_t pos = 0; std::string key; };
std::map<uintptr_t, Open> g_handles;
uintptr_t g_nextHandle = 0x1000;
bool g_ended = false;  // the process ended at a crash point: nothing changes any more
DWORD g_lastError = 0;

std::string Lower(LPCSTR text)
{
    std::string s = text ? text : "";
    for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));  // ASCII in the C locale
    return s;
}

std::string FolderOf(const std::string& name)
{
    const size_t slash = name.rfind('\\');
    return slash == std::string::npos ? std::string() : name.substr(0, slash);
}

template <class T>
T Fail(DWORD error, T result)
{
    g_lastError = error;
    return result;
}

// Every change of the disk or the registry, and every read of a file, is one step: the chosen one
// fails, and after the chosen one has taken effect the process ends.
template <class T, class Change>
T Step(T failed, Change change)
{
    if (g_ended || ++g_steps == g_failAt) return Fail(ERROR_ACCESS_DENIED, failed);
    const T result = change();
    if (g_steps == g_crashAt) {
        g_ended = true;
        throw CrashPoint{};
    }
    return result;
}

std::shared_ptr<Node> Find(LPCSTR path)
{
    auto it = g_files.find(Lower(path));
    return it == g_files.end() ? nullptr : it->second;
}

// A handle the process does not hold is a fault of the caller: at() throws, and the run stops.
Open& OpenOf(const void* h) { return g_handles.at(reinterpret_cast<uintptr_t>(h)); }

template <class H>
H NewHandle(Open open)
{
    g_handles[g_nextHandle] = std::move(open);
    return reinterpret_cast<H>(g_nextHandle++);
}

std::string KeyName(HKEY root, LPCSTR subkey)
{
    const std::string name =
        root == HKEY_CURRENT_USER ? "hkcu" : root == HKEY_LOCAL_MACHINE ? "hklm" : OpenOf(root).key;
    return subkey && *subkey ? name + "\\" + Lower(subkey) : name;
}

// A folder and those above it.
void MakeFolders(const std::string& path)
{
    for (size_t end = 0; end != std::string::npos;) {
        end = path.find('\\', end + 1);
        auto& node = g_files[Lower(path.substr(0, end).c_str())];
        if (!node) node = std::make_shared<Node>(Node{"", FILE_ATTRIBUTE_DIRECTORY, {}});
    }
}

}  // namespace

void Restart()
{
    g_handles.clear();
    g_steps = g_failAt = g_crashAt = 0;
    g_ended = false;
}

void Reset(const std::vector<std::string>& folders)
{
    g_files.clear();
    Restart();
    for (const std::string& folder : folders) MakeFolders(folder);
    MakeFolders("hkcu\\software\\venmoor\\quillon\\settings");
    g_found.clear();
    g_deleted = g_notDeleted = g_boxes = 0;
}

void PutFile(const std::string& path, const std::string& bytes)
{
    g_files[Lower(path.c_str())] = std::make_shared<Node>(Node{bytes, FILE_ATTRIBUTE_NORMAL, {}});
}

bool GetFile(const std::string& path, std::string& bytes)
{
    auto node = Find(path.c_str());
    if (!node || (node->attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    bytes = node->bytes;
    return true;
}

std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : g_files)
        if (FolderOf(entry.first) == Lower(folder.c_str())) names.push_back(entry.first.substr(folder.size() + 1));
    return names;
}

}  // namespace shim

using namespace shim;

DWORD GetLastError() { return g_lastError; }
void SetLastError(DWORD error) { g_lastError = error; }

// Files are opened (OPEN_EXISTING) or created (CREATE_NEW); the parsers share and flag nothing.
HANDLE CreateFileA(LPCSTR path, DWORD, DWORD, SECURITY_ATTRIBUTES*, DWORD disposition, DWORD, HANDLE)
{
    return Step(INVALID_HANDLE_VALUE, [&] {
        auto node = Find(path);
        if (node && (node->attributes & FILE_ATTRIBUTE_DIRECTORY)) return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
        if (node && disposition == CREATE_NEW) return Fail(ERROR_FILE_EXISTS, INVALID_HANDLE_VALUE);
        if (!node && disposition == OPEN_EXISTING) return Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
        if (!node && !Find(FolderOf(Lower(path)).c_str())) return Fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
        if (!node) g_files[Lower(path)] = node = std::make_shared<Node>();
        return NewHandle<HANDLE>(Open{node, 0, ""});
    });
}

BOOL ReadFile(HANDLE h, void* buffer, DWORD size, DWORD* read, void*)
{
    *read = 0;
    return Step(FALSE, [&] {
        Open& file = OpenOf(h);
        const std::string& bytes = file.node->bytes;
        *read = static_cast<DWORD>(std::min<size_t>(size, bytes.size() - std::min(file.pos, bytes.size())));
        memcpy(buffer, bytes.data() + file.pos, *read);
        file.pos += *read;
        return TRUE;
    });
}

BOOL WriteFile(HANDLE h, const void* buffer, DWORD size, DWORD* written, void*)
{
    *written = 0;
    return Step(FALSE, [&] {
        Open& file = OpenOf(h);
        std::string& bytes = file.node->bytes;
        if (bytes.size() < file.pos + size) bytes.resize(file.pos + size);
        memcpy(&bytes[file.pos], buffer, size);
        file.pos += size;
        *written = size;
        return TRUE;
    });
}

BOOL FlushFileBuffers(HANDLE h) { return Step(FALSE, [&] { return OpenOf(h).node ? TRUE : FALSE; }); }

BOOL SetFilePointerEx(HANDLE h, LARGE_INTEGER distance, LARGE_INTEGER* position, DWORD method)
{
    Open& file = OpenOf(h);
    const size_t base = method == FILE_BEGIN ? 0 : file.pos;  // FILE_CURRENT
    if (static_cast<LONGLONG>(base) + distance.QuadPart < 0) return Fail(ERROR_ACCESS_DENIED, FALSE);
    file.pos = static_cast<size_t>(static_cast<LONGLONG>(base) + distance.QuadPart);
    if (position) position->QuadPart = static_cast<LONGLONG>(file.pos);
    return TRUE;
}

BOOL GetFileSizeEx(HANDLE h, LARGE_INTEGER* size)
{
    size->QuadPart = static_cast<LONGLONG>(OpenOf(h).node->bytes.size());
    return TRUE;
}
DWORD GetFileSize(HANDLE h, DWORD*) { return static_cast<DWORD>(OpenOf(h).node->bytes.size()); }  // far below 4 GiB

BOOL GetFileInformationByHandle(HANDLE h, BY_HANDLE_FILE_INFORMATION* info)
{
    const Open& file = OpenOf(h);
    *info = BY_HANDLE_FILE_INFORMATION{};
    info->dwFileAttributes = file.node->attributes;
    info->nFileSizeLow = static_cast<DWORD>(file.node->bytes.size());
    for (const auto& entry : g_files) info->nNumberOfLinks += entry.second == file.node;
    return TRUE;
}

BOOL CloseHandle(HANDLE h) { return g_handles.erase(reinterpret_cast<uintptr_t>(h)) == 1; }

DWORD GetFileAttributesA(LPCSTR path)
{
    return Find(path) ? Find(path)->attributes : Fail(ERROR_FILE_NOT_FOUND, INVALID_FILE_ATTRIBUTES);
}
BOOL PathFileExistsA(LPCSTR path) { return Find(path) != nullptr; }

BOOL SetFileAttributesA(LPCSTR path, DWORD attributes)
{
    return Step(FALSE, [&] {
        auto node = Find(path);
        if (!node) return Fail(ERROR_FILE_NOT_FOUND, FALSE);
        node->attributes = (node->attributes & FILE_ATTRIBUTE_DIRECTORY) | (attributes & ~FILE_ATTRIBUTE_DIRECTORY);
        return TRUE;
    });
}

BOOL DeleteFileA(LPCSTR path)
{
    return Step(FALSE, [&] {
        auto node = Find(path);
        if (!node) return Fail(ERROR_FILE_NOT_FOUND, FALSE);
        if (node->attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return Fail(ERROR_ACCESS_DENIED, FALSE);
        return static_cast<BOOL>(g_files.erase(Lower(path)));
    });
}

// A delayed delete is accepted and never happens.
BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags)
{
    return Step(FALSE, [&] {
        auto node = Find(from);
        if (!to) return TRUE;
        if (!node) return Fail(ERROR_FILE_NOT_FOUND, FALSE);
        if (Find(to) && !(flags & MOVEFILE_REPLACE_EXISTING)) return Fail(ERROR_ALREADY_EXISTS, FALSE);
        g_files.erase(Lower(from));
        g_files[Lower(to)] = node;
        return TRUE;
    });
}

BOOL CreateHardLinkA(LPCSTR link, LPCSTR existing, SECURITY_ATTRIBUTES*)
{
    return Step(FALSE, [&] {
        auto node = Find(existing);
        if (!node) return Fail(ERROR_FILE_NOT_FOUND, FALSE);
        if (Find(link)) return Fail(ERROR_ALREADY_EXISTS, FALSE);
        g_files[Lower(link)] = node;
        return TRUE;
    });
}

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

// Keys are opened by name: a key deleted while open is gone for its handles too.
LONG RegOpenKeyExA(HKEY root, LPCSTR subkey, DWORD, REGSAM, HKEY* key)
{
    const std::string name = KeyName(root, subkey);
    if (!Find(name.c_str())) return ERROR_FILE_NOT_FOUND;
    *key = NewHandle<HKEY>(Open{nullptr, 0, name});
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY root, LPCSTR subkey, DWORD, LPSTR, DWORD, REGSAM, SECURITY_ATTRIBUTES*, HKEY* key, DWORD*)
{
    return Step<LONG>(ERROR_ACCESS_DENIED, [&] {
        MakeFolders(KeyName(root, subkey));
        *key = NewHandle<HKEY>(Open{nullptr, 0, KeyName(root, subkey)});
        return ERROR_SUCCESS;
    });
}

LONG RegCloseKey(HKEY key) { return CloseHandle(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE; }

LONG RegQueryValueExA(HKEY key, LPCSTR name, DWORD*, DWORD* type, BYTE* data, DWORD* size)
{
    auto node = Find(KeyName(key, nullptr).c_str());
    if (!node || !node->values.count(Lower(name))) return ERROR_FILE_NOT_FOUND;
    const auto& [valueType, bytes] = node->values.at(Lower(name));
    if (type) *type = valueType;
    if (!size) return ERROR_SUCCESS;
    const bool fits = bytes.size() <= *size;
    if (data && fits) memcpy(data, bytes.data(), bytes.size());
    *size = static_cast<DWORD>(bytes.size());
    return !data || fits ? ERROR_SUCCESS : ERROR_MORE_DATA;
}

LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size)
{
    return Step<LONG>(ERROR_ACCESS_DENIED, [&] {
        auto node = Find(KeyName(key, nullptr).c_str());
        if (!node) return ERROR_FILE_NOT_FOUND;
        node->values[Lower(name)] = {type, std::string(reinterpret_cast<const char*>(data), size)};
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValueA(HKEY key, LPCSTR name)
{
    return Step<LONG>(ERROR_ACCESS_DENIED, [&] {
        auto node = Find(KeyName(key, nullptr).c_str());
        return node && node->values.erase(Lower(name)) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LONG RegQueryInfoKeyA(HKEY key, LPSTR, DWORD*, DWORD*, DWORD*, DWORD*, DWORD*, DWORD* values, DWORD*, DWORD*, DWORD*,
                      FILETIME*)
{
    auto node = Find(KeyName(key, nullptr).c_str());
    if (!node) return ERROR_FILE_NOT_FOUND;
    if (values) *values = static_cast<DWORD>(node->values.size());
    return ERROR_SUCCESS;
}

LSTATUS SHDeleteKeyA(HKEY root, LPCSTR subkey)
{
    return Step<LONG>(ERROR_ACCESS_DENIED, [&] {
        const std::string name = KeyName(root, subkey);
        if (!g_files.erase(name)) return ERROR_FILE_NOT_FOUND;
        auto it = g_files.lower_bound(name + "\\");
        while (it != g_files.end() && it->first.rfind(name + "\\", 0) == 0) it = g_files.erase(it);
        return ERROR_SUCCESS;
    });
}

// Single bytes compare with ASCII letters folded, the trail byte of a double-byte character as it is.
int CompareStringA(DWORD, DWORD flags, LPCSTR a, int lenA, LPCSTR b, int lenB)
{
    if (lenA < 0) lenA = static_cast<int>(strlen(a));
    if (lenB < 0) lenB = static_cast<int>(strlen(b));
    bool trail = false;
    for (int i = 0; i < lenA && i < lenB; ++i) {
        int x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (!trail && (flags & NORM_IGNORECASE)) x = tolower(x), y = tolower(y);
        if (x != y) return x < y ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
        trail = !trail && IsDBCSLeadByte(static_cast<BYTE>(x));
    }
    return lenA == lenB ? CSTR_EQUAL : lenA < lenB ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
}

int MessageBoxA(HWND, LPCSTR, LPCSTR, UINT) { return ++g_boxes; }
