// The search of the custom items over a real folder tree: masks of every checked custom item
// matched against file names in one walk, the items it takes off the scan's list, what it never
// takes (temporary folders, kept names, folders, refused attributes), and the folder it searches.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/ItemRunFixture.h"
#include "app/SettingsStore.h"
#include "engine/CustomSearch.h"
#include "engine/ScanThread.h"
#include "framework/MbString.h"

using testsupport::MakeFolder;
using testsupport::SetFileAge;
using testsupport::SetRegDword;
using testsupport::WriteFileBytes;

namespace {

struct CustomEntry {
    int id;
    const char* rules;  // as the loader keeps them: ending with ';'
};

// The custom items of the fourth data file for the fake plug-in passes below.
std::vector<CustomEntry> g_entries;

std::vector<int> SelectCustomItems(const std::string& path)
{
    std::vector<int> sections;
    if (framework::MbsFindNoCase(path, "DiskCleanEng.dat") == std::string::npos) return sections;
    for (size_t i = 0; i < g_entries.size(); ++i) sections.push_back(static_cast<int>(i));
    return sections;
}

void FillCustomItems(const std::string&, const std::vector<int>& sections, CModItem* items)
{
    for (size_t i = 0; i < sections.size(); ++i) {
        const CustomEntry& entry = g_entries[static_cast<size_t>(sections[i])];
        CModItem& item = items[i];
        item.m_nId = entry.id;
        item.m_strTitle = "custom " + std::to_string(entry.id);
        item.m_nReference = 30;
        item.m_PlugData.m_bHasSpecialKey = true;
        item.m_PlugData.m_strSpecialKey = i % 2 ? "process_rules" : "PROCESS_RULES";
        item.m_PlugData.m_bHasFileRules = entry.rules != nullptr;
        item.m_PlugData.m_strFileRules = entry.rules ? entry.rules : "";
    }
}

class CustomSearchTest : public ItemRunTest {
protected:
    CustomSearchTest() { TheSettings().Start(); }
    ~CustomSearchTest() override { g_entries.clear(); }

    // Builds the catalogue with these custom items; `checked` of them are checked in ItemStates and
    // listed in the scan's checked identifiers, in catalogue order.
    void BuildCatalogue(const std::vector<CustomEntry>& entries, const std::vector<int>& checked)
    {
        g_entries = entries;
        SetPluginFilePasses({SelectCustomItems, FillCustomItems});
        CModList& catalogue = g_theScanningThreadsParam;
        catalogue.Build();
        int n = 0;
        for (int id : checked) {
            SetRegDword(TheSettings().m_strItemStatesKey, CSettingsStore::ItemStateName(id), 1);
            catalogue.m_pCheckedIds[n++] = id;
        }
        catalogue.m_nCheckedCount = n;
    }

    void SetCustomFolder(const std::string& folder)
    {
        TheSettings().WriteString(kOptCustomFolderToScan, folder);
    }

    // Runs the checked items one after another as the scanning thread does: an identifier that was
    // cleared, or that has no item, is skipped.
    int RunCheckedItems()
    {
        CModList& catalogue = g_theScanningThreadsParam;
        int runs = 0;
        for (int i = 0; i < catalogue.m_nCheckedCount; ++i) {
            CModItem* item = catalogue.FindById(catalogue.m_pCheckedIds[i]);
            if (!item) continue;
            ++runs;
            EXPECT_EQ(1, ScanOnWorker(item));
        }
        return runs;
    }

    // The real scanning thread over the checked identifiers, reporting to the test window.
    void RunScanningThread()
    {
        g_theScanningThreadsParam.m_hwnd = m_window.Hwnd();
        EXPECT_TRUE(RunOnWorker([](void*) { ScanThreadProc(nullptr); }, nullptr, 30000));
        g_theScanningThreadsParam.m_hwnd = nullptr;
    }

    std::vector<std::string> ListedNames() const
    {
        std::vector<std::string> names;
        for (const auto& received : m_window.m_objects) names.push_back(received.object.m_strName);
        std::sort(names.begin(), names.end());
        return names;
    }
};

}  // namespace

TEST_F(CustomSearchTest, CustomItemsGetTheCustomSearch)
{
    BuildCatalogue({{5001, "*.txt;"}, {5002, "*.log;"}}, {});
    for (int id : {5001, 5002}) {
        CModItem* item = Item(id);
        ASSERT_NE(nullptr, item);
        EXPECT_EQ(CustomSearch, item->m_pfnScanAll);
        EXPECT_EQ(OnCustomFileFound, item->m_pfnOnFileFound);
        ASSERT_NE(nullptr, item->m_pfnOnFolderFound);
        EXPECT_EQ(1, item->m_pfnOnFolderFound(nullptr, 0, "C:\\x", nullptr));
    }
}

TEST_F(CustomSearchTest, TwoCheckedItemsWalkOnceWithTheMasksOfBoth)
{
    MakeFolder(m_temp / "sub");
    for (const char* name : {"a.txt", "b.log", "c.dat", "sub\\d.txt", "sub\\e.LOG", "sub\\f.ini"})
        WriteFileBytes(m_temp / name, "data");
    SetCustomFolder(m_temp.Path());
    // 5003 is not checked: its mask must not be used.
    BuildCatalogue({{5001, "*.txt;"}, {5002, "*.log;"}, {5003, "*.dat;"}}, {5001, 5002});

    RunScanningThread();
    // Run twice, the search would list every file twice.
    EXPECT_EQ((std::vector<std::string>{"a.txt", "b.log", "d.txt", "e.LOG"}), ListedNames());
    EXPECT_EQ(0, g_theScanningThreadsParam.m_pCheckedIds[0]);
    EXPECT_EQ(0, g_theScanningThreadsParam.m_pCheckedIds[1]);
    EXPECT_EQ("已发现对象: 4", m_window.StatusText(1));

    // The search by itself: status line, counts and sizes.
    g_theScanningThreadsParam.m_pCheckedIds[0] = 5001;
    g_theScanningThreadsParam.m_pCheckedIds[1] = 5002;
    m_window.m_objects.clear();
    EXPECT_EQ(1, RunCheckedItems()) << "the second custom item is not run again";
    EXPECT_EQ(4u, m_window.m_objects.size());
    EXPECT_EQ(4, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(16u, m_context.m_qwBytes);
    EXPECT_EQ("正在扫描自定义文件夹中匹配用户已定义的参数的文件...", m_window.ItemText(IDC_CURRENT_OPERATION));
}

TEST_F(CustomSearchTest, CollectingThePatternsClearsTheFirstEntryOfEachCheckedItem)
{
    BuildCatalogue({{5001, "*.txt;"}, {5002, nullptr}, {5003, "a*;b*;"}}, {1100, 5001, 5002, 5003});
    // A custom item checked in ItemStates but not among the scan's identifiers changes nothing else.
    CModList& catalogue = g_theScanningThreadsParam;
    catalogue.m_pCheckedIds[4] = 5003;
    catalogue.m_nCheckedCount = 5;

    std::vector<std::string> patterns = CollectCustomPatterns(catalogue);
    EXPECT_EQ((std::vector<std::string>{"*.txt;", "a*;b*;"}), patterns);
    EXPECT_EQ(1100, catalogue.m_pCheckedIds[0]);
    EXPECT_EQ(0, catalogue.m_pCheckedIds[1]);
    EXPECT_EQ(0, catalogue.m_pCheckedIds[2]);
    EXPECT_EQ(0, catalogue.m_pCheckedIds[3]);
    EXPECT_EQ(5003, catalogue.m_pCheckedIds[4]) << "only the first equal entry is cleared";

    // Unchecked (value 0 or missing) custom items give no pattern.
    SetRegDword(TheSettings().m_strItemStatesKey, "MC5001", 0);
    SetRegDword(TheSettings().m_strItemStatesKey, "MC5003", 2);
    EXPECT_TRUE(CollectCustomPatterns(catalogue).empty());
}

TEST_F(CustomSearchTest, TemporaryFoldersFoldersKeptNamesAndRefusedAttributesAreNeverListed)
{
    for (const char* folder : {"Local Settings", "Local Settings\\Temp", "Local Settings\\Temp\\deep",
                               "x", "x\\local settings", "x\\local settings\\temp", "match.txt",
                               "Local Settings\\History"})
        MakeFolder(m_temp / folder);
    for (const char* name : {"Local Settings\\Temp\\t1.txt", "Local Settings\\Temp\\deep\\t2.txt",
                             "x\\local settings\\temp\\t3.txt", "Local Settings\\History\\h.txt",
                             "match.txt\\inner.bin", "plain.txt", "keepme.txt", "hidden.txt", "readonly.txt"})
        WriteFileBytes(m_temp / name, "1234");
    SetFileAttributesA((m_temp / "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((m_temp / "readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAge(m_temp / "plain.txt", 60);  // young files are listed: no age rule here
    m_options.m_bDelOnlyOldTmpFiles = true;
    m_options.m_bIncludeHiddenFiles = false;
    m_options.m_bIncludeReadOnlyFiles = false;
    m_context.m_ppKeep = {"eepm"};
    SetCustomFolder(m_temp.Path());
    BuildCatalogue({{5001, "*.txt;"}}, {5001});
    RangeBarsForItems(1);

    EXPECT_EQ(1, RunCheckedItems());
    EXPECT_EQ((std::vector<std::string>{"h.txt", "plain.txt"}), ListedNames());
    EXPECT_EQ(0, m_window.ProgressPos(IDC_ITEM_PROGRESS)) << "the custom search shows no progress";
    EXPECT_EQ(0, m_window.ProgressPos(IDC_TOTAL_PROGRESS));
    EXPECT_EQ(2, m_context.m_nFoundOrDeleted);

    // The same files with the attributes allowed; the read-only one keeps its attribute (a scan
    // only looks).
    m_window.m_objects.clear();
    m_options.m_bIncludeHiddenFiles = true;
    m_options.m_bIncludeReadOnlyFiles = true;
    g_theScanningThreadsParam.m_pCheckedIds[0] = 5001;
    EXPECT_EQ(1, RunCheckedItems());
    EXPECT_EQ((std::vector<std::string>{"h.txt", "hidden.txt", "plain.txt", "readonly.txt"}), ListedNames());
    EXPECT_NE(0u, GetFileAttributesA((m_temp / "readonly.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(CustomSearchTest, SeveralMasksInOnePatternAndTheKeepListIsCaseSensitive)
{
    for (const char* name : {"abc.dat", "b.dat", "x.log", "y.LOG.bak", "KEEP.log", "keep.log"})
        WriteFileBytes(m_temp / name, "z");
    m_context.m_ppKeep = {"keep"};
    SetCustomFolder(m_temp.Path());
    BuildCatalogue({{5001, "*.log;a*.dat;"}}, {5001});

    EXPECT_EQ(1, RunCheckedItems());
    EXPECT_EQ((std::vector<std::string>{"KEEP.log", "abc.dat", "x.log"}), ListedNames());
}

TEST_F(CustomSearchTest, AStopEndsTheSearch)
{
    WriteFileBytes(m_temp / "a.txt", "z");
    SetCustomFolder(m_temp.Path());
    BuildCatalogue({{5001, "*.txt;"}}, {5001});
    SetEvent(g_theScanningThreadsParam.m_evStop);
    EXPECT_EQ(0, ScanOnWorker(Item(5001)));
    EXPECT_TRUE(m_window.m_objects.empty());
}

// An unplugged drive or an odd value never widens the search to the whole system drive.
TEST_F(CustomSearchTest, DriveCOnlyWhenNoFolderWasEverStoredAndAMissingOneFindsNothing)
{
    EXPECT_EQ("C:\\", CustomFolderToScan()) << "no setting";
    SetCustomFolder(m_temp / "does-not-exist");
    EXPECT_EQ("", CustomFolderToScan());
    EXPECT_EQ(m_temp / "does-not-exist", CustomFolderSetting()) << "kept for when it returns";
    SetCustomFolder("");
    EXPECT_EQ("", CustomFolderToScan());
    TheSettings().WriteDword(kOptCustomFolderToScan, 1);
    EXPECT_EQ("", CustomFolderToScan()) << "not a text";
    SetCustomFolder(m_temp.Path());
    EXPECT_EQ(m_temp.Path(), CustomFolderToScan());
}
