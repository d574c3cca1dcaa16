// BeginWorkerThread: the procedure runs on a new thread with its parameter and the chosen priority,
// and its return value becomes the thread's exit code.
#include "framework/WorkerThread.h"

#include <gtest/gtest.h>

namespace {

struct Seen {
    DWORD threadId = 0xdeadbeef;
    int priority = 0xdead;
};

UINT RecordThread(LPVOID param)
{
    auto* seen = static_cast<Seen*>(param);
    seen->threadId = GetCurrentThreadId();
    seen->priority = GetThreadPriority(GetCurrentThread());
    return 1234;
}

}  // namespace

TEST(WorkerThread, RunsTheProcedureOnANewThreadAtItsPriority)
{
    for (int priority : {THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_BELOW_NORMAL}) {
        Seen seen;
        HANDLE thread = framework::BeginWorkerThread(RecordThread, &seen, priority);
        ASSERT_NE(thread, nullptr);
        ASSERT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
        DWORD code = 0;
        GetExitCodeThread(thread, &code);
        CloseHandle(thread);
        EXPECT_EQ(code, 1234u);
        EXPECT_NE(seen.threadId, GetCurrentThreadId());
        EXPECT_NE(seen.threadId, 0xdeadbeefu);
        EXPECT_EQ(seen.priority, priority);
    }
}
