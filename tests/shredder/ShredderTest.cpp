// tambShred.exe as Explorer starts it: a process of its own, reading the real settings of the Wine
// prefix, driven through its confirmation and its summary box as a user would.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include "app/SettingsStore.h"
#include "shredder/ShredderResource.h"
#include "support/ChildProcess.h"
#include "support/Sandbox.h"
#include "support/WindowDriver.h"

namespace {

using namespace testsupport;

const char kCaption[] = "Quillon 粉碎";

// The shredder started on one quoted path, as the extension starts it.
class CShredderProcess : public CChildProcess {
public:
    explicit CShredderProcess(const std::string& path) : CChildProcess("tambShred.exe", "\"" + path + "\"", BinFolder()) {}

    // The confirmation dialog, or null when something else (or nothing) came first.
    HWND Confirmation() const
    {
        HWND window = nullptr;
        WaitUntil([&] { return (window = Dialog(kCaption)) != nullptr; }, 20000);
        return window && GetDlgItem(window, IDC_SHRED_PATH) ? window : nullptr;
    }
    // Waits for the message box (neither the confirmation nor the progress), reads it and presses OK.
    std::string CloseMessageBox() const
    {
        HWND box = nullptr;
        WaitUntil([&] {
            auto found = FindTopLevelWindows([&](HWND w) {
                return ProcessOf(w) == Pid() && WindowText(w) == kCaption && !GetDlgItem(w, IDC_SHRED_PATH) &&
                       !GetDlgItem(w, IDC_SHRED_BAR);
            });
            box = found.empty() ? nullptr : found.front();
            return box != nullptr;
        }, 30000);
        if (!box) return "(no box)";
        std::string text = MessageBoxText(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return text;
    }
    // Confirms, then returns the summary.
    std::string ConfirmAndSummarise() const
    {
        HWND confirmation = Confirmation();
        if (!confirmation) return "(no confirmation)";
        PostMessageA(confirmation, WM_COMMAND, IDOK, 0);
        return CloseMessageBox();
    }
};

class ShredderTest : public ::testing::Test {
protected:
    ShredderTest() : m_install(m_temp / "安装")
    {
        MakeFolder(m_install);
        m_settings.SetString(kOptInstalledDir, m_install);
        m_settings.SetDword("Settings", kOptWipeMethod, 1);
    }

    CRealQuillonSettings m_settings;
    TempFolder m_temp;
    std::string m_install;
};

TEST_F(ShredderTest, ShredsAFileTheUserConfirms)
{
    const std::string file = m_temp / "机密 文件.txt";
    WriteFileBytes(file, "secret");
    CShredderProcess shredder(file);
    HWND confirmation = shredder.Confirmation();
    ASSERT_TRUE(confirmation);
    EXPECT_EQ(ControlText(GetDlgItem(confirmation, IDC_SHRED_PATH)), file);
    EXPECT_NE(ControlText(GetDlgItem(confirmation, IDC_SHRED_WARNING)).find("无法恢复"), std::string::npos);
    PostMessageA(confirmation, WM_COMMAND, IDOK, 0);
    EXPECT_NE(shredder.CloseMessageBox().find("已粉碎的文件: 1"), std::string::npos) << "overwritten, not only unlinked";
    EXPECT_TRUE(shredder.WaitForEnd());
    EXPECT_EQ(shredder.ExitCode(), 0u);
    EXPECT_FALSE(FileExists(file));
}

TEST_F(ShredderTest, CancelAtTheConfirmationTouchesNothing)
{
    const std::string file = m_temp / "kept.txt";
    WriteFileBytes(file, "keep me");
    CShredderProcess shredder(file);
    HWND confirmation = shredder.Confirmation();
    ASSERT_TRUE(confirmation);
    PostMessageA(confirmation, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(shredder.WaitForEnd());
    EXPECT_EQ(shredder.ExitCode(), 1u);
    EXPECT_EQ(ReadFileBytes(file), "keep me");
}

// Wine 8 reports a Unix folder link as a reparse point but offers no way to delete the link itself:
// the links stay (and with them the folders above), what they point to is never touched.
TEST_F(ShredderTest, TreeGoesWhileLinksAndOtherNamesKeepTheirContent)
{
    const std::string tree = m_temp / "tree";  // MakeSymlink takes ASCII paths only
    const std::string outside = m_temp / "outside";
    MakeFolder(tree);
    MakeFolder(tree + "\\sub");
    MakeFolder(tree + "\\sub\\deeper");
    MakeFolder(tree + "\\links");
    MakeFolder(outside);
    WriteFileBytes(tree + "\\a.txt", "a");
    WriteFileBytes(tree + "\\sub\\b.txt", std::string(300, 'b'));
    WriteFileBytes(tree + "\\sub\\deeper\\c.txt", "c");
    WriteFileBytes(outside + "\\target.txt", "target");
    WriteFileBytes(outside + "\\other name.txt", "shared");
    ASSERT_TRUE(CreateHardLinkA((tree + "\\sub\\hard.txt").c_str(), (outside + "\\other name.txt").c_str(), nullptr));
    MakeFolder(outside + "\\empty");
    ASSERT_TRUE(MakeSymlink(outside, tree + "\\links\\outside link"));
    ASSERT_TRUE(MakeSymlink(outside + "\\empty", tree + "\\links\\empty link"));

    CShredderProcess shredder(tree);
    const std::string summary = shredder.ConfirmAndSummarise();
    EXPECT_TRUE(shredder.WaitForEnd());
    RemoveSymlink(tree + "\\links\\outside link");
    RemoveSymlink(tree + "\\links\\empty link");

    EXPECT_NE(summary.find("已粉碎的文件: 3"), std::string::npos) << summary;
    EXPECT_NE(summary.find("仅删除名称的链接或多名称文件（其内容未被覆盖）: 1"), std::string::npos) << summary;
    EXPECT_FALSE(FileExists(tree + "\\a.txt"));
    EXPECT_FALSE(FileExists(tree + "\\sub"));
    EXPECT_EQ(ReadFileBytes(outside + "\\other name.txt"), "shared");
    EXPECT_EQ(ReadFileBytes(outside + "\\target.txt"), "target");
    EXPECT_TRUE(FileExists(outside + "\\empty")) << "a link's empty target folder stays";
}

std::string ShellFolder(int csidl)
{
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder);
    return folder;
}

TEST_F(ShredderTest, RefusesProtectedPlacesAndMissingPathsTouchingNothing)
{
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string profile = ShellFolder(CSIDL_PROFILE);
    const std::string missing = m_temp / "没有";
    WriteFileBytes(m_install + "\\tambShred.exe", "program");
    const struct {
        std::string path;
        std::string text;
        DWORD exitCode;
    } kCases[] = {
        {"C:\\", "不能粉碎“C:\\”：它是或包含驱动器的根文件夹。", 3},
        {windows, "不能粉碎“" + std::string(windows) + "”：它是或包含Windows 文件夹。", 3},
        {std::string(windows) + "\\system32", "不能粉碎“" + std::string(windows) + "\\system32”：它位于Windows 文件夹中。", 3},
        {ShellFolder(CSIDL_PROGRAM_FILES), "不能粉碎“" + ShellFolder(CSIDL_PROGRAM_FILES) + "”：它是或包含程序文件夹。", 3},
        {profile, "不能粉碎“" + profile + "”：它是或包含用户配置文件文件夹。", 3},
        {profile.substr(0, profile.rfind('\\')) + "\\Public", "不能粉碎“" + profile.substr(0, profile.rfind('\\')) + "\\Public”：它是或包含用户配置文件文件夹。", 3},
        {m_install + "\\", "不能粉碎“" + m_install + "”：它是或包含Quillon 的安装文件夹。", 3},
        {m_temp.Path(), "不能粉碎“" + m_temp.Path() + "”：它是或包含Quillon 的安装文件夹。", 3},
        {missing, "找不到要粉碎的文件或文件夹“" + missing + "”。", 2},
    };
    for (const auto& c : kCases) {
        CShredderProcess shredder(c.path);
        HWND first = nullptr;
        WaitUntil([&] { return (first = shredder.Dialog(kCaption)) != nullptr; }, 20000);
        ASSERT_TRUE(first) << c.path;
        if (GetDlgItem(first, IDC_SHRED_PATH)) {
            PostMessageA(first, WM_COMMAND, IDCANCEL, 0);
            ADD_FAILURE() << "offered to shred " << c.path;
            continue;
        }
        EXPECT_EQ(shredder.CloseMessageBox(), c.text);
        EXPECT_TRUE(shredder.WaitForEnd());
        EXPECT_EQ(shredder.ExitCode(), c.exitCode) << c.path;
    }
    EXPECT_EQ(ReadFileBytes(m_install + "\\tambShred.exe"), "program");
}

}  // namespace
