// The folder walk on real trees: order, counts, masks, stop requests, links and long paths; and
// the standard three-step functions of folder-based items.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/FolderWalker.h"
#include "framework/ScopedHandle.h"
#include "support/Sandbox.h"

using testsupport::MakeFolder;
using testsupport::WriteFileBytes;

namespace {

struct WalkEvent {
    char kind;         // 'f' file, 'd' folder
    std::string path;  // relative to the walked folder
};

// User data of the recording callbacks.
struct Recorder {
    std::string root;
    std::vector<WalkEvent> events;
    HANDLE stopEvent = nullptr;
    std::string stopAtFile;  // set to the first file two folders down, when stopEvent is signalled

    std::string Relative(const char* path) const
    {
        std::string p = path;
        return p.compare(0, root.size() + 1, root + "\\") == 0 ? p.substr(root.size() + 1) : "!" + p;
    }
    int IndexOf(char kind, const std::string& path) const
    {
        for (size_t i = 0; i < events.size(); ++i)
            if (events[i].kind == kind && events[i].path == path) return static_cast<int>(i);
        return -1;
    }
    std::vector<std::string> Paths(char kind) const
    {
        std::vector<std::string> out;
        for (const WalkEvent& e : events)
            if (e.kind == kind) out.push_back(e.path);
        std::sort(out.begin(), out.end());
        return out;
    }
};

int RecordFile(void* user, int rootLength, const char* path, void* extra)
{
    auto* r = static_cast<Recorder*>(user);
    EXPECT_EQ(static_cast<int>(r->root.size()), rootLength) << "the length of the walk's starting folder";
    EXPECT_EQ(nullptr, extra);
    r->events.push_back({'f', r->Relative(path)});
    const std::string& rel = r->events.back().path;
    if (r->stopEvent && r->stopAtFile.empty() && std::count(rel.begin(), rel.end(), '\\') == 2) {
        r->stopAtFile = rel;
        SetEvent(r->stopEvent);
    }
    return 1;
}

int RecordFolder(void* user, int, const char* path, void*)
{
    auto* r = static_cast<Recorder*>(user);
    r->events.push_back({'d', r->Relative(path)});
    return 1;
}

int StopWhenSignalled(HANDLE h) { return WaitForSingleObject(h, 0) == WAIT_OBJECT_0 ? 1 : 0; }

class FolderWalkerTest : public testsupport::SandboxTest {
protected:
    FolderWalkerTest()
    {
        m_root = m_temp / "root";
        MakeFolder(m_root);
        m_rec.root = m_root;
        m_params.m_pfnOnFile = RecordFile;
        m_params.m_pfnOnFolder = RecordFolder;
        m_params.m_pUserData = &m_rec;
    }

    void File(const std::string& rel) { WriteFileBytes(m_root + "\\" + rel, "data"); }
    void Folder(const std::string& rel) { MakeFolder(m_root + "\\" + rel); }

    std::string m_root;
    Recorder m_rec;
    FolderWalkParams m_params;
};

using StringList = std::vector<std::string>;

}  // namespace

TEST_F(FolderWalkerTest, FilesComeFirstThenEachSubFolderAfterEverythingInsideIt)
{
    File("f1.txt");
    File("f2.log");
    Folder("A");
    File("A\\a1.txt");
    Folder("A\\B");
    File("A\\B\\b1.txt");
    File("A\\B\\b2.txt");
    Folder("C");  // empty

    // Trailing backslashes are cut: no doubled separator reaches a callback.
    ASSERT_EQ(1, CFolderWalker::Walk(m_root + "\\\\", &m_params));

    EXPECT_EQ((StringList{"A\\B\\b1.txt", "A\\B\\b2.txt", "A\\a1.txt", "f1.txt", "f2.log"}), m_rec.Paths('f'));
    EXPECT_EQ((StringList{"A", "A\\B", "C"}), m_rec.Paths('d'));
    EXPECT_EQ(5, m_params.m_nFiles);
    EXPECT_EQ(3, m_params.m_nFolders);
    EXPECT_EQ(1, m_params.m_bContinue);

    // The root's files before anything of a sub-folder; each folder after its contents.
    EXPECT_LT(m_rec.IndexOf('f', "f1.txt"), m_rec.IndexOf('f', "A\\a1.txt"));
    EXPECT_LT(m_rec.IndexOf('f', "f2.log"), m_rec.IndexOf('f', "A\\B\\b1.txt"));
    EXPECT_LT(m_rec.IndexOf('f', "A\\a1.txt"), m_rec.IndexOf('f', "A\\B\\b1.txt"));
    EXPECT_LT(m_rec.IndexOf('f', "A\\B\\b2.txt"), m_rec.IndexOf('d', "A\\B"));
    EXPECT_LT(m_rec.IndexOf('d', "A\\B"), m_rec.IndexOf('d', "A"));
    // A is finished (reported) before C is entered, or C before A is entered.
    int a = m_rec.IndexOf('d', "A"), c = m_rec.IndexOf('d', "C");
    EXPECT_TRUE(a < c || c < m_rec.IndexOf('f', "A\\a1.txt"));

    // A mask selects the files of every folder; sub-folders are still walked.
    Recorder masked;
    masked.root = m_root;
    FolderWalkParams withMask = m_params;
    withMask.m_nFiles = withMask.m_nFolders = 0;
    withMask.m_pUserData = &masked;
    withMask.m_pszMask = "*.txt";
    ASSERT_EQ(1, CFolderWalker::Walk(m_root, &withMask));
    EXPECT_EQ((StringList{"A\\B\\b1.txt", "A\\B\\b2.txt", "A\\a1.txt", "f1.txt"}), masked.Paths('f'));
    EXPECT_EQ(3, withMask.m_nFolders);

    // Without recursion only the folder's own files.
    Recorder flat;
    flat.root = m_root;
    FolderWalkParams noRecurse = m_params;
    noRecurse.m_nFiles = noRecurse.m_nFolders = 0;
    noRecurse.m_pUserData = &flat;
    noRecurse.m_bRecurse = false;
    ASSERT_EQ(1, CFolderWalker::Walk(m_root, &noRecurse));
    EXPECT_EQ((StringList{"f1.txt", "f2.log"}), flat.Paths('f'));
    EXPECT_EQ(0, noRecurse.m_nFolders);

    // A walk that may no longer continue does nothing; a missing folder ends quietly.
    Recorder none;
    none.root = m_root;
    FolderWalkParams ended = m_params;
    ended.m_pUserData = &none;
    ended.m_bContinue = 0;
    EXPECT_EQ(0, CFolderWalker::Walk(m_root, &ended));
    EXPECT_TRUE(none.events.empty());
    FolderWalkParams missing;
    EXPECT_EQ(1, CFolderWalker::Walk(m_temp / "no such folder", &missing));
    EXPECT_EQ(0, missing.m_nFiles + missing.m_nFolders);
}

TEST_F(FolderWalkerTest, AStopRequestInsideANestedFolderEndsEveryOuterLoop)
{
    for (const char* top : {"A", "B", "C", "D"}) {
        Folder(top);
        for (const char* mid : {"x", "y"}) {
            std::string sub = std::string(top) + "\\" + mid;
            Folder(sub);
            for (int i = 0; i < 3; ++i) File(sub + "\\file" + std::to_string(i) + ".dat");
        }
    }
    framework::ScopedKernelHandle stop(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    m_params.m_pfnStop = StopWhenSignalled;
    m_params.m_hStopArg = stop.Get();
    m_rec.stopEvent = stop.Get();

    EXPECT_EQ(0, CFolderWalker::Walk(m_root, &m_params));
    EXPECT_EQ(0, m_params.m_bContinue);

    // Nothing is reported as a file after the stop, and the remaining top folders are never entered.
    int stopAt = m_rec.IndexOf('f', m_rec.stopAtFile);
    ASSERT_GE(stopAt, 0);
    for (size_t i = stopAt + 1; i < m_rec.events.size(); ++i) EXPECT_EQ('d', m_rec.events[i].kind);
    int filesSeen = static_cast<int>(m_rec.Paths('f').size());
    EXPECT_LT(filesSeen, 24);
    EXPECT_EQ(filesSeen, m_params.m_nFiles);
    int topFoldersEntered = 0;
    for (const char* top : {"A", "B", "C", "D"}) {
        bool entered = false;
        for (const WalkEvent& e : m_rec.events) entered |= e.path.rfind(std::string(top) + "\\", 0) == 0;
        topFoldersEntered += entered;
    }
    EXPECT_EQ(1, topFoldersEntered);
}

namespace {

int g_stopTests = 0;
int CountedStop(HANDLE h)
{
    ++g_stopTests;
    return StopWhenSignalled(h);
}

}  // namespace

TEST_F(FolderWalkerTest, WithAPollIntervalAStopEndsTheFolderItCameInAndAsksOncePerInterval)
{
    for (const char* top : {"A", "B", "C"}) {
        Folder(top);
        for (const char* mid : {"x", "y"}) {
            std::string sub = std::string(top) + "\\" + mid;
            Folder(sub);
            for (int i = 0; i < 20; ++i) File(sub + "\\file" + std::to_string(i) + ".dat");
        }
    }
    // Without a stop: far fewer tests than files (the interval never passes in this test).
    framework::ScopedKernelHandle stop(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    g_stopTests = 0;
    FolderWalkParams polled = m_params;
    Recorder all;
    all.root = m_root;
    polled.m_pUserData = &all;
    polled.m_pfnStop = CountedStop;
    polled.m_hStopArg = stop.Get();
    polled.m_dwStopPollMs = 60000;
    EXPECT_EQ(1, CFolderWalker::Walk(m_root, &polled));
    EXPECT_EQ(120u, all.Paths('f').size());
    EXPECT_LT(g_stopTests, 30);  // per folder, not per file

    // A stop from a file callback: the rest of that folder may still go by, but the walk leaves it
    // stopped and enters no other folder.
    m_params.m_pfnStop = CountedStop;
    m_params.m_hStopArg = stop.Get();
    m_params.m_dwStopPollMs = 60000;
    m_rec.stopEvent = stop.Get();
    EXPECT_EQ(0, CFolderWalker::Walk(m_root, &m_params));
    EXPECT_EQ(0, m_params.m_bContinue);
    const std::string stopFolder = m_rec.stopAtFile.substr(0, m_rec.stopAtFile.rfind('\\') + 1);
    int stopAt = m_rec.IndexOf('f', m_rec.stopAtFile);
    ASSERT_GE(stopAt, 0);
    for (size_t i = stopAt + 1; i < m_rec.events.size(); ++i) {
        const WalkEvent& e = m_rec.events[i];
        if (e.kind == 'f') {
            EXPECT_EQ(0u, e.path.rfind(stopFolder, 0)) << e.path;
        }
    }
    EXPECT_LT(m_rec.Paths('f').size(), 60u);
}

TEST_F(FolderWalkerTest, LinkedFoldersAreNeitherEnteredCountedNorReported)
{
    std::string outside = m_temp / "outside";
    MakeFolder(outside);
    WriteFileBytes(outside + "\\secret.txt", "not ours");
    Folder("sub");
    File("sub\\inner.txt");
    File("top.txt");
    // A link back to the folder's own parent would loop; one to a folder outside would leave it.
    ASSERT_TRUE(testsupport::MakeSymlink(m_root, m_root + "\\sub\\up"));
    ASSERT_TRUE(testsupport::MakeSymlink(outside, m_root + "\\away"));

    // Under Wine a Unix symlink to a folder is a reparse point, as a junction is on Windows.
    DWORD attrs = GetFileAttributesA((m_root + "\\sub\\up").c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attrs);
    EXPECT_TRUE(attrs & FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_TRUE(attrs & FILE_ATTRIBUTE_DIRECTORY);

    ASSERT_EQ(1, CFolderWalker::Walk(m_root, &m_params));
    EXPECT_EQ((StringList{"sub\\inner.txt", "top.txt"}), m_rec.Paths('f'));
    EXPECT_EQ((StringList{"sub"}), m_rec.Paths('d'));
    EXPECT_EQ(2, m_params.m_nFiles);
    EXPECT_EQ(1, m_params.m_nFolders);
    EXPECT_TRUE(testsupport::FileExists(outside + "\\secret.txt"));
}

int StopOnceSomethingWasSeen(HANDLE recorder)
{
    return reinterpret_cast<Recorder*>(recorder)->events.empty() ? 0 : 1;
}

TEST_F(FolderWalkerTest, EmptyRelativeAndBareRootStartsAreNeverWalked)
{
    File("here.txt");
    char previous[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(m_root.c_str()));
    // A refused start would otherwise find the current folder or drive: stop at the first sight.
    m_params.m_pfnStop = StopOnceSomethingWasSeen;
    m_params.m_hStopArg = reinterpret_cast<HANDLE>(&m_rec);
    const struct {
        const char* folder;
        bool mayStartAtRoot;
    } kRefused[] = {{"", true}, {"\\", true}, {".", true}, {"C:", true}, {"C:\\", false}, {"C:\\\\", false},
                    {"\\\\server\\share\\", false}};
    for (const auto& c : kRefused) {
        SCOPED_TRACE(c.folder);
        m_rec.events.clear();
        m_params.m_bMayStartAtRoot = c.mayStartAtRoot;
        EXPECT_EQ(1, CFolderWalker::Walk(c.folder, &m_params));
        EXPECT_TRUE(m_rec.events.empty()) << m_rec.events.front().path;
    }
    SetCurrentDirectoryA(previous);
}

namespace {

// Test-only long-path helpers: the product's ANSI calls cannot reach these paths.
std::wstring LongW(const std::string& ansi)
{
    wchar_t wide[1024];
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide, 1024);
    return L"\\\\?\\" + std::wstring(wide);
}

bool MakeLongFolder(const std::string& path) { return CreateDirectoryW(LongW(path).c_str(), nullptr) != 0; }

bool MakeLongFile(const std::string& path)
{
    HANDLE h = CreateFileW(LongW(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

void RemoveLongTree(const std::string& path)
{
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((LongW(path) + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            char ansi[MAX_PATH];
            WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, ansi, MAX_PATH, nullptr, nullptr);
            std::string child = path + "\\" + ansi;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveLongTree(child);
            else
                DeleteFileW(LongW(child).c_str());
        } while (FindNextFileW(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryW(LongW(path).c_str());
}

}  // namespace

TEST_F(FolderWalkerTest, PathsThatDoNotFitMaxPathArePassedOverNeverCutShort)
{
    // A folder whose own path fits, with names inside that make paths of 259 (fits) and 260 (does
    // not), and a deeper folder whose path is beyond the limit altogether.
    std::string deep = m_root + "\\" + std::string(120, 'd');
    ASSERT_TRUE(MakeLongFolder(deep));
    size_t room = MAX_PATH - 1 - (deep.size() + 1);  // name length giving a path of 259
    std::string fits = std::string(room - 4, 'k') + ".txt";
    std::string tooLong = std::string(room - 3, 'k') + ".txt";
    ASSERT_TRUE(MakeLongFile(deep + "\\" + fits));
    ASSERT_TRUE(MakeLongFile(deep + "\\" + tooLong));
    std::string beyond = deep + "\\" + std::string(150, 'e');
    ASSERT_TRUE(MakeLongFolder(beyond));
    ASSERT_TRUE(MakeLongFile(beyond + "\\x.txt"));
    File("short.txt");
    ASSERT_EQ(MAX_PATH - 1, (deep + "\\" + fits).size());

    EXPECT_EQ(1, CFolderWalker::Walk(m_root, &m_params));
    EXPECT_EQ((StringList{std::string(120, 'd') + "\\" + fits, "short.txt"}), m_rec.Paths('f'));
    EXPECT_EQ((StringList{std::string(120, 'd')}), m_rec.Paths('d'));
    EXPECT_EQ(2, m_params.m_nFiles);
    EXPECT_EQ(1, m_params.m_nFolders);
    for (const WalkEvent& e : m_rec.events) EXPECT_NE('!', e.path[0]) << e.path;

    RemoveLongTree(deep);
}

TEST_F(FolderWalkerTest, StandardCountScanAndFinishWorkOnTheItemsFolder)
{
    Folder("A");
    Folder("A\\B");
    File("one.txt");
    File("A\\two.txt");
    File("A\\B\\three.txt");

    CModItem item;
    item.m_pScanData = new std::string(m_root + "\\");
    item.m_pfnOnFileFound = RecordFile;
    item.m_pfnOnFolderFound = RecordFolder;
    item.m_pScanContext = reinterpret_cast<CRunContext*>(&m_rec);  // handed to the callbacks as is
    framework::ScopedKernelHandle stop(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    item.m_pfnIsStopRequested = StopWhenSignalled;
    item.m_hStopEvent = stop.Get();

    int units = -1;
    EXPECT_EQ(1, FolderCount(&units, &item));
    EXPECT_EQ(3, units);
    EXPECT_TRUE(m_rec.events.empty());  // counting reports nothing

    EXPECT_EQ(1, FolderScan(&item));
    EXPECT_EQ((StringList{"A\\B\\three.txt", "A\\two.txt", "one.txt"}), m_rec.Paths('f'));
    EXPECT_EQ((StringList{"A", "A\\B"}), m_rec.Paths('d'));

    // The item's stop event ends the scan.
    SetEvent(stop.Get());
    EXPECT_EQ(0, FolderScan(&item));

    FolderFinish(&item);
    EXPECT_EQ(nullptr, item.m_pScanData);

    // A folder with sub-folders but no files still counts as something to scan; an empty one not.
    std::string onlyFolders = m_temp / "only folders";
    MakeFolder(onlyFolders);
    MakeFolder(onlyFolders + "\\empty");
    item.m_pScanData = new std::string(onlyFolders);
    units = -1;
    EXPECT_EQ(1, FolderCount(&units, &item));
    EXPECT_EQ(0, units);
    FolderFinish(&item);
    item.m_pScanData = new std::string(onlyFolders + "\\empty");
    EXPECT_EQ(0, FolderCount(&units, &item));
    FolderFinish(&item);
}
