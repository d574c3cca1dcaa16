#include "app/CommandLineInfo.h"

#include "framework/MbString.h"

namespace {

const char kAutoCleanSwitch[] = "autoclean";

}  // namespace

void CCleanerCommandLineInfo::ParseParam(const char* param, bool isFlag, bool /*isLast*/)
{
    if (isFlag && param && framework::MbsEqualNoCase(param, kAutoCleanSwitch)) m_bAutoClean = true;
}

void ParseCommandLine(CCleanerCommandLineInfo& info, int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const char* param = argv[i] ? argv[i] : "";
        bool isFlag = param[0] == '/' || param[0] == '-';
        info.ParseParam(isFlag ? param + 1 : param, isFlag, i + 1 == argc);
    }
}
