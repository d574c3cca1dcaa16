// Replacing a file's content in steps that each leave the old or the new content whole.
#include "app/SettingsStore.h"
#include "catalogue/FileReplace.h"
#include "framework/PathText.h"
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

class FileReplaceTest : public testsupport::SandboxTest {
protected:
    FileReplaceTest() { TheSettings().Start(); }  // where transient files are recorded
};

TEST_F(FileReplaceTest, NewContentIsWrittenBesideWhileTheOldFileStaysUntilReplaced)
{
    const std::string path = m_temp / "data.dat";
    testsupport::WriteFileBytes(path, "old");

    std::string newPath;
    DWORD error = 0xdeadbeef;
    ASSERT_TRUE(WriteNewFileBeside(path, "new content", newPath, error));
    EXPECT_EQ(framework::FolderOfPath(newPath), m_temp.Path());
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

    // A file its owner holds open without allowing a rename gets no second name and is not replaced.
    const std::string path = m_temp / "held.dat";
    testsupport::WriteFileBytes(path, "old");
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::string oldPath = "untouched";
    error = ERROR_SUCCESS;
    EXPECT_FALSE(LinkOldContent(path, oldPath, error));
    EXPECT_EQ(oldPath, "untouched");
    EXPECT_NE(error, static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_TRUE(WriteNewFileBeside(path, "new", newPath, error));
    EXPECT_FALSE(ReplaceWithNewFile(path, newPath, error));
    CloseHandle(held);
    DiscardTransientFile(newPath);
    EXPECT_EQ(testsupport::ReadFileBytes(path), "old");
    EXPECT_EQ(FileCount(m_temp.Path()), 1);
    EXPECT_FALSE(testsupport::RegValueExists(TheSettings().m_strSettingsKey, kOptTransientFiles));

    ASSERT_TRUE(LinkOldContent(path, oldPath, error));
    EXPECT_EQ(testsupport::ReadFileBytes(path), "old");
    EXPECT_EQ(testsupport::ReadFileBytes(oldPath), "old");
    EXPECT_EQ(framework::FolderOfPath(oldPath), m_temp.Path());
}

TEST_F(FileReplaceTest, StartSweepsWhatInterruptedRewritesLeftAndNothingElse)
{
    // One rewrite cut short before its replacing move, one after it.
    const std::string before = m_temp / "before.txt", after = m_temp / "after.txt";
    std::string newBefore, oldBefore, newAfter, oldAfter;
    DWORD error = 0xdeadbeef;
    for (const std::string& path : {before, after}) testsupport::WriteFileBytes(path, "old");
    ASSERT_TRUE(WriteNewFileBeside(before, "new", newBefore, error));
    ASSERT_TRUE(LinkOldContent(before, oldBefore, error));
    ASSERT_TRUE(WriteNewFileBeside(after, "new", newAfter, error));
    ASSERT_TRUE(LinkOldContent(after, oldAfter, error));
    ASSERT_TRUE(ReplaceWithNewFile(after, newAfter, error));
    // A record altered to name a file of the user's, and a look-alike that was never recorded.
    const std::string mine = m_temp / "mine.txt", unrecorded = m_temp / "~qln0000000000000001.tmp";
    for (const std::string& path : {mine, unrecorded}) testsupport::WriteFileBytes(path, "mine");
    std::vector<std::string> records;
    ASSERT_TRUE(TheSettings().ReadStringList(kOptTransientFiles, records));
    records.push_back(mine);
    TheSettings().WriteStringList(kOptTransientFiles, records);

    std::vector<std::string> shredded;
    SweepTransientFiles([&](const std::string& path) { shredded.push_back(path); });
    // Before the move the old content's second name is a name of the live file: it is not shredded.
    EXPECT_EQ(shredded, (std::vector<std::string>{newBefore, oldAfter}));
    for (const std::string& gone : {newBefore, oldBefore, oldAfter}) EXPECT_FALSE(testsupport::FileExists(gone)) << gone;
    EXPECT_EQ(testsupport::ReadFileBytes(before), "old");
    EXPECT_EQ(testsupport::ReadFileBytes(after), "new");
    for (const std::string& path : {mine, unrecorded}) EXPECT_EQ(testsupport::ReadFileBytes(path), "mine");
    EXPECT_FALSE(testsupport::RegValueExists(TheSettings().m_strSettingsKey, kOptTransientFiles));
}

}  // namespace
