#include "app/CleanerApp.h"

#include "app/CommandLineInfo.h"
#include "app/SingleInstance.h"
#include "app/Utilities.h"
#include "catalogue/FileReplace.h"
#include "catalogue/ModList.h"
#include "engine/ItemWiring.h"
#include "engine/SecureDelete.h"
#include "ui/MainDlg.h"
#include "resource.h"

#include <commctrl.h>
#include <mbctype.h>

namespace {

// Common controls for every window of the program, and the multibyte helpers on the ANSI code page.
void InitFramework()
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES |
                                                       ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    _setmbcp(_MB_CP_ANSI);
}

}  // namespace

CCleanerApp& TheApp()
{
    // Constructed on first use, so the settings are read only once the process (or a test's
    // registry sandbox) is ready.
    static CCleanerApp app;
    return app;
}

CSettingsStore& TheSettings() { return TheApp().m_Settings; }

int CCleanerApp::Run(int argc, char** argv)
{
    switch (ClaimSingleInstance(kQuillonInstanceEvents, m_hRunningEvent, m_hRefusalEvent)) {
    case InstanceClaim::RefusalShowing:
        return 0;
    case InstanceClaim::AlreadyRunning:
        // No owner: this process has no window of its own.
        MessageBoxA(nullptr, LoadResString(IDS_ALREADY_RUNNING).c_str(), LoadResString(IDS_APP_CAPTION).c_str(),
                    MB_ICONWARNING);
        m_hRunningEvent.Close();
        return 0;
    case InstanceClaim::First:
        break;
    }

    InitFramework();
    CCleanerCommandLineInfo commandLine;
    ParseCommandLine(commandLine, argc, argv);
    // Date format, help file (derived with the install folder) and the five keys.
    m_Settings.Start();
    // What a rewrite cut short left beside its file (the old content of a cookies file among it)
    // goes before anything else can look at those folders.
    const int passes = m_Settings.GetRunOptions().m_nOverwritePasses;
    SweepTransientFiles([passes](const std::string& path) { ShredFile(path, passes); });
    // Failures of the plug-in data files are reported by the build and do not stop the start.
    WireItemFunctions();
    g_theScanningThreadsParam.Build();

    RunMainDialog(commandLine.m_bAutoClean);
    m_hRunningEvent.Close();
    return 0;
}

void CCleanerApp::RunMainDialog(bool autoClean)
{
    CMainDlg dialog;
    dialog.m_bAutoClean = autoClean;
    dialog.DoModal();
}
