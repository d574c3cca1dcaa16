// The block-wise line reader of the plug-in data files and cookies files, and the scrambling:
// lines across block ends, CR LF split at the 4096-byte boundary, NUL bytes, lines far longer than a
// block, the guard against callers that never take their lines, look-ahead and rewinding.
#include "catalogue/PluginFileLineReader.h"
#include "catalogue/PluginFileScramble.h"
#include "support/Sandbox.h"

#include <string>
#include <vector>

namespace {

constexpr size_t kBlock = CBlockLineReader::kBlockSize;

std::string Scrambled(std::string text)
{
    ScrambleBlock(text.empty() ? nullptr : &text[0], text.size());
    return text;
}

std::vector<std::string> ReadAllLines(CBlockLineReader& reader)
{
    std::vector<std::string> lines;
    std::string line;
    while (reader.More())
        while (reader.ReadLine(line)) lines.push_back(line);
    return lines;
}

std::vector<std::string> Split(const std::string& text, const std::string& delimiter)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(delimiter, start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + delimiter.size();
    }
    return lines;
}

// Lines of every length from 0 to 300 bytes, so that block ends fall at every position of a line.
std::string ManyLines(const std::string& delimiter, size_t totalAtLeast)
{
    std::string text;
    for (int i = 0; text.size() < totalAtLeast; ++i)
        text += "L" + std::to_string(i) + ":" + std::string(i % 300, static_cast<char>('a' + i % 26)) + delimiter;
    return text;
}

class PluginFileReaderTest : public testsupport::SandboxTest {
protected:
    std::string Write(const std::string& name, const std::string& bytes)
    {
        std::string path = m_temp / name;
        testsupport::WriteFileBytes(path, bytes);
        return path;
    }
};

TEST(ScrambleBlock, XorsEveryByteWithOneKeyAndIsItsOwnInverse)
{
    EXPECT_EQ(ScrambleBlock(nullptr, 10), 0);
    char untouched = 'x';
    EXPECT_EQ(ScrambleBlock(&untouched, 0), 1);
    EXPECT_EQ(untouched, 'x');

    // Lengths around the 32-bit word size, at an unaligned start.
    for (size_t length = 1; length <= 11; ++length) {
        SCOPED_TRACE("length " + std::to_string(length));
        std::string plain;
        for (size_t i = 0; i < length; ++i) plain += static_cast<char>(0x30 + 7 * i);
        std::string buffer = "?" + plain;
        ASSERT_EQ(ScrambleBlock(&buffer[1], length), 1);
        EXPECT_EQ(buffer[0], '?');
        const unsigned char key = static_cast<unsigned char>(buffer[1] ^ plain[0]);
        EXPECT_NE(key, 0);
        for (size_t i = 0; i < length; ++i)
            EXPECT_EQ(static_cast<unsigned char>(buffer[1 + i] ^ plain[i]), key) << "byte " << i;
        ScrambleBlock(&buffer[1], length);
        EXPECT_EQ(buffer.substr(1), plain);
    }
}

TEST_F(PluginFileReaderTest, ReadsEveryLineAcrossBlockEndsWithEitherDelimiter)
{
    const std::string crlf = ManyLines("\r\n", 5 * kBlock);
    CBlockLineReader dataReader("\r\n", ScrambleBlock);
    ASSERT_TRUE(dataReader.Open(Write("data.dat", Scrambled(crlf))));
    EXPECT_EQ(dataReader.GetLength(), crlf.size());
    EXPECT_EQ(ReadAllLines(dataReader), Split(crlf, "\r\n"));
    EXPECT_FALSE(dataReader.More());

    // The cookies files: LF lines, no callback; the last line has no delimiter.
    const std::string lf = ManyLines("\n", 3 * kBlock) + "last line";
    CBlockLineReader cookiesReader("\n", nullptr);
    ASSERT_TRUE(cookiesReader.Open(Write("cookies.txt", lf)));
    std::vector<std::string> lines = ReadAllLines(cookiesReader);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "last line");
    EXPECT_EQ(lines, Split(lf, "\n"));
}

TEST_F(PluginFileReaderTest, CrLfSplitAtTheBlockBoundaryNeitherSplitsNorMergesLines)
{
    // CR is the block's last byte, LF the next block's first.
    std::string text = "first\r\n" + std::string(kBlock - 1 - 7, 'a') + "\r\nsecond\r\nthird";
    ASSERT_EQ(text[kBlock - 1], '\r');
    ASSERT_EQ(text[kBlock], '\n');
    CBlockLineReader reader("\r\n", ScrambleBlock);
    ASSERT_TRUE(reader.Open(Write("split.dat", Scrambled(text))));
    std::vector<std::string> expected = {"first", std::string(kBlock - 8, 'a'), "second", "third"};
    EXPECT_EQ(ReadAllLines(reader), expected);

    // An empty line whose CR LF is split stays a line.
    std::string empty = std::string(kBlock - 3, 'e') + "\r\n\r\nafter";
    ASSERT_TRUE(reader.Open(Write("empty.dat", Scrambled(empty))));
    expected = {std::string(kBlock - 3, 'e'), "", "after"};
    EXPECT_EQ(ReadAllLines(reader), expected);

    // A CR alone at the block end belongs to its line, which goes on in the next block.
    std::string lone = std::string(kBlock - 1, 'b') + "\rmore\r\nnext\r\n";
    ASSERT_TRUE(reader.Open(Write("lone.dat", Scrambled(lone))));
    expected = {std::string(kBlock - 1, 'b') + "\rmore", "next"};
    EXPECT_EQ(ReadAllLines(reader), expected);

    // CR LF exactly at the end of a full block, and a file of exactly one block.
    std::string exact = std::string(kBlock - 2, 'c') + "\r\n";
    ASSERT_TRUE(reader.Open(Write("exact.dat", Scrambled(exact + "tail"))));
    expected = {std::string(kBlock - 2, 'c'), "tail"};
    EXPECT_EQ(ReadAllLines(reader), expected);
    ASSERT_TRUE(reader.Open(Write("one.dat", Scrambled(exact))));
    expected = {std::string(kBlock - 2, 'c')};
    EXPECT_EQ(ReadAllLines(reader), expected);
}

TEST_F(PluginFileReaderTest, LinesFarLongerThanABlockAndFilesWithoutDelimiterStayWhole)
{
    const std::string longLine(5 * kBlock + 123, 'x');
    CBlockLineReader reader("\r\n", ScrambleBlock);
    ASSERT_TRUE(reader.Open(Write("long.dat", Scrambled("head\r\n" + longLine + "\r\nend\r\n"))));
    std::vector<std::string> expected = {"head", longLine, "end"};
    EXPECT_EQ(ReadAllLines(reader), expected);

    ASSERT_TRUE(reader.Open(Write("nodelim.dat", Scrambled(longLine))));
    expected = {longLine};
    EXPECT_EQ(ReadAllLines(reader), expected);

    // LF alone is no delimiter of a data file.
    ASSERT_TRUE(reader.Open(Write("lf.dat", Scrambled("[ModId1]\nModTitle=x\n"))));
    expected = {"[ModId1]\nModTitle=x\n"};
    EXPECT_EQ(ReadAllLines(reader), expected);
}

TEST_F(PluginFileReaderTest, TextEndsAtTheFirstNulOfABlock)
{
    // What follows a NUL in its block is not text; the line cut there goes on with the next block.
    std::string text = "first\r\nsec";
    text += '\0';
    text += std::string(kBlock - text.size(), 'z');
    text += "ond\r\nthird\r\n";
    CBlockLineReader reader("\r\n", nullptr);
    ASSERT_TRUE(reader.Open(Write("cut.txt", text)));
    std::vector<std::string> expected = {"first", "second", "third"};
    EXPECT_EQ(ReadAllLines(reader), expected);

    // A file of NUL bytes holds no line, and the reader comes to its end.
    ASSERT_TRUE(reader.Open(Write("zeros.txt", std::string(3 * kBlock + 17, '\0'))));
    EXPECT_TRUE(ReadAllLines(reader).empty());
    EXPECT_FALSE(reader.More());
}

TEST_F(PluginFileReaderTest, GuardDropsABlockWhoseLinesAreNeverTaken)
{
    // Two blocks of short lines.
    std::string text;
    for (int i = 0; text.size() < 2 * kBlock - 100; ++i) text += "line" + std::to_string(i) + "\r\n";
    CBlockLineReader reader("\r\n", nullptr);
    ASSERT_TRUE(reader.Open(Write("guard.txt", text)));
    ASSERT_TRUE(reader.More());
    std::string line;
    ASSERT_TRUE(reader.PeekLine(line));
    EXPECT_EQ(line, "line0");
    for (int i = 1; i < CBlockLineReader::kMaxAnswersPerBlock; ++i) ASSERT_TRUE(reader.More());
    ASSERT_TRUE(reader.PeekLine(line)) << "the block is kept until its 4096th answer";
    ASSERT_TRUE(reader.More());
    EXPECT_FALSE(reader.ReadLine(line)) << "after 4096 answers the block is dropped";
    ASSERT_TRUE(reader.More());
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_NE(line, "line0");
    EXPECT_EQ(line.compare(0, 4, "line"), 0);

    // A caller that only ever asks More() still comes to the end of the file.
    reader.Rewind();
    int answers = 0;
    while (reader.More() && answers < 100000) ++answers;
    EXPECT_LT(answers, 100000);
    EXPECT_FALSE(reader.More());
}

TEST_F(PluginFileReaderTest, PeekLooksAheadAcrossTheBlockEndAndRewindStartsAgain)
{
    // The first block ends right behind "last of block".
    std::string text = std::string(kBlock - 17, 'p') + "\r\nlast of block\r\nfirst of next\r\nafter\r\n";
    CBlockLineReader reader("\r\n", ScrambleBlock);
    ASSERT_TRUE(reader.Open(Write("peek.dat", Scrambled(text))));
    ASSERT_TRUE(reader.More());
    std::string line, peeked;
    ASSERT_TRUE(reader.ReadLine(line));
    ASSERT_TRUE(reader.PeekLine(peeked));
    EXPECT_EQ(peeked, "last of block");
    ASSERT_TRUE(reader.PeekLine(peeked));
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "last of block");

    // The next line lies in the next block: Peek fails, More loads it, Peek sees it.
    EXPECT_FALSE(reader.PeekLine(peeked));
    ASSERT_TRUE(reader.More());
    ASSERT_TRUE(reader.PeekLine(peeked));
    EXPECT_EQ(peeked, "first of next");
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "first of next");
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "after");
    EXPECT_FALSE(reader.PeekLine(peeked));
    EXPECT_FALSE(reader.More());

    reader.Rewind();
    EXPECT_EQ(ReadAllLines(reader), Split(text, "\r\n"));
    reader.Close();
    EXPECT_FALSE(reader.More());
}

TEST_F(PluginFileReaderTest, FailedOpenKeepsTheSystemErrorAndOthersMayOnlyRead)
{
    CBlockLineReader reader;
    EXPECT_FALSE(reader.Open(m_temp / "missing.dat"));
    EXPECT_EQ(reader.GetError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(reader.More());
    EXPECT_EQ(reader.GetLength(), 0u);

    const std::string path = Write("open.dat", "a\r\nb\r\n");
    ASSERT_TRUE(reader.Open(path));
    EXPECT_EQ(reader.GetError(), static_cast<DWORD>(ERROR_SUCCESS));
    HANDLE other = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(other, INVALID_HANDLE_VALUE) << "others may read";
    if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE) << "but not write";
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
}

}  // namespace
