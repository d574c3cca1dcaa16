// Helpers for tests that drive real windows: reading texts and classes, finding top-level windows of
// a thread or process, and a watcher thread that waits for a window (a message box, a modal dialog
// the test's own thread is about to run) and acts on it from outside.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

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
