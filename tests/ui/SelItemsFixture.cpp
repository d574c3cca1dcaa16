#include "SelItemsFixture.h"

#include "MainDlgFixture.h"
#include "app/SettingsStore.h"
#include "catalogue/PluginFilePasses.h"
#include "catalogue/PluginFileScramble.h"
#include "framework/MbString.h"
#include "ui/WarningMsgDlg.h"

namespace selitemstest {

namespace {

std::string Scrambled(std::string text)
{
    if (!text.empty()) ScrambleBlock(&text[0], text.size());
    return text;
}

const char* const kDataFileNames[] = {"InetEng.dat", "SysEng.dat", "AppsEng.dat", "DiskCleanEng.dat"};

}  // namespace

std::string Module(int id, const std::string& title, int reference, const std::string& extra)
{
    return framework::Format("[ModId%d]\r\nModTitle=%s\r\nModImgNum=3\r\nModReference=%d\r\n", id, title.c_str(),
                             reference) +
           extra + "PushRegParam=HKCU\\Software\\SelItemsTest|*.*\r\n\r\n";
}

std::string CustomModule(int id, const std::string& title, const std::string& params)
{
    return framework::Format("[ModId%d]\r\nModTitle=%s\r\nModImgNum=15\r\nModDescription=(with %s search)\r\n"
                             "ModReference=30\r\nModSpecialKey=PROCESS_RULES\r\nPushFileParam=%s\r\n\r\n",
                             id, title.c_str(), params.c_str(), params.c_str());
}

// ------------------------------------------------------------------ boxes

CBoxCollector::CBoxCollector(const std::string& caption) : m_caption(caption), m_thread([this] { Watch(); }) {}

void CBoxCollector::Watch()
{
    while (!m_stop) {
        HWND box = maindlgtest::FindMessageBox(m_caption);
        if (!box) {
            Sleep(5);
            continue;
        }
        CSeenBox seen;
        seen.text = testsupport::MessageBoxText(box);
        seen.owner = GetWindow(box, GW_OWNER);
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                seen.warningIcon = SendMessageA(child, STM_GETICON, 0, 0) ==
                                   reinterpret_cast<LRESULT>(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_WARNING)));
        m_seen.push_back(seen);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        // The test's thread closes it; only then can the next box be told apart from this one.
        for (int i = 0; i < 400 && IsWindow(box) && IsWindowVisible(box); ++i) Sleep(5);
    }
}

std::vector<CSeenBox> CBoxCollector::Stop()
{
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    return m_seen;
}

std::vector<std::string> CBoxCollector::Texts()
{
    std::vector<std::string> texts;
    for (const CSeenBox& box : Stop()) texts.push_back(box.text);
    return texts;
}

// ------------------------------------------------------------------ fixture

SelItemsTest::SelItemsTest() : m_savedPasses(GetPluginFilePasses()), m_savedFiles(TheSettings().m_astrPluginFiles)
{
    TheSettings().m_astrPluginFiles.clear();
    for (const char* name : kDataFileNames) TheSettings().m_astrPluginFiles.push_back(m_temp / name);
    SetPluginFilePasses(CPluginFilePasses{SelectPluginModules, FillPluginModules});
    testsupport::SetRegString(kSettingsKey, "CustomFolderToScan", m_temp.Path());
    WriteDataFiles("", "");
}

SelItemsTest::~SelItemsTest()
{
    Close();
    // The other tests expect the catalogue of the built-ins alone.
    SetPluginFilePasses(CPluginFilePasses{});
    g_theScanningThreadsParam.Build();
    SetPluginFilePasses(m_savedPasses);
    TheSettings().m_astrPluginFiles = m_savedFiles;
}

void SelItemsTest::WriteDataFiles(const std::string& windows, const std::string& apps, const std::string& custom)
{
    // A file without modules is complained about at every build: each holds at least one.
    testsupport::WriteFileBytes(m_temp / "InetEng.dat", Scrambled(Module(2000, "浏览器项目", 12)));
    testsupport::WriteFileBytes(m_temp / "SysEng.dat", Scrambled(windows.empty() ? Module(2100, "系统项目", 24) : windows));
    testsupport::WriteFileBytes(m_temp / "AppsEng.dat", Scrambled(apps.empty() ? Module(2200, "应用程序项目", 23) : apps));
    testsupport::WriteFileBytes(CustomFile(), Scrambled(custom.empty() ? Module(2400, "磁盘项目", 21) : custom));
    g_theScanningThreadsParam.Build();
}

std::string SelItemsTest::CustomFileText() const
{
    return Scrambled(testsupport::ReadFileBytes(CustomFile()));
}

HWND SelItemsTest::Open(int category, bool quietCustomWarning)
{
    Close();
    if (quietCustomWarning) testsupport::SetRegDword(kWarningChecksKey, kCustomItemsWarningKey, 1);
    m_dlg = std::make_unique<CSelItemsDlg>(&g_theScanningThreadsParam);
    m_dlg->m_nCategory = category;
    m_dlg->m_strCaption = "项目设置测试";
    m_hwnd = m_dlg->Create();
    m_list = GetDlgItem(m_hwnd, IDC_ITEMS_LIST);
    return m_hwnd;
}

std::vector<std::string> SelItemsTest::RowTexts() const
{
    std::vector<std::string> texts;
    for (int row = 0; row < Rows(); ++row) texts.push_back(List().GetItemText(row, 0));
    return texts;
}

std::vector<int> SelItemsTest::RowStates() const
{
    std::vector<int> states;
    for (int row = 0; row < Rows(); ++row) states.push_back(List().GetStateImage(row));
    return states;
}

void SelItemsTest::Select(const std::vector<int>& rows, int focused)
{
    List().SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (int row : rows) List().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    if (focused >= 0) List().SetItemState(focused, LVIS_FOCUSED, LVIS_FOCUSED);
}

void SelItemsTest::OpenSubCategory(int row)
{
    Select({row}, row);
    SendMessageA(m_hwnd, WM_COMMAND, MAKEWPARAM(IDC_ITEMS_FORWARD, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(IDC_ITEMS_FORWARD)));
}

int SelItemsTest::NavImage(int buttonId) const
{
    const LRESULT shown = SendMessageA(Item(buttonId), BM_GETIMAGE, IMAGE_BITMAP, 0);
    for (int id = IDB_NAV_BACK_ON; id <= IDB_NAV_BACK_OFF; ++id)
        if (shown && shown == reinterpret_cast<LRESULT>(m_dlg->NavBitmap(id))) return id;
    return 0;
}

long long SelItemsTest::ItemState(int id)
{
    DWORD value = 0xdeadbeef;
    return testsupport::ReadRegDword(kItemStatesKey, "MC" + std::to_string(id), value) ? static_cast<long long>(value)
                                                                                       : -1;
}

void SelItemsTest::SetItemState(int id, DWORD value)
{
    testsupport::SetRegDword(kItemStatesKey, "MC" + std::to_string(id), value);
}

}  // namespace selitemstest
