// The scanning thread: runs the checked items of the catalogue one after another, calling each
// item's functions by the calling contract (one step, or prepare / count / scan / finish), drives
// the progress bars and status texts of the main window and announces the end of the scan with a
// posted UWM_SCAN_COMPLETED or UWM_SCAN_CANCELLED.
#pragma once

#include <windows.h>

// Pauses of the finish animation that make each item visible.
constexpr DWORD kScannedItemPauseMs = 25;  // after an item that was scanned
constexpr DWORD kEmptyItemPauseMs = 55;    // after an item that had nothing to count

// Works on g_theScanningThreadsParam; the argument is not used. 1 when the catalogue has no main
// window (nothing is run), else 0.
UINT ScanThreadProc(LPVOID pUnused);

// Starts ScanThreadProc on a new worker thread; the caller closes the handle. Null on failure.
HANDLE StartScanThread();
