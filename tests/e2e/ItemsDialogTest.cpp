// The items dialog in a running Lorvex.exe: opened through a category button, an item checked in it
// with the keyboard is what the next scan covers, and the scan's objects can be cleaned.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "LorvexProcess.h"
#include "support/Sandbox.h"

using e2e::CLorvexProcess;
using e2e::CRealQuillonSettings;
using e2e::HasResults;
using e2e::IsIdle;
using e2e::WaitUntil;

namespace {

constexpr int kScan = 1013;
constexpr int kClean = 1000;
constexpr int kResults = 1058;
constexpr int kCheckAll = 226;
constexpr int kWindowsItems = 1004;
constexpr int kItemsList = 1053;
constexpr int kForward = 1068;
constexpr int kSave = 1057;
const char kItemStatesKey[] = "Software\\Venmoor\\Quillon\\ItemStates";
const char kTempItemState[] = "MC1104";

long long TempItemState()
{
    DWORD value = 0xdeadbeef;
    DWORD size = sizeof value;
    return SHGetValueA(HKEY_CURRENT_USER, kItemStatesKey, kTempItemState, nullptr, &value, &size) == ERROR_SUCCESS
               ? static_cast<long long>(value)
               : -1;
}

// Keys as the list receives them from the keyboard, through the dialog's own message loop.
void PostKeys(HWND list, std::initializer_list<WPARAM> keys)
{
    for (WPARAM key : keys) {
        PostMessageA(list, WM_KEYDOWN, key, 1);
        PostMessageA(list, WM_KEYUP, key, 0xC0000001);
    }
}

}  // namespace

TEST(ItemsDialogEndToEnd, AnItemCheckedInTheDialogIsScannedAndCleaned)
{
    CRealQuillonSettings settings;
    settings.SetDword("Settings", "Reports", 0);
    testsupport::TempFolder temp;
    const std::vector<std::string> files = {temp / "~WRL0001.tmp", temp / "安装程序.log"};
    for (const std::string& file : files) testsupport::WriteFileBytes(file, std::string(2000, 't'));

    CLorvexProcess program("", temp.Path());
    ASSERT_TRUE(program.Started());
    HWND main = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (main = program.MainWindow()) != nullptr && IsIdle(main); }));
    ASSERT_EQ(TempItemState(), -1) << "a fresh account has nothing checked";

    PostMessageA(main, WM_COMMAND, MAKEWPARAM(kWindowsItems, BN_CLICKED), 0);
    HWND items = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (items = program.Dialog("Windows 项目设置")) != nullptr; }));
    HWND list = GetDlgItem(items, kItemsList);
    EXPECT_FALSE(IsWindowEnabled(main)) << "the dialog is modal";

    // "系统" is the second row of the overview; the temporary-files folder the second item in it.
    PostKeys(list, {VK_HOME, VK_DOWN});
    PostMessageA(items, WM_COMMAND, MAKEWPARAM(kForward, BN_CLICKED), 0);
    PostKeys(list, {VK_HOME, VK_DOWN, VK_SPACE});
    ASSERT_TRUE(WaitUntil([] { return TempItemState() == 1; })) << "Space did not check the item";

    PostMessageA(items, WM_COMMAND, MAKEWPARAM(kSave, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return !program.Dialog("Windows 项目设置") && IsWindowEnabled(main); }));

    PostMessageA(main, WM_COMMAND, MAKEWPARAM(kScan, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return HasResults(main); })) << "the scan found nothing";
    EXPECT_EQ(SendMessageA(GetDlgItem(main, kResults), LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(files.size()));
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(kCheckAll, 0), 0);
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(kClean, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return IsIdle(main); })) << "the clean did not end";
    for (const std::string& file : files) EXPECT_FALSE(testsupport::FileExists(file)) << file;

    PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(program.WaitForEnd());
}
