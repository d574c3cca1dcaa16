// Starting a worker thread (the scanning or cleaning thread) with the signature the threads share:
// UINT proc(LPVOID). A plain C-runtime thread start until the dialog layer offers its own.
#pragma once

#include <windows.h>

using PFN_WORKER_PROC = UINT (*)(LPVOID pParam);

// The new thread's handle, which the caller closes; null when the thread could not be created
// (GetLastError tells why).
HANDLE StartWorkerThread(PFN_WORKER_PROC proc, LPVOID pParam);
