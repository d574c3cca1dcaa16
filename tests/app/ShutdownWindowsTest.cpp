// ShutdownWindows behind its seam: with the shutdown privilege enabled it asks for the end of the
// session exactly once with the caller's flags; the real ExitWindowsEx is never reached in tests.
#include "app/ShutdownWindows.h"

#include "framework/ScopedHandle.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<UINT> g_flags;
std::vector<DWORD> g_reasons;

BOOL WINAPI RecordExitWindows(UINT flags, DWORD reason)
{
    g_flags.push_back(flags);
    g_reasons.push_back(reason);
    return TRUE;
}

// Attributes of SeShutdownPrivilege in this process's token; 0xdeadbeef when it is not there.
DWORD ShutdownPrivilegeAttributes()
{
    framework::ScopedKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return 0xdeadbeef;
    LUID luid{};
    if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &luid)) return 0xdeadbeef;
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenPrivileges, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token.Get(), TokenPrivileges, buffer.data(), size, &size)) return 0xdeadbeef;
    auto* privileges = reinterpret_cast<TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
        const LUID& other = privileges->Privileges[i].Luid;
        if (other.LowPart == luid.LowPart && other.HighPart == luid.HighPart) return privileges->Privileges[i].Attributes;
    }
    return 0xdeadbeef;
}

}  // namespace

TEST(ShutdownWindows, EnablesThePrivilegeAndAsksOnceWithTheFlags)
{
    g_flags.clear();
    g_reasons.clear();
    SetExitWindowsForTesting(RecordExitWindows);
    ShutdownWindows(EWX_SHUTDOWN);
    SetExitWindowsForTesting(nullptr);

    ASSERT_NE(ShutdownPrivilegeAttributes(), 0xdeadbeefu) << "the token has no shutdown privilege";
    EXPECT_TRUE(ShutdownPrivilegeAttributes() & SE_PRIVILEGE_ENABLED);
    EXPECT_EQ(g_flags, (std::vector<UINT>{EWX_SHUTDOWN}));
    EXPECT_EQ(g_reasons, (std::vector<DWORD>{0}));
}
