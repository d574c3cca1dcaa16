// The installer end to end, in a fresh Wine prefix that installer-e2e.sh prepares: one suite per
// stage (after a silent installation, after a second one over it, after the silent uninstallation),
// each reading that prefix's real registry, files and windows. Started as "--record PATH" it is the
// shell's handler for .chm and .txt files and notes which file the program asked the shell to open.
#include <gtest/gtest.h>
#include <mbctype.h>
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "QuillonVersion.h"
#include "catalogue/CustomItems.h"
#include "catalogue/PluginFileScramble.h"
#include "support/ChildProcess.h"
#include "resource.h"
#include "shellext/ShellExtClsid.h"
#include "support/WindowDriver.h"

namespace {

const char kSettingsKey[] = "Software\\Venmoor\\Quillon\\Settings";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillon";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kServerKey[] = "CLSID\\" LORVEX_SHELL_CLSID_TEXT "\\InprocServer32";
const char kOpenedRecord[] = "C:\\opened-by-shell.txt";
const char kAbsent[] = "<absent>";
const char* const kShippedFiles[] = {"Lorvex.exe",      "InetEng.dat",    "SysEng.dat",    "AppsEng.dat",
                                     "tambShred.exe",   "LorvexShell.dll", "LorvexHelp.chm", "ChangeLog.txt",
                                     "uninstall.exe"};

std::string InstallDir()
{
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, folder);
    return std::string(folder) + "\\Quillon";
}

std::string InstalledFile(const char* name) { return InstallDir() + "\\" + name; }

std::string Shortcut()
{
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, folder);
    return std::string(folder) + "\\Quillon.lnk";
}

std::string RegText(HKEY root, const std::string& key, const char* value)
{
    char text[1024] = "";
    DWORD size = sizeof text;
    if (SHGetValueA(root, key.c_str(), value, nullptr, text, &size) != ERROR_SUCCESS) return kAbsent;
    return text;
}

DWORD RegDword(HKEY root, const char* key, const char* value)
{
    DWORD number = 0xdeadbeef, size = sizeof number;
    SHGetValueA(root, key, value, nullptr, &number, &size);
    return number;
}

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The custom-items file as the program writes it for one custom item.
std::string CustomItemsBytes()
{
    std::string bytes = CustomItemsText({{kFirstCustomItemId, "临时备份文件", "*.bak;*.tmp;"}});
    ScrambleBlock(&bytes[0], bytes.size());
    return bytes;
}

// The handler's key names: the shell opens help files and text files with this program.
void RecordWhatTheShellOpens()
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    const std::string command = std::string("\"") + self + "\" --record \"%1\"";
    SHSetValueA(HKEY_CLASSES_ROOT, "QuillonTest.Opened\\shell\\open\\command", nullptr, REG_SZ, command.c_str(),
                static_cast<DWORD>(command.size() + 1));
    for (const char* extension : {".chm", ".txt"})
        SHSetValueA(HKEY_CLASSES_ROOT, extension, nullptr, REG_SZ, "QuillonTest.Opened", 19);
    DeleteFileA(kOpenedRecord);
}

// Lorvex.exe of the install folder, started from another folder, so that only InstalledDir can lead
// it to its data files.
struct CInstalledLorvex {
    PROCESS_INFORMATION m_pi{};

    CInstalledLorvex()
    {
        std::string commandLine = "\"" + InstalledFile("Lorvex.exe") + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\windows", &si, &m_pi);
    }
    ~CInstalledLorvex()
    {
        if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(m_pi.hProcess, 1);
        CloseHandle(m_pi.hProcess);
        CloseHandle(m_pi.hThread);
    }
    std::vector<HWND> Dialogs() const
    {
        return testsupport::FindTopLevelWindows([&](HWND hwnd) {
            return testsupport::ProcessOf(hwnd) == m_pi.dwProcessId && testsupport::ClassName(hwnd) == "#32770";
        });
    }
    // The main window, once the start (and any message box of the catalogue build) is over.
    HWND MainWindow() const
    {
        HWND main = nullptr;
        testsupport::WaitUntil([&] {
            for (HWND hwnd : Dialogs())
                if (GetDlgItem(hwnd, IDC_SCAN)) main = hwnd;
            return main != nullptr || !Dialogs().empty();
        });
        return main;
    }
    bool Ended(DWORD ms) const { return WaitForSingleObject(m_pi.hProcess, ms) == WAIT_OBJECT_0; }
};

std::vector<std::string> OpenedFiles()
{
    std::vector<std::string> opened;
    std::ifstream in(kOpenedRecord);
    for (std::string line; std::getline(in, line);) opened.push_back(line);
    return opened;
}

// ---------------------------------------------------------------- after the silent installation

TEST(Installed, PutsEveryFileAndTheShortcutInPlace)
{
    for (const char* name : kShippedFiles) EXPECT_TRUE(PathFileExistsA(InstalledFile(name).c_str())) << name;
    EXPECT_TRUE(PathFileExistsA(InstalledFile("DiskCleanEng.dat").c_str()));
    EXPECT_TRUE(PathFileExistsA(Shortcut().c_str())) << Shortcut();
}

TEST(Installed, WritesInstalledDirAndTheUninstallEntry)
{
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, kSettingsKey, "InstalledDir"), InstallDir());
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"), QUILLON_VERSION_TEXT);
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "Publisher"), QUILLON_PUBLISHER);
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"),
              "\"" + InstalledFile("uninstall.exe") + "\"");
    // Kilobytes of the folder: at least the program itself.
    const DWORD programKb = static_cast<DWORD>(FileBytes(InstalledFile("Lorvex.exe")).size() / 1024);
    const DWORD estimated = RegDword(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize");
    EXPECT_GT(estimated, programKb);
}

TEST(Installed, RegistersTheExtensionForFilesAndFoldersButNotDrives)
{
    const struct {
        const char* key;
        const char* value;
        std::string want;
    } kCases[] = {
        {kServerKey, nullptr, InstalledFile("LorvexShell.dll")},
        {kServerKey, "ThreadingModel", "Apartment"},
        {"*\\shellex\\ContextMenuHandlers\\Quillon", nullptr, LORVEX_SHELL_CLSID_TEXT},
        {"Directory\\shellex\\ContextMenuHandlers\\Quillon", nullptr, LORVEX_SHELL_CLSID_TEXT},
        {"Drive\\shellex\\ContextMenuHandlers\\Quillon", nullptr, kAbsent},
    };
    for (const auto& c : kCases) EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, c.key, c.value), c.want) << c.key;
}

TEST(Installed, ComCreatesTheRegisteredExtensionWhichOffersItsCommand)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    IContextMenu* menu = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_LorvexShell, nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu,
                               reinterpret_cast<void**>(&menu)),
              S_OK);
    char loaded[MAX_PATH] = "";
    GetModuleFileNameA(GetModuleHandleA("LorvexShell.dll"), loaded, sizeof loaded);
    EXPECT_STRCASEEQ(loaded, InstalledFile("LorvexShell.dll").c_str());

    HMENU popup = CreatePopupMenu();
    const HRESULT added = menu->QueryContextMenu(popup, 0, 100, 200, CMF_NORMAL);
    EXPECT_EQ(HRESULT_CODE(added), 1);
    char text[128] = "";
    GetMenuStringA(popup, 100, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "使用 Quillon 粉碎");
    DestroyMenu(popup);
    menu->Release();
    CoUninitialize();
}

TEST(Installed, ProgramLoadsItsDataFilesAndOpensHelpAndHistoryThroughTheShell)
{
    RecordWhatTheShellOpens();
    CInstalledLorvex lorvex;
    HWND main = lorvex.MainWindow();
    for (HWND box : lorvex.Dialogs())
        if (box != main) ADD_FAILURE() << "message at start: " << testsupport::MessageBoxText(box);
    ASSERT_TRUE(main);

    PostMessageA(main, WM_COMMAND, ID_HELP_CONTENTS, 0);
    EXPECT_TRUE(testsupport::WaitUntil([] { return OpenedFiles().size() == 1; }));
    PostMessageA(main, WM_COMMAND, ID_HELP_ABOUT, 0);
    HWND about = nullptr;
    ASSERT_TRUE(testsupport::WaitUntil([&] { return (about = testsupport::FindDialog("关于 Quillon")) != nullptr; }));
    PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDC_VERSION_HISTORY, BN_CLICKED), 0);
    EXPECT_TRUE(testsupport::WaitUntil([] { return OpenedFiles().size() == 2; }));
    const std::vector<std::string> want = {InstalledFile("LorvexHelp.chm"), InstalledFile("ChangeLog.txt")};
    EXPECT_EQ(OpenedFiles(), want);

    PostMessageA(about, WM_COMMAND, IDOK, 0);
    PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(lorvex.Ended(10000));
}

// ---------------------------------------------------------------- a second installation over it

TEST(Reinstalled, ClosesTheRunningProgramAndKeepsTheCustomItems)
{
    { std::ofstream(InstalledFile("DiskCleanEng.dat"), std::ios::binary) << CustomItemsBytes(); }
    // For the uninstallation: a start with Windows and a setting of the user's.
    const char run[] = "\"C:\\Program Files\\Quillon\\Lorvex.exe\" /autoclean";
    SHSetValueA(HKEY_CURRENT_USER, kRunKey, "QuillonApp", REG_SZ, run, sizeof run);
    const DWORD noReports = 0;
    SHSetValueA(HKEY_CURRENT_USER, kSettingsKey, "Reports", REG_DWORD, &noReports, sizeof noReports);

    CInstalledLorvex lorvex;
    ASSERT_TRUE(lorvex.MainWindow());
    const char* setupExe = getenv("QUILLON_SETUP");
    ASSERT_TRUE(setupExe);
    std::string commandLine = std::string("\"") + setupExe + "\" /S";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION setup{};
    ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &setup));
    EXPECT_EQ(WaitForSingleObject(setup.hProcess, 120000), WAIT_OBJECT_0);
    DWORD code = 0xdeadbeef;
    GetExitCodeProcess(setup.hProcess, &code);
    CloseHandle(setup.hProcess);
    CloseHandle(setup.hThread);

    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(lorvex.Ended(0)) << "the installer should have asked the program to quit";
    EXPECT_EQ(FileBytes(InstalledFile("DiskCleanEng.dat")), CustomItemsBytes());
}

// ---------------------------------------------------------------- after the silent uninstallation

TEST(Uninstalled, LeavesNoInstalledFileRegistrationShortcutOrRunValue)
{
    for (const char* name : kShippedFiles) EXPECT_FALSE(PathFileExistsA(InstalledFile(name).c_str())) << name;
    EXPECT_FALSE(PathFileExistsA(Shortcut().c_str()));
    const struct {
        HKEY root;
        const char* key;
        const char* value;
    } kGone[] = {
        {HKEY_CLASSES_ROOT, "CLSID\\" LORVEX_SHELL_CLSID_TEXT, nullptr},
        {HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\Quillon", nullptr},
        {HKEY_CLASSES_ROOT, "Directory\\shellex\\ContextMenuHandlers\\Quillon", nullptr},
        {HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"},
        {HKEY_CURRENT_USER, kRunKey, "QuillonApp"},
        {HKEY_CURRENT_USER, kSettingsKey, "InstalledDir"},
    };
    for (const auto& g : kGone) EXPECT_EQ(RegText(g.root, g.key, g.value), kAbsent) << g.key;
}

TEST(Uninstalled, KeepsTheSettingsAndCustomItemsWhenSilent)
{
    EXPECT_EQ(RegDword(HKEY_CURRENT_USER, kSettingsKey, "Reports"), 0u);
    EXPECT_EQ(FileBytes(InstalledFile("DiskCleanEng.dat")), CustomItemsBytes());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && strcmp(argv[1], "--record") == 0) {
        std::ofstream(kOpenedRecord, std::ios::app) << argv[2] << "\n";
        return 0;
    }
    _setmbcp(_MB_CP_ANSI);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
