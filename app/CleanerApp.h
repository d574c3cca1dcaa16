// The application object: exists once per process, owns the settings store and the single-instance
// events, and runs the start routine (single instance, command line, registry keys, leftovers of
// interrupted file rewrites, catalogue, then the main dialog modally; the process ends when the
// main dialog has ended). Only the windows and WinMain need it: the settings store is reachable
// through TheSettings() of its own header.
#pragma once

#include "app/SettingsStore.h"
#include "framework/ScopedHandle.h"

class CCleanerApp {
public:
    CSettingsStore m_Settings;
    framework::ScopedKernelHandle m_hRunningEvent;  // "Global\QuillonEvent4002" while the main dialog runs
    framework::ScopedKernelHandle m_hRefusalEvent;  // "Global\QuillonEvent5002" while refusing a second start

    // The start routine. argv[0] is the program path; returns the process exit code (always 0: the
    // program defines no exit codes of its own).
    int Run(int argc, char** argv);

    // Runs the main dialog modally until it ends; autoClean comes from "/autoclean".
    void RunMainDialog(bool autoClean);
};

CCleanerApp& TheApp();
