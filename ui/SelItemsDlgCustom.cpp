// The custom-items side of the items dialog: the folder, the command menu and its four commands.
// Every command that changes the items writes the whole custom-items file, which rebuilds the
// catalogue; the list is then refilled from the new catalogue.
#include "ui/SelItemsDlg.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <iterator>

#include "app/CleanerApp.h"
#include "app/SettingsStore.h"
#include "app/Utilities.h"
#include "catalogue/ModList.h"
#include "engine/CustomSearch.h"
#include "resource.h"
#include "ui/CreateEditModDlg.h"

namespace {

const char kNewItemName[] = "新建项目的名称";
const char kNewItemParams[] = "*.*";
const char kNoMoreCustomItems[] =
    "无法新建自定义项目: 项目编号已达到上限 9999。\n请删除编号最大的自定义项目后再试。";
// The menu's top-left corner lies this far right of and below the button's.
constexpr int kMenuOffset = 3;

const int kCustomControls[] = {IDC_CUSTOM_COMMANDS, IDC_CUSTOM_FOLDER_LABEL, IDC_CUSTOM_FOLDER};

int CALLBACK SelectStartFolder(HWND browser, UINT msg, LPARAM /*param*/, LPARAM startFolder)
{
    if (msg == BFFM_INITIALIZED) SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, startFolder);
    return 0;
}

std::string BrowseWithShell(HWND owner, const std::string& startFolder)
{
    char displayName[MAX_PATH] = "";
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = displayName;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NONEWFOLDERBUTTON;
    info.lpfn = SelectStartFolder;
    info.lParam = reinterpret_cast<LPARAM>(startFolder.c_str());
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&info);
    if (!chosen) return std::string();
    char path[MAX_PATH] = "";
    SHGetPathFromIDListA(chosen, path);
    CoTaskMemFree(chosen);
    return path;
}

// The shell's folder browser opened at startFolder; the chosen folder, or empty when cancelled.
std::string BrowseForFolder(HWND owner, const std::string& startFolder)
{
    // The browser wants COM in a single-threaded apartment on the calling thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string folder = BrowseWithShell(owner, startFolder);
    if (SUCCEEDED(com)) CoUninitialize();
    return folder;
}

}  // namespace

void CSelItemsDlg::UpdateCustomControls()
{
    const bool show = m_nCategory == CategoryOf(kCustomItemReference) && !m_bOverview;
    ShowControls(m_hWnd, kCustomControls, static_cast<int>(std::size(kCustomControls)), show);
    if (!show) return;
    // The folder as the user set it, also when it is missing for now (an unplugged drive): the
    // search then finds nothing, and the user's choice is kept for when it returns.
    SetDlgItemTextA(m_hWnd, IDC_CUSTOM_FOLDER, CustomFolderSetting().c_str());
    m_lstCustomItems = CustomEntriesOf(*m_pModList);
}

framework::ScopedMenu CSelItemsDlg::CreateCustomItemsMenu()
{
    framework::ScopedMenu menu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_CUSTOM_ITEMS_MENU)));
    HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup) return menu;
    const int focused = FocusedRow();
    if (focused < 0 || m_listItems.GetSelectedCount() != 1) {
        EnableMenuItem(popup, ID_CUSTOM_EDIT, MF_BYCOMMAND | MF_GRAYED);
        EnableMenuItem(popup, ID_CUSTOM_DELETE, MF_BYCOMMAND | MF_GRAYED);
    } else {
        // The row the commands act on is the one the user sees highlighted.
        m_listItems.SetItemState(focused, LVIS_SELECTED, LVIS_SELECTED);
        m_listItems.EnsureVisible(focused, false);
    }
    return menu;
}

void CSelItemsDlg::ShowCustomItemsMenu()
{
    RECT button;
    if (!GetWindowRect(GetItem(IDC_CUSTOM_COMMANDS), &button)) return;
    framework::ScopedMenu menu = CreateCustomItemsMenu();
    HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (popup)
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, button.left + kMenuOffset, button.top + kMenuOffset, 0,
                       m_hWnd, nullptr);
}

void CSelItemsDlg::ChooseCustomFolder()
{
    const std::string chosen = BrowseForFolder(m_hWnd, CustomFolderSetting());
    if (chosen.empty() || !PathFileExistsA(chosen.c_str())) return;
    m_pApp->m_Settings.WriteString(kOptCustomFolderToScan, chosen);
    SetDlgItemTextA(m_hWnd, IDC_CUSTOM_FOLDER, chosen.c_str());
}

bool CSelItemsDlg::RefusedWhileBusy()
{
    // Storing rebuilds the catalogue, which a running scan or clean is reading (the tray or the
    // timer can start one while this dialog is open).
    if (!m_pModList->m_bBusy) return false;
    MessageBoxA(m_hWnd, LoadResString(IDS_WORKER_RUNNING).c_str(), LoadResString(IDS_APP_CAPTION).c_str(),
                MB_OK | MB_ICONINFORMATION);
    return true;
}

void CSelItemsDlg::NewCustomItem()
{
    if (RefusedWhileBusy()) return;
    // Refused before the editor opens, so nothing typed is lost to the refusal.
    const int id = NextCustomItemId(*m_pModList);
    if (id > kLargestCustomItemId) {
        MessageBoxA(m_hWnd, kNoMoreCustomItems, LoadResString(IDS_APP_CAPTION).c_str(), MB_OK | MB_ICONWARNING);
        return;
    }
    CCreateEditModDlg editor(m_hWnd);
    editor.m_strName = kNewItemName;
    editor.m_strParams = kNewItemParams;
    if (editor.DoModal() != IDOK) return;
    m_lstCustomItems.push_back({id, editor.m_strName, editor.m_strParams});
    StoreCustomItems();
}

CCustomEntry* CSelItemsDlg::FocusedCustomEntry()
{
    const int focused = FocusedRow();
    if (focused < 0) return nullptr;
    const int id = static_cast<int>(m_listItems.GetItemData(focused));
    auto found = std::find_if(m_lstCustomItems.begin(), m_lstCustomItems.end(),
                              [id](const CCustomEntry& entry) { return entry.m_nId == id; });
    return found == m_lstCustomItems.end() ? nullptr : &*found;
}

void CSelItemsDlg::EditCustomItem()
{
    if (RefusedWhileBusy()) return;
    CCustomEntry* entry = FocusedCustomEntry();
    if (!entry) return;
    CCreateEditModDlg editor(m_hWnd);
    editor.m_strName = entry->m_strTitle;
    editor.m_strParams = entry->m_strSearchParams;
    if (editor.DoModal() != IDOK) return;
    entry->m_strTitle = editor.m_strName;
    entry->m_strSearchParams = editor.m_strParams;
    StoreCustomItems();
}

void CSelItemsDlg::DeleteCustomItem()
{
    if (RefusedWhileBusy()) return;
    CCustomEntry* entry = FocusedCustomEntry();
    if (!entry) return;
    // A later item that gets the same identifier starts unchecked.
    m_pApp->m_Settings.DeleteValue(CSettingsStore::ItemStateName(entry->m_nId).c_str(), m_strStatesKey.c_str());
    m_lstCustomItems.erase(m_lstCustomItems.begin() + (entry - m_lstCustomItems.data()));
    StoreCustomItems();
}

void CSelItemsDlg::StoreCustomItems()
{
    // The catalogue was rebuilt, so the rows are refilled through the overview.
    WriteCustomItems(m_lstCustomItems);
    GoBack();
    OpenSubCategory(0);
    UpdateCustomControls();
}
