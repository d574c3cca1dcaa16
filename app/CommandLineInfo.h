// CCleanerCommandLineInfo: the program's command line. "/autoclean" or "-autoclean", in any case,
// asks for an automatic scan and clean at start; every other argument is ignored.
#pragma once

class CCleanerCommandLineInfo {
public:
    bool m_bAutoClean = false;

    // One argument after the program path: its text without the leading sign, whether it had a "/"
    // or "-" sign, and whether it is the last argument.
    void ParseParam(const char* param, bool isFlag, bool isLast);
};

// Hands arguments 1..argc-1 to info.ParseParam, a leading "/" or "-" removed and reported as the
// flag.
void ParseCommandLine(CCleanerCommandLineInfo& info, int argc, char** argv);
