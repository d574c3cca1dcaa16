#include <gtest/gtest.h>

#include "framework/MbString.h"
#include "framework/PathText.h"
#include "framework/ScopedHandle.h"

using namespace framework;

// "乗" is GBK 0x81 0x5C, its trail byte a backslash.
TEST(MbString, BackslashTrailBytesAreNotSeparators)
{
    const std::string name = "乗";
    ASSERT_EQ(2u, name.size());
    ASSERT_EQ('\\', name[1]);
    EXPECT_EQ(std::string::npos, MbsFindChar(name, '\\'));
    const std::string path = "C:\\a\\" + name;
    EXPECT_EQ(4u, MbsFindLastChar(path, '\\'));
}

TEST(PathText, PartsOfAPathSplitOnlyAtWholeBackslashes)
{
    EXPECT_EQ(FolderOfPath("C:\\a\\b.txt"), "C:\\a");
    EXPECT_EQ(FolderOfPath("C:\\b.txt"), "C:\\");
    EXPECT_EQ(FolderOfPath("\\b.txt"), "\\");
    EXPECT_EQ(FolderOfPath("b.txt"), ".");
    EXPECT_EQ(FolderOfPath("C:\\乗\\b.txt"), "C:\\乗");
    EXPECT_EQ(NameOfPath("C:\\a\\乗"), "乗");
    EXPECT_EQ(NameOfPath("b.txt"), "b.txt");
    EXPECT_EQ(WithoutTrailingSeparators("C:\\乗\\\\"), "C:\\乗");
    EXPECT_EQ(JoinPath("C:\\乗", "b"), "C:\\乗\\b") << "a trail byte 0x5C is no separator";
    EXPECT_EQ(JoinPath("C:\\", "b"), "C:\\b");
    EXPECT_EQ(JoinPath("", "b"), "b");
}

TEST(MbString, CaseInsensitiveComparisonsAreCharacterAware)
{
    EXPECT_TRUE(MbsEqualNoCase("Cookies", "COOKIES"));
    EXPECT_FALSE(MbsEqualNoCase("Cookies", "Cookie"));
    EXPECT_TRUE(MbsEqualNoCase("临时文件", "临时文件"));
    EXPECT_EQ(4u, MbsFindNoCase("临时Temp", "temp"));
    // "\x81\x5C" + "a": the search for "\\a" must not match inside the double-byte character.
    EXPECT_EQ(std::string::npos, MbsFindNoCase("乗a", "\\a"));
    EXPECT_TRUE(MbsStartsWithNoCase("%APPDATA%\\x", "%appdata%"));
    EXPECT_FALSE(MbsStartsWithNoCase("乗", "\x81"));
    EXPECT_LT(MbsCompareNoCase("apple", "Banana"), 0);
}

TEST(MbString, CaseSensitiveSearchStartsOnlyOnCharacters)
{
    EXPECT_EQ(0u, MbsFind("keep.txt", "keep"));
    EXPECT_EQ(3u, MbsFind("my_keep", "keep"));
    EXPECT_EQ(std::string::npos, MbsFind("KEEP.txt", "keep"));
    EXPECT_EQ(2u, MbsFind("临时", "时"));
    // "丂" is 0x81 0x40: its trail byte is '@' but no '@' character is in the text.
    EXPECT_EQ(std::string::npos, MbsFind("丂x", "@x"));
    EXPECT_EQ(1u, MbsFind("a@x", "@x"));
    EXPECT_EQ(0u, MbsFind("abc", ""));
    EXPECT_EQ(std::string::npos, MbsFind("ab", "abc"));
}

TEST(MbString, TruncateNeverSplitsADoubleByteCharacter)
{
    EXPECT_EQ("a", MbsTruncate("a临", 2));
    EXPECT_EQ("a临", MbsTruncate("a临", 3));
    EXPECT_EQ("abc", MbsTruncate("abc", 10));
}

TEST(ScopedHandle, ClosesOnceAndKeepsTheLastError)
{
    HANDLE ev = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    {
        ScopedKernelHandle h(ev);
        ScopedKernelHandle moved(std::move(h));
        EXPECT_FALSE(h.IsValid());
        EXPECT_TRUE(moved.IsValid());
        SetLastError(ERROR_ACCESS_DENIED);
    }
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(ev, &flags));  // already closed
}
