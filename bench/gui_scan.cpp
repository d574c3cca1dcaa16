// The main window under a stream of rows: a full scan of 20,000 temp files through the real
// CMainDlg (modeless, from its template, with its results list), against the same scan into a bare
// window that only copies each object, as the floor of what the scanning thread costs. Then, on the
// window's 20,000 rows, sorting by each column (both directions) and writing the text log.
//
// The temporary-files item (1104) scans the folder named by TEMP, which the bench points at its
// tree. The registry is a scratch key (HKEY_CURRENT_USER redirected for this process), so the
// bench leaves no settings behind. The machine is shared and its load drifts, so the two scans take
// turns over several rounds and the ratio is the median of the rounds' ratios.
//
// Ends with "window-vs-bare: Rx", "sort-max-s: S" and "save-s: T".
#include <windows.h>
#include <commctrl.h>
#include <mbctype.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <list>
#include <string>
#include <vector>

#include "app/SettingsStore.h"
#include "catalogue/ModList.h"
#include "engine/ItemWiring.h"
#include "engine/RunReport.h"
#include "engine/ScanThread.h"
#include "engine/WorkerMessages.h"
#include "framework/WorkerThread.h"
#include "resource.h"
#include "ui/MainDlg.h"

#include "BenchClock.h"

using bench::Median;
using bench::Seconds;

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 200;
constexpr int kFiles = kFolders * kFilesPerFolder;
constexpr int kRounds = 5;
constexpr int kTempItemId = 1104;
const char* const kExtensions[] = {".tmp", ".log", ".dat", ".txt", ".htm"};

template <class Pred>
void PumpUntil(Pred pred)
{
    while (!pred()) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!pred()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

// ---- the registry: a scratch key stands in for HKEY_CURRENT_USER ----

class ScratchRegistry {
public:
    ScratchRegistry() : m_name("Software\\QuillonBenchSandbox\\gui-" + std::to_string(GetCurrentProcessId()))
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, m_name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
        RegOverridePredefKey(HKEY_CURRENT_USER, m_key);
    }
    ~ScratchRegistry()
    {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(m_key);
        SHDeleteKeyA(HKEY_CURRENT_USER, m_name.c_str());
    }

private:
    std::string m_name;
    HKEY m_key = nullptr;
};

// ---- the tree: varied names, sizes and dates, so every column has something to sort ----

void SetAge(HANDLE file, int index)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    const ULONGLONG hour = 3600ULL * 10000000ULL;
    ULARGE_INTEGER written = t, accessed = t;
    written.QuadPart -= hour * static_cast<ULONGLONG>((index * 7919) % (3 * 365 * 24));
    accessed.QuadPart -= hour * static_cast<ULONGLONG>((index * 104729) % (365 * 24));
    FILETIME w{written.LowPart, written.HighPart}, a{accessed.LowPart, accessed.HighPart};
    SetFileTime(file, &w, &a, &w);
}

bool MakeTree(const std::string& root)
{
    CreateDirectoryA(root.c_str(), nullptr);
    std::vector<char> bytes(70000, 'x');
    int index = 0;
    for (int f = 0; f < kFolders; ++f) {
        char folder[MAX_PATH];
        snprintf(folder, sizeof folder, "%s\\folder%03d", root.c_str(), f);
        CreateDirectoryA(folder, nullptr);
        for (int i = 0; i < kFilesPerFolder; ++i, ++index) {
            char path[MAX_PATH];
            snprintf(path, sizeof path, "%s\\file%05d%s", folder, (index * 7) % kFiles, kExtensions[index % 5]);
            HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE) return false;
            DWORD written = 0;
            // Mostly small files, some above a megabyte would cost too much disk: sizes up to ~68 KB.
            const DWORD size = static_cast<DWORD>((index * 2654435761u) % 70000u);
            if (size) WriteFile(file, bytes.data(), size, &written, nullptr);
            SetAge(file, index);
            CloseHandle(file);
        }
    }
    return true;
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

// ---- the bare window: the main window's controls, and a copy of every object ----

struct BareWindow {
    HWND hwnd = nullptr;
    CFoundObjectList objects;
    CFolderList folders;
    bool ended = false;
};
BareWindow g_bare;

LRESULT CALLBACK BareProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case UWM_ADD_OBJECT: {
        const auto* object = reinterpret_cast<const CFoundObject*>(wParam);
        if (object->m_strPath.empty()) return 0;
        g_bare.objects.push_back(*object);
        g_bare.objects.back().m_pStatus = nullptr;
        return 0;
    }
    case UWM_ADD_FOLDER:
        g_bare.folders.push_back(reinterpret_cast<const char*>(wParam));
        return 0;
    case UWM_SCAN_COMPLETED:
    case UWM_SCAN_CANCELLED:
        g_bare.ended = true;
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

void BareChild(HWND parent, const char* cls, int id, int y)
{
    CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE, 10, y, 400, 20, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

void CreateBareWindow()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = BareProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QuillonBenchBare";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "bare", WS_OVERLAPPEDWINDOW, 700, 0, 500, 300, nullptr, nullptr,
                                wc.hInstance, nullptr);
    BareChild(hwnd, PROGRESS_CLASSA, IDC_ITEM_PROGRESS, 10);
    BareChild(hwnd, PROGRESS_CLASSA, IDC_TOTAL_PROGRESS, 40);
    BareChild(hwnd, "EDIT", IDC_CURRENT_OPERATION, 70);
    BareChild(hwnd, "EDIT", IDC_CURRENT_OBJECT, 100);
    HWND bar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUSBAR)), wc.hInstance, nullptr);
    int edges[4] = {150, 300, 450, -1};
    SendMessageA(bar, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    g_bare.hwnd = hwnd;
}

// ---- the two scans ----

double ScanIntoBareWindow()
{
    g_bare.objects.clear();
    g_bare.folders.clear();
    g_bare.ended = false;
    CModList& catalogue = g_theScanningThreadsParam;
    const double start = Seconds();
    catalogue.m_pCheckedIds[0] = kTempItemId;
    catalogue.m_nCheckedCount = 1;
    catalogue.m_hwnd = g_bare.hwnd;
    catalogue.m_bBusy = true;
    HANDLE thread = framework::BeginWorkerThread(ScanThreadProc, nullptr);
    PumpUntil([] { return g_bare.ended; });
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return Seconds() - start;
}

double ScanIntoMainWindow(CMainDlg& dlg)
{
    HWND clean = GetDlgItem(dlg.GetHwnd(), IDC_CLEAN);
    const double start = Seconds();
    SendMessageA(dlg.GetHwnd(), WM_COMMAND, MAKEWPARAM(IDC_SCAN, BN_CLICKED), 0);
    PumpUntil([&] { return !g_theScanningThreadsParam.m_bBusy && IsWindowVisible(clean); });
    return Seconds() - start;
}

}  // namespace

int main()
{
    _setmbcp(_MB_CP_ANSI);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    ScratchRegistry registry;
    TheSettings().Start();
    TheSettings().WriteDword(CSettingsStore::ItemStateName(kTempItemId).c_str(), 1, kItemStatesSubkey);
    SetPluginFilePasses(CPluginFilePasses{});
    WireItemFunctions();
    g_theScanningThreadsParam.Build();

    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    const std::string root = std::string(temp) + "lorvex-guibench-" + std::to_string(GetCurrentProcessId());
    printf("building %d files in %d folders...\n", kFiles, kFolders);
    fflush(stdout);
    if (!MakeTree(root)) {
        fprintf(stderr, "gui_scan: cannot build the tree under %s\n", root.c_str());
        RemoveTree(root);
        return 1;
    }
    SetEnvironmentVariableA("TEMP", root.c_str());

    CreateBareWindow();
    CMainDlg dlg;
    if (!dlg.Create()) {
        fprintf(stderr, "gui_scan: the main window could not be created\n");
        RemoveTree(root);
        return 1;
    }

    std::vector<double> windowTimes, bareTimes, ratios;
    for (int round = 0; round < kRounds; ++round) {
        double window = 0, bare = 0;
        if (round % 2 == 0) {
            window = ScanIntoMainWindow(dlg);
            bare = ScanIntoBareWindow();
        } else {
            bare = ScanIntoBareWindow();
            window = ScanIntoMainWindow(dlg);
        }
        windowTimes.push_back(window);
        bareTimes.push_back(bare);
        ratios.push_back(window / bare);
        printf("round %d: window %8.2f s (%d rows)   bare %8.2f s (%zu objects)   ratio %.2f\n", round, window,
               dlg.m_listResults.List().GetItemCount(), bare, g_bare.objects.size(), window / bare);
        fflush(stdout);
    }
    const int rows = dlg.m_listResults.List().GetItemCount();

    printf("\n%-36s %10s\n", "sort of the window's rows", "seconds");
    // Plain names: the console of a bench run need not show code page 936.
    const char* const columns[] = {"object", "type", "size", "accessed", "modified"};
    double sortMax = 0;
    for (int column = 0; column < kResultColumnCount; ++column) {
        for (int pass = 0; pass < 2; ++pass) {
            const bool ascending = dlg.m_listResults.m_bSortAscending;
            const double start = Seconds();
            dlg.SortByColumn(column);
            const double seconds = Seconds() - start;
            sortMax = std::max(sortMax, seconds);
            printf("column %d %-12s %-10s %10.3f\n", column, columns[column], ascending ? "ascending" : "descending",
                   seconds);
        }
    }

    const std::string log = root + "\\ScanLog.txt";
    double start = Seconds();
    const bool saved = dlg.m_listResults.WriteLogFile(log);
    const double save = Seconds() - start;
    WIN32_FILE_ATTRIBUTE_DATA logData{};
    GetFileAttributesExA(log.c_str(), GetFileExInfoStandard, &logData);
    printf("%-36s %10.3f (%lu bytes%s)\n", "text log of the rows", save, logData.nFileSizeLow, saved ? "" : ", FAILED");

    printf("\n%-36s %10s %10s\n", "scan of 20,000 files", "median s", "rows");
    printf("%-36s %10.2f %10d\n", "through the main window", Median(windowTimes), rows);
    printf("%-36s %10.2f %10zu\n", "into the bare window", Median(bareTimes), g_bare.objects.size());

    DestroyWindow(dlg.GetHwnd());
    DestroyWindow(g_bare.hwnd);
    RemoveTree(root);
    const bool complete = rows == kFiles && g_bare.objects.size() == static_cast<size_t>(kFiles) && saved;
    printf("\nwindow-vs-bare: %.2fx\n", Median(ratios));
    printf("sort-max-s: %.3f\n", sortMax);
    printf("save-s: %.3f\n", save);
    return complete ? 0 : 1;
}
