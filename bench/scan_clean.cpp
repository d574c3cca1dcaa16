// Scanning and cleaning thread against their floors: builds three identical trees of 50,000 files
// in 500 folders in the temp folder and times, in one run,
//   - a bare FindFirstFileA walk, and the same walk sending one empty cross-thread SendMessage per
//     file to a window on another thread (the scan's floor: one UWM_ADD_OBJECT per object);
//   - ScanThreadProc over a folder item that lists every file of the tree, into a main window that
//     copies every object into its list, as the real one does;
//   - a bare DeleteFileA / RemoveDirectoryA loop, and the same loop with one empty cross-thread
//     SendMessage per file (the clean's floor: one UWM_REMOVE_ROW per object);
//   - CleanThreadProc over all rows of the scan.
// The machine is shared and its load comes in bursts, so every tree is cut into ten parts and the
// six cases take turns part by part. The table gives each case's total; each headline ratio is the
// median over the parts of the ratio between the case and its baseline measured next to it, which a
// burst that hits one part cannot tip. Ends with the ratios as "key: value" lines.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <list>
#include <string>
#include <vector>

#include "app/SettingsStore.h"
#include "catalogue/ModList.h"
#include "engine/ItemWiring.h"
#include "engine/CleanThread.h"
#include "engine/CleaningParam.h"
#include "engine/FolderWalker.h"
#include "engine/RunReport.h"
#include "engine/ScanThread.h"
#include "engine/WorkerMessages.h"

#include "BenchClock.h"

using bench::Median;
using bench::Seconds;

namespace {

constexpr int kParts = 10;
constexpr int kFoldersPerPart = 50;
constexpr int kFolders = kParts * kFoldersPerPart;
constexpr int kFilesPerFolder = 100;
constexpr int kFiles = kFolders * kFilesPerFolder;
constexpr UINT kEmptyMessage = WM_APP + 500;
constexpr int kTreeItemId = 1104;  // a three-step folder item of the catalogue

// ---- the main window: on its own thread, with the controls the workers write ----

struct MainWindowState {
    HWND hwnd = nullptr;
    CFoundObjectList objects;  // AllObjsLinkedList
    CFolderList folders;
    CRowsToCleanList rows;
    long removedRows = 0;
    HANDLE done = CreateEventA(nullptr, FALSE, FALSE, nullptr);  // a completion message arrived
    UINT lastCompletion = 0;
};

MainWindowState g_main;

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        case kEmptyMessage:
            return 0;
        case UWM_ADD_OBJECT: {
            const auto* object = reinterpret_cast<const CFoundObject*>(wParam);
            if (object->m_strPath.empty()) return 0;
            g_main.objects.push_back(*object);
            g_main.objects.back().m_pStatus = nullptr;
            return 0;
        }
        case UWM_ADD_FOLDER:
            g_main.folders.push_back(reinterpret_cast<const char*>(wParam));
            return 0;
        case UWM_REMOVE_ROW:
            ++g_main.removedRows;
            return 0;
        case UWM_CLEAN_FOLLOWUP:
            if (wParam == 1) delete[] reinterpret_cast<char*>(lParam);
            return 0;
        case UWM_SCAN_COMPLETED:
        case UWM_SCAN_CANCELLED:
        case UWM_CLEAN_COMPLETED:
        case UWM_CLEAN_CANCELLED:
            g_main.lastCompletion = msg;
            SetEvent(g_main.done);
            return 0;
        default:
            return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

void Child(HWND parent, const char* cls, int id, int y)
{
    CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE, 10, y, 400, 20, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

DWORD WINAPI MainWindowThread(void* ready)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc{};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QuillonBenchMain";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Quillon bench", WS_OVERLAPPEDWINDOW, 0, 0, 600, 300,
                                nullptr, nullptr, wc.hInstance, nullptr);
    Child(hwnd, PROGRESS_CLASSA, IDC_ITEM_PROGRESS, 10);
    Child(hwnd, PROGRESS_CLASSA, IDC_TOTAL_PROGRESS, 40);
    Child(hwnd, "STATIC", IDC_CURRENT_OPERATION, 70);
    Child(hwnd, "STATIC", IDC_CURRENT_OBJECT, 100);
    HWND bar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUSBAR)), wc.hInstance, nullptr);
    int edges[4] = {150, 300, 450, -1};
    SendMessageA(bar, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    g_main.hwnd = hwnd;
    SetEvent(static_cast<HANDLE>(ready));
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

// ---- trees ----

// One part of a tree: kFoldersPerPart folders of kFilesPerFolder files.
struct Tree {
    std::string root;
    std::vector<std::string> files;
    std::vector<std::string> folders;
};

// The paths of one part; with makeFiles, the folders and (empty) files are created too.
Tree PlanTree(const std::string& root, bool makeFiles)
{
    Tree tree;
    tree.root = root;
    if (makeFiles) CreateDirectoryA(root.c_str(), nullptr);
    for (int f = 0; f < kFoldersPerPart; ++f) {
        char folder[MAX_PATH];
        snprintf(folder, sizeof folder, "%s\\folder%03d", root.c_str(), f);
        if (makeFiles) CreateDirectoryA(folder, nullptr);
        tree.folders.push_back(folder);
        for (int i = 0; i < kFilesPerFolder; ++i) {
            char file[MAX_PATH];
            snprintf(file, sizeof file, "%s\\file%03d.dat", folder, i);
            // Empty files: what is timed is finding and deleting them, not their contents.
            if (makeFiles)
                CloseHandle(
                    CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            tree.files.push_back(file);
        }
    }
    return tree;
}

// Unix path of a Windows path under Wine; empty elsewhere.
std::string UnixPathOf(const std::string& windowsPath)
{
    using Fn = char*(__cdecl*)(const wchar_t*);
    auto fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!fn) return {};
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH);
    char* unix = fn(wide);
    if (!unix) return {};
    std::string out = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return out;
}

// Under Wine the host's shell makes the 150,000 files in seconds, where one CreateFileA after the
// other takes a minute or more; false when that is not possible.
bool MakeTreesWithShell(const std::string& base, const std::vector<std::string>& parts)
{
    std::string unixBase = UnixPathOf(base);
    if (unixBase.empty()) return false;
    std::string script = "cd '" + unixBase + "' || exit 1; for p in";
    for (const std::string& part : parts) script += " " + part;
    script += "; do mkdir -p $p && cd $p || exit 1; for d in $(seq -f 'folder%03g' 0 " +
              std::to_string(kFoldersPerPart - 1) + "); do mkdir $d && (cd $d && touch $(seq -f 'file%03g.dat' 0 " +
              std::to_string(kFilesPerFolder - 1) + ")) || exit 1; done; cd '" + unixBase + "'; done; touch built";
    std::string line = "/bin/sh -c \"" + script + "\"";
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    // Wine does not wait for a host process; the script leaves a mark when it is done.
    const std::string mark = base + "\\built";
    for (int waited = 0; waited < 300 * 10; ++waited) {
        if (GetFileAttributesA(mark.c_str()) != INVALID_FILE_ATTRIBUTES) {
            DeleteFileA(mark.c_str());
            return true;
        }
        Sleep(100);
    }
    return false;
}

// A plain recursive walk; sends one empty message per file when asked to.
long BareWalk(const std::string& folder, HWND sendTo)
{
    long files = 0;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        const char* name = entry.cFileName;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && !name[2]))) continue;
        std::string path = folder + "\\" + entry.cFileName;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            files += BareWalk(path, sendTo);
        } else {
            ++files;
            if (sendTo) SendMessageA(sendTo, kEmptyMessage, 0, 0);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return files;
}

long BareDelete(const Tree& tree, HWND sendTo)
{
    long deleted = 0;
    for (const std::string& file : tree.files) {
        deleted += DeleteFileA(file.c_str()) ? 1 : 0;
        if (sendTo) SendMessageA(sendTo, kEmptyMessage, 0, 0);
    }
    for (const std::string& folder : tree.folders) RemoveDirectoryA(folder.c_str());
    RemoveDirectoryA(tree.root.c_str());
    return deleted;
}

// ---- the catalogue item that scans the tree ----

std::string g_scanRoot;

int PrepareTree(CModItem* item)
{
    item->m_pScanData = new std::string(g_scanRoot);
    return 1;
}

void SetUpTreeItem()
{
    // The built-in items suffice; the bench does not read plug-in data files.
    SetPluginFilePasses(CPluginFilePasses{});
    CModList& catalogue = g_theScanningThreadsParam;
    WireItemFunctions();
    catalogue.Build();
    CModItem* item = catalogue.FindById(kTreeItemId);
    item->m_bScanInOneStep = false;
    item->m_pfnPrepare = PrepareTree;
    item->m_pfnCount = FolderCount;
    item->m_pfnScan = FolderScan;
    item->m_pfnFinish = FolderFinish;
    item->m_pfnOnFileFound = OnFileFound;
    item->m_pfnOnFolderFound = OnFolderFound;
    catalogue.m_pCheckedIds[0] = kTreeItemId;
    catalogue.m_nCheckedCount = 1;
    catalogue.m_hwnd = g_main.hwnd;
}

// Runs a worker on this thread and waits until the window has handled its completion message.
template <class Run>
double TimeWorker(Run run)
{
    ResetEvent(g_main.done);
    double start = Seconds();
    run();
    WaitForSingleObject(g_main.done, INFINITE);
    return Seconds() - start;
}

template <class Work>
double Time(Work work)
{
    double start = Seconds();
    work();
    return Seconds() - start;
}

void Row(const char* name, long count, double seconds)
{
    printf("%-44s %7ld %10.1f ms %8.1f us/file\n", name, count, seconds * 1000.0, seconds * 1e6 / kFiles);
}


struct Totals {
    long count = 0;
    double seconds = 0;
    std::vector<double> parts;  // seconds of each part
};

template <class Work>
void Add(Totals& totals, Work work)
{
    double start = Seconds();
    totals.count += work();
    double seconds = Seconds() - start;
    totals.seconds += seconds;
    totals.parts.push_back(seconds);
}

// Median over the parts of case / baseline.
double MedianRatio(const Totals& measured, const Totals& baseline)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < measured.parts.size() && i < baseline.parts.size(); ++i)
        ratios.push_back(measured.parts[i] / baseline.parts[i]);
    if (ratios.empty()) return 0;
    std::sort(ratios.begin(), ratios.end());
    size_t n = ratios.size();
    return n % 2 ? ratios[n / 2] : (ratios[n / 2 - 1] + ratios[n / 2]) / 2;
}

void PrintParts(const char* name, const Totals& measured, const Totals& baseline)
{
    printf("%-16s", name);
    for (size_t i = 0; i < measured.parts.size() && i < baseline.parts.size(); ++i)
        printf(" %5.2f", measured.parts[i] / baseline.parts[i]);
    printf("\n");
}

}  // namespace

int main()
{
    setvbuf(stdout, nullptr, _IONBF, 0);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string base = std::string(temp) + "quillon_bench_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(base.c_str(), nullptr);

    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE windowThread = CreateThread(nullptr, 0, MainWindowThread, ready, 0, nullptr);
    WaitForSingleObject(ready, INFINITE);

    printf("building 3 trees of %d files in %d folders under %s\n", kFiles, kFolders, base.c_str());
    std::vector<Tree> scanned, bare, floor;
    double built = Time([&] {
        std::vector<std::string> parts;
        for (const char* name : {"scanned", "bare", "floor"}) {
            CreateDirectoryA((base + "\\" + name).c_str(), nullptr);
            for (int part = 0; part < kParts; ++part)
                parts.push_back(std::string(name) + "/part" + std::to_string(part));
        }
        bool made = MakeTreesWithShell(base, parts);
        // Every part complete, or the whole tree is made again the slow way.
        char last[MAX_PATH];
        snprintf(last, sizeof last, "%s\\floor\\part%d\\folder%03d\\file%03d.dat", base.c_str(), kParts - 1,
                 kFoldersPerPart - 1, kFilesPerFolder - 1);
        made = made && GetFileAttributesA(last) != INVALID_FILE_ATTRIBUTES;
        for (int part = 0; part < kParts; ++part) {
            std::string sub = "\\part" + std::to_string(part);
            scanned.push_back(PlanTree(base + "\\scanned" + sub, !made));
            bare.push_back(PlanTree(base + "\\bare" + sub, !made));
            floor.push_back(PlanTree(base + "\\floor" + sub, !made));
        }
    });
    printf("built in %.1f s\n\n", built);

    SetUpTreeItem();
    Totals walk, walkFloor, scan;
    bool scanOk = true;
    for (int part = 0; part < kParts; ++part) {
        const std::string& root = scanned[part].root;
        Add(walk, [&] { return BareWalk(root, nullptr); });
        Add(walkFloor, [&] { return BareWalk(root, g_main.hwnd); });
        g_scanRoot = root;
        size_t before = g_main.objects.size();
        Add(scan, [&] {
            TimeWorker([] { ScanThreadProc(nullptr); });
            return static_cast<long>(g_main.objects.size() - before);
        });
        scanOk &= g_main.lastCompletion == UWM_SCAN_COMPLETED;
    }
    scanOk &= scan.count == kFiles && g_main.folders.size() == static_cast<size_t>(kFolders);

    // Every row is ticked; each part is cleaned by a run of its own, with the folders of that part.
    std::vector<CResultRowState> rows(g_main.objects.size());
    for (size_t r = 0; r < rows.size(); ++r) {
        rows[r].m_bChecked = true;
        rows[r].m_lItemData = static_cast<LPARAM>(r);
    }
    CRowsToCleanList allRows;
    BuildRowsToClean(rows, allRows);
    std::vector<CFolderList> partFolders(kParts);
    for (const std::string& folder : g_main.folders)
        for (int part = 0; part < kParts; ++part)
            if (folder.compare(0, scanned[part].root.size() + 1, scanned[part].root + "\\") == 0)
                partFolders[part].push_back(folder);

    Totals remove, removeFloor, clean;
    bool cleanOk = true;
    auto nextRow = allRows.begin();
    for (int part = 0; part < kParts; ++part) {
        Add(remove, [&] { return BareDelete(bare[part], nullptr); });
        Add(removeFloor, [&] { return BareDelete(floor[part], g_main.hwnd); });
        g_main.rows.clear();
        for (int i = 0; i < kFoldersPerPart * kFilesPerFolder && nextRow != allRows.end(); ++i)
            g_main.rows.push_back(*nextRow++);
        g_main.folders = partFolders[part];
        long removedBefore = g_main.removedRows;
        Add(clean, [&] {
            TimeWorker([] {
                CleanThreadProc(new CCleaningParam(&g_main.objects, &g_main.rows, &g_main.folders,
                                                   g_theScanningThreadsParam));
            });
            return g_main.removedRows - removedBefore;
        });
        cleanOk &= g_main.lastCompletion == UWM_CLEAN_COMPLETED && g_main.rows.empty() && g_main.folders.empty();
        RemoveDirectoryA(scanned[part].root.c_str());
    }
    cleanOk &= clean.count == kFiles &&
               GetFileAttributesA(scanned[0].folders.front().c_str()) == INVALID_FILE_ATTRIBUTES;

    Row("walk: FindFirstFileA", walk.count, walk.seconds);
    Row("walk + SendMessage per file (scan floor)", walkFloor.count, walkFloor.seconds);
    Row("ScanThreadProc (objects listed)", scan.count, scan.seconds);
    Row("delete: DeleteFileA/RemoveDirectoryA", remove.count, remove.seconds);
    Row("delete + SendMessage per file (clean floor)", removeFloor.count, removeFloor.seconds);
    Row("CleanThreadProc (rows removed)", clean.count, clean.seconds);
    if (!scanOk || !cleanOk) printf("\nWARNING: the scan or the clean did not cover the whole tree\n");

    for (const char* name : {"scanned", "bare", "floor"}) RemoveDirectoryA((base + "\\" + name).c_str());
    RemoveDirectoryA(base.c_str());
    g_theScanningThreadsParam.m_hwnd = nullptr;
    PostMessageA(g_main.hwnd, WM_CLOSE, 0, 0);
    PostThreadMessageA(GetThreadId(windowThread), WM_QUIT, 0, 0);
    WaitForSingleObject(windowThread, 5000);

    printf("\nratios by part:\n");
    PrintParts("scan-vs-walk", scan, walk);
    PrintParts("scan-vs-floor", scan, walkFloor);
    PrintParts("clean-vs-delete", clean, remove);
    PrintParts("clean-vs-floor", clean, removeFloor);
    printf("totals: scan-vs-floor %.2fx, clean-vs-floor %.2fx\n", scan.seconds / walkFloor.seconds,
           clean.seconds / removeFloor.seconds);

    printf("\nscan-vs-walk: %.2fx\n", MedianRatio(scan, walk));
    printf("scan-vs-floor: %.2fx\n", MedianRatio(scan, walkFloor));
    printf("clean-vs-delete: %.2fx\n", MedianRatio(clean, remove));
    printf("clean-vs-floor: %.2fx\n", MedianRatio(clean, removeFloor));
    return scanOk && cleanOk ? 0 : 1;
}
