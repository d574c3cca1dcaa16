// The Find / Search-assistant and Run history items against the sandboxed registry: what a scan
// lists (and leaves in place), the progress of their single step, and how cleaning counts keys
// that go, that were already gone and that cannot be removed.
#include <gtest/gtest.h>

#include "support/ItemRunFixture.h"
#include "engine/RegistryKeyItems.h"

using testsupport::RegKeyExists;
using testsupport::SetRegString;

namespace {

const DWORD kCurrentUserParam = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(HKEY_CURRENT_USER));

class RegistryKeyItemsTest : public ItemRunTest {};

}  // namespace

TEST_F(RegistryKeyItemsTest, RunHistoryIsListedAsOneKeyAndRemovedWithItsSubKeysWhenCleaned)
{
    SetRegString(kRunMruKey, "a", "notepad\\1");
    SetRegString(kRunMruKey, "MRUList", "a");
    SetRegString(std::string(kRunMruKey) + "\\Inner", "x", "y");
    CModItem* item = Item(1102);
    ASSERT_NE(nullptr, item);
    RangeBarsForItems(2);

    EXPECT_EQ(1, ScanOnWorker(item));

    ASSERT_EQ(1u, m_window.m_objects.size());
    const CFoundObject& found = m_window.m_objects[0].object;
    EXPECT_EQ("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU", found.m_strPath);
    EXPECT_EQ(kObjRegKey, found.m_nKind);
    EXPECT_EQ(1, found.m_nParam);
    EXPECT_EQ(kCurrentUserParam, found.m_dwParam2);
    EXPECT_EQ(0u, found.m_dwSize);
    EXPECT_EQ("已发现对象: 1", m_window.StatusText(1));
    EXPECT_EQ(1, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(100, m_window.ProgressPos(IDC_ITEM_PROGRESS));
    EXPECT_EQ(100, m_window.ProgressPos(IDC_TOTAL_PROGRESS));
    EXPECT_TRUE(RegKeyExists(kRunMruKey)) << "a scan never deletes";

    CFoundObject object = found;
    EXPECT_EQ(1, CleanOnWorker(object));
    EXPECT_FALSE(RegKeyExists(kRunMruKey));
    EXPECT_EQ(1, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(0, m_context.m_nNotDeleted);
    EXPECT_EQ("已删除的对象: 1", m_window.StatusText(1));
}

TEST_F(RegistryKeyItemsTest, MissingRunHistoryListsNothingButStillTakesItsStep)
{
    CModItem* item = Item(1102);
    RangeBarsForItems(3);
    SendMessageA(m_window.Item(IDC_TOTAL_PROGRESS), PBM_SETPOS, 100, 0);

    EXPECT_EQ(1, ScanOnWorker(item));
    EXPECT_TRUE(m_window.m_objects.empty());
    EXPECT_EQ(0, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(100, m_window.ProgressPos(IDC_ITEM_PROGRESS));
    EXPECT_EQ(200, m_window.ProgressPos(IDC_TOTAL_PROGRESS));

    // A stop requested while the item ran ends the scan.
    SetEvent(g_theScanningThreadsParam.m_evStop);
    EXPECT_EQ(0, ScanOnWorker(item));
}

TEST_F(RegistryKeyItemsTest, FindHistoryListsBothKeysAndTheScanRemovesNeither)
{
    SetRegString(kSearchAssistantKey, "1", "secret search");
    SetRegString(kDocFindSpecKey, "a", "report*.doc");
    CModItem* item = Item(1101);
    ASSERT_NE(nullptr, item);
    RangeBarsForItems(1);

    EXPECT_EQ(1, ScanOnWorker(item));

    std::vector<CFoundObject> objects = Objects();
    ASSERT_EQ(2u, objects.size());
    EXPECT_EQ("Software\\Microsoft\\Search Assistant\\ACMru", objects[0].m_strPath);
    EXPECT_EQ("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Doc Find Spec MRU", objects[1].m_strPath);
    for (const CFoundObject& object : objects) {
        EXPECT_EQ(kObjRegKey, object.m_nKind);
        EXPECT_EQ(1, object.m_nParam);
        EXPECT_EQ(kCurrentUserParam, object.m_dwParam2);
    }
    EXPECT_EQ(2, m_context.m_nFoundOrDeleted);
    // Two keys, one step.
    EXPECT_EQ(100, m_window.ProgressPos(IDC_TOTAL_PROGRESS));
    EXPECT_TRUE(RegKeyExists(kSearchAssistantKey));
    EXPECT_TRUE(RegKeyExists(kDocFindSpecKey));

    // Cleaning the Find-documents history removes that key only.
    EXPECT_EQ(1, CleanOnWorker(objects[1]));
    EXPECT_FALSE(RegKeyExists(kDocFindSpecKey));
    EXPECT_TRUE(RegKeyExists(kSearchAssistantKey));
    EXPECT_EQ(1, m_context.m_nFoundOrDeleted);
}

TEST_F(RegistryKeyItemsTest, FindHistoryListsWhicheverKeyExists)
{
    SetRegString(kDocFindSpecKey, "a", "*.txt");
    EXPECT_EQ(1, ScanOnWorker(Item(1101)));
    ASSERT_EQ(1u, m_window.m_objects.size());
    EXPECT_EQ(kDocFindSpecKey, m_window.m_objects[0].object.m_strPath);

    RegDeleteKeyA(HKEY_CURRENT_USER, kDocFindSpecKey);
    m_window.m_objects.clear();
    EXPECT_EQ(1, ScanOnWorker(Item(1101)));
    EXPECT_TRUE(m_window.m_objects.empty());
}

TEST_F(RegistryKeyItemsTest, CleaningCountsAKeyAsDeletedOnlyWhenItIsGone)
{
    // Removed by someone else since the scan: the traces are gone all the same.
    CFoundObject gone;
    gone.m_strPath = kRunMruKey;
    gone.m_nKind = kObjRegKey;
    gone.m_nParam = 1;
    gone.m_dwParam2 = kCurrentUserParam;
    gone.m_pfnClean = DeleteRegistryKeyObject;
    EXPECT_EQ(1, CleanOnWorker(gone));
    EXPECT_EQ(1, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(0, m_context.m_nNotDeleted);

    // A key that stands for several objects adds all of them.
    SetRegString(kRunMruKey, "a", "x");
    CFoundObject several = gone;
    several.m_nParam = 4;
    EXPECT_EQ(1, CleanOnWorker(several));
    EXPECT_EQ(4, m_context.m_nFoundOrDeleted);
    EXPECT_EQ("已删除的对象: 4", m_window.StatusText(1));

    // A key that cannot be removed (here: its root cannot be opened at all) is not deleted.
    SetRegString(kRunMruKey, "a", "x");
    m_window.m_statusWrites.clear();
    CFoundObject stuck = gone;
    stuck.m_dwParam2 = 0x12345678;
    EXPECT_EQ(0, CleanOnWorker(stuck));
    EXPECT_EQ(0, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(1, m_context.m_nNotDeleted);
    EXPECT_TRUE(m_window.m_statusWrites.empty());
    EXPECT_TRUE(RegKeyExists(kRunMruKey));
}
