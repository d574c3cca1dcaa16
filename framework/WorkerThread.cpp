#include "framework/WorkerThread.h"

#include <process.h>

#include <memory>

namespace framework {

namespace {

struct ThreadStart {
    PFN_THREAD_PROC proc;
    LPVOID param;
};

unsigned __stdcall ThreadEntry(void* p)
{
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(p));
    return start->proc(start->param);
}

}  // namespace

HANDLE BeginWorkerThread(PFN_THREAD_PROC proc, LPVOID param, int priority)
{
    auto start = std::make_unique<ThreadStart>(ThreadStart{proc, param});
    // _beginthreadex rather than CreateThread: the workers use the C runtime (time formatting,
    // stdio). Started suspended so the priority holds from the first instruction.
    uintptr_t handle = _beginthreadex(nullptr, 0, ThreadEntry, start.get(), CREATE_SUSPENDED, nullptr);
    if (handle == 0) {
        DWORD error = GetLastError();
        SetLastError(error ? error : ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    start.release();  // the thread owns it now
    HANDLE thread = reinterpret_cast<HANDLE>(handle);
    SetThreadPriority(thread, priority);
    ResumeThread(thread);
    return thread;
}

}  // namespace framework
