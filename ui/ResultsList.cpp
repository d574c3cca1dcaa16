#include "ui/ResultsList.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <unordered_map>
#include <vector>

#include "app/CleanerApp.h"
#include "app/Utilities.h"
#include "catalogue/ModList.h"
#include "catalogue/PathVars.h"
#include "engine/RunReport.h"
#include "framework/FileErrorBox.h"
#include "framework/MbString.h"
#include "resource.h"
#include "ui/ResultsLog.h"

namespace {

struct CColumnDef {
    const char* m_pszTitle;
    int m_nWidth;
    int m_nFormat;
};
const CColumnDef kColumns[kResultColumnCount] = {
    {"已找到的对象", 350, LVCFMT_LEFT}, {"对象类型", 85, LVCFMT_RIGHT}, {"大小", 75, LVCFMT_RIGHT},
    {"最后访问", 100, LVCFMT_RIGHT},    {"最后修改", 125, LVCFMT_RIGHT},
};

const COLORREF kBackgroundColour = RGB(252, 252, 252);
const COLORREF kTextColour = RGB(0, 0, 58);
const COLORREF kTextBackgroundColour = RGB(247, 247, 247);

const char kSortMark[] = " (^)";
const char kReadyText[] = "就绪";
const int kMaxCellBytes = 4096;
const int kMaxTitleBytes = 260;
const UINT kOnRowFlags = LVHT_ONITEMICON | LVHT_ONITEMLABEL | LVHT_ONITEMSTATEICON;

bool ChooseSaveFile(HWND owner, const std::string& initialDir, std::string& path)
{
    char file[MAX_PATH] = "ScanLog";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = "文本文件 (*.txt)\0*.txt\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    ofn.lpstrDefExt = "txt";
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_ENABLESIZING;
    if (!GetSaveFileNameA(&ofn)) return false;
    path = file;
    return true;
}

CResultsList::ChooseSaveFileFn g_chooseSaveFile = ChooseSaveFile;

// The name whose shell icon a row shows: the file itself, a text file for cookies, the registry
// editor for registry rows. With SHGFI_USEFILEATTRIBUTES the name need not exist.
std::string IconSourceName(const CFoundObject& object)
{
    switch (object.m_nKind) {
    case kObjCookie:
        return "Text.txt";
    case kObjRegKey:
    case kObjRegValue: {
        static const std::string regedit = [] {
            std::string path;
            ResolvePathVar("%WindowsDir%\\regedit.exe", path, "\\", true);
            return path;
        }();
        return regedit;
    }
    default:
        return object.m_strPath;
    }
}

// Index of a name's small icon in the system image list. With SHGFI_USEFILEATTRIBUTES the shell
// looks at nothing but the name's extension.
int ShellIconIndex(const std::string& name)
{
    SHFILEINFOA info = {};
    if (!SHGetFileInfoA(name.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES))
        return 0;
    if (info.hIcon) DestroyIcon(info.hIcon);
    return info.iIcon;
}

void SetItemData(HWND list, int item, LPARAM data)
{
    LVITEMA lvi = {};
    lvi.mask = LVIF_PARAM;
    lvi.iItem = item;
    lvi.lParam = data;
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&lvi));
}

// One sort run: the comparators see the rows' positions before the sort, whatever the control
// passes. The control's parameter-based sort hands over item data, which names a row for as long
// as every row's item data differs (the main window numbers its rows); otherwise the rows are
// numbered for the time of the sort.
struct CSortRun {
    PFN_COMPARE_ROWS m_pfnCompare;
    CSortInfo* m_pInfo;
    std::unordered_map<LPARAM, LPARAM> m_positionOfData;

    static int CALLBACK ByItemData(LPARAM data1, LPARAM data2, LPARAM run)
    {
        auto* self = reinterpret_cast<CSortRun*>(run);
        return self->m_pfnCompare(self->m_positionOfData[data1], self->m_positionOfData[data2],
                                  reinterpret_cast<LPARAM>(self->m_pInfo));
    }
    static int CALLBACK ByPosition(LPARAM position1, LPARAM position2, LPARAM run)
    {
        auto* self = reinterpret_cast<CSortRun*>(run);
        return self->m_pfnCompare(position1, position2, reinterpret_cast<LPARAM>(self->m_pInfo));
    }
};

// The extension, upper-cased, that selects a name's icon ("" for none).
std::string IconKey(const std::string& name)
{
    std::string key = PathFindExtensionA(name.c_str());
    if (!key.empty()) CharUpperBuffA(&key[0], static_cast<DWORD>(key.size()));
    return key;
}

bool TitleEndsWithMarkCharacter(const std::string& title)
{
    return framework::MbsEndsWith(title, "(") || framework::MbsEndsWith(title, ")") ||
           framework::MbsEndsWith(title, "^") || framework::MbsEndsWith(title, " ");
}

}  // namespace

CResultsList::~CResultsList()
{
    if (!m_hStateImages) return;
    if (m_list && IsWindow(m_list.GetHwnd())) m_list.SetImageList(nullptr, LVSIL_STATE);
    ImageList_Destroy(m_hStateImages);
}

void CResultsList::Attach(HWND list, HWND statusBar)
{
    m_list.Attach(list);
    m_statusBar.Attach(statusBar);
}

HWND CResultsList::Owner() const
{
    HWND parent = m_list ? GetParent(m_list.GetHwnd()) : nullptr;
    return parent ? parent : GetMainWindow();
}

bool CResultsList::IsBusy()
{
    return g_theScanningThreadsParam.m_bBusy;
}

void CResultsList::SetChooseSaveFileForTesting(ChooseSaveFileFn fn)
{
    g_chooseSaveFile = fn ? fn : ChooseSaveFile;
}

// ------------------------------------------------------------------ set-up

void CResultsList::BuildResultColumns()
{
    for (int column = m_list.GetColumnCount() - 1; column >= 0; --column) m_list.DeleteColumn(column);
    for (int column = 0; column < kResultColumnCount; ++column)
        m_list.InsertColumn(column, kColumns[column].m_pszTitle, kColumns[column].m_nWidth, kColumns[column].m_nFormat);
}

void CResultsList::RestoreColumnWidths()
{
    for (int column = 0; column < kResultColumnCount; ++column) {
        DWORD width = 0;
        TheSettings().ReadDword(framework::Format("ColWidth%d", column).c_str(), width, kPreviewListSubkey);
        if (width >= 1 && width <= 9999) m_list.SetColumnWidth(column, static_cast<int>(width));
    }
}

void CResultsList::SaveColumnWidth(int column, int width)
{
    if (width == 0) return;
    TheSettings().WriteDword(framework::Format("ColWidth%d", column).c_str(), static_cast<DWORD>(width),
                             kPreviewListSubkey);
}

void CResultsList::ApplyLook()
{
    const DWORD styles = LVS_EX_FULLROWSELECT | LVS_EX_BORDERSELECT | LVS_EX_GRIDLINES;
    DWORD wanted = LVS_EX_FULLROWSELECT | LVS_EX_BORDERSELECT;
    if (TheSettings().ReadOption(kOptHideGridlines) != 1) wanted |= LVS_EX_GRIDLINES;
    m_list.SetExtendedStyle(styles, wanted);
    m_list.SetBkColor(kBackgroundColour);
    m_list.SetTextColor(kTextColour);
    m_list.SetTextBkColor(kTextBackgroundColour);
}

bool CResultsList::AttachImageLists()
{
    // The system image list belongs to the shell and the state images to us: the list must not
    // destroy either when it goes.
    HWND list = m_list.GetHwnd();
    SetWindowLongPtrA(list, GWL_STYLE, GetWindowLongPtrA(list, GWL_STYLE) | LVS_SHAREIMAGELISTS);

    SHFILEINFOA info = {};
    auto system = reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(
        "", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
    if (system)
        m_list.SetImageList(system, LVSIL_SMALL);
    else
        MessageBoxA(Owner(), "无法获取系统图像列表!", "错误", MB_OK | MB_ICONWARNING);

    if (!m_hStateImages)
        m_hStateImages = ImageList_LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_CHECKBOXES), 16, 1,
                                              RGB(0, 0, 255), IMAGE_BITMAP, 0);  // a DIB section garbles this 8-bit bitmap under Wine
    if (m_hStateImages) m_list.SetImageList(m_hStateImages, LVSIL_STATE);
    return system != nullptr;
}

void CResultsList::RestoreSortState()
{
    const int column = static_cast<int>(TheSettings().ReadOption(kOptLastActiveColumn));
    m_nSortColumn = column >= 0 && column <= 2 ? column : -1;
    m_bSortAscending = TheSettings().ReadOption(kOptSortAscending) == 1;
    SortByColumn(m_nSortColumn);
}

// ------------------------------------------------------------------ rows

int CResultsList::AddResultRow(const CFoundObject& object, int objectIndex)
{
    const CResultRowTexts texts = ResultRowTexts(object);
    const int row = m_list.InsertItem(m_list.GetItemCount(), texts.m_astrCells[kColObject], IconIndexFor(object),
                                      kStateUnchecked, objectIndex);
    if (row < 0) return -1;
    for (int column = kColType; column < kResultColumnCount; ++column)
        m_list.SetItemText(row, column, texts.m_astrCells[column]);
    if (!m_bStreaming) m_list.EnsureVisible(row, false);
    return row;
}

int CResultsList::IconIndexFor(const CFoundObject& object)
{
    // Asking the shell costs about a third of a millisecond per name under Wine, most of the time
    // of adding a row; the answer depends on the extension alone, so it is asked once per extension.
    const std::string name = IconSourceName(object);
    const std::string key = IconKey(name);
    auto known = m_iconByExtension.find(key);
    if (known != m_iconByExtension.end()) return known->second;
    const int index = ShellIconIndex(name);
    m_iconByExtension.emplace(key, index);
    return index;
}

void CResultsList::BeginRowStream()
{
    if (m_bStreaming) return;
    m_bStreaming = true;
    SendMessageA(m_list.GetHwnd(), WM_SETREDRAW, FALSE, 0);
}

void CResultsList::RefreshRowStream()
{
    if (!m_bStreaming) return;
    HWND list = m_list.GetHwnd();
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    const int count = m_list.GetItemCount();
    if (count > 0) m_list.EnsureVisible(count - 1, false);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
}

void CResultsList::EndRowStream()
{
    if (!m_bStreaming) return;
    m_bStreaming = false;
    HWND list = m_list.GetHwnd();
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    const int count = m_list.GetItemCount();
    if (count > 0) m_list.EnsureVisible(count - 1, false);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

// ------------------------------------------------------------------ sorting

void CResultsList::SortByColumn(int column, PFN_COMPARE_ROWS comparator)
{
    const bool ascending = m_bSortAscending;
    if (column >= 0 && column < m_list.GetColumnCount()) {
        PFN_COMPARE_ROWS compare = comparator ? comparator : CompareText;
        if (column == kColSize) compare = CompareSize;
        if (column == kColAccessed) compare = CompareDate;
        if (column == kColModified) compare = CompareDateTime;
        SortRows(column, compare, ascending);
        SetColumnMark(column, ascending);
    }
    TheSettings().WriteDword(kOptSortAscending, ascending ? 1 : 0);
    m_bSortAscending = !m_bSortAscending;
    if (m_nSortColumn != column && m_nSortColumn >= 0 && m_nSortColumn < m_list.GetColumnCount())
        SetColumnMark(m_nSortColumn, false);
    m_nSortColumn = column;
    TheSettings().WriteDword(kOptLastActiveColumn, static_cast<DWORD>(column));
}

void CResultsList::ResortAfterRun()
{
    m_bSortAscending = !m_bSortAscending;
    SortByColumn(m_nSortColumn);
}

void CResultsList::SortRows(int column, PFN_COMPARE_ROWS comparator, bool ascending)
{
    const int count = m_list.GetItemCount();
    if (count < 2) return;

    CSortInfo info;
    info.m_nColumn = column;
    info.m_pList = &m_list;
    info.m_bAscending = ascending;
    info.m_astrTexts.reserve(static_cast<size_t>(count));
    std::vector<LPARAM> itemData(static_cast<size_t>(count));
    CSortRun run{comparator, &info, {}};
    run.m_positionOfData.reserve(static_cast<size_t>(count));
    bool distinct = true;
    for (int row = 0; row < count; ++row) {
        info.m_astrTexts.push_back(m_list.GetItemText(row, column, kMaxCellBytes));
        itemData[static_cast<size_t>(row)] = m_list.GetItemData(row);
        distinct = distinct && run.m_positionOfData.emplace(itemData[static_cast<size_t>(row)], row).second;
    }

    HWND list = m_list.GetHwnd();
    if (distinct) {
        SendMessageA(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&run), reinterpret_cast<LPARAM>(&CSortRun::ByItemData));
        return;
    }
    for (int row = 0; row < count; ++row) SetItemData(list, row, row);
    SendMessageA(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&run), reinterpret_cast<LPARAM>(&CSortRun::ByPosition));
    for (int row = 0; row < count; ++row)
        SetItemData(list, row, itemData[static_cast<size_t>(m_list.GetItemData(row))]);
}

void CResultsList::SetColumnMark(int column, bool marked)
{
    std::string title = m_list.GetColumnTitle(column, kMaxTitleBytes);
    while (!title.empty() && TitleEndsWithMarkCharacter(title)) title.erase(title.size() - 1);
    if (marked) title += kSortMark;
    m_list.SetColumnTitle(column, title);
}

// ------------------------------------------------------------------ commands

void CResultsList::ApplyCheck(int row, int mode)
{
    switch (mode) {
    case kCheckModeUncheck:
        SetRowChecked(row, false);
        break;
    case kCheckModeCheck:
        SetRowChecked(row, true);
        break;
    case kCheckModeInvert:
        ToggleCheck(row);
        break;
    default:
        break;
    }
}

void CResultsList::ToggleCheck(int row)
{
    SetRowChecked(row, !IsRowChecked(row));
}

void CResultsList::SetResultChecks(ECheckScope scope, int mode)
{
    const int count = m_list.GetItemCount();
    if (scope == ECheckScope::AllRows) {
        // One repaint at the end instead of one per row.
        const bool redrawOff = !m_bStreaming;
        if (redrawOff) SendMessageA(m_list.GetHwnd(), WM_SETREDRAW, FALSE, 0);
        for (int row = 0; row < count; ++row) ApplyCheck(row, mode);
        if (redrawOff) m_list.SetRedraw(true);
        return;
    }
    for (int row = m_list.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = m_list.GetNextItem(row, LVNI_SELECTED)) {
        ApplyCheck(row, mode);
        if (count == 1) break;
    }
}

bool CResultsList::IsOrdinaryFileRow(int row) const
{
    return row >= 0 && m_list.GetItemText(row, kColType, kMaxCellBytes) == kOrdinaryFileText;
}

void CResultsList::OpenSelectedFile(bool openWith)
{
    const int focused = m_list.GetNextItem(-1, LVNI_FOCUSED);
    if (focused < 0 || m_list.GetSelectedCount() != 1 || !IsOrdinaryFileRow(focused)) return;
    const std::string path = m_list.GetItemText(focused, kColObject, kMaxCellBytes);

    if (!openWith) {
        HINSTANCE result = ShellExecuteThroughSeam(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        if (reinterpret_cast<INT_PTR>(result) != SE_ERR_NOASSOC) return;
    }
    const std::string parameters = "shell32.dll,OpenAs_RunDLL " + path;
    ShellExecuteThroughSeam(nullptr, "open", "rundll32.exe", parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

void CResultsList::ClearStatistics()
{
    m_statusBar.SetText(0, kReadyText);
    for (int part = 1; part <= 3; ++part) m_statusBar.SetText(part, "", StatusPartStyle(part));
}

void CResultsList::SaveListAsText()
{
    const int count = m_list.GetItemCount();
    if (count == 0) return;
    if (count > kMaxLogRows) {
        ShowInfoBox(IDS_LOG_TOO_MANY_ROWS);
        return;
    }
    std::string documents;
    if (!ResolvePathVar("%PersonalData%", documents)) documents.clear();
    std::string path;
    if (!g_chooseSaveFile(Owner(), documents, path)) return;
    WriteLogFile(path);
}

bool CResultsList::WriteLogFile(const std::string& path)
{
    framework::ScopedKernelHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        framework::ShowFileErrorBox(Owner(), GetLastError(), path, LoadResString(IDS_APP_CAPTION));
        return false;
    }

    // Written in blocks: a failure ends the save and leaves what was written in the file.
    std::string block;
    auto flush = [&]() {
        DWORD written = 0;
        if (block.empty()) return true;
        if (!WriteFile(file.Get(), block.data(), static_cast<DWORD>(block.size()), &written, nullptr) ||
            written != block.size()) {
            framework::ShowFileErrorBox(Owner(), GetLastError(), path, LoadResString(IDS_APP_CAPTION));
            return false;
        }
        block.clear();
        return true;
    };

    block = LogHeader(LogDateTime(_time64(nullptr)), m_statusBar.GetText(1), m_statusBar.GetText(3),
                      m_statusBar.GetText(2));
    const int count = m_list.GetItemCount();
    for (int row = 0; row < count; ++row) {
        block += LogRowLine(m_list.GetItemText(row, kColType, kMaxCellBytes),
                            m_list.GetItemText(row, kColObject, kMaxCellBytes),
                            m_list.GetItemText(row, kColSize, kMaxCellBytes));
        if (block.size() >= 64 * 1024 && !flush()) return false;
    }
    block += LogFooter();
    return flush();
}

bool CResultsList::OnCommand(WORD id)
{
    switch (id) {
    case ID_LIST_CHECK_ALL:
    case ID_LIST_UNCHECK_ALL:
    case ID_LIST_INVERT_ALL:
    case ID_LIST_CHECK_HIGHLIGHTED:
    case ID_LIST_UNCHECK_HIGHLIGHTED:
    case ID_LIST_INVERT_HIGHLIGHTED:
    case ID_LIST_CLEAR_STATS:
    case ID_LIST_SAVE_TEXT:
    case ID_LIST_OPEN:
    case ID_LIST_OPEN_WITH:
        break;
    default:
        return false;
    }
    if (IsBusy()) return true;
    switch (id) {
    case ID_LIST_CHECK_ALL:
        SetResultChecks(ECheckScope::AllRows, kCheckModeCheck);
        break;
    case ID_LIST_UNCHECK_ALL:
        SetResultChecks(ECheckScope::AllRows, kCheckModeUncheck);
        break;
    case ID_LIST_INVERT_ALL:
        SetResultChecks(ECheckScope::AllRows, kCheckModeInvert);
        break;
    case ID_LIST_CHECK_HIGHLIGHTED:
        SetResultChecks(ECheckScope::HighlightedRows, kCheckModeCheck);
        break;
    case ID_LIST_UNCHECK_HIGHLIGHTED:
        SetResultChecks(ECheckScope::HighlightedRows, kCheckModeUncheck);
        break;
    case ID_LIST_INVERT_HIGHLIGHTED:
        SetResultChecks(ECheckScope::HighlightedRows, kCheckModeInvert);
        break;
    case ID_LIST_CLEAR_STATS:
        ClearStatistics();
        break;
    case ID_LIST_SAVE_TEXT:
        SaveListAsText();
        break;
    case ID_LIST_OPEN:
        OpenSelectedFile(false);
        break;
    case ID_LIST_OPEN_WITH:
        OpenSelectedFile(true);
        break;
    default:
        break;
    }
    return true;
}

// ------------------------------------------------------------------ mouse, keyboard, menu

int CResultsList::RowAt(POINT clientPoint, UINT flags) const
{
    LVHITTESTINFO hit = {};
    hit.pt = clientPoint;
    const int row = m_list.HitTest(hit);
    return row >= 0 && (hit.flags & flags) ? row : -1;
}

framework::ScopedMenu CResultsList::CreateContextMenu(int clickedRow) const
{
    framework::ScopedMenu menu(LoadMenuA(GetModuleHandleA(nullptr), IDR_LIST_MENU));
    HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup) return menu;
    const UINT saveState = m_list.GetItemCount() == 0 ? MF_GRAYED : MF_ENABLED;
    EnableMenuItem(popup, ID_LIST_SAVE_TEXT, MF_BYCOMMAND | saveState);
    const bool canOpen = clickedRow >= 0 && m_list.GetSelectedCount() == 1 && IsOrdinaryFileRow(clickedRow);
    const UINT openState = canOpen ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(popup, ID_LIST_OPEN, MF_BYCOMMAND | openState);
    EnableMenuItem(popup, ID_LIST_OPEN_WITH, MF_BYCOMMAND | openState);
    return menu;
}

void CResultsList::ShowContextMenu(POINT clientPoint)
{
    framework::ScopedMenu menu = CreateContextMenu(RowAt(clientPoint, kOnRowFlags));
    HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup) return;
    POINT screen = clientPoint;
    ClientToScreen(m_list.GetHwnd(), &screen);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, Owner(), nullptr);
}

bool CResultsList::OnNotify(const NMHDR* header, LRESULT& result)
{
    if (!header || !m_list) return false;
    result = 0;
    if (header->hwndFrom == m_list.GetHwnd()) return OnListNotify(header);
    if (header->hwndFrom == m_list.GetHeader()) return OnHeaderNotify(header);
    return false;
}

bool CResultsList::OnListNotify(const NMHDR* header)
{
    switch (header->code) {
    case NM_CLICK: {
        if (IsBusy()) return true;
        const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(header);
        const int row = RowAt(activate->ptAction, LVHT_ONITEMSTATEICON);
        if (row >= 0) ToggleCheck(row);
        return true;
    }
    case NM_DBLCLK: {
        if (IsBusy()) return true;
        const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(header);
        if (RowAt(activate->ptAction, LVHT_ONITEMICON | LVHT_ONITEMLABEL) >= 0 && m_list.GetSelectedCount() == 1)
            OnCommand(ID_LIST_OPEN);
        return true;
    }
    case NM_RCLICK:
        if (!IsBusy()) ShowContextMenu(reinterpret_cast<const NMITEMACTIVATE*>(header)->ptAction);
        return true;
    case LVN_KEYDOWN: {
        if (IsBusy()) return true;
        if (reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == VK_SPACE) {
            const int focused = m_list.GetNextItem(-1, LVNI_FOCUSED);
            if (focused >= 0) ToggleCheck(focused);
        }
        return true;
    }
    case LVN_COLUMNCLICK:
        if (!IsBusy()) SortByColumn(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
        return true;
    default:
        return false;
    }
}

bool CResultsList::OnHeaderNotify(const NMHDR* header)
{
    // Column widths are saved even while a worker runs.
    switch (header->code) {
    case HDN_ENDTRACKA:
    case HDN_ENDTRACKW: {
        const auto* notify = reinterpret_cast<const NMHEADERA*>(header);
        if (notify->pitem && (notify->pitem->mask & HDI_WIDTH)) SaveColumnWidth(notify->iItem, notify->pitem->cxy);
        return true;
    }
    case HDN_DIVIDERDBLCLICKA:
    case HDN_DIVIDERDBLCLICKW: {
        const auto* notify = reinterpret_cast<const NMHEADERA*>(header);
        SaveColumnWidth(notify->iItem, m_list.GetColumnWidth(notify->iItem));
        return true;
    }
    default:
        return false;
    }
}
