#include "LorvexProcess.h"

#include "support/WindowDriver.h"

namespace e2e {

namespace {

const char kMainCaption[] = "Quillon 汉化版";
constexpr int kScanButton = 1013;
constexpr int kCleanButton = 1000;
constexpr int kCancelButton = 1024;

bool Enabled(HWND main, int id) { return IsWindowEnabled(GetDlgItem(main, id)) != FALSE; }
bool Visible(HWND main, int id) { return IsWindowVisible(GetDlgItem(main, id)) != FALSE; }

}  // namespace

// Without an install folder the program finds its data files by bare name.
CLorvexProcess::CLorvexProcess(const std::string& arguments, const std::string& tempFolder)
    : CChildProcess("Lorvex.exe", arguments, testsupport::BinFolder() + "\\..\\data", tempFolder)
{
}

HWND CLorvexProcess::MainWindow() const
{
    for (HWND hwnd = FindWindowA("#32770", kMainCaption); hwnd; hwnd = FindWindowExA(nullptr, hwnd, "#32770", kMainCaption))
        if (testsupport::ProcessOf(hwnd) == Pid() && GetDlgItem(hwnd, kScanButton)) return hwnd;
    return nullptr;
}

bool IsIdle(HWND main)
{
    return Enabled(main, kScanButton) && !Visible(main, kCleanButton) && !Enabled(main, kCancelButton);
}

bool HasResults(HWND main)
{
    return !Enabled(main, kScanButton) && Visible(main, kCleanButton) && Enabled(main, kCleanButton) &&
           !Enabled(main, kCancelButton);
}

}  // namespace e2e
