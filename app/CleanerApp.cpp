#include "app/CleanerApp.h"

#include "app/CommandLineInfo.h"
#include "app/SingleInstance.h"
#include "app/Utilities.h"
#include "catalogue/ModList.h"
#include "framework/Dialog.h"
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

// Stands in for the main window until CMainDlg exists: the real template with its icon and hint.
class CStandInMainDlg : public framework::CDialog {
public:
    CStandInMainDlg() : CDialog(IDD_MAIN) {}

protected:
    BOOL OnInitDialog() override
    {
        SetMainWindow(m_hWnd);
        HINSTANCE instance = GetModuleHandleA(nullptr);
        SendMessageA(m_hWnd, WM_SETICON, ICON_BIG,
                     reinterpret_cast<LPARAM>(LoadIconA(instance, MAKEINTRESOURCEA(IDI_MAINFRAME))));
        SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_MAINFRAME), IMAGE_ICON,
                                                         GetSystemMetrics(SM_CXSMICON),
                                                         GetSystemMetrics(SM_CYSMICON), LR_SHARED)));
        const int buttons[] = {IDC_CATEGORY_WINDOWS, IDC_CATEGORY_BROWSERS, IDC_CATEGORY_APPS, IDC_CATEGORY_CUSTOM};
        const int bitmaps[] = {IDB_WINDOWS_ITEMS, IDB_WEB_BROWSERS, IDB_APPLICATIONS, IDB_CUSTOM_ITEMS};
        for (int i = 0; i < 4; ++i)
            SendDlgItemMessageA(m_hWnd, buttons[i], BM_SETIMAGE, IMAGE_BITMAP,
                                reinterpret_cast<LPARAM>(LoadImageA(instance, MAKEINTRESOURCEA(bitmaps[i]), IMAGE_BITMAP,
                                                                    0, 0, LR_LOADMAP3DCOLORS | LR_SHARED)));
        SetDlgItemTextA(m_hWnd, IDC_HINT, LoadResString(IDS_MAIN_HINT).c_str());
        return TRUE;
    }
    bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override
    {
        if (msg == WM_DESTROY) SetMainWindow(nullptr);
        return false;
    }
};

}  // namespace

CCleanerApp& TheApp()
{
    // Constructed on first use, so the settings are read only once the process (or a test's
    // registry sandbox) is ready.
    static CCleanerApp app;
    return app;
}

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
    // Failures of the plug-in data files are reported by the build and do not stop the start.
    g_theScanningThreadsParam.Build();

    RunMainDialog(commandLine.m_bAutoClean);
    m_hRunningEvent.Close();
    return 0;
}

void CCleanerApp::RunMainDialog(bool /*autoClean*/)
{
    CStandInMainDlg dialog;
    dialog.DoModal();
}
