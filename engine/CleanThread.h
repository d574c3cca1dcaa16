// The cleaning thread: deletes the objects of the checked results rows one by one through each
// object's own cleaning function, has every processed row removed, removes the folders that have
// become empty, and hands the main window the completion messages and the report of the run.
#pragma once

#include <windows.h>

#include <ctime>
#include <string>

struct CCleaningParam;
struct CRunContext;

// cpCleaningParam: a CCleaningParam allocated with new, which the thread deletes. 1 on the early
// errors (no parameter block, no main window), else 0.
UINT CleanThreadProc(LPVOID cpCleaningParam);

// Starts CleanThreadProc on a new thread; the caller closes the handle. Null on failure, and the
// parameter block then stays the caller's.
HANDLE StartCleanThread(CCleaningParam* pParam);

// Duration of a run: "%ld 秒" below a minute, else "%ld 分 %ld 秒".
std::string FormatElapsed(long seconds);
// The report of a run that started at `start` and ended at `end` (string resource 170).
std::string FormatCleanReport(__time64_t start, __time64_t end, const CRunContext& context);
