// Helpers for tests that drive real windows: reading texts and classes, finding top-level windows of
// a thread or process, and a watcher thread that waits for a window (a message box, a modal dialog
// the test's own thread is about to run) and acts on it from outside.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include "framework/Dialog.h"

namespace testsupport {

inline std::string WindowText(HWND hwnd)
{
    std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(hwnd, &text[0], static_cast<int>(text.size()))));
    return text;
}

inline std::string ClassName(HWND hwnd)
{
    char name[128] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

inline DWORD ProcessOf(HWND hwnd)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

// Visible top-level windows for which pred holds, in z-order.
inline std::vector<HWND> FindTopLevelWindows(const std::function<bool(HWND)>& pred)
{
    struct Search {
        const std::function<bool(HWND)>* pred;
        std::vector<HWND> found;
    } search{&pred, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (IsWindowVisible(hwnd) && (*s->pred)(hwnd)) s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A top-level window of a browser's class (hidden), as the running browser would have; the caller
// destroys it.
inline HWND OpenBrowserWindow(const char* className)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);  // fails harmlessly when an earlier test registered it
    return CreateWindowExA(0, className, "browser", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// A visible dialog-class window ("#32770") with this caption, optionally of one process; null if none.
inline HWND FindDialog(const std::string& caption, DWORD processId = 0)
{
    std::vector<HWND> found = FindTopLevelWindows([&](HWND hwnd) {
        return ClassName(hwnd) == "#32770" && WindowText(hwnd) == caption && (!processId || ProcessOf(hwnd) == processId);
    });
    return found.empty() ? nullptr : found.front();
}

// The non-icon static texts of a message box, joined with "|".
inline std::string MessageBoxText(HWND box)
{
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassName(child) != "Static" || (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) continue;
        std::string part = WindowText(child);
        if (part.empty()) continue;
        if (!text.empty()) text += "|";
        text += part;
    }
    return text;
}

// Presses keys as the user would (all down in order, then up in reverse); the window with the
// keyboard focus receives them through the thread's message loop.
inline void PressKeys(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> input;
    for (WORD key : keys) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        input.push_back(down);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT up{};
        up.type = INPUT_KEYBOARD;
        up.ki.wVk = *--it;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        input.push_back(up);
    }
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

// Pumps this thread's messages the way a modal run of the dialog layer does (accelerators and
// dialog keys first) until condition holds or timeoutMs passes; returns condition().
inline bool PumpThroughDialogs(const std::function<bool()>& condition, DWORD timeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return condition();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (framework::CDialog::RouteDialogMessage(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// Client points of a list-view row: in the middle of its label, and on its check box (state image).
inline POINT ListLabelPoint(HWND list, int row)
{
    RECT label = {LVIR_LABEL, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&label));
    return {label.left + 10, (label.top + label.bottom) / 2};
}
// {-1, -1} when the row shows no check box.
inline POINT ListCheckBoxPoint(HWND list, int row)
{
    RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
    for (POINT point = {bounds.left, (bounds.top + bounds.bottom) / 2}; point.x < bounds.left + 60; ++point.x) {
        LVHITTESTINFO hit = {};
        hit.pt = point;
        if (SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) == row && (hit.flags & LVHT_ONITEMSTATEICON))
            return point;
    }
    return {-1, -1};
}
// A left click (press and release) at a client point, handled before it returns.
inline void ClickAt(HWND hwnd, POINT point)
{
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}
// A right click on a list view: it follows a right button press until the release (a drag could
// start), so the release is queued first.
inline void RightClickAt(HWND list, POINT point)
{
    PostMessageA(list, WM_RBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    SendMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(point.x, point.y));
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// The pop-up menu window (class "#32768") that is open, or null.
inline HWND FindPopupMenu()
{
    std::vector<HWND> found = FindTopLevelWindows([](HWND hwnd) { return ClassName(hwnd) == "#32768"; });
    return found.empty() ? nullptr : found.front();
}

// Waits on its own thread (up to timeoutMs) for a visible window that `find` returns, then runs
// `act` on it from that thread, so a modal loop on the test's thread can be driven from outside.
// Found() tells whether it appeared; Stop() gives up waiting at once; the destructor stops and joins.
class WindowWatcher {
public:
    WindowWatcher(std::function<HWND()> find, std::function<void(HWND)> act, DWORD timeoutMs = 5000)
        : m_find(std::move(find)), m_act(std::move(act)), m_timeout(timeoutMs), m_thread([this] { Watch(); })
    {
    }
    ~WindowWatcher() { Stop(); }
    WindowWatcher(const WindowWatcher&) = delete;
    WindowWatcher& operator=(const WindowWatcher&) = delete;

    void Join()
    {
        if (m_thread.joinable()) m_thread.join();
    }
    bool Found()
    {
        Join();
        return m_found;
    }
    // Ends the wait (for a window that should not appear) and tells whether it did appear.
    bool Stop()
    {
        m_stop = true;
        return Found();
    }

private:
    void Watch()
    {
        DWORD start = GetTickCount();
        while (!m_stop && GetTickCount() - start < m_timeout) {
            if (HWND hwnd = m_find()) {
                m_found = true;
                m_act(hwnd);
                return;
            }
            Sleep(10);
        }
    }

    std::function<HWND()> m_find;
    std::function<void(HWND)> m_act;
    DWORD m_timeout;
    std::atomic<bool> m_found{false};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace testsupport
