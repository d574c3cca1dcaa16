// The catalogue: the built-in items, look-ups, the stop test, and how plug-in modules delivered by
// the data-file passes become items.
#include "app/SettingsStore.h"
#include "catalogue/ModList.h"
#include "support/BoxWatcher.h"
#include "support/Sandbox.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

struct ExpectedBuiltin {
    const char* title;
    const char* description;
    int reference;
    int image;
    bool oneStep;
    int param;
};

const ExpectedBuiltin kExpected[kBuiltinItemCount] = {
    {"最近的文档", "最近打开的文档列表。", 0, 0, true, 0},
    {"查找文档与搜索助手", "查找文档与搜索助手。", 0, 1, true, 0},
    {"运行程序历史", "运行程序历史。", 0, 2, true, 0},
    {"剪贴板", "剪贴板内容。", 1, 3, true, 0},
    {"临时文件目录", "临时文件目录的内容。", 1, 4, false, 0},
    {"回收站", "回收站内容。", 1, 5, true, 0},
    {"Internet Explorer Cookies", "Cookies 文件是小块的文本信息，由网站设置。", 10, 6, false, 1},
    {"Internet Explorer 临时 Internet 文件", "将你已访问的网页保存在缓存中以便下次更快的访问。", 10, 7, false, 2},
    {"Internet Explorer 已访问的页面历史", "已访问的网页历史。", 10, 8, false, 0},
    {"Internet Explorer 已输入的 URL 历史", "已输入的 URL 历史。", 10, 9, false, 3},
    {"Internet Explorer 自动完成表单数据", "在网页论坛中输入的信息。", 10, 9, true, 0},
    {"Netscape Navigator Cookies", "Netscape Navigator Cookies", 11, 16, true, 0},
    {"Netscape Navigator 临时 Internet 文件", "Netscape Navigator 临时 Internet 文件。", 11, 16, false, 0},
    {"Netscape Navigator 已访问的页面历史", "Netscape Navigator 已访问的页面历史。", 11, 16, true, 0},
    {"Netscape Navigator 已输入的 URL 历史", "Netscape Navigator 已输入的 URL 历史。", 11, 16, true, 0},
};

// Recognisable stand-ins for the plug-in item functions, so the routing by special key shows.
int FakeRuleScan(CModItem*) { return 1; }
int FakeCustomSearch(CModItem*) { return 1; }
int FakeFile(void*, int, const char*, void*) { return 1; }
int FakeFolder(void*, int, const char*, void*) { return 1; }
int FakeCookiesFile(void*, int, const char*, void*) { return 1; }
int FakeCustomFile(void*, int, const char*, void*) { return 1; }
int FakeCustomFolder(void*, int, const char*, void*) { return 1; }

// A module as the fill pass would deliver it.
struct FakeModule {
    int id;
    const char* title;
    bool hasSpecialKey;
    const char* specialKey;
};

// Data-file passes that serve fixed modules per file (by position in the path list) and record
// how they were called.
struct FakeDataFiles {
    std::vector<std::vector<FakeModule>> modulesPerFile;  // index: file position
    std::vector<std::string> selectedPaths;
    std::vector<std::string> filledPaths;
    std::vector<CModItem*> fillTargets;
    std::vector<std::vector<int>> fillSections;

    int FileIndex(const std::string& path) const
    {
        const std::vector<std::string>& paths = TheSettings().m_astrPluginFiles;
        for (size_t i = 0; i < paths.size(); ++i)
            if (paths[i] == path) return static_cast<int>(i);
        return -1;
    }
};
FakeDataFiles* g_files = nullptr;

// Sections are numbered 0, 2, 4... so that ordinals and positions differ.
std::vector<int> FakeSelect(const std::string& path)
{
    g_files->selectedPaths.push_back(path);
    std::vector<int> sections;
    int file = g_files->FileIndex(path);
    if (file < 0 || file >= static_cast<int>(g_files->modulesPerFile.size())) return sections;
    for (size_t i = 0; i < g_files->modulesPerFile[file].size(); ++i) sections.push_back(static_cast<int>(2 * i));
    return sections;
}

void FakeFill(const std::string& path, const std::vector<int>& sections, CModItem* items)
{
    g_files->filledPaths.push_back(path);
    g_files->fillTargets.push_back(items);
    g_files->fillSections.push_back(sections);
    const std::vector<FakeModule>& modules = g_files->modulesPerFile[g_files->FileIndex(path)];
    for (size_t k = 0; k < sections.size(); ++k) {
        const FakeModule& module = modules[sections[k] / 2];
        CModItem& item = items[k];
        item.m_nId = module.id;
        item.m_strTitle = module.title;
        item.m_strDescription = std::string("Description of ") + module.title;
        item.m_nImage = 12;
        item.m_nReference = 22;
        item.m_PlugData.m_bHasFileRules = true;
        item.m_PlugData.m_strFileRules = "%AppData%\\Sample|*.*;";
        item.m_PlugData.m_bHasSpecialKey = module.hasSpecialKey;
        item.m_PlugData.m_strSpecialKey = module.specialKey;
    }
}

class CatalogueTest : public testsupport::SandboxTest {
protected:
    void SetUp() override
    {
        m_savedPasses = GetPluginFilePasses();
        m_savedFunctions = GetPluginItemFunctions();
        g_files = &m_files;
    }
    void TearDown() override
    {
        SetPluginFilePasses(m_savedPasses);
        SetPluginItemFunctions(m_savedFunctions);
        g_files = nullptr;
    }

    void InstallFakeDataFiles(std::vector<std::vector<FakeModule>> modulesPerFile)
    {
        m_files.modulesPerFile = std::move(modulesPerFile);
        CPluginFilePasses passes;
        passes.pfnSelect = FakeSelect;
        passes.pfnFill = FakeFill;
        SetPluginFilePasses(passes);
        CPluginItemFunctions functions;
        functions.pfnRuleScan = FakeRuleScan;
        functions.pfnOnFileFound = FakeFile;
        functions.pfnOnFolderFound = FakeFolder;
        functions.pfnOnCookiesFile = FakeCookiesFile;
        functions.pfnCustomSearch = FakeCustomSearch;
        functions.pfnOnCustomFile = FakeCustomFile;
        functions.pfnOnCustomFolder = FakeCustomFolder;
        SetPluginItemFunctions(functions);
    }

    // Every item is wired to the catalogue's own stop event.
    static void ExpectStopWiring(CModList& catalogue)
    {
        for (int i = 0; i < catalogue.m_nCount; ++i) {
            CModItem* item = catalogue.GetAt(i);
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item->m_pfnIsStopRequested, &IsStopRequested) << "index " << i;
            EXPECT_EQ(item->m_hStopEvent, catalogue.m_evStop) << "index " << i;
        }
    }

    FakeDataFiles m_files;
    CPluginFilePasses m_savedPasses;
    CPluginItemFunctions m_savedFunctions;
};

TEST_F(CatalogueTest, NewCatalogueIsEmptyWithAnUnsignalledManualResetEvent)
{
    CModList catalogue;
    EXPECT_EQ(catalogue.m_nCount, 0);
    EXPECT_EQ(catalogue.m_nLoaded, 0);
    EXPECT_EQ(catalogue.m_pItems, nullptr);
    EXPECT_EQ(catalogue.m_pCheckedIds, nullptr);
    EXPECT_FALSE(catalogue.m_bBusy);
    EXPECT_EQ(catalogue.m_hwnd, nullptr);
    EXPECT_EQ(catalogue.GetAt(0), nullptr);
    EXPECT_EQ(catalogue.FindById(0), nullptr);

    ASSERT_NE(catalogue.m_evStop, nullptr);
    EXPECT_EQ(WaitForSingleObject(catalogue.m_evStop, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    SetEvent(catalogue.m_evStop);
    // Manual reset: a worker's test does not consume the request.
    EXPECT_EQ(WaitForSingleObject(catalogue.m_evStop, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(catalogue.m_evStop, 0), WAIT_OBJECT_0);

    ASSERT_NE(g_theScanningThreadsParam.m_evStop, nullptr);
    EXPECT_NE(g_theScanningThreadsParam.m_evStop, catalogue.m_evStop);
}

TEST_F(CatalogueTest, WithoutDataFilesHoldsExactlyTheBuiltins)
{
    SetPluginFilePasses(CPluginFilePasses{});
    CModList catalogue;
    catalogue.Build();

    ASSERT_EQ(catalogue.m_nCount, kBuiltinItemCount);
    EXPECT_EQ(catalogue.m_nLoaded, catalogue.m_nCount);
    for (int i = 0; i < kBuiltinItemCount; ++i) {
        SCOPED_TRACE("index " + std::to_string(i));
        const ExpectedBuiltin& expected = kExpected[i];
        CModItem* item = catalogue.GetAt(i);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->m_nId, 1100 + i);
        EXPECT_EQ(item->m_strTitle, expected.title);
        EXPECT_EQ(item->m_strDescription, expected.description);
        EXPECT_EQ(item->m_nReference, expected.reference);
        EXPECT_EQ(item->m_nImage, expected.image);
        EXPECT_EQ(item->m_bScanInOneStep, expected.oneStep);
        EXPECT_EQ(item->m_nParam, expected.param);
        EXPECT_FALSE(item->m_bIsPlugin);
        EXPECT_FALSE(item->m_PlugData.m_bHasFileRules || item->m_PlugData.m_bHasRegRules ||
                     item->m_PlugData.m_bHasSpecialKey || item->m_PlugData.m_bHasWarning);
        EXPECT_EQ(item->m_pScanContext, nullptr);
        EXPECT_EQ(item->m_pScanData, nullptr);
        EXPECT_EQ(catalogue.FindById(1100 + i), item);
        EXPECT_EQ(catalogue.m_pCheckedIds[i], 0);
    }
    ExpectStopWiring(catalogue);
    EXPECT_EQ(catalogue.m_nCheckedCount, 0);

    EXPECT_EQ(catalogue.GetAt(-1), nullptr);
    EXPECT_EQ(catalogue.GetAt(catalogue.m_nCount), nullptr);
    EXPECT_EQ(catalogue.FindById(1099), nullptr);
    EXPECT_EQ(catalogue.FindById(1115), nullptr);
    EXPECT_EQ(catalogue.FindById(0), nullptr);
}

TEST_F(CatalogueTest, StopTestAnswersOnlyForASignalledEvent)
{
    EXPECT_EQ(IsStopRequested(nullptr), 0);

    SetPluginFilePasses(CPluginFilePasses{});
    CModList catalogue;
    catalogue.Build();
    CModItem* item = catalogue.FindById(1104);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(IsStopRequested(catalogue.m_evStop), 0);
    EXPECT_FALSE(item->IsStopRequested());

    SetEvent(catalogue.m_evStop);
    EXPECT_EQ(IsStopRequested(catalogue.m_evStop), 1);
    EXPECT_EQ(item->m_pfnIsStopRequested(item->m_hStopEvent), 1);
    EXPECT_EQ(IsStopRequested(catalogue.m_evStop), 1) << "the test must not reset the event";

    ResetEvent(catalogue.m_evStop);
    EXPECT_EQ(IsStopRequested(catalogue.m_evStop), 0);
}

TEST_F(CatalogueTest, PluginModulesFollowTheBuiltinsInFileOrderWithFunctionsBySpecialKey)
{
    // InetEng: the Firefox cookies module; SysEng: nothing; AppsEng: a plain module and one whose
    // key text is there without the flag; DiskCleanEng: a custom item (key in lower case) and a
    // module with an unknown key.
    InstallFakeDataFiles({
        {{2101, "Firefox Cookies", true, "NETS_FIREFOXS_COOKIES"}},
        {},
        {{0, "Plain Viewer", false, ""}, {2203, "Flagless", false, "PROCESS_RULES"}},
        {{5001, "My Search", true, "process_rules"}, {0, "Odd Key", true, "SOME_OTHER_KEY"}},
    });
    CModList catalogue;
    catalogue.Build();

    const std::vector<std::string>& paths = TheSettings().m_astrPluginFiles;
    ASSERT_EQ(paths.size(), 4u);
    const char* const names[] = {"InetEng.dat", "SysEng.dat", "AppsEng.dat", "DiskCleanEng.dat"};
    for (int i = 0; i < 4; ++i) {
        ASSERT_GE(paths[i].size(), strlen(names[i]));
        EXPECT_EQ(paths[i].substr(paths[i].size() - strlen(names[i])), names[i]);
    }
    EXPECT_EQ(m_files.selectedPaths, paths);
    // The file without accepted modules is not filled; each fill starts at the next free item.
    EXPECT_EQ(m_files.filledPaths, (std::vector<std::string>{paths[0], paths[2], paths[3]}));
    ASSERT_EQ(m_files.fillTargets.size(), 3u);
    EXPECT_EQ(m_files.fillTargets[0], catalogue.GetAt(15));
    EXPECT_EQ(m_files.fillTargets[1], catalogue.GetAt(16));
    EXPECT_EQ(m_files.fillTargets[2], catalogue.GetAt(18));
    EXPECT_EQ(m_files.fillSections[1], (std::vector<int>{0, 2}));

    ASSERT_EQ(catalogue.m_nCount, 20);
    EXPECT_EQ(catalogue.m_nLoaded, 20);
    ExpectStopWiring(catalogue);
    EXPECT_EQ(catalogue.GetAt(14)->m_nId, 1114);
    EXPECT_FALSE(catalogue.GetAt(14)->m_bIsPlugin);

    const char* const titles[] = {"Firefox Cookies", "Plain Viewer", "Flagless", "My Search", "Odd Key"};
    for (int i = 15; i < 20; ++i) {
        SCOPED_TRACE("index " + std::to_string(i));
        CModItem* item = catalogue.GetAt(i);
        EXPECT_EQ(item->m_strTitle, titles[i - 15]);
        EXPECT_TRUE(item->m_bIsPlugin);
        EXPECT_TRUE(item->m_bScanInOneStep);
        EXPECT_EQ(item->m_nImage, 12);
        EXPECT_EQ(item->m_nReference, 22);
        EXPECT_EQ(item->m_PlugData.m_strFileRules, "%AppData%\\Sample|*.*;");
        EXPECT_EQ(item->m_pfnPrepare, nullptr);
        EXPECT_EQ(item->m_pfnCount, nullptr);
        EXPECT_EQ(item->m_pfnScan, nullptr);
        EXPECT_EQ(item->m_pfnFinish, nullptr);
    }

    CModItem* cookies = catalogue.FindById(2101);
    ASSERT_EQ(cookies, catalogue.GetAt(15));
    EXPECT_EQ(cookies->m_pfnScanAll, &FakeRuleScan);
    EXPECT_EQ(cookies->m_pfnOnFileFound, &FakeCookiesFile);
    EXPECT_EQ(cookies->m_pfnOnFolderFound, nullptr);

    for (int index : {16, 17, 19}) {  // plain, key without flag, unknown key
        SCOPED_TRACE("index " + std::to_string(index));
        CModItem* item = catalogue.GetAt(index);
        EXPECT_EQ(item->m_pfnScanAll, &FakeRuleScan);
        EXPECT_EQ(item->m_pfnOnFileFound, &FakeFile);
        EXPECT_EQ(item->m_pfnOnFolderFound, &FakeFolder);
    }

    CModItem* custom = catalogue.FindById(5001);
    ASSERT_EQ(custom, catalogue.GetAt(18));
    EXPECT_EQ(custom->m_pfnScanAll, &FakeCustomSearch);
    EXPECT_EQ(custom->m_pfnOnFileFound, &FakeCustomFile);
    EXPECT_EQ(custom->m_pfnOnFolderFound, &FakeCustomFolder);
    EXPECT_EQ(custom->m_PlugData.m_strSpecialKey, "process_rules");

    // Two modules without a usable number share identifier 0: the first in catalogue order wins.
    EXPECT_EQ(catalogue.FindById(0), catalogue.GetAt(16));
    EXPECT_EQ(catalogue.FindById(9999), nullptr);
}

TEST_F(CatalogueTest, AModuleWhoseIdentifierIsTakenIsLeftOutAsDamaged)
{
    // "-" takes the identifier of a built-in, of an earlier file, of an earlier module of its file.
    InstallFakeDataFiles({{{2101, "A", false, ""}}, {{1104, "-", false, ""}, {2101, "-", false, ""}},
                          {{0, "B", false, ""}, {2301, "C", false, ""}, {2301, "-", false, ""}, {0, "D", false, ""}},
                          {}});
    CModList catalogue;
    const std::vector<testsupport::SeenBox> boxes = testsupport::CloseBoxesDuring([&] { catalogue.Build(); });
    EXPECT_EQ(boxes.size(), 3u);
    for (const testsupport::SeenBox& box : boxes) EXPECT_EQ(box.text.rfind("插件已损坏", 0), 0u) << box.text;
    std::string titles;
    for (int i = kBuiltinItemCount; i < catalogue.m_nCount; ++i) titles += catalogue.GetAt(i)->m_strTitle;
    EXPECT_EQ(titles, "ABCD");
    ExpectStopWiring(catalogue);
}

TEST_F(CatalogueTest, CustomItemsWalkWithAFolderCallbackThatDoesNothing)
{
    SetPluginFilePasses(CPluginFilePasses{});
    const CPluginItemFunctions& functions = GetPluginItemFunctions();
    ASSERT_NE(functions.pfnOnCustomFolder, nullptr);
    EXPECT_EQ(functions.pfnOnCustomFolder(nullptr, 0, "C:\\windows", nullptr), 1);
}

TEST_F(CatalogueTest, RebuildClearsTheCheckedIdsAndIsRefusedWhileAWorkerRuns)
{
    InstallFakeDataFiles({{{2101, "Viewer", false, ""}}, {}, {}, {}});
    CModList catalogue;
    catalogue.Build();
    ASSERT_EQ(catalogue.m_nCount, 16);
    for (int i = 0; i < 3; ++i) catalogue.m_pCheckedIds[i] = 1100 + i;
    catalogue.m_nCheckedCount = 3;

    catalogue.Build();
    ASSERT_EQ(catalogue.m_nCount, 16);
    EXPECT_EQ(catalogue.m_nLoaded, 16);
    EXPECT_EQ(catalogue.m_nCheckedCount, 0);
    for (int i = 0; i < catalogue.m_nCount; ++i) EXPECT_EQ(catalogue.m_pCheckedIds[i], 0) << i;
    ExpectStopWiring(catalogue);
    EXPECT_EQ(catalogue.FindById(2101), catalogue.GetAt(15));

    // A running worker holds item pointers: the catalogue stays as it is.
    m_files.modulesPerFile[1] = {{2201, "Second", false, ""}};
    CModItem* before = catalogue.GetAt(15);
    catalogue.m_pCheckedIds[0] = 1100;
    catalogue.m_nCheckedCount = 1;
    m_files.selectedPaths.clear();
    catalogue.m_bBusy = true;
    catalogue.Build();
    EXPECT_TRUE(m_files.selectedPaths.empty());
    EXPECT_EQ(catalogue.m_nCount, 16);
    EXPECT_EQ(catalogue.GetAt(15), before);
    EXPECT_EQ(catalogue.m_nCheckedCount, 1);

    catalogue.m_bBusy = false;
    catalogue.Build();
    EXPECT_EQ(catalogue.m_nCount, 17);
    EXPECT_EQ(catalogue.FindById(2201), catalogue.GetAt(16));
}

TEST_F(CatalogueTest, GlobalCatalogueBuildsWithItsOwnEvent)
{
    SetPluginFilePasses(CPluginFilePasses{});
    g_theScanningThreadsParam.Build();
    EXPECT_EQ(g_theScanningThreadsParam.m_nCount, kBuiltinItemCount);
    EXPECT_EQ(g_theScanningThreadsParam.m_nLoaded, kBuiltinItemCount);
    ExpectStopWiring(g_theScanningThreadsParam);
}

}  // namespace
