// The main window in and out of sight: the tray icon with its menu, restoring and minimising (to the
// tray when the taskbar button is not wanted), the start in the tray, the caption flashing after a
// run ended while minimised, the help menu, the help file, the About box and the close after a
// clean.
#include "ui/MainDlg.h"

#include <shellapi.h>

#include "app/CleanerApp.h"
#include "app/Utilities.h"
#include "framework/MbString.h"
#include "resource.h"
#include "ui/AboutDlg.h"

namespace {

const char kClosingText[] = "关闭中...";
// The pause that lets "关闭中..." be read before the window goes.
constexpr DWORD kCloseAfterCleaningPauseMs = 300;
// Pixels between the Help button's top-left corner and its menu.
constexpr int kHelpMenuOffset = 3;

// Flashes left in the current round; every process has one round at a time.
constexpr int kFlashesPerRound = 5;
int g_nFlashesLeft = kFlashesPerRound;

// Shows submenu 0 of a menu resource at a screen point; the command goes to owner as WM_COMMAND.
void TrackMenuResource(UINT menuId, HWND owner, int x, int y)
{
    framework::ScopedMenu menu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(menuId)));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu.Get(), 0);
    if (popup) TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
}

}  // namespace

// ---------------------------------------------------------------- tray icon

void CMainDlg::AddTrayIcon()
{
    if (m_bTrayIcon) return;
    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = m_hWnd;
    icon.uID = kTrayIconId;
    icon.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    icon.uCallbackMessage = UWM_TRAY_NOTIFY;
    icon.hIcon = m_hSmallIcon;
    const std::string tip = framework::MbsTruncate(LoadResString(IDS_APP_CAPTION), sizeof icon.szTip - 1);
    lstrcpynA(icon.szTip, tip.c_str(), sizeof icon.szTip);
    m_bTrayIcon = Shell_NotifyIconA(NIM_ADD, &icon) != FALSE;
}

void CMainDlg::RemoveTrayIcon()
{
    if (!m_bTrayIcon) return;
    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = m_hWnd;
    icon.uID = kTrayIconId;
    Shell_NotifyIconA(NIM_DELETE, &icon);
    m_bTrayIcon = false;
}

void CMainDlg::OnTrayNotify(LPARAM mouseMessage)
{
    switch (mouseMessage) {
    case WM_RBUTTONDOWN: {
        POINT cursor;
        GetCursorPos(&cursor);
        // In the foreground, so the menu closes when the user clicks elsewhere.
        SetForegroundWindow(m_hWnd);
        TrackMenuResource(IDR_TRAY_MENU, m_hWnd, cursor.x, cursor.y);
        PostMessageA(m_hWnd, WM_NULL, 0, 0);
        break;
    }
    case WM_LBUTTONDOWN:
        Restore();
        break;
    }
}

// ---------------------------------------------------------------- restore and minimise

void CMainDlg::Restore()
{
    SetForegroundWindow(m_hWnd);
    ShowWindow(m_hWnd, m_bMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    ShowOwnedPopups(m_hWnd, TRUE);
}

void CMainDlg::MinimizeToTray()
{
    if (TheSettings().ReadBool(kOptShowIconInTaskbarWhenMinimized)) {
        ShowWindow(m_hWnd, SW_MINIMIZE);
        return;
    }
    // Without a taskbar button the tray icon is the way back, for good.
    TheSettings().WriteDword(kOptShowIconInTheStatusArea, 1);
    AddTrayIcon();
    ShowOwnedPopups(m_hWnd, FALSE);
    ShowWindow(m_hWnd, SW_HIDE);
}

void CMainDlg::HideToTrayNow()
{
    KillTimer(m_hWnd, IDT_HIDE_TO_TRAY);
    AddTrayIcon();
    ShowWindow(m_hWnd, SW_HIDE);
}

// ---------------------------------------------------------------- flashing

void CMainDlg::StartFlashing()
{
    SetTimer(m_hWnd, IDT_FLASH, kFlashMs, nullptr);
}

void CMainDlg::FlashWhenMinimized()
{
    if (IsIconic(m_hWnd)) StartFlashing();
}

void CMainDlg::OnFlashTick()
{
    if (g_nFlashesLeft > 0) {
        FLASHWINFO flash{sizeof flash, m_hWnd, FLASHW_CAPTION, 1, 0};
        FlashWindowEx(&flash);
        --g_nFlashesLeft;
        return;
    }
    KillTimer(m_hWnd, IDT_FLASH);
    g_nFlashesLeft = kFlashesPerRound;
}

void CMainDlg::ShowSkipText(const std::string& text)
{
    SetStatusText(0, text);
    // The check pauses without pumping messages: paint now, or the text would never be seen.
    UpdateWindow(m_statusBar.GetHwnd());
}

// ---------------------------------------------------------------- help and About

void CMainDlg::ShowHelpMenu()
{
    RECT button;
    if (!GetWindowRect(GetItem(IDC_HELP_MENU), &button)) return;
    TrackMenuResource(IDR_HELP_MENU, m_hWnd, button.left + kHelpMenuOffset, button.top + kHelpMenuOffset);
}

void CMainDlg::OpenHelpFile()
{
    OpenWithShell(TheSettings().m_strHelpFile);
}

void CMainDlg::ShowAboutBox()
{
    // Not over the report, a warning or another dialog of the program.
    if (HasOwnedWindows()) return;
    CAboutDlg about(m_hWnd);
    about.DoModal();
}

// ---------------------------------------------------------------- close after a clean

void CMainDlg::CloseAfterCleaning()
{
    // Cleaning at shutdown still needs the program when Windows ends the session.
    if (TheSettings().ReadBool(kOptSessCleanWinShutdown)) return;
    SetStatusText(0, kClosingText);
    UpdateWindow(m_statusBar.GetHwnd());
    CloseOwnedWindows();
    Sleep(kCloseAfterCleaningPauseMs);
    Quit();
}
