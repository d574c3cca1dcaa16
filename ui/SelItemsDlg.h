// CSelItemsDlg: the items dialog (template 107), where the user chooses what a scan covers. It shows
// one category of the catalogue on two levels: the overview of its sub-categories, then the items of
// one sub-category, each row with a check box. Every change of a check is written at once to the
// ItemStates key, so closing the dialog ("保存", Esc or the close box) undoes and saves nothing.
// In the custom-items category it also creates, edits and deletes the user's custom items.
//
// The work is split over two files:
//   SelItemsDlg.cpp        set-up, the two modes, checks, warnings, mouse, keys and menus;
//   SelItemsDlgCustom.cpp  the custom-items commands and their controls.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "catalogue/CustomItems.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/ScopedHandle.h"

class CCleanerApp;

// State images of the rows (bitmap 233): a mixed row (overview only) counts as checked.
constexpr int kItemStateUnchecked = 1;
constexpr int kItemStateChecked = 2;
constexpr int kItemStateMixed = 3;

// Timer that shows the custom-items warning once the dialog is on screen.
constexpr UINT_PTR IDT_CUSTOM_ITEMS_WARNING = 0;
constexpr UINT kCustomItemsWarningDelayMs = 125;

// Custom items are read back from the last four characters of their section name.
constexpr int kLargestCustomItemId = 9999;

class CSelItemsDlg : public framework::CDialog {
public:
    // A null parent means the main window.
    explicit CSelItemsDlg(CModList* pModList, HWND parent = nullptr);
    ~CSelItemsDlg() override;

    CCleanerApp* m_pApp;  // settings store access
    CModList* m_pModList;
    HIMAGELIST m_imgItems = nullptr;
    HIMAGELIST m_imgStates = nullptr;
    framework::CListView m_listItems;
    std::string m_strStatesKey = "ItemStates";
    std::string m_strHint;
    bool m_bSpaceChecks = true;  // the next Space checks (true) or unchecks the highlighted rows
    HACCEL m_hAccel = nullptr;
    bool m_bOverview = true;
    int m_nCategory = 0;  // set by the opener
    std::string m_strDescText;
    std::string m_strCaption = "Items";  // set by the opener
    std::vector<CCustomEntry> m_lstCustomItems;

    // ---- the two modes ----
    void ShowOverview();
    void ShowSubCategory(int subCategory);
    // From the overview into the items of a sub-category; nothing outside the overview.
    void OpenSubCategory(int subCategory);
    // Back to the overview; nothing when already there.
    void GoBack();

    // ---- checks ----
    void LoadItemChecks(bool load);
    void UpdateOverviewChecks();
    void SetSubCategoryState(int subCategory, bool checked);
    // Commands 226..231.
    void SetChecks(bool allRows, int mode);
    bool IsRowChecked(int row) const;

    // ---- texts, warnings, controls ----
    void ShowDescription(int row);
    void WarnIfNeeded(int id);
    void UpdateNavButtons();
    void UpdateCustomControls();
    // The bitmap this dialog loaded for a navigation picture (237..240), to compare with a button's.
    HBITMAP NavBitmap(int bitmapId) const;

    // ---- menus ----
    // "ListCtrl Menu" greyed for a right-click that did (or did not) hit a row's icon or text. The
    // pop-up is submenu 0.
    framework::ScopedMenu CreateContextMenu(bool hitRowText) const;
    // "CustomItemsCmdMenu" greyed for the current focus and highlight (the focused row gets
    // highlighted when it may be edited). The pop-up is submenu 0.
    framework::ScopedMenu CreateCustomItemsMenu();

    // ---- custom-items commands ----
    void ChooseCustomFolder();
    void NewCustomItem();
    void EditCustomItem();
    void DeleteCustomItem();

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    LRESULT OnNotify(NMHDR* header) override;
    void OnTimer(UINT_PTR timerId) override;
    void OnOK() override {}  // Enter does nothing
    void OnCancel() override { EndDialog(IDOK); }  // Esc and the close box close like "保存"
    bool PreTranslateMessage(MSG& msg) override;

private:
    void CreateImageLists();
    void PrepareList();
    bool IsItemChecked(int id) const;  // its ItemStates value is exactly 1
    void WriteItemState(int id, bool checked) const;
    bool IsInShownSubCategory(int reference, int subCategory) const;
    void SetRowState(int row, int state) { m_listItems.SetStateImage(row, state); }
    void ToggleRow(int row);
    void RefreshTexts();
    void SetNavImage(int buttonId, int bitmapId);
    int FocusedRow() const { return m_listItems.GetNextItem(-1, LVNI_FOCUSED); }
    CCustomEntry* FocusedCustomEntry();
    void StoreCustomItems();
    bool RefusedWhileBusy();
    void ShowCustomItemsMenu();

    void OnListClick(const NMITEMACTIVATE& click);
    void OnListDoubleClick(const NMITEMACTIVATE& click);
    void OnListRightClick(const NMITEMACTIVATE& click);
    void OnListKeyDown(WORD key);
    int PredictFocusAfter(WORD key) const;
    int RowAt(POINT clientPoint, UINT flags) const;

    framework::ScopedBitmap m_aNavBitmaps[4];  // 237..240
};
