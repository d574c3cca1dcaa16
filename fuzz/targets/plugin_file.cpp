// A plug-in data file, given as its text: scrambled onto the disk, read back through the block line
// reader, selected and filled into items, external folders included. Bytes after the last form
// feed (0x0C) are instead the content of the file that ExternalDir1 values name.
#include "Shim.h"

#include "catalogue/ModItem.h"
#include "catalogue/PluginFileExternalDir.h"
#include "catalogue/PluginFileFormat.h"
#include "catalogue/PluginFileLineReader.h"
#include "catalogue/PluginFilePasses.h"
#include "catalogue/PluginFileScramble.h"
#include "framework/MbString.h"

#include <cstring>

namespace {

const char kFolder[] = "C:\\Quillon";
const char kPath[] = "C:\\Quillon\\AppsEng.dat";
// Where the shipped modules' ExternalDir1 values look; the shim's %AppData% is C:\Users\Q\AppData\Roaming.
const char kProfilesFile[] = "C:\\Users\\Q\\AppData\\Roaming\\Mozilla\\Firefox\\profiles.ini";

// Every line, with ReadLine and the look-ahead of PeekLine agreeing.
std::vector<std::string> ReadLines(CBlockLineReader& reader)
{
    std::vector<std::string> lines;
    std::string line, peeked;
    while (reader.More()) {
        while (reader.PeekLine(peeked)) {
            FUZZ_CHECK(reader.ReadLine(line));
            FUZZ_CHECK(line == peeked);
            lines.push_back(line);
        }
    }
    return lines;
}

// Lines joined again give the text: the delimiter after the last line is optional. The reader takes
// a block's text up to a NUL byte, so only texts without one can be compared.
void CheckLinesRejoin(const std::string& text, const std::vector<std::string>& lines)
{
    if (text.find('\0') != std::string::npos) return;
    std::string joined;
    for (size_t i = 0; i < lines.size(); ++i) joined += (i ? "\r\n" : "") + lines[i];
    FUZZ_CHECK(joined == text || joined + "\r\n" == text);
}

void CheckItem(const CModItem& item)
{
    FUZZ_CHECK(!item.m_strTitle.empty());
    FUZZ_CHECK(item.m_nImage >= 1 && item.m_nImage <= 32);
    FUZZ_CHECK(item.m_nReference >= 0 && item.m_nReference <= 99);
    const CModPlugData& data = item.m_PlugData;
    FUZZ_CHECK(data.m_bHasFileRules || data.m_bHasRegRules);
    FUZZ_CHECK(data.m_bHasFileRules == !data.m_strFileRules.empty());
    FUZZ_CHECK(data.m_strFileRules.empty() || data.m_strFileRules.back() == ';');
    if (data.m_bHasExternalDir) {
        const std::string& dir = data.m_strExternalDir;
        FUZZ_CHECK(!dir.empty() && dir.size() <= kMaxExternalDirText && dir.find('\0') == std::string::npos);
        FUZZ_CHECK(framework::MbsFindChar(dir, '/') == std::string::npos);
        FUZZ_CHECK(framework::MbsTrimChar(dir, '\\') == dir);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    shim::Reset({"C:", kFolder, "C:\\Users", "C:\\Users\\Q", "C:\\Users\\Q\\AppData",
                 "C:\\Users\\Q\\AppData\\Roaming", "C:\\Users\\Q\\AppData\\Roaming\\Mozilla",
                 "C:\\Users\\Q\\AppData\\Roaming\\Mozilla\\Firefox"});
    const size_t feed = text.rfind('\f');
    if (feed != std::string::npos) {
        shim::PutFile(kProfilesFile, text.substr(feed + 1));
        text.resize(feed);
    }
    std::string scrambled = text;
    ScrambleBlock(&scrambled[0], scrambled.size());
    shim::PutFile(kPath, scrambled);

    CBlockLineReader reader("\r\n", ScrambleBlock);
    FUZZ_CHECK(reader.Open(kPath));
    const std::vector<std::string> lines = ReadLines(reader);
    CheckLinesRejoin(text, lines);
    reader.Rewind();
    FUZZ_CHECK(ReadLines(reader) == lines);
    reader.Close();

    std::vector<int> ordinals;
    const int selected = SelectModules(kPath, ordinals);
    FUZZ_CHECK(selected == static_cast<int>(ordinals.size()));
    for (size_t i = 1; i < ordinals.size(); ++i) FUZZ_CHECK(ordinals[i - 1] < ordinals[i]);
    if (selected == 0) return 0;

    // Every selected module is kept: the fill pass reaches each one (a filled item has a title).
    std::vector<CModItem> items(selected);
    FillModules(kPath, selected, ordinals, items.data());
    for (int i = 0; i < selected; ++i) {
        CheckItem(items[i]);
        for (int j = 0; j < i; ++j) FUZZ_CHECK(!framework::MbsEqualNoCase(items[i].m_strTitle, items[j].m_strTitle));
    }
    return 0;
}
