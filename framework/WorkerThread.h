// Starting a worker thread the way the windows do: a function `UINT proc(LPVOID)` on a new thread
// with the C runtime set up for it, at a chosen priority.
#pragma once

#include <windows.h>

namespace framework {

using PFN_THREAD_PROC = UINT (*)(LPVOID param);

// Starts proc(param) and returns the thread's handle, which the caller closes; null when the thread
// could not be created (GetLastError tells why; nothing was started and param was not used).
HANDLE BeginWorkerThread(PFN_THREAD_PROC proc, LPVOID param, int priority = THREAD_PRIORITY_NORMAL);

}  // namespace framework
