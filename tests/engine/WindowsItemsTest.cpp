// The recent-documents, clipboard and temporary-files items against the real platform: the Recent
// folder and Explorer's RecentDocs key of the sandbox, the real clipboard, and TEMP/TMP pointing at
// a test folder; and where the catalogue's built-in items find these functions.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include "support/ItemRunFixture.h"
#include "engine/ClipboardItem.h"
#include "engine/FolderWalker.h"
#include "engine/RecentDocsItem.h"
#include "engine/RecycleBinItem.h"
#include "engine/RegistryKeyItems.h"
#include "engine/SecureDelete.h"
#include "engine/TempFolderItem.h"
#include "framework/ScopedHandle.h"

using testsupport::FileExists;
using testsupport::MakeFolder;
using testsupport::RegKeyExists;
using testsupport::SetRegBinary;
using testsupport::WriteFileBytes;

namespace {

class WindowsItemsTest : public ItemRunTest {};

std::string CreatedRecentFolder()
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_RECENT | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

bool PutTextOnClipboard(HWND owner, const std::string& text)
{
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    bool set = SetClipboardData(CF_TEXT, memory) != nullptr;
    CloseClipboard();
    return set;
}

// Restores an environment variable of the process when the test ends.
class SavedVariable {
public:
    explicit SavedVariable(const char* name) : m_name(name), m_value(ReadEnvironmentVariable(name)) {}
    ~SavedVariable() { SetEnvironmentVariableA(m_name, m_value.empty() ? nullptr : m_value.c_str()); }

private:
    const char* m_name;
    std::string m_value;
};

std::string* ScanFolderOf(CModItem* item) { return static_cast<std::string*>(item->m_pScanData); }

}  // namespace

TEST_F(WindowsItemsTest, BuiltInWindowsItemsCarryTheirFunctions)
{
    EXPECT_EQ(ScanRecentDocuments, Item(1100)->m_pfnScanAll);
    EXPECT_EQ(ScanFindHistory, Item(1101)->m_pfnScanAll);
    EXPECT_EQ(ScanRunHistory, Item(1102)->m_pfnScanAll);
    EXPECT_EQ(ScanClipboard, Item(1103)->m_pfnScanAll);
    EXPECT_EQ(OnFolderFound, Item(1103)->m_pfnOnFolderFound);
    CModItem* temp = Item(1104);
    EXPECT_FALSE(temp->m_bScanInOneStep);
    EXPECT_EQ(TempFolderPrepare, temp->m_pfnPrepare);
    EXPECT_EQ(FolderCount, temp->m_pfnCount);
    EXPECT_EQ(FolderScan, temp->m_pfnScan);
    EXPECT_EQ(FolderFinish, temp->m_pfnFinish);
    EXPECT_EQ(OnFileFound, temp->m_pfnOnFileFound);
    EXPECT_EQ(ScanRecycleBin, Item(1105)->m_pfnScanAll);
}

TEST_F(WindowsItemsTest, RecentDocumentsAreOneObjectListedAfterTheStep)
{
    RangeBarsForItems(1);
    EXPECT_EQ(1, ScanOnWorker(Item(1100)));
    ASSERT_EQ(1u, m_window.m_objects.size());
    const CFoundObject& found = m_window.m_objects[0].object;
    EXPECT_EQ("最近打开的文档历史", found.m_strPath);
    EXPECT_EQ(kObjUnknown, found.m_nKind);
    EXPECT_EQ(0u, found.m_dwSize);
    EXPECT_EQ(ClearRecentDocuments, found.m_pfnClean);
    EXPECT_EQ(1, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(100, m_window.ProgressPos(IDC_ITEM_PROGRESS));
    EXPECT_EQ(100, m_window.ProgressPos(IDC_TOTAL_PROGRESS));
}

TEST_F(WindowsItemsTest, ClearingRecentDocumentsRemovesTheShortcutsAndTheExplorerList)
{
    std::string recent = CreatedRecentFolder();
    ASSERT_FALSE(recent.empty());
    ASSERT_EQ(recent, RecentFolder());
    std::string first = recent + "\\report.doc.lnk";
    std::string second = recent + "\\最近.txt.lnk";
    std::string other = recent + "\\quillon-test.ini";
    WriteFileBytes(first, "L");
    WriteFileBytes(second, "L");
    SetFileAttributesA(second.c_str(), FILE_ATTRIBUTE_READONLY);
    WriteFileBytes(other, "keep");
    SetRegBinary(std::string(kRecentDocsKey) + "\\.doc", "0", "r\0e\0", REG_BINARY);
    SetRegBinary(kRecentDocsKey, "MRUListEx", std::string("\0\0\0\0\xff\xff\xff\xff", 8), REG_BINARY);

    CFoundObject object;
    object.m_strPath = kRecentDocsText;
    object.m_pfnClean = ClearRecentDocuments;
    EXPECT_EQ(1, CleanOnWorker(object));

    EXPECT_FALSE(FileExists(first));
    EXPECT_FALSE(FileExists(second));
    EXPECT_TRUE(FileExists(other)) << "only shortcuts make up the list";
    EXPECT_FALSE(RegKeyExists(kRecentDocsKey));
    EXPECT_EQ(1, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(0, m_context.m_nNotDeleted);
    EXPECT_EQ("已删除的对象: 1", m_window.StatusText(1));
    DeleteFileA(other.c_str());
}

TEST_F(WindowsItemsTest, RecentDocumentsThatStayAreNotCountedAsDeleted)
{
    std::string recent = CreatedRecentFolder();
    std::string locked = recent + "\\in-use.lnk";
    WriteFileBytes(locked, "L");
    {
        framework::ScopedKernelHandle owner(
            CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(owner.IsValid());
        CFoundObject object;
        object.m_strPath = kRecentDocsText;
        object.m_pfnClean = ClearRecentDocuments;
        CleanOnWorker(object);
    }
    EXPECT_EQ(0, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(1, m_context.m_nNotDeleted);
    DeleteFileA(locked.c_str());
}

TEST_F(WindowsItemsTest, ClipboardIsListedAndEmptied)
{
    ASSERT_TRUE(PutTextOnClipboard(m_window.Hwnd(), "password123"));
    RangeBarsForItems(1);
    EXPECT_EQ(1, ScanOnWorker(Item(1103)));
    ASSERT_EQ(1u, m_window.m_objects.size());
    CFoundObject found = m_window.m_objects[0].object;
    EXPECT_EQ("剪贴板内容", found.m_strPath);
    EXPECT_EQ(kObjUnknown, found.m_nKind);
    EXPECT_EQ(EmptyClipboardObject, found.m_pfnClean);
    EXPECT_EQ(100, m_window.ProgressPos(IDC_TOTAL_PROGRESS));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT)) << "a scan never deletes";

    EXPECT_EQ(1, CleanOnWorker(found));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_EQ(1, m_context.m_nFoundOrDeleted);
    EXPECT_EQ("已删除的对象: 1", m_window.StatusText(1));
}

TEST_F(WindowsItemsTest, AClipboardHeldByAnotherThreadIsNeitherListedNorCounted)
{
    ASSERT_TRUE(PutTextOnClipboard(m_window.Hwnd(), "held"));
    ASSERT_TRUE(OpenClipboard(m_window.Hwnd()));
    RangeBarsForItems(1);
    EXPECT_EQ(1, ScanOnWorker(Item(1103)));
    EXPECT_TRUE(m_window.m_objects.empty());
    EXPECT_EQ(100, m_window.ProgressPos(IDC_TOTAL_PROGRESS));

    CFoundObject object;
    object.m_strPath = kClipboardText;
    object.m_pfnClean = EmptyClipboardObject;
    EXPECT_EQ(1, CleanOnWorker(object));
    EXPECT_EQ(0, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(0, m_context.m_nNotDeleted);
    CloseClipboard();
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
}

TEST_F(WindowsItemsTest, TemporaryFilesComeFromTheFolderNamedByTempOrElseTmp)
{
    SavedVariable temp("TEMP"), tmp("TMP");
    std::string folder = m_temp / "tmp-folder";
    MakeFolder(folder);
    MakeFolder(folder + "\\sub");
    WriteFileBytes(folder + "\\a.tmp", "12345");
    WriteFileBytes(folder + "\\sub\\b.tmp", "1");

    SetEnvironmentVariableA("TEMP", folder.c_str());
    SetEnvironmentVariableA("TMP", (m_temp / "elsewhere").c_str());
    CModItem* item = Item(1104);
    item->m_pScanContext = &m_context;
    ASSERT_EQ(1, item->m_pfnPrepare(item));
    ASSERT_NE(nullptr, ScanFolderOf(item));
    EXPECT_EQ(folder, *ScanFolderOf(item));
    // A second prepare while the folder is held finds nothing new.
    EXPECT_EQ(0, item->m_pfnPrepare(item));

    int units = 0;
    EXPECT_EQ(1, item->m_pfnCount(&units, item));
    EXPECT_EQ(2, units);
    EXPECT_EQ(1, ScanOnWorker(item, item->m_pfnScan));
    std::vector<std::string> paths;
    for (const CFoundObject& object : Objects()) paths.push_back(object.m_strPath);
    EXPECT_EQ((std::vector<std::string>{folder + "\\a.tmp", folder + "\\sub\\b.tmp"}), paths);
    item->m_pfnFinish(item);
    EXPECT_EQ(nullptr, item->m_pScanData);

    // TEMP empty: TMP.
    SetEnvironmentVariableA("TEMP", "");
    SetEnvironmentVariableA("TMP", folder.c_str());
    EXPECT_EQ(1, item->m_pfnPrepare(item));
    EXPECT_EQ(folder, *ScanFolderOf(item));
    item->m_pfnFinish(item);

    // Neither: nothing to scan, and the empty folder string waits for the finish function.
    SetEnvironmentVariableA("TEMP", nullptr);
    SetEnvironmentVariableA("TMP", nullptr);
    EXPECT_EQ(0, item->m_pfnPrepare(item));
    ASSERT_NE(nullptr, ScanFolderOf(item));
    EXPECT_EQ("", *ScanFolderOf(item));
    item->m_pfnFinish(item);
    EXPECT_EQ(nullptr, item->m_pScanData);
}
