// The program's resources as the windows use them: the main window's template with every control
// and text, the left column fitting the smallest window, the menus and the accelerator table with
// their texts and commands, the bitmaps (with the items dialog's pictures) and the icon, and Common
// Controls 6 through the manifest.
#include "framework/Dialog.h"
#include "resource.h"
#include "support/WindowDriver.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

using testsupport::ClassName;
using testsupport::WindowText;

namespace {

struct ExpectedControl {
    int id;
    const char* className;
    const char* text;
};

const ExpectedControl kMainControls[] = {
    {IDC_CATEGORY_WINDOWS, "Button", "Windows 项目"},
    {IDC_CATEGORY_BROWSERS, "Button", "Web 浏览器"},
    {IDC_CATEGORY_APPS, "Button", "第三方应用程序"},
    {IDC_CATEGORY_CUSTOM, "Button", "自定义项目"},
    {IDC_HINT, "Edit", ""},
    {IDC_OPTIONS, "Button", "选项"},
    {IDC_HELP_MENU, "Button", "帮助"},
    {IDC_INFO_GROUP, "Button", "信息"},
    {IDC_RESULTS, "SysListView32", ""},
    {IDC_OPERATION_LABEL, "Static", "当前操作:"},
    {IDC_CURRENT_OPERATION, "Edit", ""},
    {IDC_OBJECT_LABEL, "Static", "当前对象:"},
    {IDC_CURRENT_OBJECT, "Edit", ""},
    {IDC_ITEM_PROGRESS_LABEL, "Static", "当前进度:"},
    {IDC_ITEM_PROGRESS, "msctls_progress32", ""},
    {IDC_TOTAL_PROGRESS_LABEL, "Static", "总计进度:"},
    {IDC_TOTAL_PROGRESS, "msctls_progress32", ""},
    {IDC_SCAN, "Button", "扫描"},
    {IDC_CLEAN, "Button", "清理"},
    {IDC_CANCEL, "Button", "取消"},
};

struct MenuEntry {
    UINT id;  // 0: separator; -1: submenu
    std::string text;
    std::vector<MenuEntry> submenu;
};

std::vector<MenuEntry> ReadMenu(HMENU menu)
{
    std::vector<MenuEntry> entries;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = "";
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        if (info.fType & MFT_SEPARATOR)
            entries.push_back({0, "", {}});
        else if (info.hSubMenu)
            entries.push_back({static_cast<UINT>(-1), text, ReadMenu(info.hSubMenu)});
        else
            entries.push_back({info.wID, text, {}});
    }
    return entries;
}

bool operator==(const MenuEntry& a, const MenuEntry& b)
{
    return a.id == b.id && a.text == b.text && a.submenu == b.submenu;
}

std::vector<MenuEntry> MenuResource(LPCSTR name)
{
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), name);
    if (!menu) return {};
    std::vector<MenuEntry> entries = ReadMenu(GetSubMenu(menu, 0));
    DestroyMenu(menu);
    return entries;
}

const UINT kSubmenu = static_cast<UINT>(-1);
const std::vector<MenuEntry> kHelpEntries = {
    {ID_HELP_CONTENTS, "帮助主题(&H)", {}},
    {ID_HELP_HOMEPAGE, "Quillon 主页(&W)", {}},
    {ID_HELP_FORUM, "支持论坛(&F)", {}},
    {0, "", {}},
    {ID_HELP_ABOUT, "关于 Quillon(&A)...", {}},
};

}  // namespace

TEST(ProgramResources, MainWindowTemplateHoldsEveryControlWithItsText)
{
    framework::CDialog main(IDD_MAIN);
    HWND hwnd = main.Create();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(WindowText(hwnd), "Quillon 汉化版");
    LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    for (const ExpectedControl& expected : kMainControls) {
        HWND control = GetDlgItem(hwnd, expected.id);
        ASSERT_NE(control, nullptr) << expected.id;
        EXPECT_STRCASEEQ(ClassName(control).c_str(), expected.className) << expected.id;
        EXPECT_EQ(WindowText(control), expected.text) << expected.id;
    }
    EXPECT_EQ(GetWindowLongA(GetDlgItem(hwnd, IDC_INFO_GROUP), GWL_STYLE) & BS_TYPEMASK, BS_GROUPBOX);
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(hwnd, IDC_RESULTS), GWL_STYLE) & LVS_REPORT);
    for (int id : {IDC_HINT, IDC_CURRENT_OPERATION, IDC_CURRENT_OBJECT})
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(hwnd, id), GWL_STYLE) & ES_READONLY) << id;
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(hwnd, IDC_HINT), GWL_STYLE) & ES_MULTILINE);
    // Enter and Escape have no button to press.
    EXPECT_EQ(GetDlgItem(hwnd, IDOK), nullptr);
    EXPECT_EQ(GetDlgItem(hwnd, IDCANCEL), nullptr);

    // The left column keeps its template place at every size: left of the results frame (x 180)
    // and above the status bar of the smallest window (677 x 448).
    RECT client = {0, 0, 0, 0};
    AdjustWindowRectEx(&client, style, FALSE, GetWindowLongA(hwnd, GWL_EXSTYLE));
    int smallestClientHeight = 448 - (client.bottom - client.top);
    for (int id : {IDC_CATEGORY_WINDOWS, IDC_CATEGORY_BROWSERS, IDC_CATEGORY_APPS, IDC_CATEGORY_CUSTOM, IDC_HINT,
                   IDC_OPTIONS, IDC_HELP_MENU}) {
        RECT rc;
        GetWindowRect(GetDlgItem(hwnd, id), &rc);
        MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_LT(rc.right, 180) << id;
        EXPECT_LE(rc.bottom, smallestClientHeight - 24) << id;
    }
}

TEST(ProgramResources, MenusHoldTheirCommandsAndTexts)
{
    EXPECT_EQ(MenuResource(MAKEINTRESOURCEA(IDR_HELP_MENU)), kHelpEntries);
    const std::vector<MenuEntry> tray = {
        {ID_TRAY_RESTORE, "还原", {}},
        {ID_TRAY_MINIMIZE, "最小化", {}},
        {0, "", {}},
        {ID_TRAY_CLEANNOW, "立即清理", {}},
        {0, "", {}},
        {kSubmenu, "帮助", kHelpEntries},
        {0, "", {}},
        {ID_TRAY_EXIT, "退出", {}},
    };
    EXPECT_EQ(MenuResource(MAKEINTRESOURCEA(IDR_TRAY_MENU)), tray);
    const std::vector<MenuEntry> list = {
        {ID_LIST_OPEN, "打开\tCtrl+Shift+O", {}},
        {ID_LIST_OPEN_WITH, "打开方式...", {}},
        {0, "", {}},
        {kSubmenu,
         "选择项目",
         {{ID_LIST_CHECK_ALL, "选择所有项目\tCtrl+A", {}},
          {ID_LIST_UNCHECK_ALL, "取消选择所有项目\tCtrl+N", {}},
          {ID_LIST_INVERT_ALL, "反选\tCtrl+I", {}}}},
        {kSubmenu,
         "高亮项目选项",
         {{ID_LIST_CHECK_HIGHLIGHTED, "选择所有高亮项目\tCtrl+Shift+A", {}},
          {ID_LIST_UNCHECK_HIGHLIGHTED, "取消选择所有高亮项目\tCtrl+Shift+N", {}},
          {ID_LIST_INVERT_HIGHLIGHTED, "反选所有高亮项目\tCtrl+Shift+I", {}}}},
        {0, "", {}},
        {ID_LIST_CLEAR_STATS, "清除统计\tCtrl+X", {}},
        {ID_LIST_SAVE_TEXT, "保存为文本文件...\tCtrl+Shift+S", {}},
    };
    EXPECT_EQ(MenuResource(IDR_LIST_MENU), list);
}

TEST(ProgramResources, AcceleratorTableMapsTheTwelveKeys)
{
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAIN_ACCEL));
    ASSERT_NE(table, nullptr);
    std::vector<ACCEL> entries(static_cast<size_t>(CopyAcceleratorTableA(table, nullptr, 0)));
    CopyAcceleratorTableA(table, entries.data(), static_cast<int>(entries.size()));
    const BYTE ctrl = FVIRTKEY | FCONTROL, ctrlShift = FVIRTKEY | FCONTROL | FSHIFT;
    const ACCEL expected[] = {
        {ctrl, 'X', ID_LIST_CLEAR_STATS},        {ctrlShift, 'O', ID_LIST_OPEN},
        {ctrlShift, 'S', ID_LIST_SAVE_TEXT},     {ctrl, 'S', IDC_CANCEL},
        {ctrl, 'C', IDC_CLEAN},                  {ctrl, 'E', IDC_SCAN},
        {ctrl, 'A', ID_LIST_CHECK_ALL},          {ctrl, 'N', ID_LIST_UNCHECK_ALL},
        {ctrl, 'I', ID_LIST_INVERT_ALL},         {ctrlShift, 'A', ID_LIST_CHECK_HIGHLIGHTED},
        {ctrlShift, 'N', ID_LIST_UNCHECK_HIGHLIGHTED}, {ctrlShift, 'I', ID_LIST_INVERT_HIGHLIGHTED},
    };
    ASSERT_EQ(entries.size(), sizeof expected / sizeof expected[0]);
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].fVirt & ~0x80, expected[i].fVirt) << i;  // 0x80 marks the last entry
        EXPECT_EQ(entries[i].key, expected[i].key) << i;
        EXPECT_EQ(entries[i].cmd, expected[i].cmd) << i;
    }
}

TEST(ProgramResources, BitmapsAndIconHaveTheirSizes)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    for (int id : {IDB_WINDOWS_ITEMS, IDB_WEB_BROWSERS, IDB_APPLICATIONS, IDB_CUSTOM_ITEMS}) {
        HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                                                         LR_LOADMAP3DCOLORS | LR_CREATEDIBSECTION));
        ASSERT_NE(bitmap, nullptr) << id;
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, 16) << id;
        EXPECT_EQ(info.bmHeight, 16) << id;
        // The corner is background: mapped to the button face, so the picture sits on the button.
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_3DFACE)) << id;
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }

    // Check boxes: two 16-pixel state images on the mask colour.
    HIMAGELIST states = ImageList_LoadImageA(instance, MAKEINTRESOURCEA(IDB_CHECKBOXES), 16, 0, RGB(0, 0, 255),
                                             IMAGE_BITMAP, 0);
    ASSERT_NE(states, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(states), 2);
    ImageList_Destroy(states);

    for (int size : {16, 32, 48}) {
        HICON icon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_MAINFRAME), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour{};
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

namespace {

// Pixels of a bitmap as the screen shows them, in rows.
std::vector<COLORREF> PixelsOf(HBITMAP bitmap, int width, int height)
{
    std::vector<COLORREF> pixels;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixels;
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

// How many pixels of image `index` the list draws over a magenta background.
int DrawnPixels(HIMAGELIST list, int index)
{
    const COLORREF background = RGB(255, 0, 255);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, target);
    HBRUSH brush = CreateSolidBrush(background);
    RECT all = {0, 0, 16, 16};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL);
    int drawn = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) drawn += GetPixel(dc, x, y) != background;
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    return drawn;
}

}  // namespace

TEST(ProgramResources, ItemImagesAreMaskedPicturesOfSixteenPixels)
{
    // Loaded and added the way the items dialog does: a 16-bit list with white as the mask colour,
    // so every picture pixel and no background pixel must come out on the list.
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR16 | ILC_MASK, 0, 32);
    ASSERT_NE(list, nullptr);
    for (int id = IDB_ITEM_IMAGE_FIRST; id <= IDB_ITEM_IMAGE_LAST; ++id) {
        SCOPED_TRACE(id);
        HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
        ASSERT_NE(bitmap, nullptr);
        const SIZE size = BitmapSize(bitmap);
        ASSERT_EQ(size.cx, 16);
        ASSERT_EQ(size.cy, 16);
        const std::vector<COLORREF> pixels = PixelsOf(bitmap, 16, 16);
        const int picture = static_cast<int>(std::count_if(pixels.begin(), pixels.end(),
                                                           [](COLORREF p) { return p != RGB(255, 255, 255); }));
        const COLORREF corners[] = {pixels[0], pixels[15], pixels[15 * 16], pixels[16 * 16 - 1]};
        EXPECT_NE(std::find(std::begin(corners), std::end(corners), RGB(255, 255, 255)), std::end(corners))
            << "a corner is background";
        EXPECT_GE(picture, 60) << "a picture, not a dot";
        EXPECT_LE(picture, 16 * 16 - 10) << "the background shows around it";
        const int index = ImageList_AddMasked(list, bitmap, RGB(255, 255, 255));
        DeleteObject(bitmap);
        ASSERT_EQ(index, id - IDB_ITEM_IMAGE_FIRST);
        EXPECT_EQ(DrawnPixels(list, index), picture);
    }
    ImageList_Destroy(list);
}

TEST(ProgramResources, ItemsDialogStateImagesAndNavigationButtons)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    // Unchecked, checked and mixed, cut from one strip on the blue mask colour.
    HBITMAP strip = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(IDB_ITEM_STATES), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(BitmapSize(strip).cx, 48);
    EXPECT_EQ(BitmapSize(strip).cy, 16);
    const std::vector<COLORREF> pixels = PixelsOf(strip, 48, 16);
    DeleteObject(strip);
    EXPECT_EQ(pixels[0], RGB(0, 0, 255));
    // The three differ in the middle of their boxes: empty, the check mark's stroke, the filled square.
    const COLORREF centres[] = {pixels[8 * 48 + 7], pixels[8 * 48 + 16 + 7], pixels[8 * 48 + 32 + 7]};
    EXPECT_NE(centres[0], centres[1]);
    EXPECT_NE(centres[0], centres[2]);
    HIMAGELIST states = ImageList_LoadImageA(instance, MAKEINTRESOURCEA(IDB_ITEM_STATES), 16, 1, RGB(0, 0, 255),
                                             IMAGE_BITMAP, 0);
    ASSERT_NE(states, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(states), 3);
    ImageList_Destroy(states);

    // Back and forward, active and greyed: one size, on the button face, and inside the picture
    // buttons of the dialog template with room for the button's edge.
    framework::CDialog dialog(IDD_SEL_ITEMS);
    HWND hwnd = dialog.Create();
    ASSERT_NE(hwnd, nullptr);
    for (int id : {IDB_NAV_BACK_ON, IDB_NAV_FORWARD_ON, IDB_NAV_FORWARD_OFF, IDB_NAV_BACK_OFF}) {
        SCOPED_TRACE(id);
        HBITMAP bitmap = static_cast<HBITMAP>(
            LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
        ASSERT_NE(bitmap, nullptr);
        const SIZE size = BitmapSize(bitmap);
        EXPECT_EQ(size.cx, 22);
        EXPECT_EQ(size.cy, 18);
        EXPECT_EQ(PixelsOf(bitmap, 1, 1)[0], GetSysColor(COLOR_3DFACE));
        DeleteObject(bitmap);
        for (int button : {IDC_ITEMS_BACK, IDC_ITEMS_FORWARD}) {
            RECT client{};
            GetClientRect(GetDlgItem(hwnd, button), &client);
            EXPECT_LE(size.cx + 4, client.right) << button;
            EXPECT_LE(size.cy + 4, client.bottom) << button;
        }
    }
}

TEST(ProgramResources, ManifestSelectsCommonControlsSix)
{
    // Buttons of version 6 know their ideal size (and show a picture beside their text); the
    // version-5 buttons of a program without the manifest answer 0.
    HWND button = CreateWindowExA(0, "Button", "扫描", WS_POPUP | BS_PUSHBUTTON, 0, 0, 80, 24, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(button, nullptr);
    SIZE ideal = {-1, -1};
    EXPECT_TRUE(SendMessageA(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
    EXPECT_GT(ideal.cx, 0);
    DestroyWindow(button);
}
