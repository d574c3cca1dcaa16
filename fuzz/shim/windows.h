// The part of the Win32 API that the fuzzed parser sources use, for a native build. Files and the
// registry live in memory (Platform.cpp); characters step through code page 936. A product file
// that needs a call missing here fails to compile: keep its parsing apart from the platform.
#pragma once

#include <cstddef>
#include <cstdint>

using BYTE = unsigned char;
using WORD = unsigned short;
// The product formats DWORD and LONG with %lu and %lX as on Windows, where long has 32 bits; here
// long has 64, which no parser depends on.
using DWORD = unsigned long;
using LONG = long;
using ULONG = unsigned long;
using BOOL = int;
using UINT = unsigned int;
using INT = int;
using LONGLONG = int64_t;
using ULONGLONG = uint64_t;
using LONG_PTR = intptr_t;
using ULONG_PTR = uintptr_t;
using LPARAM = LONG_PTR;
using WPARAM = ULONG_PTR;
using LRESULT = LONG_PTR;
using LSTATUS = LONG;
using REGSAM = DWORD;
using LPCSTR = const char*;
using LPSTR = char*;
using __time64_t = int64_t;
using HANDLE = void*;
struct HKEY__;
using HKEY = HKEY__*;
struct HWND__;
using HWND = HWND__*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
struct HMENU__;
using HMENU = HMENU__*;
using HBITMAP = void*;
using HFONT = void*;
using HBRUSH = void*;
#define WINAPI
#define TRUE 1
#define FALSE 0
#define MAX_PATH 260

union LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
};
struct FILETIME {
    DWORD dwLowDateTime, dwHighDateTime;
};
struct WIN32_FILE_ATTRIBUTE_DATA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime, ftLastAccessTime, ftLastWriteTime;
    DWORD nFileSizeHigh, nFileSizeLow;
};
struct BY_HANDLE_FILE_INFORMATION {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime, ftLastAccessTime, ftLastWriteTime;
    DWORD dwVolumeSerialNumber, nFileSizeHigh, nFileSizeLow, nNumberOfLinks, nFileIndexHigh, nFileIndexLow;
};
struct SECURITY_ATTRIBUTES;

constexpr DWORD ERROR_SUCCESS = 0, ERROR_FILE_NOT_FOUND = 2, ERROR_PATH_NOT_FOUND = 3,
                ERROR_TOO_MANY_OPEN_FILES = 4, ERROR_ACCESS_DENIED = 5, ERROR_INVALID_HANDLE = 6,
                ERROR_SHARING_VIOLATION = 32, ERROR_FILE_EXISTS = 80, ERROR_INSUFFICIENT_BUFFER = 122,
                ERROR_ALREADY_EXISTS = 183, ERROR_MORE_DATA = 234, ERROR_NO_MORE_ITEMS = 259,
                ERROR_UNSUPPORTED_TYPE = 1630;
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)))
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF, INVALID_FILE_SIZE = 0xFFFFFFFF;
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1, FILE_ATTRIBUTE_DIRECTORY = 0x10, FILE_ATTRIBUTE_NORMAL = 0x80,
                FILE_ATTRIBUTE_REPARSE_POINT = 0x400;
constexpr DWORD FILE_FLAG_OPEN_REPARSE_POINT = 0x00200000, FILE_FLAG_DELETE_ON_CLOSE = 0x04000000;
constexpr DWORD GENERIC_READ = 0x80000000, GENERIC_WRITE = 0x40000000, DELETE = 0x10000,
                FILE_READ_ATTRIBUTES = 0x80;
constexpr DWORD FILE_SHARE_READ = 1, FILE_SHARE_WRITE = 2, FILE_SHARE_DELETE = 4;
constexpr DWORD CREATE_NEW = 1, CREATE_ALWAYS = 2, OPEN_EXISTING = 3, OPEN_ALWAYS = 4, TRUNCATE_EXISTING = 5;
constexpr DWORD FILE_BEGIN = 0, FILE_CURRENT = 1, FILE_END = 2;
constexpr DWORD MOVEFILE_REPLACE_EXISTING = 1, MOVEFILE_DELAY_UNTIL_REBOOT = 4, MOVEFILE_WRITE_THROUGH = 8;

#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<int32_t>(0x80000001))))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<int32_t>(0x80000002))))
constexpr DWORD REG_NONE = 0, REG_SZ = 1, REG_EXPAND_SZ = 2, REG_BINARY = 3, REG_DWORD = 4, REG_MULTI_SZ = 7,
                REG_QWORD = 11, REG_OPTION_NON_VOLATILE = 0;
constexpr REGSAM KEY_SET_VALUE = 0x2, KEY_CREATE_SUB_KEY = 0x4, KEY_READ = 0x20019, KEY_WRITE = 0x20006;

constexpr UINT CP_ACP = 0, CP_UTF8 = 65001, MB_OK = 0, MB_ICONWARNING = 0x30, MB_ICONINFORMATION = 0x40;
constexpr DWORD LOCALE_USER_DEFAULT = 0x400, NORM_IGNORECASE = 1, CSTR_LESS_THAN = 1, CSTR_EQUAL = 2,
                CSTR_GREATER_THAN = 3, WAIT_OBJECT_0 = 0;
constexpr UINT WM_CLOSE = 0x10, WM_APP = 0x8000, BST_UNCHECKED = 0, BST_CHECKED = 1, SBT_POPOUT = 0x200;
constexpr int CSIDL_DESKTOPDIRECTORY = 0x10, CSIDL_PERSONAL = 5, CSIDL_RECENT = 8, CSIDL_APPDATA = 0x1a,
              CSIDL_LOCAL_APPDATA = 0x1c, CSIDL_WINDOWS = 0x24, CSIDL_PROGRAM_FILES = 0x26,
              CSIDL_PROFILE = 0x28, CSIDL_COMMON_APPDATA = 0x23;

DWORD GetLastError();
void SetLastError(DWORD error);
DWORD GetTickCount();
DWORD GetCurrentProcessId();

// Files, in memory.
HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, SECURITY_ATTRIBUTES*, DWORD disposition, DWORD flags,
                   HANDLE);
BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read, void*);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written, void*);
BOOL FlushFileBuffers(HANDLE file);
BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, LARGE_INTEGER* position, DWORD method);
BOOL GetFileSizeEx(HANDLE file, LARGE_INTEGER* size);
DWORD GetFileSize(HANDLE file, DWORD* high);
BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* info);
BOOL CloseHandle(HANDLE h);
DWORD GetFileAttributesA(LPCSTR path);
BOOL SetFileAttributesA(LPCSTR path, DWORD attributes);
BOOL DeleteFileA(LPCSTR path);
BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags);
BOOL CreateHardLinkA(LPCSTR link, LPCSTR existing, SECURITY_ATTRIBUTES*);
BOOL PathFileExistsA(LPCSTR path);
BOOL SHGetSpecialFolderPathA(HWND, LPSTR path, int csidl, BOOL create);
DWORD ExpandEnvironmentStringsA(LPCSTR text, LPSTR out, DWORD size);

// Registry, in memory.
LONG RegOpenKeyExA(HKEY root, LPCSTR subkey, DWORD, REGSAM, HKEY* key);
LONG RegCreateKeyExA(HKEY root, LPCSTR subkey, DWORD, LPSTR, DWORD, REGSAM, SECURITY_ATTRIBUTES*, HKEY* key,
                     DWORD* disposition);
LONG RegCloseKey(HKEY key);
LONG RegQueryValueExA(HKEY key, LPCSTR name, DWORD*, DWORD* type, BYTE* data, DWORD* size);
LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size);
LONG RegDeleteValueA(HKEY key, LPCSTR name);
LONG RegQueryInfoKeyA(HKEY key, LPSTR, DWORD*, DWORD*, DWORD*, DWORD*, DWORD*, DWORD* values, DWORD*, DWORD*, DWORD*,
                      FILETIME*);
LSTATUS SHDeleteKeyA(HKEY root, LPCSTR subkey);

// Code page 936.
BOOL IsDBCSLeadByte(BYTE b);
LPSTR CharNextA(LPCSTR p);
int CompareStringA(DWORD locale, DWORD flags, LPCSTR a, int lenA, LPCSTR b, int lenB);
int MultiByteToWideChar(UINT, DWORD, LPCSTR, int, wchar_t*, int);
int WideCharToMultiByte(UINT, DWORD, const wchar_t*, int, LPSTR, int, LPCSTR, BOOL*);

// What the parsers' neighbours call; none of it has an effect here (the last three only close
// handles that no parser opens, so they are declared and never defined).
HANDLE CreateEventA(SECURITY_ATTRIBUTES*, BOOL, BOOL, LPCSTR);
DWORD WaitForSingleObject(HANDLE, DWORD);
int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT);
HWND GetActiveWindow();
BOOL CheckDlgButton(HWND, int, UINT);
UINT IsDlgButtonChecked(HWND, int);
BOOL FindClose(HANDLE);
BOOL DestroyMenu(HMENU);
BOOL DeleteObject(void*);
