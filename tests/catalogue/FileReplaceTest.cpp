// Replacing a file's content in steps that each leave the old or the new content whole.
#include "catalogue/FileReplace.h"
#include "support/Sandbox.h"

namespace {

int FileCount(const std::string& folder)
{
    int files = 0;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return files;
}

TEST(FileReplace, FolderOfAPath)
{
    EXPECT_EQ(FolderOfPath("C:\\a\\b.txt"), "C:\\a");
    EXPECT_EQ(FolderOfPath("C:\\b.txt"), "C:\\");
    EXPECT_EQ(FolderOfPath("b.txt"), ".");
    EXPECT_EQ(FolderOfPath("C:\\乗\\b.txt"), "C:\\乗") << "a trail byte 0x5C is no separator";
}

class FileReplaceTest : public testsupport::SandboxTest {};

TEST_F(FileReplaceTest, NewContentIsWrittenBesideWhileTheOldFileStaysUntilReplaced)
{
    const std::string path = m_temp / "data.dat";
    testsupport::WriteFileBytes(path, "old");

    std::string newPath;
    DWORD error = 0xdeadbeef;
    ASSERT_TRUE(WriteNewFileBeside(path, "new content", newPath, error));
    EXPECT_EQ(FolderOfPath(newPath), m_temp.Path());
    EXPECT_EQ(testsupport::ReadFileBytes(newPath), "new content");
    EXPECT_EQ(testsupport::ReadFileBytes(path), "old");

    ASSERT_TRUE(ReplaceWithNewFile(path, newPath, error));
    EXPECT_EQ(testsupport::ReadFileBytes(path), "new content");
    EXPECT_FALSE(testsupport::FileExists(newPath));
    EXPECT_EQ(FileCount(m_temp.Path()), 1);

    // An empty content is a valid new file too.
    ASSERT_TRUE(WriteNewFileBeside(path, "", newPath, error));
    ASSERT_TRUE(ReplaceWithNewFile(path, newPath, error));
    EXPECT_TRUE(testsupport::FileExists(path));
    EXPECT_EQ(testsupport::ReadFileBytes(path), "");
}

TEST_F(FileReplaceTest, FailuresLeaveNothingBehindAndTellTheReason)
{
    std::string newPath = "untouched";
    DWORD error = ERROR_SUCCESS;
    EXPECT_FALSE(WriteNewFileBeside(m_temp / "missing\\data.dat", "x", newPath, error));
    EXPECT_EQ(newPath, "untouched");
    EXPECT_NE(error, static_cast<DWORD>(ERROR_SUCCESS));

    // A file its owner holds open without allowing a rename is neither moved aside nor replaced.
    const std::string path = m_temp / "held.dat";
    testsupport::WriteFileBytes(path, "old");
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::string aside;
    error = ERROR_SUCCESS;
    EXPECT_FALSE(MoveFileAside(path, aside, error));
    EXPECT_NE(error, static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_TRUE(WriteNewFileBeside(path, "new", newPath, error));
    EXPECT_FALSE(ReplaceWithNewFile(path, newPath, error));
    CloseHandle(held);
    DeleteFileA(newPath.c_str());
    EXPECT_EQ(testsupport::ReadFileBytes(path), "old");
    EXPECT_EQ(FileCount(m_temp.Path()), 1);

    ASSERT_TRUE(MoveFileAside(path, aside, error));
    EXPECT_FALSE(testsupport::FileExists(path));
    EXPECT_EQ(testsupport::ReadFileBytes(aside), "old");
    EXPECT_EQ(FolderOfPath(aside), m_temp.Path());
}

}  // namespace
