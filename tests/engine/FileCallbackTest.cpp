// The standard file and folder callbacks of the folder walk against real files and a real window:
// keep list, read-only and hidden rules, the 48-hour rule, unreadable files and progress.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/TestMainWindow.h"
#include "app/SettingsStore.h"
#include "engine/FolderWalker.h"
#include "engine/RunReport.h"
#include "engine/SecureDelete.h"
#include "engine/WorkerMessages.h"
#include "support/Sandbox.h"

using testsupport::WriteFileBytes;

namespace {

constexpr long long kHour = 3600;

class FileCallbackTest : public testsupport::SandboxTest {
protected:
    FileCallbackTest() : m_wnd(m_window.Hwnd())
    {
        AttachWindow(m_context, &m_wnd);
        m_context.m_pOptions = &m_options;
        m_folder = m_temp / "files";
        testsupport::MakeFolder(m_folder);
        SendMessageA(m_window.Item(IDC_ITEM_PROGRESS), PBM_SETRANGE32, 0, 1000);
        SendMessageA(m_window.Item(IDC_TOTAL_PROGRESS), PBM_SETRANGE32, 0, 1000);
    }

    std::string File(const std::string& name, DWORD attributes = 0, const std::string& bytes = "1234")
    {
        std::string path = m_folder + "\\" + name;
        WriteFileBytes(path, bytes);
        if (attributes) SetFileAttributesA(path.c_str(), attributes);
        return path;
    }

    // Walks the folder with the standard callbacks on a worker thread, as a folder scan does.
    void Walk(PFN_ON_FOUND onFile = OnFileFound)
    {
        struct Call {
            std::string folder;
            CRunContext* context;
            PFN_ON_FOUND onFile;
        } call{m_folder, &m_context, onFile};
        ASSERT_TRUE(RunOnWorker([](void* p) {
            auto* c = static_cast<Call*>(p);
            FolderWalkParams params;
            params.m_pfnOnFile = c->onFile;
            params.m_pfnOnFolder = OnFolderFound;
            params.m_pUserData = c->context;
            CFolderWalker::Walk(c->folder, &params);
        }, &call));
    }

    std::vector<std::string> ListedNames() const
    {
        std::vector<std::string> names;
        for (const auto& r : m_window.m_objects) names.push_back(r.object.m_strName);
        std::sort(names.begin(), names.end());
        return names;
    }

    DWORD Attributes(const std::string& path) const { return GetFileAttributesA(path.c_str()); }

    TestMainWindow m_window;
    CWndRef m_wnd;
    CRunContext m_context;
    CRunOptions m_options;
    std::string m_folder;
};

using Names = std::vector<std::string>;

}  // namespace

TEST_F(FileCallbackTest, AListedFileCarriesItsStatusAndMovesBothBars)
{
    std::string path = File("报告.doc", 0, std::string(3000, 'x'));
    Walk();

    ASSERT_EQ(1u, m_window.m_objects.size());
    const auto& got = m_window.m_objects[0];
    EXPECT_EQ(path, got.object.m_strPath);
    EXPECT_EQ("报告.doc", got.object.m_strName);
    EXPECT_EQ(3000u, got.object.m_dwSize);
    EXPECT_EQ(kObjFile, got.object.m_nKind);
    EXPECT_EQ(&DeleteFoundFile, got.object.m_pfnClean);
    ASSERT_TRUE(got.hadStatus);
    EXPECT_EQ(3000u, got.status.m_qwSize);
    EXPECT_NEAR(static_cast<double>(_time64(nullptr)), static_cast<double>(got.status.m_tModification), 120);
    EXPECT_EQ(1, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(3000u, m_context.m_qwBytes);
    EXPECT_EQ("已发现对象: 1", m_window.StatusText(1));
    EXPECT_EQ("报告.doc", m_window.ItemText(IDC_CURRENT_OBJECT));
    EXPECT_EQ(1, m_window.ProgressPos(IDC_ITEM_PROGRESS));
    EXPECT_EQ(1, m_window.ProgressPos(IDC_TOTAL_PROGRESS));
}

TEST_F(FileCallbackTest, KeepListEntriesAnywhereInTheNameSpareTheFileCaseSensitively)
{
    m_context.m_ppKeep = {"keep", "@x"};
    File("keep_start.txt");
    File("in_keep_middle.txt");
    File("at_end_keep");
    File("KEEP_upper.txt");      // different case: taken
    File("a@x.txt");             // contains "@x": kept
    File("丂x.txt");             // GBK 0x81 0x40 'x': the '@' is a trail byte, not a character
    File("plain.txt");
    Walk();

    EXPECT_EQ((Names{"KEEP_upper.txt", "plain.txt", "丂x.txt"}), ListedNames());
    EXPECT_EQ(3, m_context.m_nFoundOrDeleted);
    // Kept files move no bar.
    EXPECT_EQ(3, m_window.ProgressPos(IDC_ITEM_PROGRESS));
    EXPECT_EQ(3, m_window.ProgressPos(IDC_TOTAL_PROGRESS));

    EXPECT_TRUE(IsKeptByName(&m_context, "xx@xx"));
    EXPECT_FALSE(IsKeptByName(&m_context, "Keep"));
    EXPECT_FALSE(IsKeptByName(nullptr, "keep"));
}

TEST_F(FileCallbackTest, ReadOnlyAndHiddenFilesFollowTheOptionsAndKeepTheirAttributes)
{
    const DWORD ro = FILE_ATTRIBUTE_READONLY, hidden = FILE_ATTRIBUTE_HIDDEN;
    struct Case {
        bool includeReadOnly, includeHidden;
        Names listed;
    } cases[] = {
        {false, false, {"plain.txt"}},
        {true, false, {"plain.txt", "ro.txt"}},
        {false, true, {"hidden.txt", "plain.txt"}},
        {true, true, {"hidden.txt", "hidden_ro.txt", "plain.txt", "ro.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.includeReadOnly) + std::to_string(c.includeHidden));
        testsupport::RemoveTree(m_folder);
        testsupport::MakeFolder(m_folder);
        m_window.m_objects.clear();
        SendMessageA(m_window.Item(IDC_ITEM_PROGRESS), PBM_SETPOS, 0, 0);
        m_options.m_bIncludeReadOnlyFiles = c.includeReadOnly;
        m_options.m_bIncludeHiddenFiles = c.includeHidden;
        File("plain.txt");
        std::string roPath = File("ro.txt", ro);
        File("hidden.txt", hidden);
        std::string hiddenRo = File("hidden_ro.txt", hidden | ro);

        Walk();
        EXPECT_EQ(c.listed, ListedNames());
        // A scan changes nothing on the disk, listed or not.
        EXPECT_EQ(ro, Attributes(roPath) & ro);
        EXPECT_EQ(hidden | ro, Attributes(hiddenRo) & (hidden | ro));
        EXPECT_EQ(4, m_window.ProgressPos(IDC_ITEM_PROGRESS));  // every file, taken or not
    }
    testsupport::RemoveTree(m_folder);
}

TEST_F(FileCallbackTest, OnlyFilesOlderThan48HoursAreListedWhenAskedFor)
{
    SetFileAttributesA(m_folder.c_str(), 0);
    testsupport::SetFileAge(File("young.tmp"), 47 * kHour + 59 * 60);
    testsupport::SetFileAge(File("old.tmp"), 48 * kHour);
    testsupport::SetFileAge(File("older.tmp"), 400 * kHour);
    testsupport::SetFileAge(File("future.tmp"), -kHour);  // negative age: not listed

    m_options.m_bDelOnlyOldTmpFiles = true;
    Walk();
    EXPECT_EQ((Names{"old.tmp", "older.tmp"}), ListedNames());
    // The young files were taken: counted (with their size) and moved the bars, though not listed.
    EXPECT_EQ(4, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(16u, m_context.m_qwBytes);
    EXPECT_EQ(4, m_window.ProgressPos(IDC_ITEM_PROGRESS));

    m_window.m_objects.clear();
    m_options.m_bDelOnlyOldTmpFiles = false;
    Walk();
    EXPECT_EQ((Names{"future.tmp", "old.tmp", "older.tmp", "young.tmp"}), ListedNames());

    // The shared reporting function applies the age rule only when asked to.
    m_window.m_objects.clear();
    m_options.m_bDelOnlyOldTmpFiles = true;
    struct Call {
        CRunContext* context;
        std::string path;
    } call{&m_context, m_folder + "\\young.tmp"};
    ASSERT_TRUE(RunOnWorker([](void* p) {
        auto* c = static_cast<Call*>(p);
        ReportFoundFile(c->context, c->path, false);
        ReportFoundFile(c->context, c->path, true);
    }, &call));
    EXPECT_EQ((Names{"young.tmp"}), ListedNames());
}

namespace {

// The file vanishes between the directory listing and the callback, as when another program
// deletes it during the scan.
int DeleteThenReport(void* context, int reserved, const char* path, void* extra)
{
    DeleteFileA(path);
    return OnFileFound(context, reserved, path, extra);
}

}  // namespace

TEST_F(FileCallbackTest, AFileWhoseStatusCannotBeReadIsCountedWithSizeZeroButNotListed)
{
    File("gone.txt", 0, std::string(5000, 'g'));
    Walk(DeleteThenReport);
    EXPECT_TRUE(m_window.m_objects.empty());
    EXPECT_EQ(1, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(0u, m_context.m_qwBytes);
    EXPECT_EQ("已发现对象: 1", m_window.StatusText(1));
    EXPECT_EQ(1, m_window.ProgressPos(IDC_ITEM_PROGRESS));
}

TEST_F(FileCallbackTest, FoldersAreReportedWhenTheAttributeRulesTakeThem)
{
    std::string plain = m_folder + "\\plain";
    std::string hidden = m_folder + "\\hidden";
    std::string readOnly = m_folder + "\\readonly";
    for (const std::string& f : {plain, hidden, readOnly}) testsupport::MakeFolder(f);
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);

    m_options.m_bIncludeHiddenFiles = false;
    m_options.m_bIncludeReadOnlyFiles = true;
    Walk();
    std::vector<std::string> folders;
    for (const auto& m : m_window.MessagesOf(UWM_ADD_FOLDER)) folders.push_back(m.text);
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ((Names{plain, readOnly}), folders);
    EXPECT_EQ(0, m_context.m_nFoundOrDeleted);  // folders are not objects

    // The shared rule alone: a path that cannot be read is left to the status read.
    CRunOptions strict;
    strict.m_bIncludeHiddenFiles = false;
    EXPECT_FALSE(TakeByAttributes(hidden.c_str(), strict));
    EXPECT_TRUE(TakeByAttributes(plain.c_str(), strict));
    EXPECT_TRUE(TakeByAttributes((m_folder + "\\missing").c_str(), strict));
}
