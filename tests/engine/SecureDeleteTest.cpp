// Shredding and deleting real files: contents on disk, the pass limit, files that cannot be
// opened exclusively, files in use, links, and the counting and status texts of DeleteFoundFile.
#include <gtest/gtest.h>

#include "support/TestMainWindow.h"
#include "app/SettingsStore.h"
#include "engine/RunReport.h"
#include "engine/SecureDelete.h"
#include "framework/MbString.h"
#include "framework/ScopedHandle.h"
#include "support/Sandbox.h"

using testsupport::FileExists;
using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

namespace {

std::string Pattern(size_t size)
{
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>('A' + i % 23);
    return s;
}

bool AllZero(const std::string& bytes) { return bytes.find_first_not_of('\0') == std::string::npos; }

framework::ScopedKernelHandle OpenAsOwner(const std::string& path, DWORD share)
{
    return framework::ScopedKernelHandle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share,
                                                     nullptr, OPEN_EXISTING, 0, nullptr));
}

// Wine keeps the requests of MoveFileEx(..., MOVEFILE_DELAY_UNTIL_REBOOT) where Windows does:
// pairs of (source, target) in PendingFileRenameOperations, carried out at the next system start.
const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kPendingRenames[] = "PendingFileRenameOperations";

std::vector<std::string> PendingRenames()
{
    std::vector<std::string> entries;
    framework::ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return entries;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), kPendingRenames, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return entries;
    std::vector<char> data(size + 2, '\0');
    RegQueryValueExA(key.Get(), kPendingRenames, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size);
    // Empty targets are empty strings, so walk exactly the byte count instead of stopping at "\0\0".
    for (size_t at = 0; at < size;) {
        std::string entry = data.data() + at;
        entries.push_back(entry);
        at += entry.size() + 1;
    }
    return entries;
}

bool IsScheduledForDeletion(const std::string& path)
{
    std::vector<std::string> entries = PendingRenames();
    for (size_t i = 0; i + 1 < entries.size(); i += 2) {
        if (framework::MbsEqualNoCase(entries[i], "\\??\\" + path) && entries[i + 1].empty()) return true;
    }
    return false;
}

// Takes our requests out again, so no later system start acts on a test's paths.
void Unschedule(const std::string& path)
{
    std::vector<std::string> entries = PendingRenames();
    std::string kept;
    for (size_t i = 0; i + 1 < entries.size(); i += 2) {
        if (framework::MbsEqualNoCase(entries[i], "\\??\\" + path)) continue;
        kept += entries[i] + '\0' + entries[i + 1] + '\0';
    }
    framework::ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, key.Receive()) != ERROR_SUCCESS)
        return;
    if (kept.empty()) {
        RegDeleteValueA(key.Get(), kPendingRenames);
    } else {
        kept += '\0';
        RegSetValueExA(key.Get(), kPendingRenames, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                       static_cast<DWORD>(kept.size()));
    }
}

class SecureDeleteTest : public testsupport::SandboxTest {
protected:
    SecureDeleteTest() : m_wnd(m_window.Hwnd())
    {
        AttachWindow(m_context, &m_wnd);
        m_context.m_pOptions = &m_options;
    }

    std::string MakeFile(const std::string& name, size_t size)
    {
        std::string path = m_temp / name;
        WriteFileBytes(path, Pattern(size));
        return path;
    }

    CFoundObject FileObject(const std::string& path)
    {
        CFoundObject object;
        object.m_strPath = path;
        object.m_strName = path.substr(path.rfind('\\') + 1);
        object.m_dwSize = static_cast<DWORD>(ReadFileBytes(path).size());
        object.m_nKind = kObjFile;
        object.m_pfnClean = DeleteFoundFile;
        return object;
    }

    int Clean(CFoundObject& object) { return CleanOnWorker(object, m_context); }

    std::vector<std::string> PartZeroWrites() const
    {
        std::vector<std::string> texts;
        for (const auto& w : m_window.m_statusWrites) {
            if (w.how == 0) texts.push_back(w.text);
        }
        return texts;
    }

    TestMainWindow m_window;
    CWndRef m_wnd;
    CRunOptions m_options;
    CRunContext m_context;
};

}  // namespace

TEST_F(SecureDeleteTest, ShreddingLeavesZerosUpToTheNext128ByteBoundary)
{
    struct Case {
        size_t size;
        size_t after;
    };
    const size_t mib = 1 << 20;
    for (Case c : {Case{1, 128}, Case{127, 128}, Case{128, 128}, Case{129, 256}, Case{mib + 1, mib + 128},
                   Case{3 * mib + 5, 3 * mib + 128}}) {
        SCOPED_TRACE(c.size);
        std::string path = MakeFile("f" + std::to_string(c.size) + ".bin", c.size);
        ASSERT_EQ(1, ShredFile(path, 3));
        std::string after = ReadFileBytes(path);
        EXPECT_EQ(c.after, after.size());
        EXPECT_TRUE(AllZero(after));
    }
    std::string empty = MakeFile("empty.bin", 0);
    EXPECT_EQ(1, ShredFile(empty, 3));
    EXPECT_TRUE(FileExists(empty));
    EXPECT_EQ("", ReadFileBytes(empty));
}

TEST_F(SecureDeleteTest, AtMost200PassesAndMissingFilesAreRefused)
{
    std::string many = MakeFile("many.bin", 300);
    EXPECT_EQ(1, ShredFile(many, 200));
    EXPECT_EQ(std::string(384, '\0'), ReadFileBytes(many));

    std::string tooMany = MakeFile("too-many.bin", 300);
    EXPECT_EQ(0, ShredFile(tooMany, 201));
    EXPECT_EQ(Pattern(300), ReadFileBytes(tooMany));

    EXPECT_EQ(0, ShredFile(m_temp / "missing.bin", 1));
    EXPECT_FALSE(FileExists(m_temp / "missing.bin"));
}

TEST_F(SecureDeleteTest, FilesThatCannotBeOpenedExclusivelyAreNotOverwritten)
{
    std::string readOnly = MakeFile("read-only.txt", 1000);
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(0, ShredFile(readOnly, 3));
    EXPECT_EQ(Pattern(1000), ReadFileBytes(readOnly));

    // Whether the owner shares nothing or shares reading and writing, our exclusive open fails.
    for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
        SCOPED_TRACE(share);
        std::string locked = MakeFile("locked" + std::to_string(share) + ".txt", 1000);
        {
            auto owner = OpenAsOwner(locked, share);
            ASSERT_TRUE(owner.IsValid());
            EXPECT_EQ(0, ShredFile(locked, 3));
        }
        EXPECT_EQ(Pattern(1000), ReadFileBytes(locked));
    }
}

TEST_F(SecureDeleteTest, DeleteFoundFileShredsDeletesCountsAndRestoresStatusPartZero)
{
    m_options.m_bShred = true;
    m_options.m_nOverwritePasses = 3;
    m_wnd.SetStatusText(0, "正在工作...");
    std::string first = MakeFile("第一.dat", 1 << 20);
    std::string second = MakeFile("second.dat", 512 * 1024 + 3);
    // The first file has a second name that the user never ticked: only the ticked name goes, and
    // the content under the other name is not overwritten.
    std::string otherName = m_temp / "other-name.dat";
    ASSERT_TRUE(CreateHardLinkA(otherName.c_str(), first.c_str(), nullptr));

    CFoundObject a = FileObject(first), b = FileObject(second);
    EXPECT_EQ(1, Clean(a));
    EXPECT_EQ(1, Clean(b));

    EXPECT_FALSE(FileExists(first));
    EXPECT_FALSE(FileExists(second));
    EXPECT_EQ(Pattern(1 << 20), ReadFileBytes(otherName));
    EXPECT_EQ(2, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(0, m_context.m_nNotDeleted);
    EXPECT_EQ((1u << 20) + 512 * 1024 + 3, m_context.m_qwBytes);  // the records' sizes
    EXPECT_EQ("已删除的对象: 2", m_window.StatusText(1));
    EXPECT_EQ("剩余空间: 1.50 MB", m_window.StatusText(2));
    EXPECT_EQ((std::vector<std::string>{"正在工作...", "正在粉碎...", "正在工作...", "正在粉碎...",
                                        "正在工作..."}),
              PartZeroWrites());
    EXPECT_EQ("正在工作...", m_window.StatusText(0));

    // A file that is gone by now is counted as not deleted; the run goes on.
    CFoundObject gone = FileObject(first);
    EXPECT_EQ(1, Clean(gone));
    EXPECT_EQ(2, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(1, m_context.m_nNotDeleted);
    EXPECT_EQ("已删除的对象: 2", m_window.StatusText(1));
}

TEST_F(SecureDeleteTest, WithoutShreddingFilesAreDeletedWithoutTouchingPartZero)
{
    m_options.m_bShred = false;
    m_options.m_nOverwritePasses = 35;
    std::string path = MakeFile("plain.txt", 4096);
    std::string witness = m_temp / "plain-witness.txt";
    ASSERT_TRUE(CreateHardLinkA(witness.c_str(), path.c_str(), nullptr));
    CFoundObject object = FileObject(path);
    EXPECT_EQ(1, Clean(object));
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(Pattern(4096), ReadFileBytes(witness));
    EXPECT_TRUE(PartZeroWrites().empty());
    EXPECT_EQ(1, m_context.m_nFoundOrDeleted);
    EXPECT_EQ("已删除的对象: 1", m_window.StatusText(1));
    EXPECT_EQ("剩余空间: 0.00 MB", m_window.StatusText(2));  // 4 KiB
}

TEST_F(SecureDeleteTest, ATickedReadOnlyFileLosesTheAttributeOnlyRightBeforeItGoes)
{
    m_options.m_bShred = true;
    m_options.m_nOverwritePasses = 1;
    std::string path = MakeFile("ro.txt", 700);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    CFoundObject object = FileObject(path);
    EXPECT_EQ(1, Clean(object));
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(1, m_context.m_nFoundOrDeleted);

    // One that cannot go keeps its attributes.
    std::string locked = MakeFile("ro-locked.txt", 700);
    auto owner = OpenAsOwner(locked, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(owner.IsValid());
    ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    CFoundObject stays = FileObject(locked);
    EXPECT_EQ(1, Clean(stays));
    EXPECT_EQ(DWORD{FILE_ATTRIBUTE_READONLY}, GetFileAttributesA(locked.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(1, m_context.m_nNotDeleted);
    owner = framework::ScopedKernelHandle();
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A folder the scan walked down is replaced by a link before Clean: nothing behind the link is
// touched. The walk's own starting folder may be a link (the user's Documents under Wine).
TEST_F(SecureDeleteTest, NothingIsDeletedThroughAFolderThatBecameALinkAfterTheScan)
{
    m_options.m_bShred = true;
    m_options.m_nOverwritePasses = 1;
    const std::string realRoot = m_temp / "real-root", linkedRoot = m_temp / "linked-root";
    const std::string elsewhere = m_temp / "elsewhere";
    for (const std::string& f : {realRoot, realRoot + "\\a", realRoot + "\\a\\b", elsewhere})
        testsupport::MakeFolder(f);
    ASSERT_TRUE(testsupport::MakeSymlink(realRoot, linkedRoot));
    WriteFileBytes(realRoot + "\\a\\b\\kept.txt", Pattern(50));
    WriteFileBytes(realRoot + "\\a\\b\\gone.txt", Pattern(50));
    WriteFileBytes(elsewhere + "\\victim.txt", Pattern(50));

    CFoundObject gone = FileObject(linkedRoot + "\\a\\b\\gone.txt");
    gone.m_nWalkRootLength = static_cast<int>(linkedRoot.size());
    EXPECT_EQ(1, Clean(gone));
    EXPECT_FALSE(FileExists(realRoot + "\\a\\b\\gone.txt")) << "a linked starting folder is fine";

    // Now "a" becomes a link to a folder that holds a file of the listed name.
    testsupport::MakeFolder(elsewhere + "\\b");
    WriteFileBytes(elsewhere + "\\b\\kept.txt", Pattern(50));
    CFoundObject kept = FileObject(linkedRoot + "\\a\\b\\kept.txt");
    kept.m_nWalkRootLength = static_cast<int>(linkedRoot.size());
    testsupport::RemoveTree(realRoot + "\\a");
    ASSERT_TRUE(testsupport::MakeSymlink(elsewhere, realRoot + "\\a"));
    m_context.m_folderVerdicts.clear();  // a new clean
    EXPECT_EQ(1, Clean(kept));
    EXPECT_EQ(Pattern(50), ReadFileBytes(elsewhere + "\\b\\kept.txt"));
    EXPECT_EQ(1, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(1, m_context.m_nNotDeleted);
    testsupport::RemoveSymlink(realRoot + "\\a");
    testsupport::RemoveSymlink(linkedRoot);
}

TEST_F(SecureDeleteTest, LockedFileCountsAsNotDeletedAndIsScheduledWhenAsked)
{
    m_options.m_bShred = true;
    m_options.m_nOverwritePasses = 3;
    std::string asked = MakeFile("locked-asked.txt", 900);
    std::string notAsked = MakeFile("locked-not-asked.txt", 900);
    {
        auto ownerAsked = OpenAsOwner(asked, 0);
        auto ownerNotAsked = OpenAsOwner(notAsked, 0);
        ASSERT_TRUE(ownerAsked.IsValid() && ownerNotAsked.IsValid());

        m_options.m_bDeleteAfterWinRestart = false;
        CFoundObject first = FileObject(notAsked);
        EXPECT_EQ(1, Clean(first));
        m_options.m_bDeleteAfterWinRestart = true;
        CFoundObject second = FileObject(asked);
        EXPECT_EQ(1, Clean(second));

        EXPECT_EQ(0, m_context.m_nFoundOrDeleted);
        EXPECT_EQ(2, m_context.m_nNotDeleted);
        EXPECT_TRUE(FileExists(asked));
        EXPECT_TRUE(FileExists(notAsked));
    }
    // The owner shared nothing, so the system can only remove the file at its next start.
    EXPECT_TRUE(IsScheduledForDeletion(asked));
    EXPECT_FALSE(IsScheduledForDeletion(notAsked));
    Unschedule(asked);
    EXPECT_FALSE(IsScheduledForDeletion(asked));
    // Neither was overwritten while it was locked.
    EXPECT_EQ(Pattern(900), ReadFileBytes(asked));
    EXPECT_EQ(Pattern(900), ReadFileBytes(notAsked));
}

TEST_F(SecureDeleteTest, FileInUseByAnOwnerThatAllowsDeletionIsGoneWhenTheOwnerCloses)
{
    m_options.m_bDeleteAfterWinRestart = true;
    std::string path = MakeFile("shared.txt", 100);
    {
        auto owner = OpenAsOwner(path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        ASSERT_TRUE(owner.IsValid());
        CFoundObject object = FileObject(path);
        EXPECT_EQ(1, Clean(object));
        EXPECT_EQ(1, m_context.m_nFoundOrDeleted);
    }
    EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(IsScheduledForDeletion(path));
}

TEST_F(SecureDeleteTest, FolderLinksAreNotOverwrittenOrFollowed)
{
    m_options.m_bShred = true;
    m_options.m_nOverwritePasses = 3;

    // Wine shows a Unix symlink to a folder as a reparse point.
    std::string folder = m_temp / "target-folder";
    testsupport::MakeFolder(folder);
    std::string inner = folder + "\\inner.txt";
    WriteFileBytes(inner, Pattern(500));
    std::string folderLink = m_temp / "folder-link";
    ASSERT_TRUE(testsupport::MakeSymlink(folder, folderLink));
    ASSERT_NE(0u, GetFileAttributesA(folderLink.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_EQ(0, ShredFile(folderLink, 3));
    CFoundObject object = FileObject(folderLink);
    EXPECT_EQ(1, Clean(object));
    EXPECT_EQ(Pattern(500), ReadFileBytes(inner));
    // A folder link is not a file: DeleteFileA refuses it, as on Windows.
    EXPECT_EQ(0, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(1, m_context.m_nNotDeleted);
    testsupport::RemoveSymlink(folderLink);
}

// A symlink to a file is a reparse point on Windows; Wine shows it as the plain file it points to,
// and nothing tells the two apart there (Wine's DeleteFileA even deletes the target, not the link).
TEST_F(SecureDeleteTest, FileLinksAreNotOverwrittenWhereTheyShowAsLinks)
{
    std::string target = MakeFile("target.txt", 300);
    std::string fileLink = m_temp / "file-link.txt";
    ASSERT_TRUE(testsupport::MakeSymlink(target, fileLink));
    bool shownAsLink = (GetFileAttributesA(fileLink.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (shownAsLink) {
        EXPECT_EQ(0, ShredFile(fileLink, 3));
        EXPECT_EQ(Pattern(300), ReadFileBytes(target));
    }
    testsupport::RemoveSymlink(fileLink);
    if (!shownAsLink) GTEST_SKIP() << "file symlinks are not shown as reparse points here";
}

TEST_F(SecureDeleteTest, ShreddingWithoutWindowStillWorksQuietly)
{
    m_options.m_bShred = true;
    m_options.m_nOverwritePasses = 2;
    CRunContext quiet;
    quiet.m_pOptions = &m_options;
    std::string path = MakeFile("quiet.bin", 10);
    CFoundObject object = FileObject(path);
    EXPECT_EQ(1, DeleteFoundFile(&object, &quiet, 0, 0));
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(0, quiet.m_nFoundOrDeleted);
    EXPECT_TRUE(m_window.m_statusWrites.empty());
}
