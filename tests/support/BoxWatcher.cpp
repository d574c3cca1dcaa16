#include "support/BoxWatcher.h"

#include <atomic>
#include <set>
#include <thread>

namespace testsupport {
namespace {

std::string WindowText(HWND hwnd)
{
    char text[4096] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

std::string ClassOf(HWND hwnd)
{
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

struct FindState {
    const std::set<HWND>* handled;
    HWND box;
};

BOOL CALLBACK FindNewBox(HWND hwnd, LPARAM param)
{
    FindState& state = *reinterpret_cast<FindState*>(param);
    if (ClassOf(hwnd) == "#32770" && IsWindowVisible(hwnd) && !state.handled->count(hwnd)) {
        state.box = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK ReadChild(HWND child, LPARAM param)
{
    SeenBox& seen = *reinterpret_cast<SeenBox*>(param);
    if (ClassOf(child) != "Static") return TRUE;
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        seen.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    else if (seen.text.empty()) {
        seen.text = WindowText(child);
        wchar_t wide[4096] = L"";
        GetWindowTextW(child, wide, 4096);
        seen.wideText = wide;
    }
    return TRUE;
}

}  // namespace

std::vector<SeenBox> CloseBoxesDuring(const std::function<void()>& action)
{
    std::vector<SeenBox> seen;
    std::atomic<bool> done{false};
    const DWORD actionThread = GetCurrentThreadId();
    std::thread watcher([&] {
        std::set<HWND> handled;
        while (!done) {
            FindState state{&handled, nullptr};
            EnumThreadWindows(actionThread, FindNewBox, reinterpret_cast<LPARAM>(&state));
            if (!state.box) {
                Sleep(10);
                continue;
            }
            handled.insert(state.box);
            SeenBox box;
            box.caption = WindowText(state.box);
            box.foundByCaption = FindWindowA("#32770", box.caption.c_str()) == state.box;
            box.owner = GetWindow(state.box, GW_OWNER);
            EnumChildWindows(state.box, ReadChild, reinterpret_cast<LPARAM>(&box));
            seen.push_back(box);
            PostMessageA(state.box, WM_COMMAND, IDOK, 0);
        }
    });
    action();
    done = true;
    watcher.join();
    return seen;
}

}  // namespace testsupport
