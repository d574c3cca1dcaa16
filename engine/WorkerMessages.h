// Messages from the scanning and cleaning threads and the item functions to the main window. The
// first three are sent and wait until the window has copied the data or deleted the row; the rest
// are posted.
#pragma once

#include <windows.h>

// wParam: CFoundObject* of the sender (may live on its stack). A record with an empty path is
// ignored.
constexpr UINT UWM_ADD_OBJECT = 0x83E8;
// wParam: folder path (const char*).
constexpr UINT UWM_ADD_FOLDER = 0x83E9;
// wParam: result of the object's cleaning function; lParam: the row to delete.
constexpr UINT UWM_REMOVE_ROW = 0x83EA;

constexpr UINT UWM_SCAN_COMPLETED = 0x8014;
constexpr UINT UWM_SCAN_CANCELLED = 0x8019;
// wParam 1: first message of a completed cleaning run.
constexpr UINT UWM_CLEAN_ENDING = 0x8028;
// wParam 1, lParam the report text on the heap (new char[]), which the window frees (delete[]);
// wParam 0, lParam 0: close the program.
constexpr UINT UWM_CLEAN_FOLLOWUP = 0x802D;
constexpr UINT UWM_CLEAN_COMPLETED = 0x801E;
constexpr UINT UWM_CLEAN_CANCELLED = 0x8023;

static_assert(UWM_ADD_OBJECT == WM_APP + 1000 && UWM_ADD_FOLDER == WM_APP + 1001 &&
                  UWM_REMOVE_ROW == WM_APP + 1002,
              "the sent worker messages are WM_APP-based");
static_assert(UWM_SCAN_COMPLETED == WM_APP + 20 && UWM_SCAN_CANCELLED == WM_APP + 25 &&
                  UWM_CLEAN_COMPLETED == WM_APP + 30 && UWM_CLEAN_CANCELLED == WM_APP + 35 &&
                  UWM_CLEAN_ENDING == WM_APP + 40 && UWM_CLEAN_FOLLOWUP == WM_APP + 45,
              "the posted worker messages are WM_APP-based");
