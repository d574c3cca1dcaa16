// The results list of the main window: the five columns and their stored widths, one row per found
// object with its icon and check box, sorting by any column with the column comparators and the
// header mark, the stored sort state, the check commands, opening a listed file, the context menu,
// mouse and keyboard on the list, clearing the statistics, and the text log of the list.
//
// The main window owns the list control (1058) and the status bar (1026); CResultsList is bound to
// both and does the work that CMainDlg's list operations forward to it. The main window passes it
// the list commands (OnCommand) and the list's notifications (OnNotify); these ignore every command
// and mouse/keyboard action while a worker runs (the catalogue's m_bBusy), except the saving of
// column widths. The operations themselves do not test m_bBusy: the main window calls them at the
// ends of runs.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <unordered_map>

#include "engine/FoundObject.h"
#include "framework/Controls.h"
#include "framework/ScopedHandle.h"
#include "ui/ResultComparators.h"
#include "ui/ResultRowTexts.h"

// State images of a row's check box (bitmap 270).
constexpr int kStateUnchecked = 1;
constexpr int kStateChecked = 2;

// Scope and mode of CResultsList::SetResultChecks.
enum class ECheckScope { AllRows, HighlightedRows };
enum ECheckMode { kCheckModeUncheck = 0, kCheckModeCheck = 1, kCheckModeInvert = 2 };

class CResultsList {
public:
    CResultsList() = default;
    ~CResultsList();
    CResultsList(const CResultsList&) = delete;
    CResultsList& operator=(const CResultsList&) = delete;

    // Binds to the list control and the status bar (the status bar may be null until it exists;
    // Attach again then). The list's parent receives the context menu's commands and owns the boxes
    // and dialogs.
    void Attach(HWND list, HWND statusBar);
    framework::CListView& List() { return m_list; }
    HWND GetListHwnd() const { return m_list.GetHwnd(); }

    // ---- set-up (main window initialisation, in its order) ----
    // Deletes every column, then inserts the five columns with their default widths.
    void BuildResultColumns();
    // Applies the stored widths ColWidth0..4 of PreviewListSettings that lie in 1..9999.
    void RestoreColumnWidths();
    // Writes ColWidth<column> when width is not 0 (also while a worker runs).
    void SaveColumnWidth(int column, int width);
    // Full-row select, border select, grid lines unless HideGridlines is 1, and the colours. Called
    // at start and after the options sheet closes.
    void ApplyLook();
    // The system's small-icon image list and the check-box state images (bitmap 270). Shows the
    // warning "无法获取系统图像列表!" and returns false when the system list cannot be had.
    bool AttachImageLists();
    // Sort state at start: the column from LastActiveColumn (0, 1 or 2, else none), the direction
    // from SortAscending (exactly 1), then one SortByColumn on the (empty) list.
    void RestoreSortState();

    // ---- rows ----
    // Appends the row of a found object, unchecked, with the object's index in AllObjsLinkedList as
    // item data, and scrolls it into view (while rows stream in, the scrolling waits for
    // RefreshRowStream). Returns the row's index or -1; an object whose row could not be added has
    // none, and every other row still names its own object.
    int AddResultRow(const CFoundObject& object, int objectIndex);
    bool IsRowChecked(int row) const { return m_list.GetStateImage(row) == kStateChecked; }
    void SetRowChecked(int row, bool checked) { m_list.SetStateImage(row, checked ? kStateChecked : kStateUnchecked); }
    // Rows streaming in from a worker: redraw is off, and the view is brought up to date (the newest
    // row scrolled into view) only by RefreshRowStream, which the main window calls several times a
    // second, and by EndRowStream, which restores normal drawing. Both are harmless when no stream
    // runs.
    void BeginRowStream();
    void RefreshRowStream();
    void EndRowStream();
    bool IsStreaming() const { return m_bStreaming; }

    // ---- sorting ----
    // Sorts by a column in the direction m_bSortAscending, marks the header " (^)" after an
    // ascending sort, stores SortAscending and LastActiveColumn, and flips the direction. comparator
    // is used for columns 0 and 1 only (null: CompareText). Column -1 sorts nothing and stores -1.
    void SortByColumn(int column, PFN_COMPARE_ROWS comparator = nullptr);
    // At the end of every scan or clean: flip the direction, then sort by m_nSortColumn, so the rows
    // come out the way the user last sorted them.
    void ResortAfterRun();

    int m_nSortColumn = -1;        // column of the last sort, -1 for none
    bool m_bSortAscending = true;  // direction of the next SortByColumn; flips after every call

    // ---- commands ----
    void SetResultChecks(ECheckScope scope, int mode);
    // Opens the focused row's file when exactly one row is highlighted and it is an ordinary file;
    // the Open-with dialog when openWith is set or no program is associated.
    void OpenSelectedFile(bool openWith);
    // Status-bar pane 0 "就绪", panes 1..3 empty; the rows stay.
    void ClearStatistics();
    // Refuses more than 50,000 rows (string 206), asks for the file, writes the log.
    void SaveListAsText();
    // Writes the log of the current rows to path; on failure shows the framework's file-error box
    // and returns false.
    bool WriteLogFile(const std::string& path);

    // Commands 226..231 and 242..245 of the context menu and the accelerators; true when id is one
    // of them (also when it was ignored because a worker runs).
    bool OnCommand(WORD id);
    // Notifications of the list (1058) and of its header as they reach the main window: check-box
    // clicks, Space, double-click, right-click, header clicks, divider drags and double-clicks. True
    // when handled; result is then the value for DWLP_MSGRESULT.
    bool OnNotify(const NMHDR* header, LRESULT& result);

    // The context menu "ListCtrlMenu" greyed for a right-click that hit `clickedRow` (-1: none).
    // The returned menu is the loaded menu bar; its pop-up is submenu 0.
    framework::ScopedMenu CreateContextMenu(int clickedRow) const;
    // Right-click at a point of the list's client area: shows the greyed menu there; the chosen
    // command goes to the list's parent as WM_COMMAND.
    void ShowContextMenu(POINT clientPoint);

    // True while a scan or clean runs.
    static bool IsBusy();

    // Seam for tests: the save-file dialog (returns false when cancelled; initialDir may be empty).
    using ChooseSaveFileFn = bool (*)(HWND owner, const std::string& initialDir, std::string& path);
    static void SetChooseSaveFileForTesting(ChooseSaveFileFn fn);  // null restores the real dialog

private:
    HWND Owner() const;
    // The row at a client point when the point is on its icon, label or check box, else -1.
    int RowAt(POINT clientPoint, UINT flags) const;
    int IconIndexFor(const CFoundObject& object);
    bool IsOrdinaryFileRow(int row) const;
    void ApplyCheck(int row, int mode);
    void ToggleCheck(int row);
    void SortRows(int column, PFN_COMPARE_ROWS comparator, bool ascending);
    void SetColumnMark(int column, bool marked);
    bool OnListNotify(const NMHDR* header);
    bool OnHeaderNotify(const NMHDR* header);

    framework::CListView m_list;
    framework::CStatusBar m_statusBar;
    std::unordered_map<std::string, int> m_iconByExtension;  // system image list index by extension
    HIMAGELIST m_hStateImages = nullptr;  // ours: the list shares its image lists (the system's too)
    bool m_bStreaming = false;
};
