// One-line wrappers of the controls the windows use: list view, status bar, list box and progress
// bar. Each holds the control's window handle (not owned) and turns calls into the control's
// messages; texts are multibyte strings.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace framework {

class CControl {
public:
    explicit CControl(HWND hwnd = nullptr) : m_hWnd(hwnd) {}
    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    void Attach(HWND dialog, int id) { m_hWnd = GetDlgItem(dialog, id); }
    HWND GetHwnd() const { return m_hWnd; }
    explicit operator bool() const { return m_hWnd != nullptr; }

protected:
    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return SendMessageA(m_hWnd, msg, wp, lp); }
    template <class T>
    static LPARAM Ptr(T* p) { return reinterpret_cast<LPARAM>(p); }

    HWND m_hWnd;
};

class CListView : public CControl {
public:
    using CControl::CControl;

    int GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    int GetSelectedCount() const { return static_cast<int>(Send(LVM_GETSELECTEDCOUNT)); }
    int GetNextItem(int start, UINT flags) const { return static_cast<int>(Send(LVM_GETNEXTITEM, start, flags)); }
    bool DeleteItem(int item) { return Send(LVM_DELETEITEM, item) != 0; }
    bool DeleteAllItems() { return Send(LVM_DELETEALLITEMS) != 0; }
    bool EnsureVisible(int item, bool partialOk) { return Send(LVM_ENSUREVISIBLE, item, partialOk) != 0; }
    bool SetItemState(int item, UINT state, UINT mask)
    {
        LVITEMA lvi{};
        lvi.state = state;
        lvi.stateMask = mask;
        return Send(LVM_SETITEMSTATE, item, Ptr(&lvi)) != 0;
    }
    UINT GetItemState(int item, UINT mask) const { return static_cast<UINT>(Send(LVM_GETITEMSTATE, item, mask)); }
    // State image index (1-based; 0 = none) of a row, as used for the check boxes.
    int GetStateImage(int item) const { return static_cast<int>(GetItemState(item, LVIS_STATEIMAGEMASK) >> 12); }
    bool SetStateImage(int item, int image) { return SetItemState(item, INDEXTOSTATEIMAGEMASK(image), LVIS_STATEIMAGEMASK); }
    LPARAM GetItemData(int item) const
    {
        LVITEMA lvi{};
        lvi.mask = LVIF_PARAM;
        lvi.iItem = item;
        return Send(LVM_GETITEMA, 0, Ptr(&lvi)) ? lvi.lParam : 0;
    }
    // Inserts a row with its column-0 text, icon index, state image and item data; returns its index
    // or -1.
    int InsertItem(int item, const std::string& text, int image, int stateImage, LPARAM data)
    {
        LVITEMA lvi{};
        lvi.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        lvi.iItem = item;
        lvi.pszText = const_cast<char*>(text.c_str());
        lvi.iImage = image;
        lvi.lParam = data;
        lvi.state = INDEXTOSTATEIMAGEMASK(stateImage);
        lvi.stateMask = LVIS_STATEIMAGEMASK;
        return static_cast<int>(Send(LVM_INSERTITEMA, 0, Ptr(&lvi)));
    }
    bool SetItemText(int item, int column, const std::string& text)
    {
        LVITEMA lvi{};
        lvi.iSubItem = column;
        lvi.pszText = const_cast<char*>(text.c_str());
        return Send(LVM_SETITEMTEXTA, item, Ptr(&lvi)) != 0;
    }
    std::string GetItemText(int item, int column, int maxBytes = 1024) const
    {
        std::string buffer(maxBytes, '\0');
        LVITEMA lvi{};
        lvi.iSubItem = column;
        lvi.pszText = &buffer[0];
        lvi.cchTextMax = maxBytes;
        buffer.resize(static_cast<size_t>(Send(LVM_GETITEMTEXTA, item, Ptr(&lvi))));
        return buffer;
    }
    int HitTest(LVHITTESTINFO& info) const { return static_cast<int>(Send(LVM_HITTEST, 0, Ptr(&info))); }
    bool SortItemsEx(PFNLVCOMPARE compare, LPARAM data) { return Send(LVM_SORTITEMSEX, data, reinterpret_cast<LPARAM>(compare)) != 0; }

    int InsertColumn(int column, const std::string& title, int width, int format)
    {
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        col.fmt = format;
        col.cx = width;
        col.pszText = const_cast<char*>(title.c_str());
        col.iSubItem = column;
        return static_cast<int>(Send(LVM_INSERTCOLUMNA, column, Ptr(&col)));
    }
    bool DeleteColumn(int column) { return Send(LVM_DELETECOLUMN, column) != 0; }
    int GetColumnCount() const { return static_cast<int>(SendMessageA(GetHeader(), HDM_GETITEMCOUNT, 0, 0)); }
    int GetColumnWidth(int column) const { return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, column)); }
    bool SetColumnWidth(int column, int width) { return Send(LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0)) != 0; }
    std::string GetColumnTitle(int column, int maxBytes = 260) const
    {
        std::string buffer(maxBytes, '\0');
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT;
        col.pszText = &buffer[0];
        col.cchTextMax = maxBytes;
        if (!Send(LVM_GETCOLUMNA, column, Ptr(&col))) return std::string();
        return std::string(buffer.c_str());
    }
    bool SetColumnTitle(int column, const std::string& title)
    {
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT;
        col.pszText = const_cast<char*>(title.c_str());
        return Send(LVM_SETCOLUMNA, column, Ptr(&col)) != 0;
    }
    HWND GetHeader() const { return reinterpret_cast<HWND>(Send(LVM_GETHEADER)); }

    DWORD SetExtendedStyle(DWORD mask, DWORD style) { return static_cast<DWORD>(Send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style)); }
    DWORD GetExtendedStyle() const { return static_cast<DWORD>(Send(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    HIMAGELIST SetImageList(HIMAGELIST list, int which) { return reinterpret_cast<HIMAGELIST>(Send(LVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(list))); }
    HIMAGELIST GetImageList(int which) const { return reinterpret_cast<HIMAGELIST>(Send(LVM_GETIMAGELIST, which)); }
    bool SetBkColor(COLORREF color) { return Send(LVM_SETBKCOLOR, 0, color) != 0; }
    bool SetTextColor(COLORREF color) { return Send(LVM_SETTEXTCOLOR, 0, color) != 0; }
    bool SetTextBkColor(COLORREF color) { return Send(LVM_SETTEXTBKCOLOR, 0, color) != 0; }
    // Redraw off while many rows arrive; on again (and a repaint) at the end.
    void SetRedraw(bool redraw)
    {
        Send(WM_SETREDRAW, redraw ? TRUE : FALSE);
        if (redraw) InvalidateRect(m_hWnd, nullptr, TRUE);
    }
};

class CStatusBar : public CControl {
public:
    using CControl::CControl;

    // Creates a status bar with a size grip along the bottom of parent.
    bool Create(HWND parent, int id)
    {
        m_hWnd = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
        return m_hWnd != nullptr;
    }
    // Right edges of the parts in client coordinates; -1 for the last part takes the rest.
    bool SetParts(int count, const int* rightEdges) { return Send(SB_SETPARTS, count, reinterpret_cast<LPARAM>(rightEdges)) != 0; }
    int GetPartCount() const { return static_cast<int>(Send(SB_GETPARTS)); }
    // flags: 0, SBT_POPOUT, SBT_NOBORDERS.
    bool SetText(int part, const std::string& text, UINT flags = 0) { return Send(SB_SETTEXTA, part | flags, reinterpret_cast<LPARAM>(text.c_str())) != 0; }
    std::string GetText(int part) const
    {
        // Wine counts the length in UTF-16 units, so a double-byte text needs up to twice as many
        // bytes.
        std::string buffer(2 * static_cast<size_t>(LOWORD(Send(SB_GETTEXTLENGTHA, part))) + 1, '\0');
        Send(SB_GETTEXTA, part, reinterpret_cast<LPARAM>(&buffer[0]));
        return std::string(buffer.c_str());
    }
    // Follows the parent's size (call on WM_SIZE).
    void Resize() { Send(WM_SIZE); }
};

class CListBox : public CControl {
public:
    using CControl::CControl;

    int GetCount() const { return static_cast<int>(Send(LB_GETCOUNT)); }
    std::string GetText(int item) const
    {
        // Room for two bytes per unit, as a list may count the length in UTF-16 units.
        const LRESULT length = Send(LB_GETTEXTLEN, item);
        std::string text(2 * static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
        Send(LB_GETTEXT, item, reinterpret_cast<LPARAM>(&text[0]));
        return std::string(text.c_str());
    }
    int AddString(const std::string& text) { return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()))); }
    void DeleteString(int item) { Send(LB_DELETESTRING, item); }
    void ResetContent() { Send(LB_RESETCONTENT); }
    // Multiple-selection lists.
    int GetSelCount() const { return static_cast<int>(Send(LB_GETSELCOUNT)); }
    bool IsSelected(int item) const { return Send(LB_GETSEL, item) > 0; }
    void SetSel(int item, bool select) { Send(LB_SETSEL, select ? TRUE : FALSE, item); }  // -1: every item
};

class CProgressBar : public CControl {
public:
    using CControl::CControl;

    void SetRange(int low, int high) { Send(PBM_SETRANGE32, low, high); }
    int SetPos(int pos) { return static_cast<int>(Send(PBM_SETPOS, pos)); }
    int GetPos() const { return static_cast<int>(Send(PBM_GETPOS)); }
    int GetRangeHigh() const { return static_cast<int>(Send(PBM_GETRANGE, FALSE)); }
};

}  // namespace framework
