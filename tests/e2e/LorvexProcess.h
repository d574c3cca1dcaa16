// End-to-end fixtures: Lorvex.exe (beside the test program) started as a process of its own, with
// its own TEMP folder, driven with WM_COMMAND messages as a user's tool would.
#pragma once

#include "support/ChildProcess.h"

namespace e2e {

using testsupport::ControlText;
using testsupport::CRealQuillonSettings;
using testsupport::WaitUntil;

class CLorvexProcess : public testsupport::CChildProcess {
public:
    // Starts Lorvex.exe with the arguments, in the folder of the built data files, with TEMP and TMP
    // set to tempFolder.
    CLorvexProcess(const std::string& arguments, const std::string& tempFolder);

    // The main dialog (captioned "Quillon 汉化版", holding the Scan button), or null.
    HWND MainWindow() const;
};

// The main window's working states as its buttons show them: idle (Scan enabled, Clean hidden,
// Cancel disabled) and results ready (Scan disabled, Clean shown and enabled, Cancel disabled).
bool IsIdle(HWND main);
bool HasResults(HWND main);

}  // namespace e2e
