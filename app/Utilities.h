// Small helpers shared by the windows and the worker threads: string-table texts, system error
// texts, the program's standard message boxes, and helpers for groups of controls and windows.
#pragma once

#include <windows.h>

#include <string>

// Text of a string resource (buffer of 1024 bytes); when it cannot be loaded, the system's text for
// the last error code instead, so a message box never shows an empty text.
// The one support address the program's messages name.
extern const char* const kSupportAddress;

std::string LoadResString(UINT id);

// The system message text for an error code, with its closing line break; a fixed Chinese text when
// the system has none.
std::string GetSystemErrorText(DWORD code);

// Modal information box owned by the main window; an empty caption becomes string 160.
void ShowInfoBox(const std::string& text, const std::string& caption = "");
void ShowInfoBox(UINT textId, const std::string& caption = "");
void ShowSystemError(DWORD code);
// Ownerless box captioned "Debugging", for internal consistency reports of the worker threads.
void ShowDebugBox(const std::string& text);

void ShowControl(HWND dlg, int id, bool show);
void EnableControl(HWND dlg, int id, bool enable);
void ShowControls(HWND dlg, const int* ids, int count, bool show);
void EnableControls(HWND dlg, const int* ids, int count, bool enable);

// WM_CLOSE to every owned top-level window of the calling thread except the main window (and the
// tooltip and IME windows that controls own).
void CloseOwnedWindows();
bool HasOwnedWindows();

// ShellExecuteA "open" of a path or address, owned by the main window when it exists.
void OpenWithShell(const std::string& target);

// The main window that owns the message boxes (null until it exists).
HWND GetMainWindow();
void SetMainWindow(HWND hwnd);

// ShellExecuteA through the seam below, with its result (a value above 32 means success).
HINSTANCE ShellExecuteThroughSeam(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR folder, INT show);

// Seam for ShellExecuteA: tests record what would be opened instead of starting programs.
using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
void SetShellExecuteForTesting(ShellExecuteFn fn);  // null restores the real call
