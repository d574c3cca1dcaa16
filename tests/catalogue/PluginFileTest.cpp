// The plug-in data files as the catalogue reads them: the key rules of a module, completeness,
// identifiers, duplicates, detection hiding, the size limits, the block boundary, bad files with
// their messages (real message boxes, read and closed from another thread), and the catalogue built
// from four files with the default passes.
#include "support/BoxWatcher.h"
#include "app/SettingsStore.h"
#include "app/Utilities.h"
#include "catalogue/ModList.h"
#include "catalogue/PluginFilePasses.h"
#include "catalogue/PluginFileScramble.h"
#include "support/Sandbox.h"

#include <string>
#include <vector>

namespace {

using testsupport::CloseBoxesDuring;
using testsupport::SeenBox;

const char kDefaultRule[] = "PushRegParam=HKCU\\Software\\Sample|*.*\r\n";

// One module in the file format; `more` adds lines (each ending in CR LF).
std::string Module(const std::string& section, const std::string& title, const std::string& more = kDefaultRule)
{
    return "[" + section + "]\r\nModTitle=" + title + "\r\nModImgNum=12\r\nModReference=22\r\n" + more + "\r\n";
}

// Comment lines appended until the text is exactly `size` bytes.
std::string PaddedTo(std::string text, size_t size)
{
    while (size - text.size() > 204) text += ";" + std::string(99, '-') + "\r\n";
    text += ";" + std::string(size - text.size() - 3, '-') + "\r\n";
    return text;
}

std::string Scrambled(std::string text)
{
    if (!text.empty()) ScrambleBlock(&text[0], text.size());
    return text;
}

struct FileResult {
    int count = 0;
    std::vector<int> ordinals;
    std::vector<CModItem> items;
    std::vector<SeenBox> boxes;

    std::vector<int> Ids() const
    {
        std::vector<int> ids;
        for (const CModItem& item : items) ids.push_back(item.m_nId);
        return ids;
    }
    std::vector<std::string> Titles() const
    {
        std::vector<std::string> titles;
        for (const CModItem& item : items) titles.push_back(item.m_strTitle);
        return titles;
    }
};

class PluginFileTest : public testsupport::SandboxTest {
protected:
    void SetUp() override
    {
        m_savedInstalledDir = TheSettings().m_strInstalledDir;
        m_savedPluginFiles = TheSettings().m_astrPluginFiles;
    }
    void TearDown() override
    {
        TheSettings().m_strInstalledDir = m_savedInstalledDir;
        TheSettings().m_astrPluginFiles = m_savedPluginFiles;
    }

    std::string WriteData(const std::string& name, const std::string& plainText)
    {
        const std::string path = m_temp / name;
        testsupport::WriteFileBytes(path, Scrambled(plainText));
        return path;
    }

    // Both passes over one file, as the catalogue runs them, with every box closed and recorded.
    static FileResult ReadFile(const std::string& path)
    {
        FileResult result;
        result.boxes = CloseBoxesDuring([&] {
            result.count = SelectModules(path, result.ordinals);
            result.items.resize(result.ordinals.size());
            if (result.count > 0) FillModules(path, result.count, result.ordinals, result.items.data());
        });
        return result;
    }

    FileResult ReadText(const std::string& plainText) { return ReadFile(WriteData("Test.dat", plainText)); }

    static void SetHideUndetected(DWORD value)
    {
        testsupport::SetRegDword(TheSettings().m_strSettingsKey, "DontShowPluginsWithUndetApps", value);
    }

    static void ExpectWarningBox(const SeenBox& box, const std::string& text, const std::string& caption)
    {
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, caption);
        EXPECT_TRUE(box.foundByCaption);
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_WARNING));
    }

    std::string m_savedInstalledDir;
    std::vector<std::string> m_savedPluginFiles;
};

TEST_F(PluginFileTest, CompleteModuleGivesItsItemTheFirstQualifyingValueOfEachKey)
{
    const std::string text =
        "; Sample modules\r\n"
        "ModTitle=Before any section\r\n"
        "\r\n"
        "[ModId2101]\r\n"
        "  modtitle =  Sample Viewer  \r\n"
        "ModTitle=Second title\r\n"
        "ModImgNum=0\r\n"
        "ModImgNum=0000000012\r\n"
        "ModImgNum=12abc\r\n"
        "ModImgNum=5\r\n"
        "MODREFERENCE=  22\r\n"
        "ModReference=31\r\n"
        "ModDescription=\r\n"
        "ModDescription=Recent files of Sample Viewer.\r\n"
        "ModWarningTxt=清除后将丢失最近打开的文件列表。\r\n"
        "ModSpecialKey=NETS_FIREFOXS_COOKIES\r\n"
        "ModDataInt=4\r\n"
        "ModDataInt=2\r\n"
        "PushFileParam=a|*.*\r\n"
        "PushFileParam=\r\n"
        "PushFileParam=  b|*.tmp  \r\n"
        "PushRegParam=HKCU\\Software\\Sample Viewer\\Recent\\|*.*\r\n"
        "Unknown=value\r\n"
        "=no key\r\n"
        "RegDetect=HKCU\\Software\\Sample Viewer\r\n";
    FileResult result = ReadText(text);
    EXPECT_TRUE(result.boxes.empty());
    ASSERT_EQ(result.count, 1);
    EXPECT_EQ(result.ordinals, std::vector<int>{0});
    const CModItem& item = result.items[0];
    EXPECT_EQ(item.m_nId, 2101);
    EXPECT_EQ(item.m_strTitle, "Sample Viewer");
    EXPECT_EQ(item.m_nImage, 12);
    EXPECT_EQ(item.m_nReference, 22);
    EXPECT_EQ(item.m_strDescription, "Recent files of Sample Viewer.");
    const CModPlugData& data = item.m_PlugData;
    EXPECT_TRUE(data.m_bHasWarning);
    EXPECT_EQ(data.m_strWarningText, "清除后将丢失最近打开的文件列表。");
    EXPECT_TRUE(data.m_bHasSpecialKey);
    EXPECT_EQ(data.m_strSpecialKey, "NETS_FIREFOXS_COOKIES");
    EXPECT_TRUE(data.m_bHasDataInt);
    EXPECT_EQ(data.m_nDataInt, 2);
    EXPECT_TRUE(data.m_bHasFileRules);
    EXPECT_EQ(data.m_strFileRules, "a|*.*;b|*.tmp;");
    EXPECT_TRUE(data.m_bHasRegRules);
    EXPECT_EQ(data.m_strRegRules, "HKCU\\Software\\Sample Viewer\\Recent\\|*.*;");
    EXPECT_FALSE(data.m_bHasExternalDir);
    EXPECT_TRUE(data.m_strExternalDir.empty());

    // Without the optional keys their flags stay off.
    result = ReadText(Module("ModId2102", "Plain"));
    ASSERT_EQ(result.count, 1);
    const CModPlugData& plain = result.items[0].m_PlugData;
    EXPECT_FALSE(plain.m_bHasWarning || plain.m_bHasSpecialKey || plain.m_bHasDataInt || plain.m_bHasFileRules);
    EXPECT_TRUE(plain.m_bHasRegRules);
    EXPECT_TRUE(result.items[0].m_strDescription.empty());
}

TEST_F(PluginFileTest, ModuleNeedsTitleValidImageValidReferenceAndARule)
{
    const std::string noRules = "ModDescription=no rules\r\n";
    const std::string text = "[ModId2001]\r\nModTitle=Image 0\r\nModImgNum=0\r\nModReference=22\r\n" + std::string(kDefaultRule) +
                             "[ModId2002]\r\nModTitle=Image 33\r\nModImgNum=33\r\nModReference=22\r\n" + kDefaultRule +
                             "[ModId2003]\r\nModTitle=No image\r\nModReference=22\r\n" + kDefaultRule +
                             "[ModId2004]\r\nModTitle=Empty reference\r\nModImgNum=32\r\nModReference=\r\n" +
                             "PushFileParam=%AppData%\\x|*.*\r\n" +
                             "[ModId2005]\r\nModTitle=Reference 100\r\nModImgNum=1\r\nModReference=100\r\n" + kDefaultRule +
                             Module("ModId2006", "Registry rules only") +
                             Module("ModId2007", "Description only", noRules) +
                             Module("ModId2008", "Empty rules", "PushFileParam=\r\nPushRegParam=  \r\n") +
                             "[ModId2009]\r\nModTitle=\r\nModImgNum=12\r\nModReference=22\r\n" + kDefaultRule;
    FileResult result = ReadText(text);
    EXPECT_TRUE(result.boxes.empty()) << "incomplete modules are dropped silently";
    EXPECT_EQ(result.ordinals, (std::vector<int>{3, 5}));
    EXPECT_EQ(result.Ids(), (std::vector<int>{2004, 2006}));
    ASSERT_EQ(result.items.size(), 2u);
    EXPECT_EQ(result.items[0].m_nReference, 0);
    EXPECT_EQ(result.items[0].m_nImage, 32);
    EXPECT_FALSE(result.items[1].m_PlugData.m_bHasFileRules);
}

TEST_F(PluginFileTest, IdentifierComesFromTheLastFourCharactersOfTheSectionName)
{
    const std::string text = Module("ModId1234", "Four digits") + Module("ModId12", "Two digits") +
                             Module("Module 7", "No number") + Module("  ModId0042  ", "Padded") +
                             Module("长名字9876", "Chinese name");
    FileResult result = ReadText(text);
    EXPECT_EQ(result.Ids(), (std::vector<int>{1234, 0, 0, 42, 9876}));
    EXPECT_EQ(result.Titles()[1], "Two digits") << "the damaged module is still listed";
    ASSERT_EQ(result.boxes.size(), 2u);
    for (const SeenBox& box : result.boxes)
        ExpectWarningBox(box, std::string("插件已损坏...!\n请与技术支持部门联系: ") + kSupportAddress, "错误");
}

TEST_F(PluginFileTest, DuplicateNamesAndTitlesWithinAFileAreSkipped)
{
    const std::string text = Module("ModId2001", "Viewer") +         // 0 accepted
                             Module("ModId2002", "VIEWER") +         // 1 title taken
                             Module("ModId2001", "Other") +          // 2 named like the first section
                             "[ModId2003]\r\nModTitle=Broken\r\n" +  // 3 incomplete
                             Module("ModId2003", "Third") +          // 4 a dropped name is free
                             Module("modid2003", "Fourth") +         // 5 named like an accepted one
                             Module("ModId2005", "Fifth");            // 6
    FileResult result = ReadText(text);
    EXPECT_TRUE(result.boxes.empty());
    EXPECT_EQ(result.ordinals, (std::vector<int>{0, 4, 6}));
    EXPECT_EQ(result.Titles(), (std::vector<std::string>{"Viewer", "Third", "Fifth"}));
    EXPECT_EQ(result.Ids(), (std::vector<int>{2001, 2003, 2005}));

    // The first section's name is taken even when that section never became an item.
    result = ReadText("[ModId3000]\r\nModTitle=Incomplete\r\n\r\n" + Module("MODID3000", "Same name") +
                      Module("ModId3001", "Next"));
    EXPECT_EQ(result.ordinals, std::vector<int>{2});
    EXPECT_EQ(result.Ids(), std::vector<int>{3001});
}

TEST_F(PluginFileTest, UndetectedApplicationsAreHiddenOnlyWithTheOption)
{
    testsupport::SetRegDword("Software\\LorvexDetect\\Present", "x", 1);
    testsupport::WriteFileBytes(m_temp / "present.txt", "x");
    const std::string text =
        Module("ModId2001", "Key present", "RegDetect=HKCU\\Software\\LorvexDetect\\Present\r\n" + std::string(kDefaultRule)) +
        Module("ModId2002", "Key absent", "RegDetect=HKCU\\Software\\LorvexDetect\\Absent\r\n" + std::string(kDefaultRule)) +
        Module("ModId2003", "Other root", "RegDetect= Other \\ Software\\LorvexDetect\\Present\r\n" + std::string(kDefaultRule)) +
        Module("ModId2004", "Machine key", "RegDetect=hklm\\Software\r\n" + std::string(kDefaultRule)) +
        Module("ModId2005", "No root", "RegDetect=\\Software\\LorvexDetect\\Present\r\n" + std::string(kDefaultRule)) +
        Module("ModId2006", "File present", "FileDetect=" + (m_temp / "present.txt") + "\r\n" + kDefaultRule) +
        Module("ModId2007", "File absent", "FileDetect=" + (m_temp / "absent.txt") + "\r\n" + kDefaultRule) +
        Module("ModId2008", "Variable present", "FileDetect=%WindowsDir%\\system32\r\n" + std::string(kDefaultRule)) +
        Module("ModId2009", "Variable absent", "FileDetect=%AppData%\\LorvexNoSuchApp\r\n" + std::string(kDefaultRule)) +
        Module("ModId2010", "Both, file absent",
               "RegDetect=HKCU\\Software\\LorvexDetect\\Present\r\nFileDetect=" + (m_temp / "absent.txt") + "\r\n" +
                   kDefaultRule) +
        Module("ModId2011", "No detection");
    const std::string path = WriteData("Detect.dat", text);

    SetHideUndetected(1);
    FileResult result = ReadFile(path);
    EXPECT_TRUE(result.boxes.empty());
    EXPECT_EQ(result.Ids(), (std::vector<int>{2001, 2003, 2004, 2006, 2008, 2011}));

    // Only the value 1 sets a Boolean option.
    for (DWORD value : {0ul, 2ul}) {
        SetHideUndetected(value);
        result = ReadFile(path);
        EXPECT_EQ(result.count, 11) << "option value " << value;
    }
}

TEST_F(PluginFileTest, SizeLimitsAndEmptyFilesGiveTheirMessages)
{
    const std::string module = Module("ModId2001", "Limit");
    FileResult result = ReadText(PaddedTo(module, 81919));
    EXPECT_TRUE(result.boxes.empty());
    EXPECT_EQ(result.Ids(), std::vector<int>{2001});

    for (size_t size : {81920u, 200000u}) {
        result = ReadText(PaddedTo(module, size));
        EXPECT_EQ(result.count, 0);
        ASSERT_EQ(result.boxes.size(), 1u) << size;
        ExpectWarningBox(result.boxes[0], "插件文件大小超过限制!", "错误");
    }

    result = ReadText("");
    EXPECT_EQ(result.count, 0);
    ASSERT_EQ(result.boxes.size(), 1u);
    ExpectWarningBox(result.boxes[0], "插件文件为空!", "错误");
}

TEST_F(PluginFileTest, FileThatCannotBeOpenedNamesItselfAndTheSystemReason)
{
    const std::string missing = m_temp / "AppsEng.dat";
    FileResult result = ReadFile(missing);
    EXPECT_EQ(result.count, 0);
    ASSERT_EQ(result.boxes.size(), 1u);
    ExpectWarningBox(result.boxes[0], "文件: " + missing + "\n可能的原因: " + GetSystemErrorText(ERROR_FILE_NOT_FOUND),
                     "打开插件文件时出现错误!");

    // A folder is no file either.
    result = ReadFile(m_temp.Path());
    ASSERT_EQ(result.boxes.size(), 1u);
    EXPECT_EQ(result.boxes[0].caption, "打开插件文件时出现错误!");
    EXPECT_EQ(result.boxes[0].text.rfind("文件: " + m_temp.Path() + "\n可能的原因: ", 0), 0u) << result.boxes[0].text;

    // The fill pass of a file that went away is silent and leaves the items empty.
    std::vector<CModItem> items(1);
    std::vector<SeenBox> boxes = CloseBoxesDuring([&] { FillModules(missing, 1, {0}, items.data()); });
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(items[0].m_nId, 0);
    EXPECT_TRUE(items[0].m_strTitle.empty());
}

TEST_F(PluginFileTest, FilesWithoutModulesSayNoPluginWasFound)
{
    std::string binary;
    unsigned int seed = 12345;
    for (int i = 0; i < 30000; ++i) {
        seed = seed * 1103515245u + 12345u;
        binary += static_cast<char>(seed >> 24);
    }
    std::string otherKey = Module("ModId2001", "Other key");
    for (char& ch : otherKey) ch = static_cast<char>(ch ^ 0x5A);

    struct {
        const char* what;
        std::string fileBytes;
    } cases[] = {
        {"binary", binary},
        {"NUL bytes", std::string(20000, '\0')},
        {"NUL text", Scrambled(std::string(20000, '\0'))},
        {"LF line ends only", Scrambled("[ModId2001]\nModTitle=x\nModImgNum=1\nModReference=1\nPushRegParam=HKCU\\x|*.*\n")},
        {"scrambled with another key", Scrambled(otherKey)},
        {"not scrambled", Module("ModId2001", "Plain text")},
        {"sections without a title", Scrambled("[ModId2001]\r\nModImgNum=12\r\n[ModId2002]\r\n")},
        {"title before any section", Scrambled("ModTitle=x\r\n[ModId2001]\r\nModImgNum=12\r\n")},
        {"comments only", Scrambled(";[ModId2001]\r\n; ModTitle=x\r\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = m_temp / "NoModules.dat";
        testsupport::WriteFileBytes(path, c.fileBytes);
        FileResult result = ReadFile(path);
        EXPECT_EQ(result.count, 0);
        ASSERT_EQ(result.boxes.size(), 1u);
        ExpectWarningBox(result.boxes[0], "未找到插件!", "错误");
    }

    // A title line alone counts: the file has modules, none complete, and nothing is said.
    FileResult result = ReadText("[ModId2001]\r\nModTitle=\r\n");
    EXPECT_EQ(result.count, 0);
    EXPECT_TRUE(result.boxes.empty());
}

TEST_F(PluginFileTest, InvalidDoubleByteSequencesAreReadAsBytes)
{
    // 0x81 0x5D is one character whose trail byte is ']': that line is no section header.
    const std::string text = "[ModId2001]\r\nModTitle=Broken\x81\r\nModImgNum=3\r\nModReference=20\r\n"
                             "PushFileParam=%AppData%\\x\xFE|*.*\r\n"
                             "[ModId2002\x81]\r\nModTitle=Swallowed\r\nPushFileParam=c|*.*\r\n"
                             "\xFF\xFF=\x80\r\n"
                             "[ModId2003]\r\nModTitle=\x81\x81\x81\r\nModImgNum=3\r\nModReference=20\r\n"
                             "PushRegParam=HKCU\\Software\\x|*.*\r\n\xFE";
    FileResult result = ReadText(text);
    EXPECT_TRUE(result.boxes.empty());
    EXPECT_EQ(result.Ids(), (std::vector<int>{2001, 2003}));
    EXPECT_EQ(result.Titles(), (std::vector<std::string>{"Broken\x81", "\x81\x81\x81"}));
    ASSERT_EQ(result.items.size(), 2u);
    EXPECT_EQ(result.items[0].m_PlugData.m_strFileRules, "%AppData%\\x\xFE|*.*;c|*.*;");
}

TEST_F(PluginFileTest, LinesAcrossTheBlockBoundaryAreNeitherSplitNorMerged)
{
    // The title line's CR is byte 4095 and its LF byte 4096; the module goes on in the second block.
    std::string head = "[ModId2001]\r\nModImgNum=12\r\nModReference=22\r\nPushFileParam=a|*.*\r\n";
    const std::string titleLine = "ModTitle=Across";
    head = PaddedTo(head, 4095 - titleLine.size());
    std::string text = head + titleLine + "\r\nPushFileParam=b|*.*\r\nModDescription=" + std::string(6000, 'd') +
                       "\r\n" + Module("ModId2002", "Second block");
    ASSERT_EQ(text.substr(4095, 2), "\r\n");
    FileResult result = ReadText(text);
    EXPECT_TRUE(result.boxes.empty());
    ASSERT_EQ(result.Ids(), (std::vector<int>{2001, 2002}));
    EXPECT_EQ(result.items[0].m_strTitle, "Across");
    EXPECT_EQ(result.items[0].m_PlugData.m_strFileRules, "a|*.*;b|*.*;")
        << "a module complete at the block end goes on in the next block";
    EXPECT_EQ(result.items[0].m_strDescription, std::string(6000, 'd'));

    // A section that is complete exactly at the end of the first block, the next header opening the
    // second: the look-ahead finds the header in the next block.
    std::string exact = PaddedTo(";\r\n", 4096 - Module("ModId3001", "Exact").size()) + Module("ModId3001", "Exact");
    ASSERT_EQ(exact.size(), 4096u);
    result = ReadText(exact + Module("ModId3002", "Next block", "PushFileParam=n|*.*\r\n"));
    EXPECT_EQ(result.Ids(), (std::vector<int>{3001, 3002}));
}

TEST_F(PluginFileTest, CatalogueReadsTheFourFilesInOrderWithTheDefaultPasses)
{
    ASSERT_EQ(GetPluginFilePasses().pfnSelect, &SelectPluginModules);
    ASSERT_EQ(GetPluginFilePasses().pfnFill, &FillPluginModules);

    testsupport::SetRegString(TheSettings().m_strSettingsKey, "InstalledDir", m_temp.Path());
    TheSettings().LoadInstallDir();
    ASSERT_EQ(TheSettings().m_astrPluginFiles.size(), 4u);
    EXPECT_EQ(TheSettings().m_astrPluginFiles[0], m_temp / "InetEng.dat");

    WriteData("InetEng.dat", Module("ModId2000", "Mozilla Firefox 缓存") + Module("ModId2001", "Shared title"));
    WriteData("SysEng.dat", Module("ModId2100", "SHARED TITLE"));  // another file: both become items
    // AppsEng.dat is missing.
    WriteData("DiskCleanEng.dat", Module("ModId5001", "我的日志", "ModSpecialKey=PROCESS_RULES\r\nPushFileParam=*.log\r\n"));

    CModList catalogue;
    std::vector<SeenBox> boxes = CloseBoxesDuring([&] { catalogue.Build(); });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "打开插件文件时出现错误!");
    EXPECT_NE(boxes[0].text.find(m_temp / "AppsEng.dat"), std::string::npos);

    ASSERT_EQ(catalogue.m_nCount, kBuiltinItemCount + 4);
    EXPECT_EQ(catalogue.m_nLoaded, catalogue.m_nCount);
    const int expectedIds[] = {2000, 2001, 2100, 5001};
    for (int k = 0; k < 4; ++k) {
        CModItem* item = catalogue.GetAt(kBuiltinItemCount + k);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->m_nId, expectedIds[k]);
        EXPECT_TRUE(item->m_bIsPlugin);
    }
    EXPECT_EQ(catalogue.GetAt(kBuiltinItemCount + 2)->m_strTitle, "SHARED TITLE");
    CModItem* custom = catalogue.FindById(5001);
    ASSERT_NE(custom, nullptr);
    EXPECT_EQ(custom->m_strTitle, "我的日志");
    EXPECT_EQ(custom->m_PlugData.m_strFileRules, "*.log;");
    EXPECT_EQ(custom->m_pfnOnFolderFound, GetPluginItemFunctions().pfnOnCustomFolder);
}

}  // namespace
