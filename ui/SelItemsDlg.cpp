#include "ui/SelItemsDlg.h"

#include <iterator>

#include "app/CleanerApp.h"
#include "app/Utilities.h"
#include "catalogue/ModList.h"
#include "framework/MbString.h"
#include "resource.h"
#include "ui/ResultsList.h"
#include "ui/WarningMsgDlg.h"

namespace {

// One row of the overview: a sub-category's text and its image in the item image list.
struct CSubCategoryRow {
    const char* m_pszText;
    int m_nImage;
};
const CSubCategoryRow kWindowsRows[] = {{"Windows 资源管理器", 11}, {"系统", 31}, {"高级", 10}};
const CSubCategoryRow kInternetRows[] = {
    {"Internet Explorer", 14}, {"Netscape Navigator", 16}, {"Mozilla Firefox", 17}, {"Opera", 30}};
const CSubCategoryRow kApplicationRows[] = {
    {"应用程序", 12}, {"Internet 相关", 12}, {"多媒体", 12}, {"其他", 12}, {"Windows 应用程序", 12}};
const CSubCategoryRow kCustomRows[] = {{"常规", 15}};
struct CCategoryRows {
    const CSubCategoryRow* m_pRows;
    int m_nCount;
};
const CCategoryRows kCategoryRows[] = {
    {kWindowsRows, static_cast<int>(std::size(kWindowsRows))},
    {kInternetRows, static_cast<int>(std::size(kInternetRows))},
    {kApplicationRows, static_cast<int>(std::size(kApplicationRows))},
    {kCustomRows, static_cast<int>(std::size(kCustomRows))},
};

const char kColumnTitle[] = "该类别中需要清理的项目";
constexpr int kColumnWidth = 301;
constexpr COLORREF kBackgroundColour = RGB(249, 249, 249);
constexpr COLORREF kTextColour = RGB(0, 0, 90);
constexpr COLORREF kTextBackgroundColour = RGB(240, 240, 240);

constexpr int kImageSize = 16;
constexpr int kImageGrowth = 32;
constexpr COLORREF kItemImageMask = RGB(255, 255, 255);
constexpr COLORREF kStateImageMask = RGB(0, 0, 255);
const char kImageLoadFailed[] = "无法为该列表视图空间载入某些图像!";
const char kImageLoadCaption[] = "图像...";

// Titles reach the list through a buffer of 256 bytes; a longer plug-in title is cut at a
// character boundary instead of in the middle of a double-byte character.
constexpr size_t kMaxRowTextBytes = 255;

const UINT kOnRowFlags = LVHT_ONITEMICON | LVHT_ONITEMLABEL;

}  // namespace

CSelItemsDlg::CSelItemsDlg(CModList* pModList, HWND parent)
    : CDialog(IDD_SEL_ITEMS, parent ? parent : GetMainWindow()), m_pApp(&TheApp()), m_pModList(pModList)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    m_hAccel = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ITEMS_ACCEL));
    for (int i = 0; i < static_cast<int>(std::size(m_aNavBitmaps)); ++i)
        m_aNavBitmaps[i].Reset(static_cast<HBITMAP>(
            LoadImageA(instance, MAKEINTRESOURCEA(IDB_NAV_BACK_ON + i), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
}

CSelItemsDlg::~CSelItemsDlg()
{
    // The list shares the image lists: the window goes first, then the lists.
    if (m_hWnd) DestroyWindow(m_hWnd);
    if (m_imgItems) ImageList_Destroy(m_imgItems);
    if (m_imgStates) ImageList_Destroy(m_imgStates);
    if (m_hAccel) DestroyAcceleratorTable(m_hAccel);
}

// ---------------------------------------------------------------- initialisation

BOOL CSelItemsDlg::OnInitDialog()
{
    SetWindowTextA(m_hWnd, m_strCaption.c_str());
    m_listItems.Attach(m_hWnd, IDC_ITEMS_LIST);
    CreateImageLists();
    PrepareList();
    ShowOverview();
    UpdateNavButtons();
    m_strHint = LoadResString(IDS_ITEMS_HINT);
    m_strDescText = LoadResString(IDS_DESCRIPTION_HINT);
    RefreshTexts();
    UpdateOverviewChecks();
    UpdateCustomControls();
    SetTimer(m_hWnd, IDT_CUSTOM_ITEMS_WARNING, kCustomItemsWarningDelayMs, nullptr);
    return TRUE;
}

void CSelItemsDlg::CreateImageLists()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    m_imgItems = ImageList_Create(kImageSize, kImageSize, ILC_COLOR16 | ILC_MASK, 0, kImageGrowth);
    // Image k is bitmap 200 + k; a bitmap that fails is reported and the others still come.
    for (int id = IDB_ITEM_IMAGE_FIRST; id <= IDB_ITEM_IMAGE_LAST; ++id) {
        HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
        const int added = bitmap && m_imgItems ? ImageList_AddMasked(m_imgItems, bitmap, kItemImageMask) : -1;
        if (bitmap) DeleteObject(bitmap);
        if (added < 0) MessageBoxA(m_hWnd, kImageLoadFailed, kImageLoadCaption, MB_OK | MB_ICONINFORMATION);
    }
    // Loaded as a device bitmap: a DIB section garbles an 8-bit bitmap under Wine.
    m_imgStates = ImageList_LoadImageA(instance, MAKEINTRESOURCEA(IDB_ITEM_STATES), kImageSize, 1, kStateImageMask,
                                       IMAGE_BITMAP, 0);
}

void CSelItemsDlg::PrepareList()
{
    m_listItems.InsertColumn(0, kColumnTitle, kColumnWidth, LVCFMT_LEFT);
    const DWORD look = LVS_EX_FULLROWSELECT | LVS_EX_BORDERSELECT;
    m_listItems.SetExtendedStyle(look, look);
    m_listItems.SetBkColor(kBackgroundColour);
    m_listItems.SetTextColor(kTextColour);
    m_listItems.SetTextBkColor(kTextBackgroundColour);
    m_listItems.SetImageList(m_imgItems, LVSIL_SMALL);
    m_listItems.SetImageList(m_imgStates, LVSIL_STATE);
}

// ---------------------------------------------------------------- the two modes

void CSelItemsDlg::ShowOverview()
{
    m_listItems.DeleteAllItems();
    if (m_nCategory < 0 || m_nCategory >= static_cast<int>(std::size(kCategoryRows))) return;
    const CCategoryRows& rows = kCategoryRows[m_nCategory];
    for (int sub = 0; sub < rows.m_nCount; ++sub)
        m_listItems.InsertItem(sub, rows.m_pRows[sub].m_pszText, rows.m_pRows[sub].m_nImage, kItemStateUnchecked, sub);
}

void CSelItemsDlg::ShowSubCategory(int subCategory)
{
    m_listItems.DeleteAllItems();
    int row = 0;
    for (int i = 0; i < m_pModList->m_nCount; ++i) {
        const CModItem& item = *m_pModList->GetAt(i);
        if (!IsInShownSubCategory(item.m_nReference, subCategory)) continue;
        m_listItems.InsertItem(row++, framework::MbsTruncate(item.m_strTitle, kMaxRowTextBytes), item.m_nImage,
                               kItemStateUnchecked, item.m_nId);
    }
}

void CSelItemsDlg::OpenSubCategory(int subCategory)
{
    if (!m_bOverview) return;
    m_bOverview = false;
    ShowSubCategory(subCategory);
    LoadItemChecks(true);
    UpdateNavButtons();
    UpdateCustomControls();
}

void CSelItemsDlg::GoBack()
{
    if (m_bOverview) return;
    m_bOverview = true;
    ShowOverview();
    UpdateOverviewChecks();
    m_strDescText.clear();
    RefreshTexts();
    UpdateNavButtons();
    UpdateCustomControls();
}

bool CSelItemsDlg::IsInShownSubCategory(int reference, int subCategory) const
{
    return CategoryOf(reference) == m_nCategory && SubCategoryOf(reference) == subCategory;
}

// ---------------------------------------------------------------- checks

bool CSelItemsDlg::IsItemChecked(int id) const
{
    DWORD value = 0;
    return m_pApp->m_Settings.ReadDword(CSettingsStore::ItemStateName(id).c_str(), value, m_strStatesKey.c_str()) ==
               ERROR_SUCCESS &&
           value == 1;
}

void CSelItemsDlg::WriteItemState(int id, bool checked) const
{
    m_pApp->m_Settings.WriteDword(CSettingsStore::ItemStateName(id).c_str(), checked ? 1 : 0, m_strStatesKey.c_str());
}

bool CSelItemsDlg::IsRowChecked(int row) const
{
    const int state = m_listItems.GetStateImage(row);
    return state == kItemStateChecked || state == kItemStateMixed;
}

void CSelItemsDlg::LoadItemChecks(bool load)
{
    // Without the key the rows stay as they are, and nothing is written.
    const std::string key = "HKCU\\" + m_pApp->m_Settings.m_strRootKey + "\\" + m_strStatesKey;
    if (!CSettingsStore::KeyExists(key)) return;
    for (int row = 0; row < m_listItems.GetItemCount(); ++row) {
        const int id = static_cast<int>(m_listItems.GetItemData(row));
        if (load)
            SetRowState(row, IsItemChecked(id) ? kItemStateChecked : kItemStateUnchecked);
        else
            WriteItemState(id, IsRowChecked(row));
    }
}

void CSelItemsDlg::UpdateOverviewChecks()
{
    if (!m_bOverview) return;
    for (int row = 0; row < m_listItems.GetItemCount(); ++row) {
        const int subCategory = static_cast<int>(m_listItems.GetItemData(row));
        int total = 0;
        int checked = 0;
        for (int i = 0; i < m_pModList->m_nCount; ++i) {
            const CModItem& item = *m_pModList->GetAt(i);
            if (!IsInShownSubCategory(item.m_nReference, subCategory)) continue;
            ++total;
            if (IsItemChecked(item.m_nId)) ++checked;
        }
        int state = kItemStateUnchecked;
        if (total > 0 && checked == total)
            state = kItemStateChecked;
        else if (checked > 0)
            state = kItemStateMixed;
        SetRowState(row, state);
    }
}

void CSelItemsDlg::SetSubCategoryState(int subCategory, bool checked)
{
    for (int i = 0; i < m_pModList->m_nCount; ++i) {
        const CModItem& item = *m_pModList->GetAt(i);
        if (IsInShownSubCategory(item.m_nReference, subCategory)) WriteItemState(item.m_nId, checked);
    }
}

void CSelItemsDlg::ToggleRow(int row)
{
    // A mixed row counts as checked, so it becomes unchecked.
    const bool checked = !IsRowChecked(row);
    SetRowState(row, checked ? kItemStateChecked : kItemStateUnchecked);
    const int data = static_cast<int>(m_listItems.GetItemData(row));
    if (m_bOverview) {
        SetSubCategoryState(data, checked);
        return;
    }
    WriteItemState(data, checked);
    if (checked) WarnIfNeeded(data);
    ShowDescription(row);
}

void CSelItemsDlg::SetChecks(bool allRows, int mode)
{
    const int count = m_listItems.GetItemCount();
    auto apply = [&](int row) {
        const bool checked = mode == kCheckModeInvert ? !IsRowChecked(row) : mode == kCheckModeCheck;
        const int data = static_cast<int>(m_listItems.GetItemData(row));
        if (m_bOverview)
            SetSubCategoryState(data, checked);
        else
            SetRowState(row, checked ? kItemStateChecked : kItemStateUnchecked);
        if (!checked) return;
        m_listItems.EnsureVisible(row, false);
        // Checking several warned items shows their warnings one after the other.
        if (!m_bOverview) WarnIfNeeded(data);
    };
    if (allRows) {
        for (int row = 0; row < count; ++row) apply(row);
    } else {
        for (int row = m_listItems.GetNextItem(-1, LVNI_SELECTED); row >= 0;
             row = m_listItems.GetNextItem(row, LVNI_SELECTED)) {
            apply(row);
            if (count == 1) break;
        }
    }
    if (m_bOverview)
        UpdateOverviewChecks();
    else
        LoadItemChecks(false);
}

// ---------------------------------------------------------------- texts, warnings, controls

void CSelItemsDlg::RefreshTexts()
{
    SetDlgItemTextA(m_hWnd, IDC_HINT, m_strHint.c_str());
    SetDlgItemTextA(m_hWnd, IDC_ITEM_DESCRIPTION, m_strDescText.c_str());
}

void CSelItemsDlg::ShowDescription(int row)
{
    if (row < 0 || row >= m_listItems.GetItemCount()) return;
    const CModItem* item = m_pModList->FindById(static_cast<int>(m_listItems.GetItemData(row)));
    if (!item) return;
    m_strDescText = item->m_strDescription.empty() ? LoadResString(IDS_NO_DESCRIPTION) : item->m_strDescription;
    RefreshTexts();
}

void CSelItemsDlg::WarnIfNeeded(int id)
{
    if (m_pApp->m_Settings.ReadBool(kOptHideWarningMsgs)) return;
    const CModItem* item = m_pModList->FindById(id);
    if (!item || !item->m_bIsPlugin || !item->m_PlugData.m_bHasWarning) return;
    const std::string text = framework::Format(LoadResString(IDS_ITEM_WARNING).c_str(), item->m_strTitle.c_str(),
                                               item->m_PlugData.m_strWarningText.c_str());
    MessageBoxA(m_hWnd, text.c_str(), LoadResString(IDS_APP_CAPTION).c_str(), MB_OK | MB_ICONWARNING);
}

HBITMAP CSelItemsDlg::NavBitmap(int bitmapId) const
{
    const int index = bitmapId - IDB_NAV_BACK_ON;
    return index >= 0 && index < static_cast<int>(std::size(m_aNavBitmaps)) ? m_aNavBitmaps[index].Get() : nullptr;
}

void CSelItemsDlg::SetNavImage(int buttonId, int bitmapId)
{
    SendDlgItemMessageA(m_hWnd, buttonId, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(NavBitmap(bitmapId)));
}

void CSelItemsDlg::UpdateNavButtons()
{
    SetNavImage(IDC_ITEMS_BACK, m_bOverview ? IDB_NAV_BACK_OFF : IDB_NAV_BACK_ON);
    SetNavImage(IDC_ITEMS_FORWARD, m_bOverview ? IDB_NAV_FORWARD_ON : IDB_NAV_FORWARD_OFF);
}

// ---------------------------------------------------------------- commands and keys

bool CSelItemsDlg::OnCommand(WORD id, WORD code, HWND control)
{
    switch (id) {
    case ID_LIST_CHECK_ALL: SetChecks(true, kCheckModeCheck); return true;
    case ID_LIST_UNCHECK_ALL: SetChecks(true, kCheckModeUncheck); return true;
    case ID_LIST_INVERT_ALL: SetChecks(true, kCheckModeInvert); return true;
    case ID_LIST_CHECK_HIGHLIGHTED: SetChecks(false, kCheckModeCheck); return true;
    case ID_LIST_UNCHECK_HIGHLIGHTED: SetChecks(false, kCheckModeUncheck); return true;
    case ID_LIST_INVERT_HIGHLIGHTED: SetChecks(false, kCheckModeInvert); return true;
    case IDC_ITEMS_BACK: GoBack(); return true;
    case IDC_ITEMS_FORWARD: {
        const int focused = FocusedRow();
        if (m_bOverview && focused >= 0) OpenSubCategory(static_cast<int>(m_listItems.GetItemData(focused)));
        return true;
    }
    case IDC_CUSTOM_COMMANDS: ShowCustomItemsMenu(); return true;
    case ID_CUSTOM_FOLDER: ChooseCustomFolder(); return true;
    case ID_CUSTOM_NEW: NewCustomItem(); return true;
    case ID_CUSTOM_EDIT: EditCustomItem(); return true;
    case ID_CUSTOM_DELETE: DeleteCustomItem(); return true;
    case IDC_ITEMS_SAVE: EndDialog(IDOK); return true;
    }
    return CDialog::OnCommand(id, code, control);
}

bool CSelItemsDlg::PreTranslateMessage(MSG& msg)
{
    return m_hAccel && TranslateAcceleratorA(m_hWnd, m_hAccel, &msg) != 0;
}

void CSelItemsDlg::OnTimer(UINT_PTR timerId)
{
    if (timerId != IDT_CUSTOM_ITEMS_WARNING) return;
    KillTimer(m_hWnd, IDT_CUSTOM_ITEMS_WARNING);
    if (m_nCategory != CategoryOf(kCustomItemReference)) return;
    CWarningMsgDlg warning(m_hWnd);
    warning.m_strText = LoadResString(IDS_CUSTOM_ITEMS_WARNING);
    warning.m_strKey = kCustomItemsWarningKey;
    warning.DoModal();
}

LRESULT CSelItemsDlg::OnNotify(NMHDR* header)
{
    if (!header || header->hwndFrom != m_listItems.GetHwnd()) return CDialog::OnNotify(header);
    switch (header->code) {
    case NM_CLICK: OnListClick(*reinterpret_cast<NMITEMACTIVATE*>(header)); break;
    case NM_DBLCLK: OnListDoubleClick(*reinterpret_cast<NMITEMACTIVATE*>(header)); break;
    case NM_RCLICK: OnListRightClick(*reinterpret_cast<NMITEMACTIVATE*>(header)); break;
    case LVN_KEYDOWN: OnListKeyDown(reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey); break;
    }
    return 0;
}

int CSelItemsDlg::RowAt(POINT clientPoint, UINT flags) const
{
    LVHITTESTINFO hit = {};
    hit.pt = clientPoint;
    const int row = m_listItems.HitTest(hit);
    return row >= 0 && (hit.flags & flags) ? row : -1;
}

void CSelItemsDlg::OnListClick(const NMITEMACTIVATE& click)
{
    LVHITTESTINFO hit = {};
    hit.pt = click.ptAction;
    const int row = m_listItems.HitTest(hit);
    if (row < 0) {
        SetNavImage(IDC_ITEMS_FORWARD, IDB_NAV_FORWARD_OFF);
    } else if (hit.flags & LVHT_ONITEMSTATEICON) {
        ToggleRow(row);
    } else if (m_bOverview) {
        SetNavImage(IDC_ITEMS_FORWARD, IDB_NAV_FORWARD_ON);
    } else {
        ShowDescription(row);
    }
}

void CSelItemsDlg::OnListDoubleClick(const NMITEMACTIVATE& click)
{
    const int row = RowAt(click.ptAction, LVHT_ONITEM);
    if (row >= 0 && m_bOverview) OpenSubCategory(static_cast<int>(m_listItems.GetItemData(row)));
    UpdateCustomControls();
}

void CSelItemsDlg::OnListRightClick(const NMITEMACTIVATE& click)
{
    const int row = RowAt(click.ptAction, LVHT_ONITEM);
    if (row >= 0 && !m_bOverview) ShowDescription(row);
    framework::ScopedMenu menu = CreateContextMenu(RowAt(click.ptAction, kOnRowFlags) >= 0);
    HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup) return;
    POINT screen = click.ptAction;
    ClientToScreen(m_listItems.GetHwnd(), &screen);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, m_hWnd, nullptr);
}

framework::ScopedMenu CSelItemsDlg::CreateContextMenu(bool hitRowText) const
{
    framework::ScopedMenu menu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ITEMS_MENU)));
    HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup) return menu;
    const bool canOpen = m_bOverview && hitRowText && m_listItems.GetSelectedCount() == 1;
    EnableMenuItem(popup, IDC_ITEMS_FORWARD, MF_BYCOMMAND | (canOpen ? MF_ENABLED : MF_GRAYED));
    return menu;
}

void CSelItemsDlg::OnListKeyDown(WORD key)
{
    if (FocusedRow() >= 0) UpdateNavButtons();
    if (key == VK_SPACE) {
        // Successive presses check and uncheck the highlighted rows in turn.
        SetChecks(false, m_bSpaceChecks ? kCheckModeCheck : kCheckModeUncheck);
        m_bSpaceChecks = !m_bSpaceChecks;
        return;
    }
    // The list moves its focus only after this notification, so the description follows the row
    // that the key is about to focus.
    if (!m_bOverview && FocusedRow() >= 0) ShowDescription(PredictFocusAfter(key));
}

int CSelItemsDlg::PredictFocusAfter(WORD key) const
{
    const int f = FocusedRow();
    const int t = static_cast<int>(SendMessageA(m_listItems.GetHwnd(), LVM_GETTOPINDEX, 0, 0));
    const int p = static_cast<int>(SendMessageA(m_listItems.GetHwnd(), LVM_GETCOUNTPERPAGE, 0, 0));
    const int n = m_listItems.GetItemCount();
    switch (key) {
    case VK_UP: return f - 1;
    case VK_DOWN: return f + 1;
    case VK_HOME: return 0;
    case VK_END: return n - 1;
    case VK_PRIOR:
        if (f != t) return t;
        return f >= p ? f - p + 1 : 0;
    case VK_NEXT:
        if (t + p != f + 1) return t + p - 1;
        return n - f - 1 < p ? n - 1 : f + p - 1;
    default: return -1;
    }
}
