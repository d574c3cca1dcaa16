#include "engine/WorkerThread.h"

#include <process.h>

#include <memory>

namespace {

struct WorkerStart {
    PFN_WORKER_PROC proc;
    LPVOID param;
};

unsigned __stdcall WorkerEntry(void* p)
{
    std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(p));
    return start->proc(start->param);
}

}  // namespace

HANDLE StartWorkerThread(PFN_WORKER_PROC proc, LPVOID pParam)
{
    auto* start = new WorkerStart{proc, pParam};
    // _beginthreadex, not CreateThread: the threads use the C runtime (strftime, time functions).
    uintptr_t handle = _beginthreadex(nullptr, 0, WorkerEntry, start, 0, nullptr);
    if (handle == 0) {
        DWORD error = GetLastError();
        delete start;
        SetLastError(error ? error : ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return reinterpret_cast<HANDLE>(handle);
}
