// Path variables: each of the nine variables against the folder the system reports for it, both
// forms, case, trimming, and the inputs that resolve nothing and stay as written.
#include "catalogue/PathVars.h"
#include "support/Sandbox.h"

#include <shlobj.h>

#include <string>

namespace {

std::string Environment(const char* name)
{
    char buffer[MAX_PATH * 2] = "";
    DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

std::string KnownFolder(int csidl)
{
    char buffer[MAX_PATH] = "";
    return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer)) ? buffer : "";
}

bool IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(PathVars, EveryVariableResolvesToItsSystemFolder)
{
    const struct {
        const char* variable;
        std::string expected;
    } cases[] = {
        {"%SystemDrive%", Environment("SystemDrive")},
        {"%ProgramFiles%", Environment("ProgramFiles")},
        {"%AppData%", Environment("APPDATA")},
        {"%AllUsersAppData%", Environment("ProgramData")},
        {"%LocalAppData%", Environment("LOCALAPPDATA")},
        {"%PersonalData%", KnownFolder(CSIDL_PERSONAL)},
        {"%WindowsDir%", Environment("windir")},
        {"%CurUsrDesktop%", KnownFolder(CSIDL_DESKTOPDIRECTORY)},
        {"%CurUsrProfile%", Environment("USERPROFILE")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variable);
        ASSERT_FALSE(c.expected.empty());
        std::string result = "sentinel";
        ASSERT_EQ(ResolvePathVar(c.variable, result), 1);
        EXPECT_EQ(result, c.expected);
        EXPECT_NE(result.back(), '\\') << "the single form adds no backslash";
        EXPECT_TRUE(IsFolder(result + "\\"));
    }
    EXPECT_EQ(Environment("SystemDrive").size(), 2u);
}

TEST(PathVars, VariablesCompareWithoutRegardToCaseInBothForms)
{
    std::string expected, result;
    ASSERT_EQ(ResolvePathVar("%AppData%", expected), 1);
    ASSERT_EQ(ResolvePathVar("%appdata%", result), 1);
    EXPECT_EQ(result, expected);
    ASSERT_EQ(ResolvePathVar("%APPDATA%\\App", result, "\\", true), 1);
    EXPECT_EQ(result, expected + "\\App");
}

TEST(PathVars, SplitFormJoinsFolderSeparatorAndTrimmedRemainder)
{
    std::string appData, windows, drive, result;
    ASSERT_EQ(ResolvePathVar("%AppData%", appData), 1);
    ASSERT_EQ(ResolvePathVar("%WindowsDir%", windows), 1);
    ASSERT_EQ(ResolvePathVar("%SystemDrive%", drive), 1);

    ASSERT_EQ(ResolvePathVar("%AppData%", result, "\\", true), 1);
    EXPECT_EQ(result, appData + "\\") << "the variable alone gets one backslash";
    ASSERT_EQ(ResolvePathVar("%AppData%\\App", result, "\\", true), 1);
    EXPECT_EQ(result, appData + "\\App");
    ASSERT_EQ(ResolvePathVar("  %AppData%  \\  Mozilla\\Firefox\\  ", result, "\\", true), 1);
    EXPECT_EQ(result, appData + "\\Mozilla\\Firefox\\");
    ASSERT_EQ(ResolvePathVar("%WindowsDir%\\regedit.exe", result, "\\", true), 1);
    EXPECT_EQ(result, windows + "\\regedit.exe");
    ASSERT_EQ(ResolvePathVar("%SystemDrive%\\%Temp%\\x", result, "\\", true), 1);
    EXPECT_EQ(result, drive + "\\%Temp%\\x") << "only the first component is resolved";
    // A separator that is a trail byte (0x5C of "乗") does not split.
    EXPECT_EQ(ResolvePathVar("%AppData%乗x", result, "\\", true), 0);
    EXPECT_EQ(result, "%AppData%乗x");
}

TEST(PathVars, WhatIsNoVariableStaysAsWritten)
{
    const struct {
        const char* path;
        bool split;
    } cases[] = {
        {"C:\\Windows", true},
        {"C:", false},
        {"%Temp%\\x", true},
        {"%Temp%", false},
        {"%USERPROFILE%", false},
        {"%AppData%\\x", false},  // the single form needs the whole path to be one variable
        {"AppData", false},
        {"%AppData", false},
        {"", false},
        {"", true},
        {"\\%AppData%", true},     // empty first component
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string result = "sentinel";
        EXPECT_EQ(ResolvePathVar(c.path, result, c.split ? "\\" : "", c.split), 0);
        EXPECT_EQ(result, c.path);
    }
}

}  // namespace
