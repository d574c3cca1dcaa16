#include "MainDlgFixture.h"

#include <prsht.h>

#include "app/SettingsStore.h"
#include "engine/FileStatus.h"
#include "engine/TempFolderItem.h"

namespace maindlgtest {

namespace {

const char kItemStatesKey[] = "Software\\Venmoor\\Quillon\\ItemStates";

int GatedClean(CFoundObject* object, CRunContext* context, int reserved1, int reserved2)
{
    HeldRun().m_cleaned.push_back(object->m_strPath);
    while (!HeldRun().m_bGateOpen) Sleep(5);
    return DeleteFoundFile(object, context, reserved1, reserved2);
}

int HeldScanAll(CModItem* item)
{
    CRunContext* context = item->m_pScanContext;
    for (const std::string& path : HeldRun().m_files) {
        CFileStatus status;
        ReadFileStatus(path, status);
        CFoundObject object = MakeFileObject(path, status);
        object.m_pfnClean = GatedClean;
        ReportFound(context, &object, status.m_qwSize);
    }
    FlushDisplay(context);
    while (!item->IsStopRequested()) Sleep(5);
    return 0;
}

bool IsMainWindow(HWND hwnd)
{
    return GetDlgItem(hwnd, IDC_SCAN) != nullptr;
}

}  // namespace

CHeldRun& HeldRun()
{
    static CHeldRun run;
    return run;
}

std::string StoredCaption(HWND hwnd)
{
    wchar_t wide[512] = L"";
    InternalGetWindowText(hwnd, wide, 512);
    char text[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

HWND FindOwnWindow(const std::string& className, const std::string& caption)
{
    std::vector<HWND> found = testsupport::FindTopLevelWindows([&](HWND hwnd) {
        return testsupport::ProcessOf(hwnd) == GetCurrentProcessId() && testsupport::ClassName(hwnd) == className &&
               (caption.empty() || StoredCaption(hwnd) == caption);
    });
    return found.empty() ? nullptr : found.front();
}

HWND FindMessageBox(const std::string& caption)
{
    std::vector<HWND> found = testsupport::FindTopLevelWindows([&](HWND hwnd) {
        return testsupport::ProcessOf(hwnd) == GetCurrentProcessId() && testsupport::ClassName(hwnd) == "#32770" &&
               StoredCaption(hwnd) == caption && !IsMainWindow(hwnd);
    });
    return found.empty() ? nullptr : found.front();
}

CBoxAnswer::CBoxAnswer(int button, const std::string& caption, DWORD timeoutMs)
    : m_watcher([caption] { return FindMessageBox(caption); },
                [this, button](HWND box) {
                    m_text = testsupport::MessageBoxText(box);
                    PostMessageA(box, WM_COMMAND, button, 0);
                },
                timeoutMs)
{
}

MainDlgTest::MainDlgTest() : m_savedPasses(GetPluginFilePasses())
{
    // The built-in items alone: no plug-in data file is read (or complained about).
    SetPluginFilePasses(CPluginFilePasses{});
    g_theScanningThreadsParam.Build();
    ResetEvent(g_theScanningThreadsParam.m_evStop);
    HeldRun().m_files.clear();
    HeldRun().m_cleaned.clear();
    HeldRun().m_bGateOpen = true;

    // The temporary-files item scans the folder named by TEMP.
    m_savedTemp = ReadEnvironmentVariable("TEMP");
    m_scanFolder = m_temp / "scanned";
    testsupport::MakeFolder(m_scanFolder);
    SetEnvironmentVariableA("TEMP", m_scanFolder.c_str());
}

MainDlgTest::~MainDlgTest()
{
    HeldRun().m_bGateOpen = true;
    Close();
    SetEnvironmentVariableA("TEMP", m_savedTemp.c_str());
    ResetEvent(g_theScanningThreadsParam.m_evStop);
    g_theScanningThreadsParam.Build();  // the items get their own functions back
    SetPluginFilePasses(m_savedPasses);
}

HWND MainDlgTest::Open()
{
    m_dlg = std::make_unique<CMainDlg>();
    m_hwnd = m_dlg->Create();
    return m_hwnd;
}

void MainDlgTest::Close()
{
    if (!m_dlg) return;
    if (g_theScanningThreadsParam.m_bBusy) {
        // A run the test left behind: stop it and let the window see its end.
        SetEvent(g_theScanningThreadsParam.m_evStop);
        WaitFor([] { return !g_theScanningThreadsParam.m_bBusy; }, 20000);
        testsupport::PumpUntil([] { return false; }, 300);
    }
    m_dlg.reset();
    m_hwnd = nullptr;
}

bool MainDlgTest::RunOptionsSheet(int button, const std::function<void(HWND sheet)>& inSheet)
{
    testsupport::WindowWatcher sheet([] { return FindOwnWindow("#32770", "配置 Quillon..."); },
                                     [&](HWND hwnd) {
                                         if (inSheet) inSheet(hwnd);
                                         PostMessageA(hwnd, PSM_PRESSBUTTON, button, 0);
                                     },
                                     10000);
    Command(IDC_OPTIONS);
    return sheet.Found();
}

CButtonStates MainDlgTest::States() const
{
    auto enabled = [&](int id) { return IsWindowEnabled(Item(id)) != FALSE; };
    auto visible = [&](int id) { return IsWindowVisible(Item(id)) != FALSE; };
    const int progressGroup[] = {IDC_ITEM_PROGRESS,       IDC_TOTAL_PROGRESS,      IDC_CURRENT_OPERATION,
                                 IDC_CURRENT_OBJECT,      IDC_OPERATION_LABEL,     IDC_OBJECT_LABEL,
                                 IDC_ITEM_PROGRESS_LABEL, IDC_TOTAL_PROGRESS_LABEL};
    bool progress = visible(progressGroup[0]);
    for (int id : progressGroup) EXPECT_EQ(visible(id), progress) << "progress group control " << id;
    bool categories = enabled(IDC_CATEGORY_WINDOWS);
    for (int id : {IDC_CATEGORY_BROWSERS, IDC_CATEGORY_APPS, IDC_CATEGORY_CUSTOM})
        EXPECT_EQ(enabled(id), categories) << "category button " << id;
    // Options and Help stay usable in every state.
    EXPECT_TRUE(enabled(IDC_OPTIONS) && enabled(IDC_HELP_MENU));
    return {enabled(IDC_SCAN), visible(IDC_CLEAN),  enabled(IDC_CLEAN), visible(IDC_CANCEL),
            enabled(IDC_CANCEL), progress, categories};
}

void MainDlgTest::CheckItem(int id, DWORD value)
{
    testsupport::SetRegDword(kItemStatesKey, "MC" + std::to_string(id), value);
}

std::string MainDlgTest::MakeTempFile(const std::string& name, size_t bytes)
{
    std::string path = m_scanFolder + "\\" + name;
    testsupport::WriteFileBytes(path, std::string(bytes, 'x'));
    return path;
}

void MainDlgTest::HoldScanAfter(const std::vector<std::string>& files)
{
    HeldRun().m_files = files;
    CModItem* item = g_theScanningThreadsParam.FindById(kHeldItemId);
    item->m_bScanInOneStep = true;
    item->m_pfnScanAll = HeldScanAll;
    CheckItem(kHeldItemId);
}

}  // namespace maindlgtest
