#include "ui/MainDlg.h"

#include <commctrl.h>

#include <ctime>
#include <iterator>
#include <vector>

#include "app/CleanerApp.h"
#include "app/DateText.h"
#include "app/Utilities.h"
#include "catalogue/ModList.h"
#include "engine/RunReport.h"
#include "engine/WorkerMessages.h"
#include "resource.h"
#include "ui/AutoCleanParam.h"
#include "ui/SelItemsDlg.h"
#include "ui/SettingsPropSheet.h"

const char* const kMakerWebAddress = "http://www.quillon.example/";

namespace {

const char kReadyText[] = "就绪";
const char kLastCleaningPrefix[] = "上次清理: ";
// A stored date longer than this is not a date this program wrote.
constexpr size_t kMaxStoredDateLength = 13;
// How long the window waits for a worker that is being stopped while the window goes away.
constexpr DWORD kWorkerStopWaitMs = 30000;
// The category bitmaps: 16 pixels square on the button face grey.
constexpr int kButtonImageSize = 16;
constexpr COLORREF kButtonImageMask = RGB(192, 192, 192);
constexpr int kButtonImageMargin = 4;

}  // namespace

CMainDlg::CMainDlg() : CDialog(IDD_MAIN)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    m_hIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_MAINFRAME), IMAGE_ICON,
                                            GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
    m_hSmallIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_MAINFRAME), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                 LR_SHARED));
    m_hAccel = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_MAIN_ACCEL));
}

CMainDlg::~CMainDlg()
{
    // The window goes first, so a worker that still runs finds no window to send to and cannot
    // block on it; then the worker is stopped before the lists it reads are released.
    if (m_hWnd) DestroyWindow(m_hWnd);
    ReapAutoCleanThread(false);
    if (m_hWorker) {
        SetEvent(g_theScanningThreadsParam.m_evStop);
        WaitForSingleObject(m_hWorker.Get(), kWorkerStopWaitMs);
        m_hWorker.Close();
        ResetEvent(g_theScanningThreadsParam.m_evStop);
    }
    if (m_hAccel) DestroyAcceleratorTable(m_hAccel);
    for (HIMAGELIST& images : m_ahCategoryImages)
        if (images) ImageList_Destroy(images);
}

// ---------------------------------------------------------------- initialisation

BOOL CMainDlg::OnInitDialog()
{
    SetMainWindow(m_hWnd);
    AddAboutToSystemMenu();
    SetIconAndCategoryBitmaps();
    m_strHint = LoadResString(IDS_MAIN_HINT);
    SetDlgItemTextA(m_hWnd, IDC_HINT, m_strHint.c_str());
    CreateStatusBar();

    m_bInitDone = true;
    ShowProgressGroup(false);
    EnableControl(m_hWnd, IDC_CANCEL, false);
    EnableControl(m_hWnd, IDC_CLEAN, false);
    ShowControl(m_hWnd, IDC_CLEAN, false);

    PrepareResultsList();

    if (TheSettings().ReadBool(kOptShowIconInTheStatusArea))
        AddTrayIcon();
    else
        RemoveTrayIcon();
    RECT client;
    GetClientRect(m_hWnd, &client);
    LayOutControls(client.right, client.bottom);

    RestorePlacement();
    ShowLastCleaningDate();
    // Without the system image list the warning was shown and the rows simply have no icons.
    m_listResults.AttachImageLists();
    m_listResults.RestoreSortState();

    if (TheSettings().ReadBool(kOptStartInIconizedMode)) {
        ShowWindow(m_hWnd, SW_MINIMIZE);
        SetTimer(m_hWnd, IDT_HIDE_TO_TRAY, kHideToTrayMs, nullptr);
    }
    if (TheSettings().ReadBool(kOptSessCleanBrowserClose)) StartBrowserWatch();
    ArmAutoClean(true);
    if (m_bAutoClean) StartAutoSequence();
    return TRUE;
}

void CMainDlg::AddAboutToSystemMenu()
{
    HMENU systemMenu = GetSystemMenu(m_hWnd, FALSE);
    if (!systemMenu) return;
    AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, LoadResString(IDS_ABOUTBOX).c_str());
}

void CMainDlg::SetIconAndCategoryBitmaps()
{
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const int buttons[] = {IDC_CATEGORY_WINDOWS, IDC_CATEGORY_BROWSERS, IDC_CATEGORY_APPS, IDC_CATEGORY_CUSTOM};
    const int bitmaps[] = {IDB_WINDOWS_ITEMS, IDB_WEB_BROWSERS, IDB_APPLICATIONS, IDB_CUSTOM_ITEMS};
    for (size_t i = 0; i < std::size(buttons); ++i) {
        // As a masked one-image list rather than BM_SETIMAGE: a disabled button (while a run goes)
        // then still shows its picture instead of a grey block. The grey of the bitmaps is their
        // transparent colour.
        HIMAGELIST images = ImageList_Create(kButtonImageSize, kButtonImageSize, ILC_COLOR24 | ILC_MASK, 1, 0);
        HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(bitmaps[i]), IMAGE_BITMAP, 0, 0, 0));
        if (!images || !bitmap) {
            if (images) ImageList_Destroy(images);
            if (bitmap) DeleteObject(bitmap);
            continue;
        }
        ImageList_AddMasked(images, bitmap, kButtonImageMask);
        DeleteObject(bitmap);
        BUTTON_IMAGELIST list{images, {kButtonImageMargin, 0, 0, 0}, BUTTON_IMAGELIST_ALIGN_LEFT};
        SendDlgItemMessageA(m_hWnd, buttons[i], BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list));
        m_ahCategoryImages[i] = images;
    }
}

void CMainDlg::CreateStatusBar()
{
    m_statusBar.Create(m_hWnd, IDC_STATUSBAR);
    RECT client;
    GetClientRect(m_hWnd, &client);
    SetStatusParts(client.right);
    SetStatusText(0, kReadyText);
}

void CMainDlg::PrepareResultsList()
{
    m_listResults.Attach(GetItem(IDC_RESULTS), m_statusBar.GetHwnd());
    BuildResultColumns();
    m_listResults.ApplyLook();
    RestoreColumnWidths();
}

void CMainDlg::ShowLastCleaningDate()
{
    const std::string today = FormatDate(_time64(nullptr));
    std::string last;
    TheSettings().ReadString(kOptLastCleaningDate, last);
    if (last.empty() || last.size() > kMaxStoredDateLength) last = today;
    SetStatusText(1, kLastCleaningPrefix + last);
    // The value always holds the date of the latest start; the status bar shows the one before.
    TheSettings().WriteString(kOptLastCleaningDate, today);
}

// ---------------------------------------------------------------- commands

bool CMainDlg::OnCommand(WORD id, WORD code, HWND control)
{
    switch (id) {
    case IDC_SCAN: OnScan(); return true;
    case IDC_CLEAN: OnClean(); return true;
    case IDC_CANCEL: OnCancelWork(); return true;
    case IDC_OPTIONS: OnOptions(); return true;
    case IDC_HELP_MENU: ShowHelpMenu(); return true;
    case IDC_CATEGORY_WINDOWS: OpenItemsDialog(0); return true;
    case IDC_CATEGORY_BROWSERS: OpenItemsDialog(1); return true;
    case IDC_CATEGORY_APPS: OpenItemsDialog(2); return true;
    case IDC_CATEGORY_CUSTOM: OpenItemsDialog(3); return true;
    case ID_TRAY_RESTORE: Restore(); return true;
    case ID_TRAY_MINIMIZE: MinimizeToTray(); return true;
    case ID_TRAY_CLEANNOW: StartAutoSequence(); return true;
    case ID_TRAY_EXIT: Quit(); return true;
    case ID_HELP_CONTENTS:
    case ID_HELP: OpenHelpFile(); return true;
    case ID_HELP_HOMEPAGE:
    case ID_HELP_FORUM: OpenWithShell(kMakerWebAddress); return true;
    case ID_HELP_ABOUT: ShowAboutBox(); return true;
    }
    if (m_listResults.OnCommand(id)) return true;
    return CDialog::OnCommand(id, code, control);
}

LRESULT CMainDlg::OnNotify(NMHDR* header)
{
    LRESULT result = 0;
    if (OnRowNotify(header, result) || m_listResults.OnNotify(header, result)) return result;
    return CDialog::OnNotify(header);
}

void CMainDlg::OnTimer(UINT_PTR timerId)
{
    switch (timerId) {
    case IDT_HIDE_TO_TRAY: HideToTrayNow(); break;
    case IDT_SHUTDOWN_WAIT: OnShutdownWaitTick(); break;
    case IDT_BROWSER_WATCH: OnBrowserWatchTick(); break;
    case IDT_FLASH: OnFlashTick(); break;
    case IDT_LIST_REFRESH: OnRefreshTick(); break;
    }
}

bool CMainDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    result = 0;
    switch (msg) {
    case UWM_ADD_OBJECT: OnAddObject(reinterpret_cast<const CFoundObject*>(wp)); return true;
    case UWM_ADD_FOLDER: OnAddFolder(reinterpret_cast<const char*>(wp)); return true;
    case UWM_REMOVE_ROW: OnRemoveRow(static_cast<int>(lp)); return true;
    case UWM_SCAN_COMPLETED: OnScanEnded(true); return true;
    case UWM_SCAN_CANCELLED: OnScanEnded(false); return true;
    case UWM_CLEAN_ENDING: OnCleanEnding(); return true;
    case UWM_CLEAN_FOLLOWUP: OnCleanFollowUp(wp, lp); return true;
    case UWM_CLEAN_COMPLETED: OnCleanEnded(true); return true;
    case UWM_CLEAN_CANCELLED: OnCleanEnded(false); return true;
    case UWM_TRAY_NOTIFY: OnTrayNotify(lp); return true;
    case WM_SYSCOMMAND: return OnSystemCommand(wp);
    case WM_QUERYENDSESSION: result = OnQueryEndSession(lp); return true;
    case WM_ENDSESSION: OnEndSession(wp != FALSE); return true;
    case WM_MOVE: StorePosition(); return false;
    case WM_SIZING:
        KeepMinimumWhileDragging(wp, reinterpret_cast<RECT*>(lp));
        result = TRUE;
        return true;
    case WM_DESTROY:
        KillTimer(m_hWnd, IDT_LIST_REFRESH);
        KillTimer(m_hWnd, IDT_FLASH);
        KillTimer(m_hWnd, IDT_HIDE_TO_TRAY);
        RemoveTrayIcon();
        if (g_theScanningThreadsParam.m_hwnd == m_hWnd) g_theScanningThreadsParam.m_hwnd = nullptr;
        if (GetMainWindow() == m_hWnd) SetMainWindow(nullptr);
        return false;
    }
    return false;
}

bool CMainDlg::PreTranslateMessage(MSG& msg)
{
    return m_hAccel && TranslateAcceleratorA(m_hWnd, m_hAccel, &msg) != 0;
}

bool CMainDlg::OnSystemCommand(WPARAM command)
{
    switch (command & 0xFFF0) {
    case IDM_ABOUTBOX: ShowAboutBox(); return true;
    case SC_CLOSE: Quit(); return true;
    case SC_MINIMIZE: MinimizeToTray(); return true;
    }
    return false;
}

void CMainDlg::OnSize(UINT type, int cx, int cy)
{
    if (type != SIZE_MINIMIZED) LayOutControls(cx, cy);
    StoreSize(type);
}

// ---------------------------------------------------------------- options and items

void CMainDlg::OnOptions()
{
    CSettingsPropSheet sheet(LoadResString(IDS_OPTIONS_CAPTION), m_hWnd, &g_theScanningThreadsParam);
    // Whichever button closed it: after Cancel the stored settings are applied all the same.
    sheet.DoModal();
    ApplyChangedOptions(sheet.m_pageSchedule.m_bIntervalChanged);
}

void CMainDlg::ApplyChangedOptions(bool intervalChanged)
{
    if (TheSettings().ReadBool(kOptShowIconInTheStatusArea))
        AddTrayIcon();
    else
        RemoveTrayIcon();
    // A running timer keeps its due time unless the interval choice changed.
    ArmAutoClean(!IsAutoCleanRunning() || intervalChanged);
    if (TheSettings().ReadBool(kOptSessCleanBrowserClose))
        StartBrowserWatch();
    else
        StopBrowserWatch();
    TheSettings().LoadDateFormat();
    m_listResults.ApplyLook();
    if (GetStatusText(1).rfind(kLastCleaningPrefix, 0) == 0) SetStatusText(1, "");
}

void CMainDlg::OpenItemsDialog(int category)
{
    const UINT titles[] = {IDS_WINDOWS_ITEMS_TITLE, IDS_INTERNET_ITEMS_TITLE, IDS_APPS_ITEMS_TITLE,
                           IDS_CUSTOM_ITEMS_TITLE};
    if (category < 0 || category >= static_cast<int>(std::size(titles))) return;
    CSelItemsDlg items(&g_theScanningThreadsParam, m_hWnd);
    items.m_nCategory = category;
    items.m_strCaption = LoadResString(titles[category]);
    items.DoModal();
}

// ---------------------------------------------------------------- quit

void CMainDlg::Quit()
{
    // The automatic-cleaning thread is told to end first of all, also when quitting is refused.
    if (IsAutoCleanRunning()) SetEvent(g_autoCleanParam.m_evQuit);
    if (g_theScanningThreadsParam.m_bBusy) {
        OnCancelWork();
        ShowInfoBox(m_bScanDone ? IDS_CANNOT_QUIT_CLEANING : IDS_CANNOT_QUIT_SCANNING);
        return;
    }
    EmptyRunLists();
    DeleteAllRows();
    StopBrowserWatch();
    CloseOwnedWindows();
    RemoveTrayIcon();
    EndDialog(IDOK);
}

void CMainDlg::DeleteAllRows()
{
    // Emptied with its drawing off, so tens of thousands of rows go in one repaint.
    HWND list = m_listResults.GetListHwnd();
    const bool streaming = m_listResults.IsStreaming();
    if (!streaming) SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    m_listResults.List().DeleteAllItems();
    if (!streaming) {
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
}

void CMainDlg::EmptyRunLists()
{
    m_lstRowsToClean.clear();
    AllObjsLinkedList.clear();
    m_lstFolders.clear();
}

std::string CMainDlg::GetStatusText(int part) const
{
    return m_statusBar.GetText(part);
}

void CMainDlg::SetStatusText(int part, const std::string& text)
{
    m_statusBar.SetText(part, text, StatusPartStyle(part));
}
