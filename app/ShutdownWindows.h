// ShutdownWindows: ends the Windows session after cleaning at shutdown. The process enables its
// shutdown privilege and asks for the end with the given ExitWindowsEx flags; without the privilege
// nothing is requested. Tests swap the ExitWindowsEx call, which would end the whole Wine session.
#pragma once

#include <windows.h>

// flags as for ExitWindowsEx (the caller passes EWX_SHUTDOWN).
void ShutdownWindows(UINT flags);

using ExitWindowsFn = BOOL(WINAPI*)(UINT flags, DWORD reason);
void SetExitWindowsForTesting(ExitWindowsFn fn);  // null restores ExitWindowsEx
