// The Recycle Bin item against the real, sandboxed bin (Wine keeps it in the trash under
// $XDG_DATA_HOME, which the test environment points into the build tree): files moved there with
// the shell are listed as one object that counts every file, and emptied on cleaning.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include "support/ItemRunFixture.h"
#include "engine/RecycleBinItem.h"

using testsupport::WriteFileBytes;

namespace {

bool MoveToRecycleBin(const std::string& path)
{
    std::string from = path + '\0';  // the list ends with a second zero
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT;
    return SHFileOperationA(&operation) == 0 && !testsupport::FileExists(path);
}

// Stands in for SHEmptyRecycleBinA where emptying must fail: Wine answers S_OK even for a bin it
// could not empty.
struct EmptyCall {
    int calls = 0;
    HWND hwnd = reinterpret_cast<HWND>(1);
    std::string root;
    DWORD flags = 0xdeadbeef;
};
EmptyCall g_emptyCall;

HRESULT WINAPI FailToEmpty(HWND hwnd, LPCSTR root, DWORD flags)
{
    g_emptyCall.calls += 1;
    g_emptyCall.hwnd = hwnd;
    g_emptyCall.root = root ? root : "(null)";
    g_emptyCall.flags = flags;
    return E_FAIL;
}

class RecycleBinItemTest : public ItemRunTest {
protected:
    RecycleBinItemTest() { EmptyBin(); }
    ~RecycleBinItemTest() override
    {
        SetEmptyRecycleBinForTesting(nullptr);
        EmptyBin();
    }

    // Wine's emptying passes over what it cannot remove (a read-only file, a folder with contents)
    // and still says S_OK; whatever stays is removed from the sandbox's trash folder directly.
    static void EmptyBin()
    {
        SHEmptyRecycleBinA(nullptr, "C:\\", SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
        if (QueryRecycleBin().m_nItems == 0) return;
        std::string trash = SandboxTrashFolder();
        if (trash.empty()) return;
        for (const char* part : {"\\files", "\\info"}) {
            testsupport::RemoveTree(trash + part);
            testsupport::MakeFolder(trash + part);
        }
    }

    // The trash of $XDG_DATA_HOME, which the test environment keeps in the build tree.
    static std::string SandboxTrashFolder()
    {
        char unixPath[MAX_PATH] = "";
        DWORD length = GetEnvironmentVariableA("XDG_DATA_HOME", unixPath, sizeof unixPath);
        if (length == 0 || length >= sizeof unixPath || unixPath[0] != '/') return {};
        std::string path = std::string("Z:") + unixPath + "/Trash";
        for (char& c : path)
            if (c == '/') c = '\\';
        return path;
    }

    ULONGLONG TrashFiles(const std::vector<size_t>& sizes)
    {
        ULONGLONG total = 0;
        for (size_t i = 0; i < sizes.size(); ++i) {
            std::string path = m_temp / ("trash" + std::to_string(i) + ".txt");
            WriteFileBytes(path, std::string(sizes[i], 'x'));
            EXPECT_TRUE(MoveToRecycleBin(path)) << path;
            total += sizes[i];
        }
        return total;
    }
};

}  // namespace

TEST_F(RecycleBinItemTest, ThreeFilesAreOneObjectThatCountsThree)
{
    ASSERT_EQ(0, QueryRecycleBin().m_nItems);
    TrashFiles({1000, 2000, 3000});
    CRecycleBinContents contents = QueryRecycleBin();
    ASSERT_EQ(3, contents.m_nItems);
    RangeBarsForItems(1);

    EXPECT_EQ(1, ScanOnWorker(Item(1105)));

    ASSERT_EQ(1u, m_window.m_objects.size());
    const CFoundObject& found = m_window.m_objects[0].object;
    EXPECT_EQ("Windows 回收站中的所有文件 (3 个文件)", found.m_strPath);
    EXPECT_EQ(3, found.m_nParam);
    EXPECT_EQ(kObjUnknown, found.m_nKind);
    EXPECT_EQ(static_cast<DWORD>(contents.m_qwBytes), found.m_dwSize);
    EXPECT_GE(contents.m_qwBytes, 6000u);
    EXPECT_EQ(EmptyRecycleBinObject, found.m_pfnClean);
    EXPECT_EQ(3, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(contents.m_qwBytes, m_context.m_qwBytes);
    EXPECT_EQ("已发现对象: 3", m_window.StatusText(1));
    EXPECT_EQ(100, m_window.ProgressPos(IDC_TOTAL_PROGRESS));
    EXPECT_EQ(3, QueryRecycleBin().m_nItems) << "a scan never deletes";

    CFoundObject object = found;
    EXPECT_EQ(1, CleanOnWorker(object));
    EXPECT_EQ(0, QueryRecycleBin().m_nItems);
    EXPECT_EQ(3, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(0, m_context.m_nNotDeleted);
    EXPECT_EQ(contents.m_qwBytes & 0xFFFFFFFFu, m_context.m_qwBytes);
    EXPECT_EQ("已删除的对象: 3", m_window.StatusText(1));
}

TEST_F(RecycleBinItemTest, AnEmptyBinListsNothing)
{
    ASSERT_EQ(0, QueryRecycleBin().m_nItems);
    RangeBarsForItems(2);
    EXPECT_EQ(1, ScanOnWorker(Item(1105)));
    EXPECT_TRUE(m_window.m_objects.empty());
    EXPECT_EQ(0, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(100, m_window.ProgressPos(IDC_TOTAL_PROGRESS));
}

TEST_F(RecycleBinItemTest, ABinThatCannotBeEmptiedCountsItsFilesAsNotDeleted)
{
    ASSERT_EQ(0, QueryRecycleBin().m_nItems);
    TrashFiles({10, 20, 30});
    RangeBarsForItems(1);
    EXPECT_EQ(1, ScanOnWorker(Item(1105)));
    ASSERT_EQ(1u, m_window.m_objects.size());
    CFoundObject object = m_window.m_objects[0].object;

    g_emptyCall = EmptyCall{};
    SetEmptyRecycleBinForTesting(FailToEmpty);
    m_window.m_statusWrites.clear();
    EXPECT_EQ(0, CleanOnWorker(object));

    EXPECT_EQ(1, g_emptyCall.calls);
    EXPECT_EQ(nullptr, g_emptyCall.hwnd);
    EXPECT_EQ("C:\\", g_emptyCall.root) << "only the bin of drive C: is emptied";
    EXPECT_EQ(DWORD{SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND}, g_emptyCall.flags);
    EXPECT_EQ(0, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(3, m_context.m_nNotDeleted);
    EXPECT_EQ(0u, m_context.m_qwBytes);
    EXPECT_TRUE(m_window.m_statusWrites.empty());
    EXPECT_EQ(3, QueryRecycleBin().m_nItems);
}
