// The items dialog over a real catalogue: its template, list look and overview rows; the overview's
// mixed state and what clicks and check commands do to whole sub-categories; the warnings of warned
// plug-in items on every way of checking them; Space alternating; the description that follows the
// row a key is about to focus; navigation by buttons, double-click and Alt+arrow accelerators; the
// context menu's greying; the ways the dialog closes; and the main window's four category buttons.
#include "SelItemsFixture.h"

#include "MainDlgFixture.h"
#include "app/Utilities.h"
#include "framework/MbString.h"

#include <atomic>

using namespace selitemstest;
using testsupport::WindowText;

namespace {

// Category 0 holds the built-ins 1100..1102 (sub-category 0) and 1103..1105 (1) besides these.
std::string WindowsModules()
{
    return Module(2100, "高级项目甲", 2) + Module(2101, "高级项目乙", 2) + Module(2109, "无处显示", 9);
}

// Category 2, sub-category 0: two warned items and one without warning.
std::string WarnedModules()
{
    return Module(2300, "压缩软件历史", 20, "ModWarningTxt=会删除存档列表\r\n") +
           Module(2301, "下载工具历史", 20, "ModWarningTxt=下载记录无法恢复\r\n") + Module(2302, "播放列表", 20);
}

std::string WarningText(const std::string& title, const std::string& warning)
{
    return "关于“" + title + "”的警告。\n\n[" + warning + "]";
}

class ItemsDlgTest : public SelItemsTest {};
class CategoryButtonTest : public maindlgtest::MainDlgTest {};

}  // namespace

// ------------------------------------------------------------------ template, look, overview

TEST_F(ItemsDlgTest, TemplateListLookAndTheOverviewRowsOfEveryCategory)
{
    ASSERT_NE(Open(0), nullptr);
    EXPECT_EQ(WindowText(m_hwnd), "项目设置测试");
    struct {
        int id;
        const char* className;
        const char* text;
        bool visible;
    } controls[] = {
        {IDC_ITEMS_LIST, "SysListView32", "", true},   {IDC_ITEMS_SAVE, "Button", "保存", true},
        {IDC_HINT, "Edit", nullptr, true},             {IDC_ITEM_DESCRIPTION, "Edit", nullptr, true},
        {IDC_ITEMS_BACK, "Button", "GOBACKBTN", true}, {IDC_ITEMS_FORWARD, "Button", "", true},
        {IDC_CUSTOM_COMMANDS, "Button", "命令", false}, {IDC_CUSTOM_FOLDER_LABEL, "Static", "要扫描的文件夹:", false},
        {IDC_CUSTOM_FOLDER, "Edit", "", false},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.id);
        ASSERT_NE(Item(c.id), nullptr);
        EXPECT_EQ(testsupport::ClassName(Item(c.id)), c.className);
        if (c.text) {
            EXPECT_EQ(WindowText(Item(c.id)), c.text);
        }
        EXPECT_EQ(Shown(c.id), c.visible);
    }
    EXPECT_NE(GetWindowLongA(Item(IDC_HINT), GWL_STYLE) & ES_READONLY, 0);
    EXPECT_NE(GetWindowLongA(Item(IDC_ITEM_DESCRIPTION), GWL_STYLE) & ES_READONLY, 0);
    EXPECT_EQ(GetWindowLongA(m_list, GWL_STYLE) & LVS_SINGLESEL, 0) << "several rows may be highlighted";
    EXPECT_EQ(WindowText(Item(IDC_HINT)), LoadResString(IDS_ITEMS_HINT));
    EXPECT_EQ(Description(), LoadResString(IDS_DESCRIPTION_HINT));

    EXPECT_EQ(List().GetColumnCount(), 1);
    EXPECT_EQ(List().GetColumnTitle(0), "该类别中需要清理的项目");
    EXPECT_EQ(List().GetColumnWidth(0), 301);
    const DWORD look = LVS_EX_FULLROWSELECT | LVS_EX_BORDERSELECT;
    EXPECT_EQ(List().GetExtendedStyle() & look, look);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(m_list, LVM_GETBKCOLOR, 0, 0)), RGB(249, 249, 249));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(m_list, LVM_GETTEXTCOLOR, 0, 0)), RGB(0, 0, 90));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(m_list, LVM_GETTEXTBKCOLOR, 0, 0)), RGB(240, 240, 240));
    HIMAGELIST items = List().GetImageList(LVSIL_SMALL);
    HIMAGELIST states = List().GetImageList(LVSIL_STATE);
    ASSERT_TRUE(items && states);
    EXPECT_EQ(ImageList_GetImageCount(items), 33);
    EXPECT_EQ(ImageList_GetImageCount(states), 3);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(items, &cx, &cy);
    EXPECT_EQ(cx * 100 + cy, 1616);
    ImageList_GetIconSize(states, &cx, &cy);
    EXPECT_EQ(cx * 100 + cy, 1616);
    EXPECT_EQ(NavImage(IDC_ITEMS_BACK), IDB_NAV_BACK_OFF);
    EXPECT_EQ(NavImage(IDC_ITEMS_FORWARD), IDB_NAV_FORWARD_ON);

    const std::vector<std::vector<std::string>> overviews = {
        {"Windows 资源管理器", "系统", "高级"},
        {"Internet Explorer", "Netscape Navigator", "Mozilla Firefox", "Opera"},
        {"应用程序", "Internet 相关", "多媒体", "其他", "Windows 应用程序"},
        {"常规"}};
    const std::vector<std::vector<int>> images = {{11, 31, 10}, {14, 16, 17, 30}, {12, 12, 12, 12, 12}, {15}};
    for (int category = 0; category < 4; ++category) {
        SCOPED_TRACE(category);
        ASSERT_NE(Open(category), nullptr);
        EXPECT_EQ(RowTexts(), overviews[category]);
        for (int row = 0; row < Rows(); ++row) {
            EXPECT_EQ(RowData(row), row);
            LVITEMA lvi = {};
            lvi.mask = LVIF_IMAGE;
            lvi.iItem = row;
            SendMessageA(m_list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lvi));
            EXPECT_EQ(lvi.iImage, images[category][row]);
        }
    }
}

TEST_F(ItemsDlgTest, SaveEscAndTheCloseBoxCloseAsOkWhileEnterDoesNothing)
{
    for (UINT how : {0u, 1u, 2u}) {
        SCOPED_TRACE(how);
        ASSERT_NE(Open(0), nullptr);
        SendMessageA(m_hwnd, WM_COMMAND, IDOK, 0);  // what Enter sends
        EXPECT_FALSE(m_dlg->IsEnded());
        if (how == 0) SendMessageA(m_hwnd, WM_COMMAND, MAKEWPARAM(IDC_ITEMS_SAVE, BN_CLICKED), 0);
        if (how == 1) SendMessageA(m_hwnd, WM_COMMAND, IDCANCEL, 0);  // Esc
        if (how == 2) SendMessageA(m_hwnd, WM_CLOSE, 0, 0);  // the close box; the cancel comes posted
        EXPECT_TRUE(testsupport::PumpUntil([&] { return m_dlg->IsEnded(); }));
        EXPECT_EQ(m_dlg->GetResult(), IDOK);
    }
}

TEST_F(ItemsDlgTest, TitlesOf256BytesOrMoreAreCutAtACharacterBoundary)
{
    // 255 bytes would end in the middle of the 128th character: the row keeps 127 of them.
    std::string longTitle;
    for (int i = 0; i < 150; ++i) longTitle += "长";
    WriteDataFiles(Module(2100, longTitle, 1), "");
    ASSERT_NE(Open(0), nullptr);
    OpenSubCategory(1);
    ASSERT_EQ(Rows(), 4);
    EXPECT_EQ(List().GetItemText(3, 0, 1024), longTitle.substr(0, 254));
    // One single-byte character first: 255 bytes end on a boundary.
    longTitle = "a" + longTitle;
    WriteDataFiles(Module(2100, longTitle, 1), "");
    ASSERT_NE(Open(0), nullptr);
    OpenSubCategory(1);
    EXPECT_EQ(List().GetItemText(3, 0, 1024), longTitle.substr(0, 255));
}

// ------------------------------------------------------------------ the overview's checks

TEST_F(ItemsDlgTest, OverviewShowsMixedSubCategoriesAndItsCheckBoxChecksOrUnchecksWholeSubCategories)
{
    WriteDataFiles(WindowsModules(), "");
    for (int id : {1100, 1101, 1102, 1104, 2109}) SetItemState(id, 1);
    ASSERT_NE(Open(0), nullptr);
    // All of sub-category 0, one of three of 1, none of 2 (2109 has no row and is not counted).
    EXPECT_EQ(RowStates(), (std::vector<int>{kItemStateChecked, kItemStateMixed, kItemStateUnchecked}));
    SetItemState(1102, 2);  // only exactly 1 counts as checked
    m_dlg->UpdateOverviewChecks();
    EXPECT_EQ(RowStates(), (std::vector<int>{kItemStateMixed, kItemStateMixed, kItemStateUnchecked}));

    // A mixed row counts as checked: its first click unchecks every item, the second checks them.
    ClickCheckBox(1);
    EXPECT_EQ(List().GetStateImage(1), kItemStateUnchecked);
    for (int id : {1103, 1104, 1105}) EXPECT_EQ(ItemState(id), 0) << id;
    ClickCheckBox(1);
    EXPECT_EQ(List().GetStateImage(1), kItemStateChecked);
    for (int id : {1103, 1104, 1105}) EXPECT_EQ(ItemState(id), 1) << id;
    EXPECT_EQ(ItemState(1100), 1) << "other sub-categories stay as they were";
    EXPECT_EQ(ItemState(2109), 1);
    EXPECT_EQ(ItemState(2100), -1);

    // Inverting: the mixed row's items become unchecked, the checked row's too, the unchecked row's
    // items checked; the rows then show what was stored.
    SetItemState(1104, 0);
    m_dlg->UpdateOverviewChecks();
    ASSERT_EQ(RowStates(), (std::vector<int>{kItemStateMixed, kItemStateMixed, kItemStateUnchecked}));
    Command(ID_LIST_INVERT_ALL);
    EXPECT_EQ(RowStates(), (std::vector<int>{kItemStateUnchecked, kItemStateUnchecked, kItemStateChecked}));
    for (int id : {1100, 1101, 1102, 1103, 1104, 1105}) EXPECT_EQ(ItemState(id), 0) << id;
    for (int id : {2100, 2101}) EXPECT_EQ(ItemState(id), 1) << id;

    // The highlighted-rows commands work on whole sub-categories as well.
    Select({0, 1}, 1);
    Command(ID_LIST_CHECK_HIGHLIGHTED);
    EXPECT_EQ(RowStates(), (std::vector<int>{kItemStateChecked, kItemStateChecked, kItemStateChecked}));
    Select({2}, 2);
    Command(ID_LIST_UNCHECK_HIGHLIGHTED);
    EXPECT_EQ(RowStates(), (std::vector<int>{kItemStateChecked, kItemStateChecked, kItemStateUnchecked}));
    Command(ID_LIST_UNCHECK_ALL);
    for (int id : {1100, 1103, 2100}) EXPECT_EQ(ItemState(id), 0) << id;

    // The items of an opened sub-category show the stored checks; back in the overview, the rows
    // follow what changed meanwhile.
    SetItemState(1104, 1);
    OpenSubCategory(1);
    EXPECT_EQ(RowStates(), (std::vector<int>{kItemStateUnchecked, kItemStateChecked, kItemStateUnchecked}));
    Command(IDC_ITEMS_BACK);
    EXPECT_EQ(RowStates(), (std::vector<int>{kItemStateUnchecked, kItemStateMixed, kItemStateUnchecked}));
}

TEST_F(ItemsDlgTest, ChecksGoToTheRegistryAtOnceAndNothingHappensWithoutTheKey)
{
    ASSERT_NE(Open(0), nullptr);
    OpenSubCategory(1);
    ASSERT_EQ(RowTexts(), (std::vector<std::string>{"剪贴板", "临时文件目录", "回收站"}));
    ClickCheckBox(1);
    EXPECT_EQ(ItemState(1104), 1);
    EXPECT_EQ(Description(), "临时文件目录的内容。") << "a toggled row shows its description";
    ClickLabel(2);
    EXPECT_EQ(ItemState(1105), -1) << "a click beside the check box checks nothing";
    EXPECT_EQ(Description(), "回收站内容。");
    ClickCheckBox(1);
    EXPECT_EQ(ItemState(1104), 0);

    // Without the ItemStates key loading leaves the rows and saving writes nothing.
    ClickCheckBox(0);
    RegDeleteKeyA(HKEY_CURRENT_USER, kItemStatesKey);
    m_dlg->LoadItemChecks(true);
    EXPECT_EQ(RowStates(), (std::vector<int>{kItemStateChecked, kItemStateUnchecked, kItemStateUnchecked}));
    m_dlg->LoadItemChecks(false);
    EXPECT_FALSE(testsupport::RegKeyExists(kItemStatesKey));
}

// ------------------------------------------------------------------ warnings and Space

TEST_F(ItemsDlgTest, WarnedPluginItemsWarnOnEveryWayOfCheckingAndNeverOnUnchecking)
{
    WriteDataFiles("", WarnedModules());
    ASSERT_NE(Open(2), nullptr);
    OpenSubCategory(0);
    ASSERT_EQ(RowTexts(), (std::vector<std::string>{"压缩软件历史", "下载工具历史", "播放列表"}));
    const std::string first = WarningText("压缩软件历史", "会删除存档列表");
    const std::string second = WarningText("下载工具历史", "下载记录无法恢复");

    {  // a click on the check box
        CBoxCollector boxes;
        ClickCheckBox(0);
        std::vector<CSeenBox> seen = boxes.Stop();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].text, first);
        EXPECT_EQ(seen[0].owner, m_hwnd);
        EXPECT_TRUE(seen[0].warningIcon);
        EXPECT_EQ(ItemState(2300), 1);
    }
    {
        CBoxCollector boxes;
        ClickCheckBox(0);
        ClickCheckBox(2);  // no warning text
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{});
        EXPECT_EQ(ItemState(2300), 0);
    }
    // Space checks the highlighted rows, the next Space unchecks them. (The list itself then
    // highlights the focused row alone, as it does for Space, so the rows are highlighted again.)
    Select({0, 1}, 1);
    {
        CBoxCollector boxes;
        Key(VK_SPACE);
        EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{first, second}));
    }
    Select({0, 1}, 1);
    {
        CBoxCollector boxes;
        Key(VK_SPACE);
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{});
        EXPECT_EQ(ItemState(2300) + ItemState(2301), 0);
    }
    Select({0, 1}, 1);
    // Check commands: every row that becomes checked warns, one box after the other.
    const std::pair<int, std::vector<std::string>> commands[] = {
        {ID_LIST_CHECK_ALL, {first, second}},     {ID_LIST_UNCHECK_ALL, {}},
        {ID_LIST_CHECK_HIGHLIGHTED, {first, second}}, {ID_LIST_INVERT_ALL, {}},
        {ID_LIST_INVERT_HIGHLIGHTED, {first, second}}, {ID_LIST_UNCHECK_HIGHLIGHTED, {}},
        {ID_LIST_INVERT_ALL, {first, second}},
    };
    for (const auto& [command, expected] : commands) {
        SCOPED_TRACE(command);
        CBoxCollector boxes;
        Command(command);
        EXPECT_EQ(boxes.Texts(), expected);
    }
    EXPECT_EQ(ItemState(2300) * 100 + ItemState(2301) * 10 + ItemState(2302), 110);

    // Switched off by the setting (exactly 1).
    Command(ID_LIST_UNCHECK_ALL);
    testsupport::SetRegDword(kSettingsKey, "HideWarningMsgs", 1);
    {
        CBoxCollector boxes;
        Command(ID_LIST_CHECK_ALL);
        ClickCheckBox(0);
        ClickCheckBox(0);
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{});
    }
    Command(ID_LIST_UNCHECK_ALL);
    testsupport::SetRegDword(kSettingsKey, "HideWarningMsgs", 2);
    {
        CBoxCollector boxes;
        ClickCheckBox(1);
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{second});
    }
}

TEST_F(ItemsDlgTest, SpaceChecksUnchecksAndChecksTheHighlightedRowAgain)
{
    ASSERT_NE(Open(0), nullptr);
    OpenSubCategory(1);
    Select({1}, 1);
    const std::vector<int> checked = {kItemStateUnchecked, kItemStateChecked, kItemStateUnchecked};
    const std::vector<int> none = {kItemStateUnchecked, kItemStateUnchecked, kItemStateUnchecked};
    Key(VK_SPACE);
    EXPECT_EQ(RowStates(), checked);
    EXPECT_EQ(ItemState(1104), 1);
    Key(VK_SPACE);
    EXPECT_EQ(RowStates(), none);
    EXPECT_EQ(ItemState(1104), 0);
    Key(VK_SPACE);
    EXPECT_EQ(RowStates(), checked);
    EXPECT_EQ(ItemState(1103) * 100 + ItemState(1104) * 10 + ItemState(1105), 10);
}

// ------------------------------------------------------------------ keys and descriptions

TEST_F(ItemsDlgTest, KeysShowTheDescriptionOfTheRowTheyAreAboutToFocus)
{
    // Forty items with numbered descriptions; item 5 has none.
    std::string modules;
    for (int i = 0; i < 40; ++i)
        modules += Module(2500 + i, framework::Format("项目 %02d", i), 23,
                          i == 5 ? "" : framework::Format("ModDescription=描述 %02d\r\n", i));
    WriteDataFiles("", modules);
    ASSERT_NE(Open(2), nullptr);
    Select({}, 1);
    Key(VK_DOWN);
    EXPECT_EQ(Description(), LoadResString(IDS_DESCRIPTION_HINT)) << "the overview shows no description";
    OpenSubCategory(3);
    ASSERT_EQ(Rows(), 40);

    const int p = static_cast<int>(SendMessageA(m_list, LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_GE(p, 3);
    ASSERT_LT(2 * p + 2, 40);
    RECT row0 = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(m_list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row0));
    const int rowHeight = row0.bottom - row0.top;
    auto description = [](int row) {
        return row == 5 ? LoadResString(IDS_NO_DESCRIPTION) : framework::Format("描述 %02d", row);
    };
    // Focus row f with row t at the top, press a key, read the description.
    auto press = [&](int t, int f, WORD key) {
        Select({f}, f);
        const int top = static_cast<int>(SendMessageA(m_list, LVM_GETTOPINDEX, 0, 0));
        SendMessageA(m_list, LVM_SCROLL, 0, (t - top) * rowHeight);
        EXPECT_EQ(SendMessageA(m_list, LVM_GETTOPINDEX, 0, 0), t);
        SetDlgItemTextA(m_hwnd, IDC_ITEM_DESCRIPTION, "");
        Key(key);
        return Description();
    };
    EXPECT_EQ(press(0, 4, VK_UP), description(3));
    EXPECT_EQ(press(0, 4, VK_DOWN), description(5));
    EXPECT_EQ(press(0, 4, VK_HOME), description(0));
    EXPECT_EQ(press(0, 4, VK_END), description(39));
    EXPECT_EQ(press(0, 0, VK_UP), "") << "above the first row nothing is shown";
    EXPECT_EQ(press(0, 4, 'X'), "") << "other keys show nothing";
    // Page Up: the top row when the focus is below it; else one page up, or the first row.
    EXPECT_EQ(press(2, 4, VK_PRIOR), description(2));
    EXPECT_EQ(press(p + 3, p + 3, VK_PRIOR), description(4));
    EXPECT_EQ(press(2, 2, VK_PRIOR), description(0));
    // Page Down: the page's last row when the focus is above it; else one page on, or the last row.
    EXPECT_EQ(press(1, 3, VK_NEXT), description(p));
    EXPECT_EQ(press(1, p, VK_NEXT), description(2 * p - 1));
    EXPECT_EQ(press(40 - p, 39, VK_NEXT), description(39));

    // The prediction is the row the list then focuses.
    press(0, 4, VK_DOWN);
    EXPECT_EQ(List().GetNextItem(-1, LVNI_FOCUSED), 5);
    press(2, 4, VK_PRIOR);
    EXPECT_EQ(List().GetNextItem(-1, LVNI_FOCUSED), 2);
}

// ------------------------------------------------------------------ navigation

TEST_F(ItemsDlgTest, NavigationByButtonsDoubleClickAndAltArrowsThroughTheAccelerators)
{
    WriteDataFiles(WindowsModules(), "");
    ASSERT_NE(Open(0), nullptr);
    Command(IDC_ITEMS_FORWARD);
    EXPECT_TRUE(m_dlg->m_bOverview) << "forward without a focused row does nothing";
    Command(IDC_ITEMS_BACK);
    EXPECT_EQ(Rows(), 3);

    OpenSubCategory(2);
    EXPECT_FALSE(m_dlg->m_bOverview);
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"高级项目甲", "高级项目乙"}));
    EXPECT_EQ(RowData(1), 2101);
    EXPECT_EQ(NavImage(IDC_ITEMS_BACK), IDB_NAV_BACK_ON);
    EXPECT_EQ(NavImage(IDC_ITEMS_FORWARD), IDB_NAV_FORWARD_OFF);
    EXPECT_FALSE(Shown(IDC_CUSTOM_COMMANDS)) << "custom-items controls belong to category 3";
    ClickLabel(1);
    EXPECT_EQ(Description(), LoadResString(IDS_NO_DESCRIPTION));
    Select({0}, 0);
    Command(IDC_ITEMS_FORWARD);
    EXPECT_EQ(Rows(), 2) << "forward does nothing in item mode";
    Command(IDC_ITEMS_BACK);
    EXPECT_TRUE(m_dlg->m_bOverview);
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"Windows 资源管理器", "系统", "高级"}));
    EXPECT_EQ(Description(), "");
    EXPECT_EQ(NavImage(IDC_ITEMS_BACK), IDB_NAV_BACK_OFF);
    EXPECT_EQ(NavImage(IDC_ITEMS_FORWARD), IDB_NAV_FORWARD_ON);

    // Clicks in the overview: empty space dims the forward picture, a row's text lights it again.
    RECT client;
    GetClientRect(m_list, &client);
    testsupport::ClickAt(m_list, {client.right / 2, client.bottom - 5});
    EXPECT_EQ(NavImage(IDC_ITEMS_FORWARD), IDB_NAV_FORWARD_OFF);
    ClickLabel(1);
    EXPECT_EQ(NavImage(IDC_ITEMS_FORWARD), IDB_NAV_FORWARD_ON);
    // A double-click on a row opens its sub-category.
    const POINT label = testsupport::ListLabelPoint(m_list, 1);
    SendMessageA(m_list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(label.x, label.y));
    SendMessageA(m_list, WM_LBUTTONUP, 0, MAKELPARAM(label.x, label.y));
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"剪贴板", "临时文件目录", "回收站"}));

    // The keys, whichever control has the focus: Alt+Left, Alt+Right and Ctrl+A.
    SetForegroundWindow(m_hwnd);
    SetFocus(Item(IDC_ITEMS_SAVE));
    ASSERT_TRUE(testsupport::PumpThroughDialogs([&] { return GetForegroundWindow() == m_hwnd; }));
    testsupport::PressKeys({VK_MENU, VK_LEFT});
    ASSERT_TRUE(testsupport::PumpThroughDialogs([&] { return m_dlg->m_bOverview; })) << "Alt+Left did not go back";
    Select({0}, 0);
    SetFocus(m_list);
    testsupport::PressKeys({VK_MENU, VK_RIGHT});
    ASSERT_TRUE(testsupport::PumpThroughDialogs([&] { return !m_dlg->m_bOverview; })) << "Alt+Right did not open";
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"最近的文档", "查找文档与搜索助手", "运行程序历史"}));
    SetFocus(Item(IDC_ITEM_DESCRIPTION));
    testsupport::PressKeys({VK_CONTROL, 'A'});
    ASSERT_TRUE(testsupport::PumpThroughDialogs([&] { return ItemState(1102) == 1; })) << "Ctrl+A did not check";
    EXPECT_EQ(ItemState(1100) + ItemState(1101), 2);
    EXPECT_TRUE(IsWindow(m_hwnd));
}

TEST_F(ItemsDlgTest, ContextMenuOffersBrowsingOnlyForOneHitRowInTheOverview)
{
    ASSERT_NE(Open(0), nullptr);
    auto browse = [&](bool hitRowText) {
        framework::ScopedMenu menu = m_dlg->CreateContextMenu(hitRowText);
        HMENU popup = GetSubMenu(menu.Get(), 0);
        EXPECT_EQ(GetMenuItemCount(popup), 6);
        EXPECT_EQ(GetMenuItemID(popup, 2), static_cast<UINT>(ID_LIST_CHECK_ALL));
        EXPECT_EQ(GetMenuItemID(GetSubMenu(popup, 5), 2), static_cast<UINT>(ID_LIST_INVERT_HIGHLIGHTED));
        return (GetMenuState(popup, IDC_ITEMS_FORWARD, MF_BYCOMMAND) & MF_GRAYED) ? 'g' : 'e';
    };
    Select({1}, 1);
    EXPECT_EQ(browse(true), 'e');
    EXPECT_EQ(browse(false), 'g');
    Select({0, 1}, 1);
    EXPECT_EQ(browse(true), 'g');
    Select({});
    EXPECT_EQ(browse(true), 'g');

    // A real right-click on a row's text brings it up there, and its command opens the row.
    Select({2}, 2);
    std::atomic<char> seen{'?'};
    RECT shownAt = {};
    testsupport::WindowWatcher watcher(testsupport::FindPopupMenu, [&](HWND menuWindow) {
        HMENU shown = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
        seen = (GetMenuState(shown, IDC_ITEMS_FORWARD, MF_BYCOMMAND) & MF_GRAYED) ? 'g' : 'e';
        GetWindowRect(menuWindow, &shownAt);
        PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);  // the first command: 浏览子类别
        PostMessageA(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
    });
    const POINT point = testsupport::ListLabelPoint(m_list, 2);
    testsupport::RightClickAt(m_list, point);
    ASSERT_TRUE(watcher.Found());
    EXPECT_EQ(seen.load(), 'e');
    POINT screen = point;
    ClientToScreen(m_list, &screen);
    EXPECT_EQ(shownAt.left, screen.x);
    EXPECT_EQ(shownAt.top, screen.y);
    ASSERT_TRUE(testsupport::PumpThroughDialogs([&] { return !m_dlg->m_bOverview; }));
    EXPECT_EQ(Rows(), 0) << "sub-category 2 of the built-ins alone is empty";

    // In item mode it is always greyed.
    EXPECT_EQ(browse(true), 'g');
}

// ------------------------------------------------------------------ the main window's buttons

TEST_F(CategoryButtonTest, ButtonsOpenTheItemsDialogModallyWithTheirTitles)
{
    ASSERT_NE(Open(), nullptr);
    testsupport::SetRegDword(kWarningChecksKey, "CustomItemsWarning", 1);
    const std::pair<int, std::string> buttons[] = {{IDC_CATEGORY_WINDOWS, "Windows 项目设置"},
                                                   {IDC_CATEGORY_BROWSERS, "Internet 项目设置"},
                                                   {IDC_CATEGORY_APPS, "第三方应用程序设置"},
                                                   {IDC_CATEGORY_CUSTOM, "自定义项目设置"}};
    for (const auto& [button, title] : buttons) {
        SCOPED_TRACE(title);
        std::string firstRow;
        bool ownerDisabled = false;
        HWND owner = nullptr;
        testsupport::WindowWatcher watcher([&] { return maindlgtest::FindOwnWindow("#32770", title); },
                                           [&](HWND dlg) {
                                               ownerDisabled = !IsWindowEnabled(m_hwnd);
                                               owner = GetWindow(dlg, GW_OWNER);
                                               HWND list = GetDlgItem(dlg, IDC_ITEMS_LIST);
                                               firstRow = framework::CListView(list).GetItemText(0, 0);
                                               PostMessageA(dlg, WM_COMMAND, IDC_ITEMS_SAVE, 0);
                                           });
        Command(button);  // returns when the modal dialog has ended
        EXPECT_TRUE(watcher.Found());
        EXPECT_TRUE(ownerDisabled);
        EXPECT_EQ(owner, m_hwnd);
        EXPECT_TRUE(IsWindowEnabled(m_hwnd));
        EXPECT_EQ(maindlgtest::FindOwnWindow("#32770", title), nullptr) << "the dialog is gone";
        EXPECT_FALSE(firstRow.empty());
    }
}
