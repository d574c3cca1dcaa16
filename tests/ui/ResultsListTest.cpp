// The results list in a real list view of the main window's template: columns and stored widths,
// the rows of every kind, the comparators on size and date cells, sorting with the header mark and
// the stored sort state, the check commands, mouse and keyboard, the context menu's greying,
// opening files through the shell seam, clearing the statistics, and the text log byte for byte
// with its 50,000-row limit.
#include "ui/ResultsList.h"

#include "UiFixture.h"
#include "app/Utilities.h"
#include "catalogue/ModList.h"
#include "catalogue/PathVars.h"
#include "framework/Dialog.h"
#include "framework/FileErrorBox.h"
#include "framework/MbString.h"
#include "resource.h"
#include "support/WindowDriver.h"

#include <map>
#include <string>
#include <vector>

using testsupport::PumpUntil;

namespace {

const char kSettingsKey[] = "Software\\Venmoor\\Quillon\\Settings";
const char kColumnsKey[] = "Software\\Venmoor\\Quillon\\PreviewListSettings";

// The main window's template with only the results list and the status bar brought to life, the
// way the main window initialises them, passing the list's commands and notifications on.
class CResultsHost : public framework::CDialog {
public:
    CResultsHost() : CDialog(IDD_MAIN) {}
    ~CResultsHost() override
    {
        if (m_hWnd) DestroyWindow(m_hWnd);
    }

    CResultsList m_results;
    framework::CStatusBar m_status;

protected:
    BOOL OnInitDialog() override
    {
        m_status.Create(m_hWnd, IDC_STATUSBAR);
        const int edges[4] = {200, 333, 466, -1};
        m_status.SetParts(4, edges);
        m_results.Attach(GetItem(IDC_RESULTS), m_status.GetHwnd());
        m_results.BuildResultColumns();
        m_results.ApplyLook();
        m_results.RestoreColumnWidths();
        m_results.AttachImageLists();
        m_results.RestoreSortState();
        return TRUE;
    }
    bool OnCommand(WORD id, WORD code, HWND control) override
    {
        return m_results.OnCommand(id) || CDialog::OnCommand(id, code, control);
    }
    LRESULT OnNotify(NMHDR* header) override
    {
        LRESULT result = 0;
        return m_results.OnNotify(header, result) ? result : CDialog::OnNotify(header);
    }
};

struct ShellCall {
    std::string verb, file, parameters;
    bool hasFolder = false;
    bool hasOwner = false;
    int show = 0;
};
std::vector<ShellCall> g_shellCalls;
INT_PTR g_shellResult = 42;

HINSTANCE WINAPI RecordShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR folder, INT show)
{
    g_shellCalls.push_back({verb ? verb : "", file ? file : "", parameters ? parameters : "", folder != nullptr,
                            owner != nullptr, show});
    return reinterpret_cast<HINSTANCE>(g_shellResult);
}

int g_saveDialogs = 0;
std::string g_saveInitialDir;
std::string g_savePath;  // empty: the dialog is cancelled

bool ChooseRecordedFile(HWND, const std::string& initialDir, std::string& path)
{
    ++g_saveDialogs;
    g_saveInitialDir = initialDir;
    path = g_savePath;
    return !g_savePath.empty();
}

__time64_t LocalTime(int year, int month, int day, int hour, int minute)
{
    struct tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    return _mktime64(&t);
}

class ResultsListTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        g_theScanningThreadsParam.m_bBusy = false;
        g_shellCalls.clear();
        g_shellResult = 42;
        SetShellExecuteForTesting(RecordShellExecute);
        g_saveDialogs = 0;
        g_saveInitialDir = "unset";
        g_savePath.clear();
        CResultsList::SetChooseSaveFileForTesting(ChooseRecordedFile);
    }
    void TearDown() override
    {
        m_host.reset();
        g_theScanningThreadsParam.m_bBusy = false;
        SetShellExecuteForTesting(nullptr);
        CResultsList::SetChooseSaveFileForTesting(nullptr);
    }

    // Starts (or restarts) the window.
    CResultsList& Open()
    {
        m_host.reset(new CResultsHost);
        m_hwnd = m_host->Create();
        EXPECT_NE(m_hwnd, nullptr);
        m_list = GetDlgItem(m_hwnd, IDC_RESULTS);
        return m_host->m_results;
    }
    CResultsList& Results() { return m_host->m_results; }
    framework::CListView View() const { return framework::CListView(m_list); }

    int AddFile(const std::string& path, DWORD size, const CFileStatus* status = nullptr)
    {
        CFoundObject object;
        object.m_strPath = path;
        object.m_nKind = kObjFile;
        object.m_dwSize = size;
        object.m_pStatus = status;
        return Results().AddResultRow(object, View().GetItemCount());
    }
    int AddObject(const std::string& path, int kind, DWORD size = 0)
    {
        CFoundObject object;
        object.m_strPath = path;
        object.m_nKind = kind;
        object.m_dwSize = size;
        return Results().AddResultRow(object, View().GetItemCount());
    }

    std::string Cell(int row, int column) const { return View().GetItemText(row, column); }
    std::vector<std::string> ColumnTexts(int column) const
    {
        std::vector<std::string> texts;
        for (int row = 0; row < View().GetItemCount(); ++row) texts.push_back(Cell(row, column));
        return texts;
    }
    std::vector<std::string> Titles() const
    {
        std::vector<std::string> titles;
        for (int column = 0; column < View().GetColumnCount(); ++column) titles.push_back(View().GetColumnTitle(column));
        return titles;
    }
    std::vector<int> CheckedRows() const
    {
        std::vector<int> rows;
        for (int row = 0; row < View().GetItemCount(); ++row)
            if (View().GetStateImage(row) == kStateChecked) rows.push_back(row);
        return rows;
    }
    void Select(const std::vector<int>& rows, int focused = -1)
    {
        View().SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (int row : rows) View().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
        if (focused >= 0) View().SetItemState(focused, LVIS_FOCUSED, LVIS_FOCUSED);
    }
    void Command(WORD id) { SendMessageA(m_hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    static long long SettingsValue(const char* name)
    {
        DWORD value = 0xdeadbeef;
        return testsupport::ReadRegDword(kSettingsKey, name, value) ? static_cast<long long>(value) : -1;
    }
    static long long StoredWidth(int column)
    {
        DWORD value = 0xdeadbeef;
        return testsupport::ReadRegDword(kColumnsKey, framework::Format("ColWidth%d", column), value)
                   ? static_cast<long long>(value)
                   : -1;
    }

    // Client point in the middle of a row's label, or on its check box.
    POINT LabelPoint(int row) const { return testsupport::ListLabelPoint(m_list, row); }
    POINT CheckBoxPoint(int row) const
    {
        const POINT point = testsupport::ListCheckBoxPoint(m_list, row);
        if (point.x < 0) ADD_FAILURE() << "no check box found in row " << row;
        return point;
    }
    static void Click(HWND hwnd, POINT point) { testsupport::ClickAt(hwnd, point); }
    void RightClick(POINT point) { testsupport::RightClickAt(m_list, point); }
    void ClickHeader(int column)
    {
        HWND header = View().GetHeader();
        RECT item = {};
        SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&item));
        Click(header, {(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    }

    std::unique_ptr<CResultsHost> m_host;
    HWND m_hwnd = nullptr;
    HWND m_list = nullptr;
};

// Watches for the program's message box (caption string 160, the main window's caption too), reads
// its text and presses OK.
class InfoBoxWatcher {
public:
    explicit InfoBoxWatcher(HWND mainWindow)
        : m_watcher(
              [mainWindow] {
                  auto found = testsupport::FindTopLevelWindows([mainWindow](HWND w) {
                      return w != mainWindow && testsupport::ClassName(w) == "#32770" &&
                             testsupport::WindowText(w) == "Quillon 汉化版";
                  });
                  return found.empty() ? HWND() : found.front();
              },
                    [this](HWND box) {
                        m_text = testsupport::MessageBoxText(box);
                        PostMessageA(box, WM_COMMAND, IDOK, 0);
                    })
    {
    }
    bool Seen() { return m_watcher.Found(); }
    bool NotSeen() { return !m_watcher.Stop(); }
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
    testsupport::WindowWatcher m_watcher;
};

}  // namespace

// ------------------------------------------------------------------ columns, look, widths

TEST_F(ResultsListTest, FiveColumnsWithTitlesWidthsAlignmentAndLook)
{
    Open();
    View().InsertColumn(5, "多余", 40, LVCFMT_LEFT);
    Results().BuildResultColumns();  // rebuilt at every scan: the old columns go first
    EXPECT_EQ(Titles(), (std::vector<std::string>{"已找到的对象", "对象类型", "大小", "最后访问", "最后修改"}));
    const int widths[] = {350, 85, 75, 100, 125};
    for (int column = 0; column < 5; ++column) {
        EXPECT_EQ(View().GetColumnWidth(column), widths[column]) << column;
        LVCOLUMNA col = {};
        col.mask = LVCF_FMT;
        SendMessageA(m_list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&col));
        EXPECT_EQ(col.fmt & LVCFMT_JUSTIFYMASK, column == 0 ? LVCFMT_LEFT : LVCFMT_RIGHT) << column;
    }

    const DWORD look = LVS_EX_FULLROWSELECT | LVS_EX_BORDERSELECT | LVS_EX_GRIDLINES;
    EXPECT_EQ(View().GetExtendedStyle() & look, look);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(m_list, LVM_GETBKCOLOR, 0, 0)), RGB(252, 252, 252));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(m_list, LVM_GETTEXTCOLOR, 0, 0)), RGB(0, 0, 58));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(m_list, LVM_GETTEXTBKCOLOR, 0, 0)), RGB(247, 247, 247));
    testsupport::SetRegDword(kSettingsKey, "HideGridlines", 1);
    Results().ApplyLook();
    EXPECT_EQ(View().GetExtendedStyle() & look, static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_BORDERSELECT));
    testsupport::SetRegDword(kSettingsKey, "HideGridlines", 2);  // only exactly 1 hides them
    Results().ApplyLook();
    EXPECT_EQ(View().GetExtendedStyle() & look, look);

    // The shell's small icons and the two check-box images, shared so the shell's list survives.
    SHFILEINFOA info = {};
    auto system = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
    EXPECT_EQ(View().GetImageList(LVSIL_SMALL), system);
    HIMAGELIST states = View().GetImageList(LVSIL_STATE);
    ASSERT_NE(states, nullptr);
    EXPECT_GE(ImageList_GetImageCount(states), 2);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(states, &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_NE(GetWindowLongA(m_list, GWL_STYLE) & LVS_SHAREIMAGELISTS, 0);
    Open();  // a second window after the first one has gone still gets the shell's list
    EXPECT_EQ(View().GetImageList(LVSIL_SMALL), system);
}

TEST_F(ResultsListTest, StoredWidthsApplyOnlyFrom1To9999AndZeroIsNeverWritten)
{
    testsupport::SetRegDword(kColumnsKey, "ColWidth0", 200);
    testsupport::SetRegDword(kColumnsKey, "ColWidth1", 0);
    testsupport::SetRegDword(kColumnsKey, "ColWidth2", 10000);
    testsupport::SetRegDword(kColumnsKey, "ColWidth3", 9999);
    testsupport::SetRegString(kColumnsKey, "ColWidth4", "60");
    Open();
    EXPECT_EQ(View().GetColumnWidth(0), 200);
    EXPECT_EQ(View().GetColumnWidth(1), 85);
    EXPECT_EQ(View().GetColumnWidth(2), 75);
    EXPECT_EQ(View().GetColumnWidth(3), 9999);
    EXPECT_EQ(View().GetColumnWidth(4), 125);

    testsupport::SetRegDword(kColumnsKey, "ColWidth4", 1);
    Results().BuildResultColumns();
    EXPECT_EQ(View().GetColumnWidth(0), 350);
    Results().RestoreColumnWidths();
    EXPECT_EQ(View().GetColumnWidth(0), 200);
    EXPECT_EQ(View().GetColumnWidth(4), 1);

    Results().SaveColumnWidth(1, 0);
    EXPECT_EQ(StoredWidth(1), 0);  // the value seeded above, untouched
    Results().SaveColumnWidth(2, 0);
    EXPECT_EQ(StoredWidth(2), 10000);
    Results().SaveColumnWidth(2, 123);
    EXPECT_EQ(StoredWidth(2), 123);
}

TEST_F(ResultsListTest, DividerDragAndDoubleClickStoreWidthsEvenWhileBusy)
{
    Open();
    g_theScanningThreadsParam.m_bBusy = true;
    HWND header = View().GetHeader();
    RECT item = {};
    SendMessageA(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const int divider = item.right - 1;
    const int y = (item.top + item.bottom) / 2;
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(divider, y));
    SendMessageA(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(divider + 40, y));
    SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(divider + 40, y));
    EXPECT_EQ(StoredWidth(1), View().GetColumnWidth(1));
    EXPECT_GT(StoredWidth(1), 85);

    // A double-click on a divider fits the column to its contents; the list's new width is stored.
    AddFile("C:\\一个很长很长的文件夹名称\\又一个很长很长的文件名称.txt", 10);
    SendMessageA(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    SendMessageA(header, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(item.right - 1, y));
    SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(item.right - 1, y));
    EXPECT_EQ(StoredWidth(0), View().GetColumnWidth(0));
    EXPECT_NE(StoredWidth(0), 350);

    // The notifications as such: an end of drag with width 0 writes nothing.
    NMHEADERA notify = {};
    HDITEMA width = {};
    width.mask = HDI_WIDTH;
    width.cxy = 0;
    notify.hdr = {header, 0, static_cast<UINT>(HDN_ENDTRACKA)};
    notify.iItem = 3;
    notify.pitem = &width;
    LRESULT result = 1;
    EXPECT_TRUE(Results().OnNotify(&notify.hdr, result));
    EXPECT_EQ(StoredWidth(3), -1);
    width.cxy = 140;
    notify.hdr.code = HDN_ENDTRACKW;
    Results().OnNotify(&notify.hdr, result);
    EXPECT_EQ(StoredWidth(3), 140);
}

// ------------------------------------------------------------------ rows

TEST_F(ResultsListTest, RowsShowEveryKindWithIconsSizesAndDates)
{
    Open();
    const __time64_t accessed = LocalTime(2006, 1, 31, 23, 59);
    const __time64_t modified = LocalTime(2005, 12, 3, 7, 5);
    CFileStatus status;
    status.m_tAccess = accessed;
    status.m_tModification = modified;

    AddObject("C:\\未知\\对象.bin", kObjUnknown, 1536);
    AddFile("C:\\temp\\正好一兆.dat", 1048576, &status);
    AddFile("C:\\temp\\大一点.dat", 1048577);
    AddObject("user@site.com/", kObjCookie, 300);
    AddObject("HKCU\\Software\\Test", kObjRegKey, 99);
    AddObject("HKCU\\Software\\Test\\Value", kObjRegValue);
    AddObject("http://example.com/", kObjTypedUrl, 12);
    AddObject("C:\\other.kind", 9, 4096);
    AddObject("C:\\zero.tmp", kObjFile, 0);

    const std::vector<std::vector<std::string>> expected = {
        {"C:\\未知\\对象.bin", "未知", "1.50 KB", "无", "无"},
        {"C:\\temp\\正好一兆.dat", "普通文件", "1024.00 KB", "31/01/2006", "03/12/2005 07:05"},
        {"C:\\temp\\大一点.dat", "普通文件", "1.00 MB", "无", "无"},
        {"user@site.com/", "Cookie", "300 字节", "无", "无"},
        {"HKCU\\Software\\Test", "注册表键", "无", "无", "无"},
        {"HKCU\\Software\\Test\\Value", "注册表键值", "无", "无", "无"},
        {"http://example.com/", "IE 已输入的 URL", "无", "无", "无"},
        {"C:\\other.kind", "无", "无", "无", "无"},
        {"C:\\zero.tmp", "普通文件", "0.00 KB", "无", "无"},
    };
    ASSERT_EQ(View().GetItemCount(), static_cast<int>(expected.size()));
    for (int row = 0; row < View().GetItemCount(); ++row) {
        for (int column = 0; column < 5; ++column)
            EXPECT_EQ(Cell(row, column), expected[row][column]) << row << "," << column;
        EXPECT_EQ(View().GetItemData(row), row);
        EXPECT_EQ(View().GetStateImage(row), kStateUnchecked);
    }

    // Icons come from the shell by name; a cookie shows a text file's icon, registry rows the
    // registry editor's.
    auto iconOf = [](const std::string& name) {
        SHFILEINFOA info = {};
        SHGetFileInfoA(name.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
        if (info.hIcon) DestroyIcon(info.hIcon);
        return info.iIcon;
    };
    auto imageOf = [&](int row) {
        LVITEMA lvi = {};
        lvi.mask = LVIF_IMAGE;
        lvi.iItem = row;
        SendMessageA(m_list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lvi));
        return lvi.iImage;
    };
    std::string regedit;
    ResolvePathVar("%WindowsDir%\\regedit.exe", regedit, "\\", true);
    EXPECT_EQ(imageOf(1), iconOf("C:\\temp\\正好一兆.dat"));
    EXPECT_EQ(imageOf(3), iconOf("Text.txt"));
    EXPECT_EQ(imageOf(4), iconOf(regedit));

    // The month-first display follows the setting.
    TheSettings().m_bMonthDayYear = true;
    AddFile("C:\\temp\\月日年.dat", 10, &status);
    TheSettings().m_bMonthDayYear = false;
    EXPECT_EQ(Cell(9, 3), "01/31/2006");
    EXPECT_EQ(Cell(9, 4), "12/03/2005 07:05");
}

TEST_F(ResultsListTest, NewRowsScrollIntoViewAndStreamedRowsAtEachRefresh)
{
    Open();
    for (int i = 0; i < 60; ++i) AddFile(framework::Format("C:\\temp\\f%02d.tmp", i), 100);
    auto lastRowVisible = [&] {
        const int top = static_cast<int>(SendMessageA(m_list, LVM_GETTOPINDEX, 0, 0));
        const int perPage = static_cast<int>(SendMessageA(m_list, LVM_GETCOUNTPERPAGE, 0, 0));
        return View().GetItemCount() - 1 < top + perPage && View().GetItemCount() - 1 >= top;
    };
    EXPECT_TRUE(lastRowVisible());

    Results().BeginRowStream();
    EXPECT_TRUE(Results().IsStreaming());
    for (int i = 0; i < 60; ++i) AddFile(framework::Format("C:\\temp\\g%02d.tmp", i), 100);
    EXPECT_FALSE(lastRowVisible());
    Results().RefreshRowStream();
    EXPECT_TRUE(lastRowVisible());
    for (int i = 0; i < 60; ++i) AddFile(framework::Format("C:\\temp\\h%02d.tmp", i), 100);
    Results().EndRowStream();
    EXPECT_FALSE(Results().IsStreaming());
    EXPECT_TRUE(lastRowVisible());
    EXPECT_EQ(View().GetItemData(179), 179);
    EXPECT_NE(GetWindowLongA(m_list, GWL_STYLE) & WS_VISIBLE, 0);  // drawing is back on
}

namespace {
WNDPROC g_listProc = nullptr;
int g_insertsToRefuse = 0;  // the next LVM_INSERTITEMA fails this many times

LRESULT CALLBACK RefusingListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == LVM_INSERTITEMA && g_insertsToRefuse > 0) {
        --g_insertsToRefuse;
        return -1;
    }
    return CallWindowProcA(g_listProc, hwnd, msg, wp, lp);
}
}  // namespace

// A row that cannot be added leaves its object without a row; every other row still names its own
// object, so a clean never deletes the object of a neighbouring row.
TEST_F(ResultsListTest, RowsCarryTheIndexOfTheirObjectEvenAfterARowCouldNotBeAdded)
{
    Open();
    g_listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(m_list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RefusingListProc)));
    CFoundObject object;
    object.m_nKind = kObjFile;
    for (int index = 0; index < 4; ++index) {
        object.m_strPath = framework::Format("C:\\temp\\o%d.tmp", index);
        g_insertsToRefuse = index == 1 ? 1 : 0;
        const int row = Results().AddResultRow(object, index);
        EXPECT_EQ(row < 0, index == 1);
    }
    SetWindowLongPtrA(m_list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_listProc));
    ASSERT_EQ(View().GetItemCount(), 3);
    for (auto [row, index] : {std::pair{0, 0}, {1, 2}, {2, 3}}) {
        EXPECT_EQ(View().GetItemData(row), index);
        EXPECT_EQ(Cell(row, 0), framework::Format("C:\\temp\\o%d.tmp", index));
    }
}

// ------------------------------------------------------------------ comparators

TEST_F(ResultsListTest, SizeColumnSortsByUnitAndNumberWithNoneLastBothWays)
{
    Open();
    Results().m_bSortAscending = true;
    AddObject("HKCU\\无大小", kObjRegKey);
    AddFile("C:\\b.tmp", 1946);     // 1.90 KB
    AddObject("cookie@site/", kObjCookie, 512);
    AddFile("C:\\c.tmp", 2097152);  // 2.00 MB
    AddFile("C:\\d.tmp", 512);      // 0.50 KB
    AddFile("C:\\e.tmp", 1229);     // 1.20 KB
    std::map<std::string, LPARAM> dataOf;
    for (int row = 0; row < View().GetItemCount(); ++row) dataOf[Cell(row, 0)] = View().GetItemData(row);

    Results().SortByColumn(kColSize);
    EXPECT_EQ(ColumnTexts(kColSize),
              (std::vector<std::string>{"512 字节", "0.50 KB", "1.20 KB", "1.90 KB", "2.00 MB", "无"}));
    Results().SortByColumn(kColSize);
    EXPECT_EQ(ColumnTexts(kColSize),
              (std::vector<std::string>{"2.00 MB", "1.90 KB", "1.20 KB", "0.50 KB", "512 字节", "无"}));
    // Each row keeps its item data (the object's index) wherever it goes.
    for (int row = 0; row < View().GetItemCount(); ++row) EXPECT_EQ(View().GetItemData(row), dataOf[Cell(row, 0)]);

    // The cell rules themselves.
    EXPECT_EQ(CompareSizeCells("无", "无", true), 1);
    EXPECT_EQ(CompareSizeCells("无", "1.00 KB", false), 1);
    EXPECT_EQ(CompareSizeCells("1.00 KB", "无", true), -1);
    EXPECT_EQ(CompareSizeCells("1.20 KB", "1.21 KB", true), -1);  // any difference keeps its sign
    EXPECT_EQ(CompareSizeCells("1.20 KB", "1.21 KB", false), 1);
    EXPECT_EQ(CompareSizeCells("1.50 KB", "1.50 KB", true), 0);
    EXPECT_EQ(CompareSizeCells("10.00 KB", "7.50 KB", true), 2);  // truncated toward zero
    EXPECT_EQ(CompareSizeCells("7.50 KB", "10.00 KB", true), -2);
    EXPECT_EQ(CompareSizeCells("512 字节", "1.00 MB", true), -2);
    EXPECT_EQ(CompareSizeCells("512 字节", "1.00 MB", false), 2);
    EXPECT_EQ(CompareSizeCells("3 GB", "1.00 KB", true), -2);  // a unit outside the table ranks -1
}

TEST_F(ResultsListTest, DatesCompareByApproximateDayCountAndTimesDecideTies)
{
    EXPECT_EQ(DateKey("31/01/2006"), 61 + 365 * 2006 - 30);
    EXPECT_EQ(DateKey("31/01/2006"), DateKey("01/02/2006"));
    EXPECT_EQ(TimeKey("14:05"), 845);
    EXPECT_EQ(TimeKey(" 7 : 30 "), 450);
    EXPECT_EQ(CompareDateCells(" 31/01/2006 ", "01/02/2006", true), 0);
    EXPECT_EQ(CompareDateCells("01/01/2006", "02/01/2006", true), -1);
    EXPECT_EQ(CompareDateCells("01/01/2006", "02/01/2006", false), 1);
    EXPECT_EQ(CompareDateCells("无", "无", false), 1);
    EXPECT_EQ(CompareDateCells("01/01/2006", "无", false), -1);
    EXPECT_EQ(CompareDateTimeCells("31/01/2006 10:00", "01/02/2006 09:00", true), 60);
    EXPECT_EQ(CompareDateTimeCells("31/01/2006 10:00", "01/02/2006 09:00", false), -60);
    EXPECT_EQ(CompareDateTimeCells("30/01/2006 23:59", "01/02/2006 00:00", true), -1);
    EXPECT_EQ(CompareDateTimeCells("无", "01/02/2006 00:00", true), 1);

    std::string left = "x", right = "y";
    SplitAtFirst(" a : b:c ", ":", left, right);
    EXPECT_EQ(left, "a");
    EXPECT_EQ(right, "b:c");
    SplitAtFirst("没有分隔符", ":", left, right);
    EXPECT_EQ(left, "没有分隔符");
    EXPECT_EQ(right, "");
    SplitAtFirst("a:b", "", left, right);
    EXPECT_EQ(left + "|" + right, "|");
    SplitAtFirst("", ":", left, right);
    EXPECT_EQ(left + "|" + right, "|");

    // In the list: 31/01/2006 and 01/02/2006 tie in column 3; in column 4 their times decide.
    Open();
    CFileStatus late, early;
    late.m_tAccess = late.m_tModification = LocalTime(2006, 1, 31, 10, 0);
    early.m_tAccess = early.m_tModification = LocalTime(2006, 2, 1, 9, 0);
    AddObject("cookie@none/", kObjCookie, 1);
    AddFile("C:\\late.tmp", 1, &late);
    AddFile("C:\\early.tmp", 1, &early);
    Results().m_bSortAscending = true;
    Results().SortByColumn(kColModified);
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"C:\\early.tmp", "C:\\late.tmp", "cookie@none/"}));
    Results().SortByColumn(kColModified);
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"C:\\late.tmp", "C:\\early.tmp", "cookie@none/"}));
    Results().SortByColumn(kColAccessed);
    EXPECT_EQ(ColumnTexts(kColAccessed)[2], "无");
}

TEST_F(ResultsListTest, TextColumnsSortLikeLstrcmpAndTakeTheGivenComparator)
{
    Open();
    const std::vector<std::string> paths = {"C:\\b.txt", "c:\\A.txt",  "C:\\a.txt",  "C:\\中文\\文件.txt",
                                            "C:\\_x",    "C:\\10.txt", "C:\\9.txt",  "C:\\表\\档案.txt",
                                            "C:\\a b",   "C:\\ab",     "C:\\A-b",    "D:\\"};
    for (const std::string& path : paths) AddFile(path, 1);
    Results().m_bSortAscending = true;
    Results().SortByColumn(kColObject);
    std::vector<std::string> sorted = ColumnTexts(0);
    for (size_t i = 0; i + 1 < sorted.size(); ++i)
        EXPECT_LE(lstrcmpA(sorted[i].c_str(), sorted[i + 1].c_str()), 0) << sorted[i] << " / " << sorted[i + 1];
    Results().SortByColumn(kColObject);
    sorted = ColumnTexts(0);
    for (size_t i = 0; i + 1 < sorted.size(); ++i)
        EXPECT_GE(lstrcmpA(sorted[i].c_str(), sorted[i + 1].c_str()), 0) << sorted[i] << " / " << sorted[i + 1];
    for (const std::string& a : paths)
        for (const std::string& b : paths) {
            const int expected = lstrcmpA(a.c_str(), b.c_str());
            EXPECT_EQ(CompareTextKeys(TextCellKey(a), TextCellKey(b), true), expected) << a << " / " << b;
            EXPECT_EQ(CompareTextCells(a, b, false), -expected) << a << " / " << b;
        }

    // A comparator given for a text column is used; for the size column it is not.
    PFN_COMPARE_ROWS byLength = [](LPARAM row1, LPARAM row2, LPARAM sortInfo) -> int {
        const CSortInfo& info = *reinterpret_cast<const CSortInfo*>(sortInfo);
        return static_cast<int>(info.Text(row1).size()) - static_cast<int>(info.Text(row2).size());
    };
    Results().SortByColumn(kColObject, byLength);
    EXPECT_EQ(Cell(0, 0), "D:\\");
    Results().m_bSortAscending = false;
    View().SetItemText(0, kColSize, "5.00 MB");
    Results().SortByColumn(kColSize, byLength);
    EXPECT_EQ(Cell(0, kColSize), "5.00 MB");
}

// ------------------------------------------------------------------ sort state

TEST_F(ResultsListTest, HeaderClicksAlternateDirectionAndMarkOnlyAscendingSorts)
{
    Open();  // nothing stored: column 0, sorted descending once, so the next sort ascends
    EXPECT_EQ(Results().m_nSortColumn, 0);
    EXPECT_TRUE(Results().m_bSortAscending);
    EXPECT_EQ(SettingsValue("LastActiveColumn"), 0);
    EXPECT_EQ(SettingsValue("SortAscending"), 0);
    EXPECT_EQ(Titles()[0], "已找到的对象");
    AddFile("C:\\b.tmp", 3000);
    AddFile("C:\\a.tmp", 5000);
    AddFile("C:\\c.tmp", 1000);

    ClickHeader(kColSize);
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"C:\\c.tmp", "C:\\b.tmp", "C:\\a.tmp"}));
    EXPECT_EQ(Titles(), (std::vector<std::string>{"已找到的对象", "对象类型", "大小 (^)", "最后访问", "最后修改"}));
    EXPECT_EQ(SettingsValue("SortAscending"), 1);
    EXPECT_EQ(SettingsValue("LastActiveColumn"), 2);
    ClickHeader(kColSize);
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"C:\\a.tmp", "C:\\b.tmp", "C:\\c.tmp"}));
    EXPECT_EQ(Titles()[2], "大小");
    EXPECT_EQ(SettingsValue("SortAscending"), 0);
    ClickHeader(kColObject);
    EXPECT_EQ(Titles()[0], "已找到的对象 (^)");
    ClickHeader(kColType);  // descending: the old mark goes and none is set
    EXPECT_EQ(Titles(), (std::vector<std::string>{"已找到的对象", "对象类型", "大小", "最后访问", "最后修改"}));
    EXPECT_EQ(SettingsValue("LastActiveColumn"), 1);

    // Stray mark characters at a title's end are all stripped before the mark is set again.
    View().SetColumnTitle(kColSize, "大小 ((^)) ");
    Results().m_bSortAscending = true;
    Results().SortByColumn(kColSize);
    EXPECT_EQ(Titles()[kColSize], "大小 (^)");
    Results().SortByColumn(-1);
    EXPECT_EQ(Titles()[kColSize], "大小");
    EXPECT_EQ(Results().m_nSortColumn, -1);
    EXPECT_EQ(SettingsValue("LastActiveColumn"), 0xFFFFFFFF);

    // A scan's end sorts the new rows the way the user last sorted them.
    Results().m_bSortAscending = true;
    Results().SortByColumn(kColSize);
    AddFile("C:\\d.tmp", 2000);
    Results().ResortAfterRun();
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"C:\\c.tmp", "C:\\d.tmp", "C:\\b.tmp", "C:\\a.tmp"}));
    EXPECT_EQ(Titles()[kColSize], "大小 (^)");
    EXPECT_FALSE(Results().m_bSortAscending);

    // While a worker runs, header clicks do not sort.
    g_theScanningThreadsParam.m_bBusy = true;
    ClickHeader(kColObject);
    EXPECT_EQ(Results().m_nSortColumn, kColSize);
    EXPECT_EQ(Titles()[kColSize], "大小 (^)");
}

TEST_F(ResultsListTest, SortStateIsRestoredAtStartForColumns0To2Only)
{
    struct Case {
        DWORD storedColumn;
        DWORD storedAscending;
        int column;
        std::string markedTitle;  // empty: no title marked
    };
    const Case cases[] = {
        {1, 1, 1, "对象类型 (^)"},
        {2, 1, 2, "大小 (^)"},
        {2, 2, 2, ""},  // only exactly 1 means ascending
        {0, 0, 0, ""},
        {3, 1, -1, ""},  // sorted by a date column: nothing is restored
        {4, 1, -1, ""},
        {0xFFFFFFFF, 1, -1, ""},
    };
    for (const Case& c : cases) {
        testsupport::SetRegDword(kSettingsKey, "LastActiveColumn", c.storedColumn);
        testsupport::SetRegDword(kSettingsKey, "SortAscending", c.storedAscending);
        Open();
        EXPECT_EQ(Results().m_nSortColumn, c.column) << c.storedColumn;
        const bool ascended = c.storedAscending == 1;
        EXPECT_EQ(Results().m_bSortAscending, !ascended) << c.storedColumn;
        EXPECT_EQ(SettingsValue("LastActiveColumn"), c.column == -1 ? 0xFFFFFFFF : c.column);
        EXPECT_EQ(SettingsValue("SortAscending"), ascended ? 1 : 0);
        for (const std::string& title : Titles()) {
            const bool marked = framework::MbsEndsWith(title, " (^)");
            EXPECT_EQ(marked, title == c.markedTitle) << title;
        }
    }
}

// ------------------------------------------------------------------ checks, mouse and keyboard

TEST_F(ResultsListTest, CheckCommandsOnAllRowsAndHighlightedRows)
{
    Open();
    for (int i = 0; i < 5; ++i) AddFile(framework::Format("C:\\f%d.tmp", i), 10);
    Select({1, 3}, 3);
    Command(ID_LIST_CHECK_HIGHLIGHTED);
    EXPECT_EQ(CheckedRows(), (std::vector<int>{1, 3}));
    Command(ID_LIST_INVERT_ALL);
    EXPECT_EQ(CheckedRows(), (std::vector<int>{0, 2, 4}));
    Command(ID_LIST_INVERT_HIGHLIGHTED);
    EXPECT_EQ(CheckedRows(), (std::vector<int>{0, 1, 2, 3, 4}));
    Command(ID_LIST_UNCHECK_HIGHLIGHTED);
    EXPECT_EQ(CheckedRows(), (std::vector<int>{0, 2, 4}));
    Command(ID_LIST_UNCHECK_ALL);
    EXPECT_EQ(CheckedRows(), (std::vector<int>{}));
    Command(ID_LIST_CHECK_ALL);
    EXPECT_EQ(CheckedRows(), (std::vector<int>{0, 1, 2, 3, 4}));
    Results().SetResultChecks(ECheckScope::AllRows, kCheckModeUncheck);
    EXPECT_EQ(CheckedRows(), (std::vector<int>{}));
    for (int row = 0; row < 5; ++row) EXPECT_EQ(View().GetStateImage(row), kStateUnchecked);

    // Nothing changes while a worker runs.
    g_theScanningThreadsParam.m_bBusy = true;
    Command(ID_LIST_CHECK_ALL);
    Command(ID_LIST_INVERT_HIGHLIGHTED);
    EXPECT_EQ(CheckedRows(), (std::vector<int>{}));
    g_theScanningThreadsParam.m_bBusy = false;

    // A list of one row.
    View().DeleteAllItems();
    AddFile("C:\\only.tmp", 10);
    Select({0}, 0);
    Command(ID_LIST_INVERT_HIGHLIGHTED);
    EXPECT_EQ(CheckedRows(), (std::vector<int>{0}));
    Select({});
    Command(ID_LIST_UNCHECK_HIGHLIGHTED);  // nothing highlighted: nothing changes
    EXPECT_EQ(CheckedRows(), (std::vector<int>{0}));
}

TEST_F(ResultsListTest, CheckBoxClickAndSpaceToggleButLabelClicksDoNot)
{
    Open();
    for (int i = 0; i < 3; ++i) AddFile(framework::Format("C:\\f%d.tmp", i), 10);
    Click(m_list, CheckBoxPoint(1));
    EXPECT_EQ(CheckedRows(), (std::vector<int>{1}));
    Click(m_list, CheckBoxPoint(1));
    EXPECT_EQ(CheckedRows(), (std::vector<int>{}));
    Click(m_list, LabelPoint(2));
    EXPECT_EQ(CheckedRows(), (std::vector<int>{}));

    Select({0}, 0);
    SendMessageA(m_list, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(m_list, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(CheckedRows(), (std::vector<int>{0}));

    g_theScanningThreadsParam.m_bBusy = true;
    Click(m_list, CheckBoxPoint(2));
    SendMessageA(m_list, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(CheckedRows(), (std::vector<int>{0}));
}

// ------------------------------------------------------------------ context menu

TEST_F(ResultsListTest, ContextMenuGreysSaveOnEmptyListAndOpenUnlessOneOrdinaryFileWasHit)
{
    Open();
    auto states = [&](int clickedRow) {
        framework::ScopedMenu menu = Results().CreateContextMenu(clickedRow);
        HMENU popup = GetSubMenu(menu.Get(), 0);
        std::string result;
        for (UINT id : {ID_LIST_OPEN, ID_LIST_OPEN_WITH, ID_LIST_SAVE_TEXT, ID_LIST_CLEAR_STATS, ID_LIST_CHECK_ALL,
                        ID_LIST_INVERT_HIGHLIGHTED})
            result += (GetMenuState(popup, id, MF_BYCOMMAND) & MF_GRAYED) ? 'g' : 'e';
        return result;
    };
    EXPECT_EQ(states(-1), "gggeee");
    AddFile("C:\\file.txt", 10);
    AddObject("cookie@site/", kObjCookie, 10);
    AddFile("C:\\second.txt", 10);
    Select({0}, 0);
    EXPECT_EQ(states(0), "eeeeee");
    EXPECT_EQ(states(-1), "ggeeee");  // empty space below the rows
    Select({1}, 1);
    EXPECT_EQ(states(1), "ggeeee");   // a cookie
    Select({0, 2}, 0);
    EXPECT_EQ(states(0), "ggeeee");   // two rows highlighted

    // A real right-click on the cookie row: the menu comes up with the open commands greyed.
    Select({1}, 1);
    std::string seen;
    testsupport::WindowWatcher watcher(
        [] {
            auto found = testsupport::FindTopLevelWindows([](HWND w) { return testsupport::ClassName(w) == "#32768"; });
            return found.empty() ? HWND() : found.front();
        },
        [&](HWND menuWindow) {
            HMENU shown = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
            seen += (GetMenuState(shown, ID_LIST_OPEN, MF_BYCOMMAND) & MF_GRAYED) ? 'g' : 'e';
            seen += (GetMenuState(shown, ID_LIST_SAVE_TEXT, MF_BYCOMMAND) & MF_GRAYED) ? 'g' : 'e';
            PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessageA(m_hwnd, WM_CANCELMODE, 0, 0);
        });
    const POINT point = LabelPoint(1);
    RightClick(point);
    EXPECT_TRUE(watcher.Found());
    EXPECT_EQ(seen, "ge");

    // While a worker runs the menu does not come up.
    g_theScanningThreadsParam.m_bBusy = true;
    testsupport::WindowWatcher none(
        [] {
            auto found = testsupport::FindTopLevelWindows([](HWND w) { return testsupport::ClassName(w) == "#32768"; });
            return found.empty() ? HWND() : found.front();
        },
        [&](HWND menuWindow) {
            PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessageA(m_hwnd, WM_CANCELMODE, 0, 0);
        },
        300);
    RightClick(point);
    EXPECT_FALSE(none.Found());
}

// ------------------------------------------------------------------ opening files

TEST_F(ResultsListTest, OpenSelectedFileUsesTheShellAndFallsBackToOpenWith)
{
    Open();
    AddFile("C:\\文件夹\\报告.doc", 10);
    AddObject("cookie@site/", kObjCookie, 10);
    AddFile("C:\\other.txt", 10);

    Select({0}, 0);
    Command(ID_LIST_OPEN);
    ASSERT_EQ(g_shellCalls.size(), 1u);
    EXPECT_EQ(g_shellCalls[0].verb, "open");
    EXPECT_EQ(g_shellCalls[0].file, "C:\\文件夹\\报告.doc");
    EXPECT_EQ(g_shellCalls[0].parameters, "");
    EXPECT_FALSE(g_shellCalls[0].hasFolder);
    EXPECT_FALSE(g_shellCalls[0].hasOwner);
    EXPECT_EQ(g_shellCalls[0].show, SW_SHOWNORMAL);

    // No program for the extension: the system's Open-with dialog instead.
    g_shellCalls.clear();
    g_shellResult = SE_ERR_NOASSOC;
    Command(ID_LIST_OPEN);
    ASSERT_EQ(g_shellCalls.size(), 2u);
    EXPECT_EQ(g_shellCalls[1].verb, "open");
    EXPECT_EQ(g_shellCalls[1].file, "rundll32.exe");
    EXPECT_EQ(g_shellCalls[1].parameters, "shell32.dll,OpenAs_RunDLL C:\\文件夹\\报告.doc");
    EXPECT_EQ(g_shellCalls[1].show, SW_SHOWNORMAL);

    // Other failures end the command quietly.
    g_shellCalls.clear();
    g_shellResult = SE_ERR_FNF;
    Command(ID_LIST_OPEN);
    EXPECT_EQ(g_shellCalls.size(), 1u);

    g_shellCalls.clear();
    Command(ID_LIST_OPEN_WITH);
    ASSERT_EQ(g_shellCalls.size(), 1u);
    EXPECT_EQ(g_shellCalls[0].file, "rundll32.exe");

    // Only one highlighted ordinary file opens.
    g_shellCalls.clear();
    Select({1}, 1);
    Command(ID_LIST_OPEN);
    Command(ID_LIST_OPEN_WITH);
    Select({0, 2}, 0);
    Command(ID_LIST_OPEN);
    Select({}, 0);
    Command(ID_LIST_OPEN);
    g_theScanningThreadsParam.m_bBusy = true;
    Select({2}, 2);
    Command(ID_LIST_OPEN);
    EXPECT_EQ(g_shellCalls.size(), 0u);
    g_theScanningThreadsParam.m_bBusy = false;

    // A double-click on the label of the one highlighted row opens it.
    g_shellResult = 42;
    const POINT point = LabelPoint(2);
    SendMessageA(m_list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    SendMessageA(m_list, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    SendMessageA(m_list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    SendMessageA(m_list, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    ASSERT_EQ(g_shellCalls.size(), 1u);
    EXPECT_EQ(g_shellCalls[0].file, "C:\\other.txt");
}

// ------------------------------------------------------------------ statistics and the log

TEST_F(ResultsListTest, ClearStatisticsEmptiesTheStatusBarButKeepsTheRows)
{
    Open();
    AddFile("C:\\a.tmp", 10);
    framework::CStatusBar& status = m_host->m_status;
    for (int part = 0; part < 4; ++part) status.SetText(part, framework::Format("文字 %d", part));
    Command(ID_LIST_CLEAR_STATS);
    EXPECT_EQ(status.GetText(0), "就绪");
    for (int part = 1; part < 4; ++part) {
        EXPECT_EQ(status.GetText(part), "");
        const LRESULT info = SendMessageA(status.GetHwnd(), SB_GETTEXTLENGTHA, part, 0);
        EXPECT_EQ(HIWORD(info) & SBT_POPOUT, SBT_POPOUT) << part;
    }
    EXPECT_EQ(View().GetItemCount(), 1);

    status.SetText(1, "忙");
    g_theScanningThreadsParam.m_bBusy = true;
    Command(ID_LIST_CLEAR_STATS);
    EXPECT_EQ(status.GetText(1), "忙");
}

TEST_F(ResultsListTest, LogHoldsTheHeaderOneLinePerRowAndTheClosingBlock)
{
    Open();
    framework::CStatusBar& status = m_host->m_status;
    status.SetText(1, "上次清理: 01/02/2006");
    status.SetText(2, "总计大小: 0.01 MB");
    status.SetText(3, "已发现对象: 2");
    AddFile("C:\\临时\\日志.log", 1536);
    AddObject("user@表.com/", kObjCookie, 77);

    g_savePath = m_temp / "扫描结果.txt";
    const __time64_t before = _time64(nullptr);
    Command(ID_LIST_SAVE_TEXT);
    const __time64_t after = _time64(nullptr);
    EXPECT_EQ(g_saveDialogs, 1);
    std::string documents;
    ASSERT_EQ(ResolvePathVar("%PersonalData%", documents), 1);
    EXPECT_EQ(g_saveInitialDir, documents);

    const std::string dashes(65, '-');
    // The registered sign as the ANSI code page has it (code page 936 has no such character).
    char registered[8] = "";
    WideCharToMultiByte(CP_ACP, 0, L"\u00ae", 1, registered, sizeof registered - 1, nullptr, nullptr);
    auto expectedAt = [&](__time64_t now) {
        struct tm local = {};
        _localtime64_s(&local, &now);
        const std::string when = framework::Format("%02d/%02d/%04d  %02d:%02d:%02d", local.tm_mday, local.tm_mon + 1,
                                                   local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
        return std::string("[Quillon") + registered + " 扫描结果文件]\r\n" + dashes + "\r\n日期与事件: " + when +
               "\r\n上次清理: 01/02/2006\r\n已发现对象: 2\r\n总计大小: 0.01 MB\r\n" + dashes +
               "\r\n已发现的对象列表: (注意: 这些对象还未被删除)\r\n\r\n"
               "普通文件: [ C:\\临时\\日志.log   1.50 KB ]\r\n"
               "Cookie: [ user@表.com/   77 字节 ]\r\n"
               "\r\n" + dashes + "\r\n";
    };
    const std::string written = testsupport::ReadFileBytes(g_savePath);
    EXPECT_TRUE(written == expectedAt(before) || written == expectedAt(after)) << written;

    // Saving again replaces the file; the list's current order is the log's order.
    Results().m_bSortAscending = true;
    Results().SortByColumn(kColType);
    Command(ID_LIST_SAVE_TEXT);
    const std::string again = testsupport::ReadFileBytes(g_savePath);
    EXPECT_EQ(again.size(), written.size());
    EXPECT_LT(again.find("Cookie: ["), again.find("普通文件: ["));

    // A cancelled dialog writes nothing.
    DeleteFileA(g_savePath.c_str());
    g_savePath.clear();
    Command(ID_LIST_SAVE_TEXT);
    EXPECT_EQ(g_saveDialogs, 3);
    EXPECT_FALSE(testsupport::FileExists(m_temp / "扫描结果.txt"));
}

TEST_F(ResultsListTest, EmptyListOrBusyWindowSavesNothingAndAsksNothing)
{
    Open();
    g_savePath = m_temp / "log.txt";
    InfoBoxWatcher box(m_hwnd);
    Command(ID_LIST_SAVE_TEXT);
    AddFile("C:\\a.tmp", 1);
    g_theScanningThreadsParam.m_bBusy = true;
    Command(ID_LIST_SAVE_TEXT);
    EXPECT_TRUE(box.NotSeen());
    EXPECT_EQ(g_saveDialogs, 0);
    EXPECT_FALSE(testsupport::FileExists(g_savePath));
}

TEST_F(ResultsListTest, FiftyThousandRowsAreSavedAndOneMoreIsRefused)
{
    Open();
    Results().BeginRowStream();
    for (int i = 0; i < 50000; ++i) AddFile(framework::Format("C:\\t\\%05d.tmp", i), static_cast<DWORD>(i));
    Results().EndRowStream();
    g_savePath = m_temp / "big.txt";
    Command(ID_LIST_SAVE_TEXT);
    const std::string log = testsupport::ReadFileBytes(g_savePath);
    size_t lines = 0;
    for (size_t at = log.find("\r\n"); at != std::string::npos; at = log.find("\r\n", at + 2)) ++lines;
    EXPECT_EQ(lines, 9u + 50000u + 2u);
    EXPECT_NE(log.find("\r\n\r\n普通文件: [ C:\\t\\00000.tmp   0.00 KB ]\r\n"), std::string::npos);
    EXPECT_TRUE(framework::MbsEndsWith(log, "普通文件: [ C:\\t\\49999.tmp   48.83 KB ]\r\n\r\n" + std::string(65, '-') + "\r\n"));

    AddFile("C:\\t\\50000.tmp", 1);
    DeleteFileA(g_savePath.c_str());
    InfoBoxWatcher box(m_hwnd);
    Command(ID_LIST_SAVE_TEXT);
    ASSERT_TRUE(box.Seen());
    EXPECT_EQ(box.Text(), "无法执行该任务...\n列表中有太多的对象需要保存。");
    EXPECT_EQ(g_saveDialogs, 1);
    EXPECT_FALSE(testsupport::FileExists(g_savePath));
}

TEST_F(ResultsListTest, LogThatCannotBeCreatedShowsTheFileErrorBoxAndKeepsTheOldFile)
{
    Open();
    AddFile("C:\\a.tmp", 1);
    auto saveExpectingBox = [&](const std::string& path) {
        g_savePath = path;
        InfoBoxWatcher box(m_hwnd);
        Command(ID_LIST_SAVE_TEXT);
        EXPECT_TRUE(box.Seen()) << path;
        return box.Text();
    };

    // Another program writes the file.
    const std::string locked = m_temp / "锁定.txt";
    testsupport::WriteFileBytes(locked, "old");
    {
        framework::ScopedKernelHandle other(
            CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(other);
        EXPECT_EQ(saveExpectingBox(locked), framework::FileErrorText(framework::FileErrorCause::SharingViolation, locked));
    }
    EXPECT_EQ(testsupport::ReadFileBytes(locked), "old");

    // A folder of that name.
    const std::string folder = m_temp / "日志.txt";
    testsupport::MakeFolder(folder);
    EXPECT_EQ(saveExpectingBox(folder), framework::FileErrorText(framework::FileErrorCause::AccessDenied, folder));

    const std::string missing = m_temp / "没有的文件夹\\log.txt";
    EXPECT_EQ(saveExpectingBox(missing), framework::FileErrorText(framework::FileErrorCause::BadPath, missing));
}
