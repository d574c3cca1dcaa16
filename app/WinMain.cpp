// Entry point of Lorvex.exe. Until the main dialog exists it shows the catalogue's items in a plain
// window, so that running the program already shows something real.
#include <windows.h>
#include <commctrl.h>
#include <mbctype.h>

#include "app/CleanerApp.h"
#include "app/Utilities.h"
#include "catalogue/ModList.h"

namespace {

LRESULT CALLBACK CatalogueWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CREATE: {
        HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0, 0, 0,
                                    hwnd, reinterpret_cast<HMENU>(1), nullptr, nullptr);
        SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
        for (int i = 0; i < g_theScanningThreadsParam.m_nCount; ++i) {
            CModItem* item = g_theScanningThreadsParam.GetAt(i);
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item->m_strTitle.c_str()));
        }
        return 0;
    }
    case WM_SIZE:
        MoveWindow(GetDlgItem(hwnd, 1), 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    _setmbcp(_MB_CP_ANSI);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);

    CSettingsStore& settings = TheSettings();
    settings.Start();
    g_theScanningThreadsParam.Build();

    WNDCLASSA wc{};
    wc.lpfnWndProc = CatalogueWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "QuillonCatalogue";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, LoadResString(160).c_str(), WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, 480, 400, nullptr, nullptr, instance, nullptr);
    SetMainWindow(hwnd);
    ShowWindow(hwnd, show);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
