// Fixture of the dialog tests: the registry and temp-folder sandbox with the program's keys created,
// as the start routine leaves them.
#pragma once

#include "app/SettingsStore.h"
#include "support/Sandbox.h"

#include <string>

const char kWarningChecksKey[] = "Software\\Venmoor\\Quillon\\WarningChecks";

class UiTest : public testsupport::SandboxTest {
protected:
    void SetUp() override { TheSettings().Start(); }

    // The WarningChecks value of a key, or -1 when it is not there.
    static long long WarningCheck(const std::string& key)
    {
        DWORD value = 0xdeadbeef;
        return testsupport::ReadRegDword(kWarningChecksKey, key, value) ? static_cast<long long>(value) : -1;
    }
};
