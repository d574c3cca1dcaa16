// The Netscape Navigator items: the profile lookup in a Mozilla registry file the tests write into
// a sandboxed %AppData%, the one-file listings with their 100 progress steps, and the profile's
// cache folder walked with the standard folder functions.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "support/ItemRunFixture.h"
#include "ThreeStepRun.h"
#include "engine/FolderWalker.h"
#include "engine/NetscapeItems.h"
#include "engine/NetscapeProfile.h"
#include "engine/SecureDelete.h"

using testsupport::MakeFolder;
using testsupport::WriteFileBytes;

namespace {

const char kUserShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// A "directory" entry as the registry file holds it: the marker, the folder, the end byte.
std::string DirectoryEntry(const std::string& folder) { return "directory" + folder + "\xC9"; }

class NetscapeItemsTest : public ItemRunTest {
protected:
    NetscapeItemsTest()
    {
        // The user's application-data folder is read from the sandboxed registry.
        m_appData = m_temp / "AppData";
        MakeFolder(m_appData);
        MakeFolder(m_appData + "\\Mozilla");
        testsupport::SetRegString(kUserShellFolders, "AppData", m_appData, REG_EXPAND_SZ);
        m_profile = m_appData + "\\Mozilla\\Profiles\\default\\k3x9.slt";
        MakeFolder(m_appData + "\\Mozilla\\Profiles");
        MakeFolder(m_appData + "\\Mozilla\\Profiles\\default");
        MakeFolder(m_profile);
    }

    std::string RegistryFile() const { return m_appData + "\\Mozilla\\registry.dat"; }
    void WriteRegistry(const std::string& bytes) { WriteFileBytes(RegistryFile(), bytes); }

    // The lookup on a worker that must end within five seconds.
    bool Lookup(std::string& folder)
    {
        struct Call {
            std::string folder;
            bool found = false;
        } call;
        HANDLE thread = CreateThread(nullptr, 0, [](void* p) -> DWORD {
            auto* c = static_cast<Call*>(p);
            c->found = FindNetscapeProfile(c->folder);
            return 0;
        }, &call, 0, nullptr);
        if (WaitForSingleObject(thread, 5000) != WAIT_OBJECT_0) {
            TerminateThread(thread, 1);
            CloseHandle(thread);
            ADD_FAILURE() << "the profile lookup does not end";
            return false;
        }
        CloseHandle(thread);
        folder = call.folder;
        return call.found;
    }
    bool Lookup()
    {
        std::string folder;
        return Lookup(folder);
    }

    ThreeStepResults RunThreeSteps(CModItem* item) { return RunThreeStepsOnWorker(item, &m_context, m_window); }

    std::string m_appData;
    std::string m_profile;
};

}  // namespace

TEST_F(NetscapeItemsTest, BuiltInNetscapeItemsCarryTheirFunctions)
{
    EXPECT_EQ(ScanNetscapeCookies, Item(1111)->m_pfnScanAll);
    EXPECT_EQ(OnFolderFound, Item(1111)->m_pfnOnFolderFound);
    CModItem* cache = Item(1112);
    EXPECT_FALSE(cache->m_bScanInOneStep);
    EXPECT_EQ(NetscapeCachePrepare, cache->m_pfnPrepare);
    EXPECT_EQ(FolderCount, cache->m_pfnCount);
    EXPECT_EQ(FolderScan, cache->m_pfnScan);
    EXPECT_EQ(FolderFinish, cache->m_pfnFinish);
    EXPECT_EQ(OnFileFound, cache->m_pfnOnFileFound);
    EXPECT_EQ(ScanNetscapeHistory, Item(1113)->m_pfnScanAll);
    EXPECT_EQ(ScanNetscapeTypedUrls, Item(1114)->m_pfnScanAll);
}

TEST_F(NetscapeItemsTest, TheProfileIsTheTrimmedFolderAfterTheDirectoryMarker)
{
    // The byte before the marker could pass for a lead byte: the marker is still seen.
    WriteRegistry(std::string("MREG\x01\x90") + DirectoryEntry(" \t" + m_profile + "  ") + "name" +
                  std::string(200, '.'));
    std::string folder;
    ASSERT_TRUE(Lookup(folder));
    EXPECT_EQ(m_profile, folder);

    // The end byte 0xC9 is looked for as a character: here it is the trail byte of the last one.
    std::string chinese = m_appData + "\\Mozilla\\Profiles\\疑";
    ASSERT_EQ('\xC9', chinese.back());
    MakeFolder(chinese);
    WriteRegistry(DirectoryEntry(chinese) + std::string(200, '.'));
    ASSERT_TRUE(Lookup(folder));
    EXPECT_EQ(chinese, folder);
}

TEST_F(NetscapeItemsTest, EntriesTheChunkedSearchCannotSeeAreNotFound)
{
    const std::string padding(400, '.');
    // Behind a zero byte of its chunk.
    WriteRegistry(std::string("MREG\0", 5) + DirectoryEntry(m_profile) + padding);
    EXPECT_FALSE(Lookup());

    // Across the middle of the file, where the first chunk ends.
    const std::string head(300, 'h');
    const std::string entry = DirectoryEntry(m_profile);
    const size_t folderStart = head.size() + 9;
    const size_t length = 2 * (folderStart + 3);  // the middle lies three bytes into the folder
    ASSERT_GT(length, head.size() + entry.size());
    WriteRegistry(head + entry + std::string(length - head.size() - entry.size(), 't'));
    EXPECT_FALSE(Lookup());
    // The same entry wholly before the middle is found.
    WriteRegistry(head + entry + std::string(length, 't'));
    EXPECT_TRUE(Lookup());

    // No end byte, nothing after the marker, no marker.
    WriteRegistry("directory" + m_profile + padding);
    EXPECT_FALSE(Lookup());
    WriteRegistry(std::string(401, '.') + "directory");
    EXPECT_FALSE(Lookup());
    WriteRegistry(padding + m_profile + "\xC9" + padding);
    EXPECT_FALSE(Lookup());
}

TEST_F(NetscapeItemsTest, AMissingFolderLetsTheSearchGoOnInTheNextChunk)
{
    auto half = [](const std::string& text) { return text + std::string(300 - text.size(), '.'); };
    const std::string missing = m_appData + "\\Mozilla\\Profiles\\gone";
    WriteRegistry(half(DirectoryEntry(missing)) + half(DirectoryEntry(m_profile)));
    std::string folder;
    ASSERT_TRUE(Lookup(folder));
    EXPECT_EQ(m_profile, folder);

    WriteRegistry(half(DirectoryEntry(missing)) + half("nothing here"));
    EXPECT_FALSE(Lookup());
}

TEST_F(NetscapeItemsTest, FilesTooShortOrMissingHoldNoProfile)
{
    WriteRegistry("d");  // a chunk of 0 bytes would be read forever
    EXPECT_FALSE(Lookup());
    WriteRegistry("");
    EXPECT_FALSE(Lookup());
    DeleteFileA(RegistryFile().c_str());
    EXPECT_FALSE(Lookup());
}

TEST_F(NetscapeItemsTest, EachProfileFileIsListedWithinAHundredSteps)
{
    WriteRegistry(DirectoryEntry(m_profile) + std::string(100, '.'));
    const std::string cookies = m_profile + "\\cookies.txt";
    WriteFileBytes(cookies, "# Netscape HTTP Cookie File\n");
    WriteFileBytes(m_profile + "\\localstore.rdf", "<RDF/>");

    RangeBarsForItems(3);
    EXPECT_EQ(1, ScanOnWorker(Item(1111)));
    ASSERT_EQ(1u, m_window.m_objects.size());
    const auto& received = m_window.m_objects[0];
    EXPECT_EQ(cookies, received.object.m_strPath);
    EXPECT_EQ("cookies.txt", received.object.m_strName);
    EXPECT_EQ(28u, received.object.m_dwSize);
    EXPECT_EQ(kObjFile, received.object.m_nKind);
    EXPECT_EQ(DeleteFoundFile, received.object.m_pfnClean);
    EXPECT_TRUE(received.hadStatus);
    EXPECT_EQ(28u, received.status.m_qwSize);
    EXPECT_EQ(1, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(28u, m_context.m_qwBytes);
    EXPECT_EQ("...", m_window.ItemText(IDC_CURRENT_OBJECT));
    EXPECT_EQ(100, m_window.ProgressPos(IDC_ITEM_PROGRESS));
    EXPECT_EQ(100, m_window.ProgressPos(IDC_TOTAL_PROGRESS));

    // No history file: nothing listed, the same hundred steps.
    SendMessageA(m_window.Item(IDC_ITEM_PROGRESS), PBM_SETPOS, 0, 0);
    EXPECT_EQ(1, ScanOnWorker(Item(1113)));
    EXPECT_EQ(1u, m_window.m_objects.size());
    EXPECT_EQ(100, m_window.ProgressPos(IDC_ITEM_PROGRESS));
    EXPECT_EQ(200, m_window.ProgressPos(IDC_TOTAL_PROGRESS));

    SendMessageA(m_window.Item(IDC_ITEM_PROGRESS), PBM_SETPOS, 0, 0);
    EXPECT_EQ(1, ScanOnWorker(Item(1114)));
    ASSERT_EQ(2u, m_window.m_objects.size());
    EXPECT_EQ(m_profile + "\\localstore.rdf", m_window.m_objects[1].object.m_strPath);
    EXPECT_EQ(300, m_window.ProgressPos(IDC_TOTAL_PROGRESS));
}

TEST_F(NetscapeItemsTest, WithoutAProfileOrAfterAStopNothingMoves)
{
    WriteFileBytes(m_profile + "\\cookies.txt", "cookies");
    RangeBarsForItems(1);
    EXPECT_EQ(1, ScanOnWorker(Item(1111))) << "no registry file";
    EXPECT_TRUE(m_window.m_objects.empty());
    EXPECT_EQ(0, m_window.ProgressPos(IDC_ITEM_PROGRESS));
    EXPECT_EQ(0, m_window.ProgressPos(IDC_TOTAL_PROGRESS));
    EXPECT_EQ("", m_window.ItemText(IDC_CURRENT_OBJECT));

    WriteRegistry(DirectoryEntry(m_profile) + std::string(100, '.'));
    RequestStop();
    EXPECT_EQ(0, ScanOnWorker(Item(1111)));
    EXPECT_TRUE(m_window.m_objects.empty());
    EXPECT_EQ(0, m_window.ProgressPos(IDC_TOTAL_PROGRESS));
}

TEST_F(NetscapeItemsTest, TheCacheItemWalksTheProfilesCacheFolder)
{
    CModItem* item = Item(1112);
    EXPECT_EQ(0, RunThreeSteps(item).prepared) << "no profile";

    WriteRegistry(DirectoryEntry(m_profile) + std::string(100, '.'));
    const std::string cache = m_profile + "\\Cache";
    MakeFolder(cache);
    MakeFolder(cache + "\\0A");
    WriteFileBytes(cache + "\\_CACHE_MAP_", "map");
    WriteFileBytes(cache + "\\0A\\D41C2F01", "data");

    item->m_pScanContext = &m_context;
    ASSERT_EQ(1, NetscapeCachePrepare(item));
    EXPECT_EQ(cache, *static_cast<std::string*>(item->m_pScanData));
    EXPECT_EQ(0, NetscapeCachePrepare(item)) << "prepared already";
    item->m_pfnFinish(item);

    ThreeStepResults steps = RunThreeSteps(item);
    EXPECT_EQ(1, steps.prepared);
    EXPECT_EQ(2, steps.units);
    EXPECT_EQ(1, steps.scanned);
    std::set<std::string> paths;
    for (const auto& received : m_window.m_objects) paths.insert(received.object.m_strPath);
    EXPECT_EQ((std::set<std::string>{cache + "\\_CACHE_MAP_", cache + "\\0A\\D41C2F01"}), paths);
}
