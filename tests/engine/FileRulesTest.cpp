// File rules of plug-in items: the fields of a rule, the folder it names (path variables, the
// external folder), the counting and scan passes with their progress, the 25-rule cap and stops.
#include "support/RuleScanFixture.h"

#include "engine/FileRules.h"
#include "engine/PluginRuleScan.h"

#include <algorithm>

namespace {

std::vector<std::string> Sorted(std::vector<std::string> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

TEST(FileRuleFields, FolderAndMaskAreRequiredAndOnlyRecurseWalksSubFolders)
{
    CFileRule rule;
    ASSERT_TRUE(ParseFileRule(" C:\\App\\Cache | *.tmp | recurse ", rule));
    EXPECT_EQ(rule.m_strFolder, "C:\\App\\Cache");
    EXPECT_EQ(rule.m_strMask, "*.tmp");
    EXPECT_TRUE(rule.m_bRecurse);

    ASSERT_TRUE(ParseFileRule("C:\\App|*.*", rule));
    EXPECT_FALSE(rule.m_bRecurse);
    ASSERT_TRUE(ParseFileRule("C:\\App|*.*|RECURSIVE", rule));
    EXPECT_FALSE(rule.m_bRecurse);

    for (const char* broken : {"C:\\App", "|*.*", "C:\\App|", "C:\\App||RECURSE", "  |  "}) {
        SCOPED_TRACE(broken);
        EXPECT_FALSE(ParseFileRule(broken, rule));
    }

    // "亅" ends in the byte of "|" and "乗" in that of "\": neither splits the rule.
    ASSERT_TRUE(ParseFileRule("C:\\亅\\乗|亅*.log", rule));
    EXPECT_EQ(rule.m_strFolder, "C:\\亅\\乗");
    EXPECT_EQ(rule.m_strMask, "亅*.log");
}

TEST(FileRuleFolder, FirstComponentVariableAndExternalFolderComponentsAreResolved)
{
    std::string appData;
    ASSERT_EQ(ResolvePathVar("%AppData%", appData), 1);
    CModPlugData none;
    EXPECT_EQ(BuildRuleFolder("%AppData%\\App\\Cache", none), appData + "\\App\\Cache\\");
    EXPECT_EQ(BuildRuleFolder("%appdata%", none), appData + "\\");
    EXPECT_EQ(BuildRuleFolder("C:\\\\x\\\\y\\", none), "C:\\x\\y\\");
    EXPECT_EQ(BuildRuleFolder("%Temp%\\x", none), "%Temp%\\x\\") << "only the nine variables resolve";
    EXPECT_EQ(BuildRuleFolder("C:\\x\\%AppData%", none), "C:\\x\\%AppData%\\") << "only the first component";
    EXPECT_EQ(BuildRuleFolder("C:\\乗\\亅", none), "C:\\乗\\亅\\");

    // Without an external folder the component stays as written, so the folder is not found.
    EXPECT_EQ(BuildRuleFolder("%ExternalDir1%\\Logs", none), "%ExternalDir1%\\Logs\\");

    CModPlugData external;
    external.m_bHasExternalDir = true;
    external.m_strExternalDir = "D:\\Data";
    EXPECT_EQ(BuildRuleFolder("%ExternalDir1%\\Logs", external), "D:\\Data\\Logs\\");
    EXPECT_EQ(BuildRuleFolder("%AppData%\\Mozilla\\%externaldir1%\\Cache", external),
              appData + "\\Mozilla\\D:\\Data\\Cache\\");
    EXPECT_EQ(BuildRuleFolder("C:\\%ExternalDir1%x", external), "C:\\%ExternalDir1%x\\") << "whole components only";
}

TEST_F(RuleScanTest, RecursiveRuleUnderAppDataListsMatchingFilesOfEverySubFolder)
{
    const std::string appData = RedirectShellFolder("AppData");
    const std::string app = appData + "\\SampleApp";
    for (const char* name : {"a.tmp", "b.txt", "sub\\c.tmp", "sub\\deeper\\d.TMP", "other\\e.txt"})
        WriteFileIn(app + "\\" + name);

    CModItem item = PluginItem({"%AppData%\\SampleApp|*.tmp|recurse"});
    ASSERT_EQ(Scan(item, 4, 2), 1);
    EXPECT_EQ(Sorted(ObjectPaths()),
              Sorted({app + "\\a.tmp", app + "\\sub\\c.tmp", app + "\\sub\\deeper\\d.TMP"}));
    for (const auto& received : m_window.m_objects) {
        EXPECT_EQ(received.object.m_nKind, kObjFile);
        EXPECT_TRUE(received.hadStatus);
    }
    // A rule that picks names offers no folder for removal: the user's folders are no trace.
    EXPECT_TRUE(ReportedFolders().empty());
    EXPECT_EQ(m_window.ItemText(IDC_CURRENT_OPERATION), "正在扫描 - 测试模块...");

    // Three files: item bar 0..3, total bar 0..3*4 starting at 3*2, each file one step of both.
    EXPECT_EQ(m_window.ProgressMax(IDC_ITEM_PROGRESS), 3);
    EXPECT_EQ(m_window.ProgressPos(IDC_ITEM_PROGRESS), 3);
    EXPECT_EQ(m_window.ProgressMax(IDC_TOTAL_PROGRESS), 12);
    EXPECT_EQ(m_window.ProgressPos(IDC_TOTAL_PROGRESS), 9);
    EXPECT_EQ(m_context.m_nFoundOrDeleted, 3);
}

TEST_F(RuleScanTest, ARuleTakingEveryFileReportsEachSubFolderAfterItsContents)
{
    const std::string cache = m_temp / "Cache";
    for (const char* name : {"a.bin", "sub\\deeper\\d.bin", "other\\e.bin"}) WriteFileIn(cache + "\\" + name);
    for (const char* mask : {"*.*", "*"}) {
        SCOPED_TRACE(mask);
        m_window.m_messages.clear();
        CModItem item = PluginItem({cache + "|" + mask + "|RECURSE"});
        ASSERT_EQ(Scan(item), 1);
        // So the cleaning run can remove each one it empties, inner ones first.
        const std::vector<std::string> folders = ReportedFolders();
        EXPECT_EQ(Sorted(folders), Sorted({cache + "\\other", cache + "\\sub", cache + "\\sub\\deeper"}));
        EXPECT_LT(std::find(folders.begin(), folders.end(), cache + "\\sub\\deeper") - folders.begin(),
                  std::find(folders.begin(), folders.end(), cache + "\\sub") - folders.begin());
    }
}

TEST_F(RuleScanTest, FolderAloneWithoutRecursionAndNothingWalkedWhenNoFileMatches)
{
    const std::string folder = m_temp / "App";
    WriteFileIn(folder + "\\top.log");
    WriteFileIn(folder + "\\sub\\inner.log");

    CModItem flat = PluginItem({folder + "|*.log"});
    ASSERT_EQ(Scan(flat), 1);
    EXPECT_EQ(ObjectPaths(), std::vector<std::string>{folder + "\\top.log"});
    EXPECT_TRUE(ReportedFolders().empty());

    // No file matches: the bars keep their ranges and not even the sub-folders are reported.
    m_window.m_objects.clear();
    m_window.m_messages.clear();
    CModItem none = PluginItem({folder + "|*.none|RECURSE"});
    ASSERT_EQ(Scan(none), 1);
    EXPECT_TRUE(ObjectPaths().empty());
    EXPECT_TRUE(ReportedFolders().empty());
    EXPECT_EQ(m_window.ProgressMax(IDC_ITEM_PROGRESS), 100);
}

TEST_F(RuleScanTest, ExternalFolderRuleFindsNothingWithoutExternalFolder)
{
    const std::string data = m_temp / "Data";
    WriteFileIn(data + "\\Logs\\app.log");

    CModItem without = PluginItem({"%ExternalDir1%\\Logs|*.*"});
    ASSERT_EQ(Scan(without), 1);
    EXPECT_TRUE(ObjectPaths().empty());

    CModItem with = PluginItem({"%ExternalDir1%\\Logs|*.*"});
    with.m_PlugData.m_bHasExternalDir = true;
    with.m_PlugData.m_strExternalDir = data;
    ASSERT_EQ(Scan(with), 1);
    EXPECT_EQ(ObjectPaths(), std::vector<std::string>{data + "\\Logs\\app.log"});
}

TEST_F(RuleScanTest, TheTwentySixthExistingFolderIsNeverWalked)
{
    std::vector<std::string> rules{m_temp / "missing-before|*.*"};
    std::vector<std::string> expected;
    for (int i = 0; i < 26; ++i) {
        const std::string folder = m_temp / ("rule" + std::to_string(i));
        WriteFileIn(folder + "\\file.txt");
        rules.push_back(folder + "|*.*");
        if (i == 12) rules.push_back(m_temp / "missing-between|*.*");  // folders that do not exist are not taken
        if (i < 25) expected.push_back(folder + "\\file.txt");
    }
    CModItem item = PluginItem(rules);
    ASSERT_EQ(Scan(item), 1);
    EXPECT_EQ(Sorted(ObjectPaths()), Sorted(expected));
    EXPECT_EQ(m_window.ProgressMax(IDC_ITEM_PROGRESS), 25);
}

// A file callback that asks the scan to stop once it has seen one file.
int ListThenStop(void* context, int reserved, const char* path, void* extra)
{
    GetPluginItemFunctions().pfnOnFileFound(context, reserved, path, extra);
    SetEvent(g_theScanningThreadsParam.m_evStop);
    return 1;
}

TEST_F(RuleScanTest, StopEndsTheFileRulesButTheRegistryRulesStillRun)
{
    testsupport::SetRegString("Software\\SampleApp", "LastFile", "C:\\a.txt");
    WriteFileIn(m_temp / "first\\1.txt");
    WriteFileIn(m_temp / "first\\2.txt");
    WriteFileIn(m_temp / "second\\3.txt");

    CModItem item = PluginItem({m_temp / "first|*.*", m_temp / "second|*.*"}, {"HKCU\\Software\\SampleApp|LastFile"});
    item.m_pfnOnFileFound = ListThenStop;
    EXPECT_EQ(Scan(item), 0);
    const std::vector<std::string> paths = ObjectPaths();
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[0].find(m_temp / "first\\"), 0u);
    EXPECT_EQ(paths[1], "Software\\SampleApp");

    // Asked before the scan starts: nothing at all.
    m_window.m_objects.clear();
    CModItem again = PluginItem({m_temp / "second|*.*"}, {"HKCU\\Software\\SampleApp|LastFile"});
    EXPECT_EQ(Scan(again), 0);
    EXPECT_TRUE(ObjectPaths().empty());
}

TEST_F(RuleScanTest, CountRuleFilesCountsMatchingFilesWithAndWithoutSubFolders)
{
    for (const char* name : {"a.dat", "b.dat", "c.txt", "s\\d.dat", "s\\t\\e.dat"}) WriteFileIn(m_temp / name);
    EXPECT_EQ(CountRuleFiles(m_temp.Path(), "*.dat", false), 2);
    EXPECT_EQ(CountRuleFiles(m_temp.Path(), "*.dat", true), 4);
    EXPECT_EQ(CountRuleFiles(m_temp.Path(), "*.*", true), 5);
    EXPECT_EQ(CountRuleFiles(m_temp / "absent", "*.*", true), 0);
}

}  // namespace
