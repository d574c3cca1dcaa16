// The registry tree walk and the visited-pages history item on keys the tests create below the
// Extensible Cache key of the sandboxed user registry, with container folders of real files.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "support/ItemRunFixture.h"
#include "ThreeStepRun.h"
#include "engine/FolderWalker.h"
#include "engine/HistoryContainerItem.h"
#include "engine/RegTreeWalker.h"
#include "engine/SecureDelete.h"

using testsupport::MakeFolder;
using testsupport::SetRegBinary;
using testsupport::SetRegDword;
using testsupport::SetRegString;
using testsupport::WriteFileBytes;

namespace {

const std::string kRoot = kExtensibleCacheKey;

std::string Key(const std::string& sub) { return sub.empty() ? kRoot : kRoot + "\\" + sub; }

class HistoryContainerTest : public ItemRunTest {
protected:
    ThreeStepResults RunThreeSteps(CModItem* item) { return RunThreeStepsOnWorker(item, &m_context, m_window); }

    std::set<std::string> ListedPaths() const
    {
        std::set<std::string> paths;
        for (const auto& received : m_window.m_objects) paths.insert(received.object.m_strPath);
        return paths;
    }

    // A container folder with files.
    std::string Container(const std::string& name, const std::vector<std::string>& files)
    {
        std::string folder = m_temp / name;
        MakeFolder(folder);
        for (const std::string& file : files) WriteFileBytes(folder + "\\" + file, "index " + file);
        return folder;
    }
};

struct WalkLog {
    std::vector<std::string> values;  // "key path|value name"
    std::vector<std::string> keys;
};

int LogValue(HKEY, void* log, const char* keyPath, const char* valueName)
{
    static_cast<WalkLog*>(log)->values.push_back(std::string(keyPath) + "|" + valueName);
    return 1;
}

WalkLog* g_keyLog = nullptr;
int LogKeyGlobal(void* walker, int reserved, const char* subKey, void* extra)
{
    EXPECT_NE(nullptr, walker);
    EXPECT_EQ(0, reserved);
    EXPECT_EQ(nullptr, extra);
    g_keyLog->keys.push_back(subKey);
    return 1;
}

void BuildTypedTree()
{
    SetRegString(Key(""), "TopSz", "top");
    SetRegString(Key("Alpha"), "CachePath", "C:\\nowhere");
    SetRegString(Key("Alpha"), "CachePrefix", "");
    SetRegDword(Key("Alpha"), "Limit", 1024);
    SetRegBinary(Key("Alpha"), "Bin", "\x01\x02", REG_BINARY);
    SetRegBinary(Key("Alpha\\Inner"), "Multi", std::string("a\0b\0\0", 5), REG_MULTI_SZ);
    SetRegBinary(Key("Alpha\\Inner"), "Q", std::string(8, '\0'), REG_QWORD);
    SetRegString(Key("Alpha\\Inner"), "Exp", "%TEMP%", REG_EXPAND_SZ);
    SetRegBinary(Key("Alpha\\Inner"), "None", "", REG_NONE);
    SetRegString(Key("Beta"), "cachepath", "%TEMP%", REG_EXPAND_SZ);
}

}  // namespace

TEST_F(HistoryContainerTest, TheWalkVisitsEveryValueAndCountsThemByType)
{
    BuildTypedTree();
    WalkLog log;
    g_keyLog = &log;
    CRegTreeWalker::Params params;
    params.m_pfnOnValue = LogValue;
    params.m_pUserData = &log;
    params.m_pfnOnKey = LogKeyGlobal;
    CRegTreeWalker walker(params);
    EXPECT_EQ(1, walker.Walk(HKEY_CURRENT_USER, kExtensibleCacheKey));

    std::vector<std::string> sorted = log.values;
    std::sort(sorted.begin(), sorted.end());
    // Below the top, a key path is the sub-key's name relative to its parent.
    EXPECT_EQ((std::vector<std::string>{"Alpha|Bin", "Alpha|CachePath", "Alpha|CachePrefix", "Alpha|Limit",
                                        "Beta|cachepath", "Inner|Exp", "Inner|Multi", "Inner|None", "Inner|Q",
                                        kRoot + "|TopSz"}),
              sorted);
    EXPECT_EQ(kRoot + "|TopSz", log.values.front()) << "the key's own values come first";
    EXPECT_EQ((std::vector<std::string>{"Inner", "Alpha", "Beta"}), log.keys) << "each key after its own walk";

    EXPECT_EQ(10, walker.GetCount(REG_NONE));
    EXPECT_EQ(3, walker.GetCount(REG_SZ));
    EXPECT_EQ(2, walker.GetCount(REG_EXPAND_SZ));
    EXPECT_EQ(1, walker.GetCount(REG_BINARY));
    EXPECT_EQ(1, walker.GetCount(REG_DWORD));
    EXPECT_EQ(1, walker.GetCount(REG_MULTI_SZ));
    EXPECT_EQ(1, walker.GetCount(REG_QWORD));
    EXPECT_EQ(0, walker.GetCount(REG_LINK));
    EXPECT_EQ(0, walker.GetCount(REG_DWORD_BIG_ENDIAN));

    // Counting starts afresh each time and calls nobody.
    log = WalkLog();
    EXPECT_EQ(2, walker.Count(REG_EXPAND_SZ, HKEY_CURRENT_USER, kExtensibleCacheKey));
    EXPECT_EQ(2, walker.Count(REG_EXPAND_SZ, HKEY_CURRENT_USER, kExtensibleCacheKey));
    EXPECT_EQ(10, walker.Count(REG_NONE, HKEY_CURRENT_USER, kExtensibleCacheKey));
    EXPECT_TRUE(log.values.empty());
    EXPECT_TRUE(log.keys.empty());

    // A filter passes one type to the callback; every value is still counted.
    CRegTreeWalker::Params dwords;
    dwords.m_pfnOnValue = LogValue;
    dwords.m_pUserData = &log;
    dwords.m_dwTypeFilter = REG_DWORD;
    CRegTreeWalker filtered(dwords);
    EXPECT_EQ(1, filtered.Walk(HKEY_CURRENT_USER, kExtensibleCacheKey));
    EXPECT_EQ(std::vector<std::string>{"Alpha|Limit"}, log.values);
    EXPECT_EQ(10, filtered.GetCount(REG_NONE));

    // A key that does not open ends its walk as if it were empty.
    CRegTreeWalker missing;
    EXPECT_EQ(1, missing.Walk(HKEY_CURRENT_USER, "Software\\Quillon test\\no such key"));
    EXPECT_EQ(0, missing.Count(REG_NONE, HKEY_CURRENT_USER, "Software\\Quillon test\\no such key"));
}

TEST_F(HistoryContainerTest, NamesOfMoreThanMaxPathBytesAreWalkedWhole)
{
    std::string longName;  // 130 characters: within the registry's 255, but 260 bytes in code page 936
    for (int i = 0; i < 130; ++i) longName += "历";
    SetRegString(Key(longName), longName, "x");
    WalkLog log;
    int stopTests = 0;
    CRegTreeWalker::Params params;
    params.m_pfnOnValue = LogValue;
    params.m_pUserData = &log;
    // A walk that enters the same key again and again is stopped before it overflows the stack.
    params.m_pfnStop = [](void* tests) { return ++*static_cast<int*>(tests) > 100 ? 1 : 0; };
    params.m_pStopData = &stopTests;
    ASSERT_EQ(1, CRegTreeWalker(params).Walk(HKEY_CURRENT_USER, kExtensibleCacheKey));
    EXPECT_EQ(std::vector<std::string>{longName + "|" + longName}, log.values);
}

TEST_F(HistoryContainerTest, TheCountTakesExpandableStringsBeforePlainStrings)
{
    CModItem* item = Item(1108);
    ThreeStepResults nothing = RunThreeSteps(item);
    EXPECT_EQ(1, nothing.prepared);
    EXPECT_EQ(0, nothing.counted) << "no Extensible Cache key";
    EXPECT_EQ(-1, nothing.scanned);

    SetRegDword(Key("Empty"), "Limit", 5);
    EXPECT_EQ(0, RunThreeSteps(item).counted) << "no string values";

    SetRegString(Key("One"), "CachePath", m_temp / "one");
    SetRegString(Key("Two"), "CachePath", m_temp / "two");
    ThreeStepResults plain = RunThreeSteps(item);
    EXPECT_EQ(1, plain.counted);
    EXPECT_EQ(2, plain.units);

    SetRegString(Key("Three"), "CachePath", "%TEMP%", REG_EXPAND_SZ);
    ThreeStepResults expandable = RunThreeSteps(item);
    EXPECT_EQ(1, expandable.units) << "REG_EXPAND_SZ values are counted first";

    item->m_pScanData = new std::string("set");
    EXPECT_EQ(0, ContainerPrepare(item));
    ContainerFinish(item);
    EXPECT_EQ(nullptr, item->m_pScanData);
}

TEST_F(HistoryContainerTest, CachePathValuesNameTheFoldersWhoseFilesAreListed)
{
    std::string a = Container("Content.A", {"a1.dat", "a2.dat"});
    Container("Content.A\\sub", {"deep.dat"});
    std::string b = Container("History.B", {"index.dat"});
    std::string c = Container("Other.C", {"c1.dat"});
    SetRegString(Key("Content.A"), "cachepath", a);
    SetEnvironmentVariableA("QUILLON_TEST_HISTORY_B", b.c_str());
    SetRegString(Key("History.B"), "CACHEPATH", "%QUILLON_TEST_HISTORY_B%", REG_EXPAND_SZ);
    SetRegString(Key("History.B"), "CachePrefix", "Visited:");
    SetRegString(Key("Other.C"), "OtherPath", c);

    CModItem* item = Item(1108);
    EXPECT_EQ(OnCachePathValue, item->m_pfnOnFileFound);
    ThreeStepResults steps = RunThreeSteps(item);
    SetEnvironmentVariableA("QUILLON_TEST_HISTORY_B", nullptr);
    EXPECT_EQ(1, steps.units);
    EXPECT_EQ(1, steps.scanned);

    // The folders' own files only; the sub-folder is not entered.
    EXPECT_EQ((std::set<std::string>{a + "\\a1.dat", a + "\\a2.dat", b + "\\index.dat"}), ListedPaths());
    for (const auto& received : m_window.m_objects) {
        EXPECT_EQ(kObjFile, received.object.m_nKind);
        EXPECT_EQ(DeleteFoundFile, received.object.m_pfnClean);
    }
    EXPECT_EQ(3, m_context.m_nFoundOrDeleted);
    // One step per container and one per file.
    EXPECT_EQ(2 + 3, m_window.ProgressPos(IDC_ITEM_PROGRESS));
    EXPECT_EQ(2 + 3, m_window.ProgressPos(IDC_TOTAL_PROGRESS));
}

TEST_F(HistoryContainerTest, TheLineShowsTheKeyOfTheContainer)
{
    std::string empty = Container("Empty", {});
    SetRegString(Key("MSHist012024"), "CachePath", empty);
    RunThreeSteps(Item(1108));
    EXPECT_EQ("MSHist012024", m_window.ItemText(IDC_CURRENT_OBJECT));
    EXPECT_TRUE(m_window.m_objects.empty());
    EXPECT_EQ(1, m_window.ProgressPos(IDC_ITEM_PROGRESS));
}

namespace {

int g_callsBeforeStop = 0;
HANDLE g_stopEvent = nullptr;

// The CachePath callback, with a stop request after the given number of CachePath values.
int StoppingCachePath(void* context, int reserved, const char* keyPath, void* value)
{
    int result = OnCachePathValue(context, reserved, keyPath, value);
    const std::string name = static_cast<const CRegValueRef*>(value)->m_pszValueName;
    if (name == "CachePath" && --g_callsBeforeStop == 0) SetEvent(g_stopEvent);
    return result;
}

}  // namespace

TEST_F(HistoryContainerTest, AStopDuringTheWalkEndsTheScan)
{
    for (const char* name : {"K1", "K2", "K3"}) {
        std::string folder = Container(name, {std::string(name) + ".dat"});
        SetRegString(Key(name), "CachePath", folder);
        SetRegString(Key(name), "Zone", "after");  // a value after CachePath in the same key
    }

    CModItem* item = Item(1108);
    item->m_pfnOnFileFound = StoppingCachePath;
    g_stopEvent = StopEvent();
    g_callsBeforeStop = 1;
    ThreeStepResults steps = RunThreeSteps(item);
    EXPECT_EQ(0, steps.scanned);
    EXPECT_EQ((std::set<std::string>{m_temp / "K1" + "\\K1.dat"}), ListedPaths());

    // A stop inside the last key still ends the scan as stopped.
    ResetStop();
    m_window.m_objects.clear();
    g_callsBeforeStop = 3;
    steps = RunThreeSteps(item);
    EXPECT_EQ(0, steps.scanned);
    EXPECT_EQ(3u, ListedPaths().size());
}
