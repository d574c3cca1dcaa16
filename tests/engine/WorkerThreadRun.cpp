#include "WorkerThreadRun.h"

#include <algorithm>

#include "support/Sandbox.h"

namespace {

struct BoxSearch {
    DWORD threadId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectText(HWND child, LPARAM param)
{
    char cls[32] = "";
    GetClassNameA(child, cls, sizeof cls);
    char text[2048] = "";
    GetWindowTextA(child, text, sizeof text);
    // The icon is a static without text; the message is the one static that has text.
    if (lstrcmpiA(cls, "Static") == 0 && text[0]) *reinterpret_cast<std::string*>(param) = text;
    return TRUE;
}

BOOL CALLBACK CollectBox(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<BoxSearch*>(param);
    char cls[32] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && GetWindowThreadProcessId(hwnd, nullptr) == search->threadId &&
        IsWindowVisible(hwnd))
        search->found.push_back(hwnd);
    return TRUE;
}

}  // namespace

WorkerRunResult PumpWorker(HANDLE thread, DWORD timeoutMs)
{
    WorkerRunResult result;
    if (!thread) return result;
    BoxSearch search{GetThreadId(thread), {}};
    std::vector<HWND> answered;
    result.ended = testsupport::PumpUntil(
        [&] {
            search.found.clear();
            EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&search));
            for (HWND box : search.found) {
                if (std::find(answered.begin(), answered.end(), box) != answered.end()) continue;
                answered.push_back(box);
                ShownBox shown{GetWindow(box, GW_OWNER), {}, {}};
                char caption[512] = "";
                GetWindowTextA(box, caption, sizeof caption);
                shown.caption = caption;
                EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&shown.text));
                result.boxes.push_back(shown);
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
            return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
        },
        timeoutMs);
    if (!result.ended) WaitForSingleObject(thread, 10000);
    GetExitCodeThread(thread, &result.exitCode);
    CloseHandle(thread);
    // The completion messages were posted before the thread ended.
    testsupport::PumpUntil([] { return false; }, 30);
    return result;
}
