#include "app/Utilities.h"

#include "resource.h"

#include <commctrl.h>

#include <vector>

const char* const kSupportAddress = "support@quillon.example";

namespace {

const char kNoSystemText[] = "无法从系统消息表资源中获取错误信息!";
const char kDebugCaption[] = "Debugging";
constexpr int kResStringBufferSize = 1024;

HWND g_mainWindow = nullptr;
ShellExecuteFn g_shellExecute = ShellExecuteA;

// Owner of the program's message boxes: the main window while it exists.
HWND BoxOwner()
{
    HWND main = GetMainWindow();
    return main && IsWindow(main) ? main : nullptr;
}

// Controls create owned top-level helpers of their own: a list view or status bar its tooltip
// window, the input method its IME window. They are part of their window, not windows the user
// opened, so they neither count as open nor get closed.
bool IsControlHelperWindow(HWND hwnd)
{
    char className[32] = "";
    GetClassNameA(hwnd, className, sizeof className);
    return lstrcmpiA(className, TOOLTIPS_CLASSA) == 0 || lstrcmpiA(className, "IME") == 0;
}

BOOL CALLBACK CollectOwnedWindow(HWND hwnd, LPARAM param)
{
    if (hwnd != GetMainWindow() && GetWindow(hwnd, GW_OWNER) != nullptr && !IsControlHelperWindow(hwnd))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

// Top-level windows of the calling thread that have an owner, other than the main window.
std::vector<HWND> OwnedWindowsOfThisThread()
{
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectOwnedWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

}  // namespace

std::string LoadResString(UINT id)
{
    char buffer[kResStringBufferSize];
    int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    if (length > 0) return std::string(buffer, length);
    return GetSystemErrorText(GetLastError());
}

std::string GetSystemErrorText(DWORD code)
{
    char* text = nullptr;
    DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string result = length > 0 && text ? std::string(text, length) : std::string(kNoSystemText);
    if (text) LocalFree(text);
    return result;
}

void ShowInfoBox(const std::string& text, const std::string& caption)
{
    const std::string title = caption.empty() ? LoadResString(IDS_APP_CAPTION) : caption;
    MessageBoxA(BoxOwner(), text.c_str(), title.c_str(), MB_ICONINFORMATION);
}

void ShowInfoBox(UINT textId, const std::string& caption)
{
    ShowInfoBox(LoadResString(textId), caption);
}

void ShowSystemError(DWORD code)
{
    ShowInfoBox(GetSystemErrorText(code));
}

void ShowDebugBox(const std::string& text)
{
    MessageBoxA(nullptr, text.c_str(), kDebugCaption, MB_SETFOREGROUND | MB_ICONINFORMATION);
}

void ShowControl(HWND dlg, int id, bool show)
{
    if (HWND control = GetDlgItem(dlg, id)) ShowWindow(control, show ? SW_SHOW : SW_HIDE);
}

void EnableControl(HWND dlg, int id, bool enable)
{
    if (HWND control = GetDlgItem(dlg, id)) EnableWindow(control, enable ? TRUE : FALSE);
}

void ShowControls(HWND dlg, const int* ids, int count, bool show)
{
    for (int i = 0; i < count; ++i) ShowControl(dlg, ids[i], show);
}

void EnableControls(HWND dlg, const int* ids, int count, bool enable)
{
    for (int i = 0; i < count; ++i) EnableControl(dlg, ids[i], enable);
}

void CloseOwnedWindows()
{
    // Collected first: a window closing during the enumeration would disturb it.
    for (HWND hwnd : OwnedWindowsOfThisThread())
        if (IsWindow(hwnd)) SendMessageA(hwnd, WM_CLOSE, 0, 0);
}

bool HasOwnedWindows()
{
    return !OwnedWindowsOfThisThread().empty();
}

void OpenWithShell(const std::string& target)
{
    g_shellExecute(BoxOwner(), "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

HINSTANCE ShellExecuteThroughSeam(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR folder, INT show)
{
    return g_shellExecute(owner, verb, file, parameters, folder, show);
}

HWND GetMainWindow()
{
    return g_mainWindow;
}

void SetMainWindow(HWND hwnd)
{
    g_mainWindow = hwnd;
}

void SetShellExecuteForTesting(ShellExecuteFn fn)
{
    g_shellExecute = fn ? fn : ShellExecuteA;
}
