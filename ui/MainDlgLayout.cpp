// The main window's geometry: where the right-hand controls go for a client size, the status bar's
// parts, the minimum size while the user drags a border, and the placement that is stored on every
// move and size change and restored (clamped to the work area) at the next start.
#include "ui/MainDlg.h"

#include <algorithm>
#include <iterator>

#include "app/CleanerApp.h"
#include "resource.h"

namespace {

// One coordinate of the layout: a fixed number of pixels plus a multiple of the client width or
// height, so "W-185" reads {-185, 1}.
struct CLayoutValue {
    int m_nPixels;
    int m_nPerSize;
    int At(int size) const { return m_nPixels + m_nPerSize * size; }
};

// A control's rectangle (x and width follow the client width, y and height its height). The list
// and the progress group grow with the window, the buttons stay at the bottom with Clean and Cancel
// at the right; the left column keeps its template places.
struct CLayoutRule {
    int m_nId;
    CLayoutValue m_x, m_y, m_cx, m_cy;
};

const CLayoutRule kLayout[] = {
    {IDC_INFO_GROUP, {180, 0}, {5, 0}, {-185, 1}, {-75, 1}},
    {IDC_RESULTS, {187, 0}, {20, 0}, {-199, 1}, {-205, 1}},
    {IDC_OPERATION_LABEL, {187, 0}, {-170, 1}, {93, 0}, {19, 0}},
    {IDC_CURRENT_OPERATION, {290, 0}, {-172, 1}, {-302, 1}, {19, 0}},
    {IDC_OBJECT_LABEL, {187, 0}, {-148, 1}, {93, 0}, {19, 0}},
    {IDC_CURRENT_OBJECT, {290, 0}, {-148, 1}, {-302, 1}, {19, 0}},
    {IDC_ITEM_PROGRESS_LABEL, {187, 0}, {-125, 1}, {93, 0}, {19, 0}},
    {IDC_ITEM_PROGRESS, {290, 0}, {-125, 1}, {-302, 1}, {15, 0}},
    {IDC_TOTAL_PROGRESS_LABEL, {187, 0}, {-105, 1}, {93, 0}, {19, 0}},
    {IDC_TOTAL_PROGRESS, {290, 0}, {-105, 1}, {-302, 1}, {15, 0}},
    {IDC_SCAN, {180, 0}, {-65, 1}, {111, 0}, {33, 0}},
    {IDC_CLEAN, {-242, 1}, {-65, 1}, {111, 0}, {33, 0}},
    {IDC_CANCEL, {-121, 1}, {-65, 1}, {111, 0}, {33, 0}},
};

bool DragsRightEdge(WPARAM edge)
{
    return edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
}

bool DragsBottomEdge(WPARAM edge)
{
    return edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
}

DWORD ReadPlacementValue(const char* name)
{
    DWORD value = 0;
    TheSettings().ReadDword(name, value);
    return value;
}

}  // namespace

void CMainDlg::LayOutControls(int width, int height)
{
    HDWP positions = BeginDeferWindowPos(static_cast<int>(std::size(kLayout)));
    for (const CLayoutRule& rule : kLayout) {
        HWND control = GetItem(rule.m_nId);
        if (!control) continue;
        const int x = rule.m_x.At(width), y = rule.m_y.At(height);
        const int cx = std::max(0, rule.m_cx.At(width)), cy = std::max(0, rule.m_cy.At(height));
        if (positions)
            positions = DeferWindowPos(positions, control, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
        else
            MoveWindow(control, x, y, cx, cy, FALSE);
    }
    if (positions) EndDeferWindowPos(positions);
    if (m_statusBar) {
        m_statusBar.Resize();
        SetStatusParts(width);
    }
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CMainDlg::SetStatusParts(int width)
{
    // Right edges at one third, five ninths and seven ninths; the last part takes the rest.
    const int edges[4] = {width / 3, width * 5 / 9, width * 7 / 9, -1};
    m_statusBar.SetParts(4, edges);
}

void CMainDlg::KeepMinimumWhileDragging(WPARAM edge, RECT* rect) const
{
    if (!rect) return;
    if (rect->right - rect->left < kMinWindowWidth) {
        if (DragsRightEdge(edge))
            rect->right = rect->left + kMinWindowWidth;
        else
            rect->left = rect->right - kMinWindowWidth;
    }
    if (rect->bottom - rect->top < kMinWindowHeight) {
        if (DragsBottomEdge(edge))
            rect->bottom = rect->top + kMinWindowHeight;
        else
            rect->top = rect->bottom - kMinWindowHeight;
    }
}

void CMainDlg::RestorePlacement()
{
    if (ReadPlacementValue(kOptMainWndMaximized) == 1) {
        ShowWindow(m_hWnd, SW_SHOWMAXIMIZED);
        m_bMaximized = true;
        return;
    }
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    // Compared unsigned: a value that reads negative is as unusable as one beyond the work area.
    DWORD width = ReadPlacementValue(kOptMainWndWidth);
    DWORD height = ReadPlacementValue(kOptMainWndHeight);
    if (width < kMinWindowWidth || width > static_cast<DWORD>(work.right)) width = kMinWindowWidth;
    if (height < kMinWindowHeight || height > static_cast<DWORD>(work.bottom)) height = kMinWindowHeight;
    DWORD left = ReadPlacementValue(kOptMainWndLeft);
    DWORD top = ReadPlacementValue(kOptMainWndTop);
    if (left > static_cast<DWORD>(work.right)) left = 0;
    if (top > static_cast<DWORD>(work.bottom)) top = 0;
    MoveWindow(m_hWnd, static_cast<int>(left), static_cast<int>(top), static_cast<int>(width),
               static_cast<int>(height), TRUE);
}

void CMainDlg::StorePosition()
{
    RECT window;
    if (!GetWindowRect(m_hWnd, &window)) return;
    TheSettings().WriteDword(kOptMainWndLeft, static_cast<DWORD>(std::max(0L, window.left)));
    TheSettings().WriteDword(kOptMainWndTop, static_cast<DWORD>(std::max(0L, window.top)));
}

void CMainDlg::StoreSize(UINT type)
{
    if (!m_bInitDone) return;
    if (type == SIZE_MAXIMIZED) {
        TheSettings().WriteDword(kOptMainWndMaximized, 1);
        m_bMaximized = true;
        return;
    }
    if (type != SIZE_RESTORED && type != SIZE_MINIMIZED) return;
    // Also when minimised: the small rectangle is what the next start clamps to 677 by 448.
    RECT window;
    if (!GetWindowRect(m_hWnd, &window)) return;
    TheSettings().WriteDword(kOptMainWndMaximized, 0);
    TheSettings().WriteDword(kOptMainWndWidth, static_cast<DWORD>(window.right - window.left));
    TheSettings().WriteDword(kOptMainWndHeight, static_cast<DWORD>(window.bottom - window.top));
    m_bMaximized = false;
}
