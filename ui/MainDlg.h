// CMainDlg: the program's only top-level window (template 126). It owns the results list, the
// status bar, the tray icon, the timers and the three lists that a clean consumes; it starts the
// scanning and cleaning threads and receives everything they report.
//
// The work is split over six files:
//   MainDlg.cpp          initialisation, the commands table, messages and the quit rule;
//   MainDlgLayout.cpp    the layout on every size change, the minimum while dragging, the status
//                        bar and the placement stored on every move and size change;
//   MainDlgTray.cpp      tray icon and menu, restore and minimise, flashing, help and About;
//   MainDlgRun.cpp       Scan, Clean and Cancel, the four button states, the end of a run and the
//                        automatic sequence;
//   MainDlgStream.cpp    the rows that a worker streams in (or takes away) and how the list keeps up;
//   MainDlgSchedule.cpp  the scheduler: the automatic-cleaning timer and its thread, cleaning at
//                        the end of the session and the browser-close watch.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "engine/FoundObjectList.h"
#include "engine/RowsToClean.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/ScopedHandle.h"
#include "ui/OpenBrowsersCheck.h"
#include "ui/ResultsList.h"

// Timers of the main window.
constexpr UINT_PTR IDT_HIDE_TO_TRAY = 0;   // 3 ms after a start in the tray
constexpr UINT_PTR IDT_SHUTDOWN_WAIT = 1;  // cleaning at shutdown (scheduler)
constexpr UINT_PTR IDT_BROWSER_WATCH = 2;  // browser-close watch (scheduler)
constexpr UINT_PTR IDT_FLASH = 3;          // caption flashing after a run ended while minimised
constexpr UINT_PTR IDT_LIST_REFRESH = 4;   // brings the results list up to date while rows stream

constexpr UINT kHideToTrayMs = 3;
constexpr UINT kFlashMs = 500;
constexpr UINT kBrowserWatchMs = 750;
constexpr UINT kShutdownWaitMs = 1000;
// Four refreshes a second keep the list lively while a worker streams rows into it, without the
// cost of a repaint per row; a slow display stretches the interval (see MainDlgStream.cpp).
constexpr UINT kListRefreshMs = 250;

// Callback message of the tray icon; lParam is the mouse message.
constexpr UINT UWM_TRAY_NOTIFY = WM_APP + 41;
constexpr UINT kTrayIconId = 1;

// The smallest window a border drag may leave, and the placement that replaces an unusable stored
// one.
constexpr int kMinWindowWidth = 677;
constexpr int kMinWindowHeight = 448;

// Where commands 155 and 156 lead.
extern const char* const kMakerWebAddress;

// The working states of the window and their button sets.
enum class EWorkState { Idle, Scanning, ResultsReady, Cleaning };

class CMainDlg : public framework::CDialog, public COpenBrowsersHost {
public:
    CMainDlg();
    ~CMainDlg() override;

    // ---- state ----
    bool m_bAutoClean = false;            // started with /autoclean
    bool m_bScanDone = false;             // a scan has finished; only then does Clean act
    bool m_bAutoSequence = false;         // the running scan cleans everything as soon as it completes
    bool m_bInitDone = false;             // size changes are stored only from then on
    bool m_bMaximized = false;            // restoring returns to maximised
    bool m_bShutdownCleanPending = false;  // the end of the session was refused for cleaning
    bool m_abBrowserSeen[kKnownBrowserCount] = {};
    bool m_bLogoffPending = false;        // the refused end of the session was a log-off
    bool m_bEndSessionRequested = false;  // this program asked Windows to end the session

    // Every object of the last scan in arrival order; a row's item data is its index here.
    CFoundObjectList AllObjsLinkedList;
    CRowsToCleanList m_lstRowsToClean;
    CFolderList m_lstFolders;

    std::string m_strHint;  // string 177, shown in edit 1056

    CResultsList m_listResults;
    framework::CStatusBar m_statusBar;

    // ---- scan and clean control ----
    // A scan followed by a clean of everything found, when no worker runs and an item is checked.
    void StartAutoSequence();
    void OnScan();
    void OnClean();
    void OnCancelWork();
    // Applies one button set; keepClean leaves Clean as it is (a scan with nothing to scan).
    void ApplyWorkState(EWorkState state, bool keepClean = false);
    void ResetProgressDisplay();
    // The eight controls of the current operation, object and progress, shown only while a worker
    // runs.
    void ShowProgressGroup(bool show);

    // ---- window ----
    void Quit();
    void Restore();
    void MinimizeToTray();
    void ShowAboutBox();
    void AddTrayIcon();
    void RemoveTrayIcon();
    bool HasTrayIcon() const { return m_bTrayIcon; }
    void SetStatusText(int part, const std::string& text);
    std::string GetStatusText(int part) const;
    // Re-applies the settings that act at once after the options sheet: tray icon, automatic-cleaning
    // timer (intervalChanged: the Schedule page saved another interval), browser-close watch, date
    // format, list look, status text.
    void ApplyChangedOptions(bool intervalChanged);

    // ---- scheduler entry points (MainDlgSchedule.cpp) ----
    // Configures the automatic-cleaning timer from the settings; start false leaves a running
    // timer's due time alone.
    void ArmAutoClean(bool start);
    // True while the automatic-cleaning timer thread runs.
    bool IsAutoCleanRunning() const;
    // IDT_BROWSER_WATCH with m_abBrowserSeen cleared; stopping it.
    void StartBrowserWatch();
    void StopBrowserWatch();
    // A worker runs, or a window-started one has not yet had its end handled, or an automatic
    // sequence has not reached its clean: no time to start or to end the session.
    bool IsRunInProgress() const;

    // ---- the results list (the work is CResultsList's) ----
    void BuildResultColumns() { m_listResults.BuildResultColumns(); }
    void RestoreColumnWidths() { m_listResults.RestoreColumnWidths(); }
    void SaveColumnWidth(int column, int width) { m_listResults.SaveColumnWidth(column, width); }
    int AddResultRow(const CFoundObject& object, int objectIndex) { return m_listResults.AddResultRow(object, objectIndex); }
    void SortByColumn(int column, PFN_COMPARE_ROWS comparator = nullptr) { m_listResults.SortByColumn(column, comparator); }
    void SetResultChecks(ECheckScope scope, int mode) { m_listResults.SetResultChecks(scope, mode); }
    void OpenSelectedFile(bool openWith) { m_listResults.OpenSelectedFile(openWith); }
    void SaveListAsText() { m_listResults.SaveListAsText(); }
    void ClearStatistics() { m_listResults.ClearStatistics(); }

    // ---- COpenBrowsersHost ----
    HWND GetWarningParent() override { return m_hWnd; }
    bool IsMinimized() override { return m_hWnd && IsIconic(m_hWnd); }
    void StartFlashing() override;
    void ShowSkipText(const std::string& text) override;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    LRESULT OnNotify(NMHDR* header) override;
    void OnTimer(UINT_PTR timerId) override;
    void OnSize(UINT type, int cx, int cy) override;
    // Enter and Escape do nothing: the window closes only through the quit rule.
    void OnOK() override {}
    void OnCancel() override {}
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    bool PreTranslateMessage(MSG& msg) override;

private:
    // Initialisation, in its order.
    void AddAboutToSystemMenu();
    void SetIconAndCategoryBitmaps();
    void CreateStatusBar();
    void PrepareResultsList();
    void RestorePlacement();
    void ShowLastCleaningDate();

    // Layout and placement.
    void LayOutControls(int width, int height);
    void SetStatusParts(int width);
    void KeepMinimumWhileDragging(WPARAM edge, RECT* rect) const;
    void StorePosition();
    void StoreSize(UINT type);

    // Commands.
    bool OnSystemCommand(WPARAM command);
    void ShowHelpMenu();
    void OpenHelpFile();
    void OnOptions();
    void OpenItemsDialog(int category);
    void OnTrayNotify(LPARAM mouseMessage);
    void OnFlashTick();
    void HideToTrayNow();
    void CloseAfterCleaning();

    // The scheduler (MainDlgSchedule.cpp).
    LRESULT OnQueryEndSession(LPARAM how);
    void OnEndSession(bool ending);
    void OnShutdownWaitTick();
    void SetShutdownBlockReason(bool block);
    void OnBrowserWatchTick();
    // Closes the handle of an ended timer thread. A thread still running is told to quit and waited
    // for, unless onlyWhenQuitting and nothing told it to quit.
    void ReapAutoCleanThread(bool onlyWhenQuitting);

    // The run.
    int CollectCheckedItems();
    bool StartScanThread();
    void StartCleanRun();
    bool StartWorker(UINT (*proc)(LPVOID), LPVOID param);
    void WaitForWorkerEnd();
    // The rows of a run.
    // The results list's notifications that come once per row; true when answered (result).
    bool OnRowNotify(const NMHDR* header, LRESULT& result);
    void StartRowStream();
    void StopRowStream();
    void OnRefreshTick();
    void OnAddObject(const CFoundObject* object);
    void OnAddFolder(const char* path);
    void OnRemoveRow(int row);
    void OnScanEnded(bool completed);
    void OnCleanEnding();
    void OnCleanFollowUp(WPARAM how, LPARAM text);
    void OnCleanEnded(bool completed);
    void GoIdle();
    void ResetStopEvent(bool onlyWhenSignalled);
    void FlashWhenMinimized();
    void EmptyRunLists();
    void DeleteAllRows();

    HICON m_hIcon = nullptr;
    HICON m_hSmallIcon = nullptr;
    HACCEL m_hAccel = nullptr;
    HIMAGELIST m_ahCategoryImages[4] = {};  // pictures of the category buttons 1004..1007
    bool m_bTrayIcon = false;
    int m_nRowsAtLastRefresh = -1;
    framework::ScopedKernelHandle m_hWorker;  // the scanning or cleaning thread this window started
    framework::ScopedKernelHandle m_hAutoCleanThread;  // the timer thread this window started
};
