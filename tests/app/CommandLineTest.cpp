// The command line: "/autoclean" with either sign and in any case sets the flag; the word without a
// sign or with more after it does not, and other arguments are ignored.
#include "app/CommandLineInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool AutoCleanFrom(std::vector<std::string> args)
{
    args.insert(args.begin(), "C:\\Program Files\\Quillon\\Lorvex.exe");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(&arg[0]);
    CCleanerCommandLineInfo info;
    ParseCommandLine(info, static_cast<int>(argv.size()), argv.data());
    return info.m_bAutoClean;
}

}  // namespace

TEST(CommandLine, AutoCleanWithEitherSignInAnyCase)
{
    EXPECT_TRUE(AutoCleanFrom({"/autoclean"}));
    EXPECT_TRUE(AutoCleanFrom({"/AUTOCLEAN"}));
    EXPECT_TRUE(AutoCleanFrom({"-autoclean"}));
    EXPECT_TRUE(AutoCleanFrom({"-AutoClean"}));
    EXPECT_TRUE(AutoCleanFrom({"报告.txt", "/x", "-AUTOCLEAN", "more"}));
}

TEST(CommandLine, OtherArgumentsAreIgnored)
{
    EXPECT_FALSE(AutoCleanFrom({}));
    EXPECT_FALSE(AutoCleanFrom({"autoclean"}));
    EXPECT_FALSE(AutoCleanFrom({"/autocleaner"}));
    EXPECT_FALSE(AutoCleanFrom({"/autoclean2"}));
    EXPECT_FALSE(AutoCleanFrom({"//autoclean"}));
    EXPECT_FALSE(AutoCleanFrom({"/auto clean"}));
    EXPECT_FALSE(AutoCleanFrom({"/"}));
    EXPECT_FALSE(AutoCleanFrom({""}));
    // The program path itself is not an argument.
    char path[] = "/autoclean";
    char* argv[] = {path};
    CCleanerCommandLineInfo info;
    ParseCommandLine(info, 1, argv);
    EXPECT_FALSE(info.m_bAutoClean);
}

TEST(CommandLine, ParseStepGetsTheTextWithoutItsSign)
{
    CCleanerCommandLineInfo info;
    info.ParseParam("autoclean", false, true);
    EXPECT_FALSE(info.m_bAutoClean);  // no sign
    info.ParseParam("AUTOCLEAN", true, false);
    EXPECT_TRUE(info.m_bAutoClean);
}
