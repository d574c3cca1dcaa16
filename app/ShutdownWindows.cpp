#include "app/ShutdownWindows.h"

#include "framework/ScopedHandle.h"

namespace {

ExitWindowsFn g_exitWindows = ExitWindowsEx;

// Enables SeShutdownPrivilege in the process token. AdjustTokenPrivileges also succeeds for a token
// that lacks the privilege, reporting ERROR_NOT_ALL_ASSIGNED; that counts as a failure.
bool EnableShutdownPrivilege(HANDLE token)
{
    TOKEN_PRIVILEGES privileges{};
    if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) return false;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    SetLastError(ERROR_SUCCESS);
    return AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
           GetLastError() != ERROR_NOT_ALL_ASSIGNED;
}

}  // namespace

void ShutdownWindows(UINT flags)
{
    framework::ScopedKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Receive())) return;
    if (EnableShutdownPrivilege(token.Get())) g_exitWindows(flags, 0);
}

void SetExitWindowsForTesting(ExitWindowsFn fn)
{
    g_exitWindows = fn ? fn : ExitWindowsEx;
}
