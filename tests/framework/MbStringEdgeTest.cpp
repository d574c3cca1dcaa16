// Multibyte helpers at the edges of a text: suffixes, trimming of white space and of a character,
// and searches through texts that hold NUL bytes (read from files).
#include <gtest/gtest.h>

#include "framework/MbString.h"

using namespace framework;

// "乗" is GBK 0x81 0x5C, its trail byte a backslash.
TEST(MbStringEdges, SuffixMustStartOnACharacterBoundary)
{
    EXPECT_TRUE(MbsEndsWith("C:\\x\\", "\\"));
    EXPECT_FALSE(MbsEndsWith("C:\\乗", "\\"));
    EXPECT_TRUE(MbsEndsWith("C:\\乗\\", "\\"));
    EXPECT_TRUE(MbsEndsWith("abc", ""));
    EXPECT_FALSE(MbsEndsWith("c", "abc"));
    EXPECT_TRUE(MbsEndsWith("[名]", "]"));
    EXPECT_FALSE(MbsEndsWith("[\x81]", "]"));  // 0x81 0x5D is one character
}

TEST(MbStringEdges, TrimsWhiteSpaceAndWholeCharacters)
{
    EXPECT_EQ(MbsTrim(" \t\r\n\v\fa b\t \r\n"), "a b");
    EXPECT_EQ(MbsTrim("   "), "");
    EXPECT_EQ(MbsTrim("临时"), "临时");
    EXPECT_EQ(MbsTrimChar("\\\\a\\b\\\\", '\\'), "a\\b");
    EXPECT_EQ(MbsTrimChar("\\乗\\", '\\'), "乗");
    EXPECT_EQ(MbsTrimChar("乗", '\\'), "乗");
    EXPECT_EQ(MbsTrimChar("\\\\", '\\'), "");
    EXPECT_EQ(MbsTrimRightChar("乗\x81", '\\'), "乗\x81") << "a lead byte without its trail byte stays";
    // Hundreds of thousands of trailing backslashes (a damaged data file) go in one pass: trimming
    // them one by one from the start took minutes.
    const std::string many = "C:\\乗" + std::string(400000, '\\');
    EXPECT_EQ(MbsTrimRightChar(many, '\\'), "C:\\乗");
    EXPECT_EQ(MbsTrimChar(many, '\\'), "C:\\乗");
}

TEST(MbStringEdges, SearchesGoOnPastNulBytes)
{
    const std::string text("\0\0ab\0Dir=x", 10);
    EXPECT_EQ(MbsFind(text, "Dir="), 5u);
    EXPECT_EQ(MbsFindNoCase(text, "dir="), 5u);
    EXPECT_EQ(MbsFind(text, "none"), std::string::npos);
    EXPECT_FALSE(MbsStartsWithNoCase(std::string("a\0b", 3), std::string("a\0c", 3)));
    EXPECT_TRUE(MbsStartsWithNoCase(std::string("a\0bc", 4), std::string("a\0b", 3)));
}
