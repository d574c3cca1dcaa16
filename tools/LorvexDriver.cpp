// Drives a running Lorvex.exe from outside, as scripts/run does for its screenshot: waits for the
// main window, gives it a command the way its buttons do (WM_COMMAND), and for Scan waits until the
// scan has ended. Runs under the same Wine session as the program.
//     LorvexDriver.exe scan        Scan (1013), then wait until the window leaves its scanning state
//     LorvexDriver.exe command N   post command N (for example 157, the About box) and return
// Exit code 0 when done, 1 when the window did not appear or the scan did not end in time.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kMainCaption[] = "Quillon 汉化版";
constexpr int kScanId = 1013;
constexpr int kCancelId = 1024;
constexpr DWORD kWindowWaitMs = 30000;
constexpr DWORD kScanWaitMs = 120000;
constexpr DWORD kPollMs = 100;

// The main dialog: captioned like the program and holding the Scan button (message boxes share
// the caption but not the button).
HWND FindMainWindow()
{
    for (HWND hwnd = FindWindowA("#32770", kMainCaption); hwnd;
         hwnd = FindWindowExA(nullptr, hwnd, "#32770", kMainCaption))
        if (GetDlgItem(hwnd, kScanId)) return hwnd;
    return nullptr;
}

template <class Pred>
bool WaitUntil(Pred pred, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(kPollMs);
    }
    return true;
}

// Cancel is enabled exactly while a worker runs.
bool IsWorking(HWND main)
{
    return IsWindowEnabled(GetDlgItem(main, kCancelId)) != FALSE;
}

HWND WaitForMainWindow()
{
    HWND main = nullptr;
    if (!WaitUntil([&] { return (main = FindMainWindow()) != nullptr; }, kWindowWaitMs))
        fprintf(stderr, "LorvexDriver: no main window\n");
    return main;
}

int PostCommand(int id)
{
    HWND main = WaitForMainWindow();
    if (!main) return 1;
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return 0;
}

int Scan()
{
    HWND main = WaitForMainWindow();
    if (!main) return 1;
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(kScanId, BN_CLICKED), 0);
    // The scan may end before it is seen running; either way it is over once Cancel is off again
    // and Scan is no longer the enabled command it was.
    WaitUntil([&] { return IsWorking(main) || !IsWindowEnabled(GetDlgItem(main, kScanId)); }, 5000);
    if (!WaitUntil([&] { return !IsWindow(main) || !IsWorking(main); }, kScanWaitMs)) {
        fprintf(stderr, "LorvexDriver: the scan did not end\n");
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && strcmp(argv[1], "scan") == 0) return Scan();
    if (argc == 3 && strcmp(argv[1], "command") == 0) return PostCommand(atoi(argv[2]));
    fprintf(stderr, "usage: LorvexDriver.exe scan | command ID\n");
    return 2;
}
