// The external folder of a module (ExternalDir1): the marker lists, the file named by the value
// (with path variables, size limit, binary content), the folder text turned into a Windows folder,
// and the 259-byte limit of that text.
#include "support/BoxWatcher.h"
#include "catalogue/ModItem.h"
#include "catalogue/PathVars.h"
#include "catalogue/PluginFileExternalDir.h"
#include "catalogue/PluginFilePasses.h"
#include "catalogue/PluginFileScramble.h"
#include "support/Sandbox.h"

#include <string>
#include <vector>

namespace {

const char kDirMarkers[] = "68;105;114;61=13;10";  // "Dir=" ... CR LF

class ExternalDirTest : public testsupport::SandboxTest {
protected:
    // The plug-in data after evaluating one ExternalDir1 value.
    static CModPlugData Evaluate(const std::string& value)
    {
        CModPlugData data;
        ApplyExternalDir(value, data);
        return data;
    }

    std::string WriteAppFile(const std::string& content, const std::string& name = "app.ini")
    {
        const std::string path = m_temp / name;
        testsupport::WriteFileBytes(path, content);
        return path;
    }

    void ExpectFolder(const std::string& fileContent, const std::string& expected)
    {
        CModPlugData data = Evaluate(WriteAppFile(fileContent) + "|" + kDirMarkers);
        EXPECT_TRUE(data.m_bHasExternalDir) << fileContent;
        EXPECT_EQ(data.m_strExternalDir, expected) << fileContent;
    }

    void ExpectNoFolder(const std::string& value)
    {
        CModPlugData data = Evaluate(value);
        EXPECT_FALSE(data.m_bHasExternalDir) << value;
        EXPECT_TRUE(data.m_strExternalDir.empty()) << value;
    }
};

TEST(ExternalDirMarker, AcceptsAtMostNineTokensOfOneToThreeCharactersFrom1To254)
{
    EXPECT_EQ(ParseMarker("68;105;114;61"), "Dir=");
    EXPECT_EQ(ParseMarker("13;10"), "\r\n");
    EXPECT_EQ(ParseMarker("68;1000;0;255;-1;x;105; 61;"), "Di=") << "skipped tokens take no place";
    EXPECT_EQ(ParseMarker("1;254"), "\x01\xFE");
    EXPECT_EQ(ParseMarker("65;65;65;65;65;65;65;65;65;65;65;65"), std::string(9, 'A'));
    EXPECT_EQ(ParseMarker("0;0;0;0;0;0;0;0;0;0;66"), "B") << "only accepted tokens count towards nine";
    EXPECT_EQ(ParseMarker(""), "");
}

TEST_F(ExternalDirTest, FolderTextBetweenTheMarkersBecomesAWindowsFolder)
{
    ExpectFolder("Name=x\r\nDir=C:/x/y/\r\nOther=z\r\n", "C:\\x\\y");
    ExpectFolder("Dir=  D:\\Data\\App\\  \r\n", "D:\\Data\\App");
    ExpectFolder("Dir=\\\\server/share/app\r\n", "server\\share\\app");
    ExpectFolder("Dir=C:/x//y\r\n", "C:\\x\\\\y");
    // A trail byte 0x5C ("乗") at the end stays part of its character.
    ExpectFolder("Dir=C:/数据/乗/\r\n", "C:\\数据\\乗");
    // Only the first start marker counts; the end marker is looked for after it.
    ExpectFolder("\r\nDir=first\r\nDir=second\r\n", "first");
    // Binary bytes and NULs before the marker are passed over.
    ExpectFolder(std::string("\0\x01\xFF\0PK", 6) + "Dir=E:/bin\r\n", "E:\\bin");
}

TEST_F(ExternalDirTest, AnythingMissingLeavesTheItemWithoutExternalFolder)
{
    const std::string file = WriteAppFile("Dir=C:/x/y/\r\n");
    ExpectNoFolder(m_temp / "missing.ini|" + kDirMarkers);
    ExpectNoFolder(file + "|68;105;114;61");            // no end list
    ExpectNoFolder(file + "|=13;10");                   // no start list
    ExpectNoFolder(file + "|1000;0=13;10");             // no byte accepted
    ExpectNoFolder(file);                               // no marker part
    ExpectNoFolder("|" + std::string(kDirMarkers));     // no file part
    ExpectNoFolder(file + "|80;97;116;104;61=13;10");   // "Path=" is not in the file
    ExpectNoFolder(WriteAppFile("Dir=C:/no/end", "noend.ini") + "|" + kDirMarkers);
    ExpectNoFolder(m_temp.Path() + "|" + kDirMarkers);  // a folder
    // A NUL in the text would cut the folder short to one of its parents.
    const std::string withNul("Dir=C:/Users\0/Q/App\r\n", 21);
    ExpectNoFolder(WriteAppFile(withNul, "nul.ini") + "|" + kDirMarkers);
    // A text that names no folder would make the rules' folders start at the drive's root.
    for (const char* empty : {"Dir=\r\n", "Dir=   \r\n", "Dir=/\r\n", "Dir=\\\r\n", "Dir=//\r\n"})
        ExpectNoFolder(WriteAppFile(empty, "empty.ini") + "|" + kDirMarkers);
}

TEST_F(ExternalDirTest, FileMustBeShorterThan8192BytesAndTheTextAtMost259)
{
    const std::string line = "Dir=C:/big\r\n";
    ExpectFolder(line + std::string(8191 - line.size(), ';'), "C:\\big");
    ExpectNoFolder(WriteAppFile(line + std::string(8192 - line.size(), ';'), "big.ini") + "|" + kDirMarkers);

    // A folder text that would not fit MAX_PATH is refused whole, not cut short.
    const std::string longest = "C:/" + std::string(256, 'a');
    ASSERT_EQ(longest.size(), 259u);
    ExpectFolder("Dir=" + longest + "\r\n", "C:\\" + std::string(256, 'a'));
    ExpectNoFolder(WriteAppFile("Dir=" + longest + "b\r\n", "long.ini") + "|" + kDirMarkers);
}

TEST_F(ExternalDirTest, FilePartMayStartWithAPathVariable)
{
    std::string appData;
    ASSERT_EQ(ResolvePathVar("%AppData%", appData), 1);
    const std::string folder = appData + "\\LorvexExternalDirTest" + std::to_string(GetCurrentProcessId());
    testsupport::MakeFolder(folder);
    testsupport::WriteFileBytes(folder + "\\profiles.ini",
                                "[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/abc.default\r\n");
    CModPlugData data = Evaluate(" %appdata% \\LorvexExternalDirTest" + std::to_string(GetCurrentProcessId()) +
                                 "\\profiles.ini | 80;97;116;104;61 = 13;10 ");
    testsupport::RemoveTree(folder);
    EXPECT_TRUE(data.m_bHasExternalDir);
    EXPECT_EQ(data.m_strExternalDir, "Profiles\\abc.default");
}

TEST_F(ExternalDirTest, FillPassEvaluatesTheFirstNonEmptyValueOnly)
{
    const std::string appFile = WriteAppFile("Dir=C:/x/y/\r\n");
    auto module = [](const std::string& section, const std::string& title, const std::string& externalLines) {
        return "[" + section + "]\r\nModTitle=" + title +
               "\r\nModImgNum=4\r\nModReference=21\r\nPushFileParam=%ExternalDir1%\\Logs|*.*\r\n" + externalLines +
               "\r\n";
    };
    const std::string usable = appFile + "|" + kDirMarkers;
    std::string text = module("ModId2201", "External", "ExternalDir1=\r\nExternalDir1=" + usable + "\r\n") +
                       // An unusable first value is still the module's value.
                       module("ModId2202", "Unusable first", "ExternalDir1=" + appFile + "\r\nExternalDir1=" + usable + "\r\n");
    ScrambleBlock(&text[0], text.size());
    const std::string path = m_temp / "External.dat";
    testsupport::WriteFileBytes(path, text);

    std::vector<int> ordinals;
    std::vector<CModItem> items(2);
    std::vector<testsupport::SeenBox> boxes = testsupport::CloseBoxesDuring([&] {
        ASSERT_EQ(SelectModules(path, ordinals), 2);
        FillModules(path, 2, ordinals, items.data());
    });
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(items[0].m_nId, 2201);
    EXPECT_TRUE(items[0].m_PlugData.m_bHasExternalDir);
    EXPECT_EQ(items[0].m_PlugData.m_strExternalDir, "C:\\x\\y");
    EXPECT_EQ(items[1].m_nId, 2202);
    EXPECT_FALSE(items[1].m_PlugData.m_bHasExternalDir);
    EXPECT_TRUE(items[1].m_PlugData.m_strExternalDir.empty());
}

}  // namespace
