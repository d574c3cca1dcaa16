// One instance per machine: the claim of the two named events in-process (with names of the test's
// own), and the real program started as processes: a second start shows "Quillon 已启动!" and ends
// while the first keeps running, a third start meanwhile ends without a window, and a start after
// the first has ended runs again.
#include "app/SingleInstance.h"

#include "support/Sandbox.h"
#include "support/WindowDriver.h"

#include <string>

using framework::ScopedKernelHandle;
using testsupport::FindDialog;
using testsupport::PumpUntil;

namespace {

const char kCaption[] = "Quillon 汉化版";

CInstanceEventNames TestNames()
{
    static std::string running = "Global\\QuillonTestRunning-" + std::to_string(GetCurrentProcessId());
    static std::string refusal = "Global\\QuillonTestRefusal-" + std::to_string(GetCurrentProcessId());
    return {running.c_str(), refusal.c_str()};
}

bool EventExists(const char* name)
{
    ScopedKernelHandle event(OpenEventA(SYNCHRONIZE, FALSE, name));
    return event.IsValid();
}

}  // namespace

TEST(SingleInstance, ClaimsFollowTheTwoEvents)
{
    const CInstanceEventNames names = TestNames();
    ScopedKernelHandle firstRunning, firstRefusal;
    EXPECT_EQ(ClaimSingleInstance(names, firstRunning, firstRefusal), InstanceClaim::First);
    EXPECT_TRUE(firstRunning.IsValid());
    EXPECT_FALSE(firstRefusal.IsValid());
    EXPECT_FALSE(EventExists(names.m_pszRefusal));  // the probe is closed again

    // A second start: refused, and it holds the refusal event while its message shows.
    ScopedKernelHandle secondRunning, secondRefusal;
    EXPECT_EQ(ClaimSingleInstance(names, secondRunning, secondRefusal), InstanceClaim::AlreadyRunning);
    EXPECT_TRUE(secondRefusal.IsValid());
    // The running event is signalled: tested for existence only, never waited on.
    EXPECT_EQ(WaitForSingleObject(firstRunning.Get(), 0), WAIT_OBJECT_0);

    // A third start meanwhile ends silently and holds nothing.
    ScopedKernelHandle thirdRunning, thirdRefusal;
    EXPECT_EQ(ClaimSingleInstance(names, thirdRunning, thirdRefusal), InstanceClaim::RefusalShowing);
    EXPECT_FALSE(thirdRunning.IsValid());
    EXPECT_FALSE(thirdRefusal.IsValid());

    // The second start's message is gone: the next start is refused with a message again.
    secondRunning.Close();
    secondRefusal.Close();
    ScopedKernelHandle fourthRunning, fourthRefusal;
    EXPECT_EQ(ClaimSingleInstance(names, fourthRunning, fourthRefusal), InstanceClaim::AlreadyRunning);
    fourthRunning.Close();
    fourthRefusal.Close();

    // The first instance has ended: a new start runs.
    firstRunning.Close();
    ScopedKernelHandle fifthRunning, fifthRefusal;
    EXPECT_EQ(ClaimSingleInstance(names, fifthRunning, fifthRefusal), InstanceClaim::First);
    EXPECT_EQ(std::string(kQuillonInstanceEvents.m_pszRunning), "Global\\QuillonEvent4002");
    EXPECT_EQ(std::string(kQuillonInstanceEvents.m_pszRefusal), "Global\\QuillonEvent5002");
}

namespace {

// Lorvex.exe beside the test program, started in the folder of the built data files so that the
// catalogue finds its plug-in files by bare name.
class LorvexProcess {
public:
    LorvexProcess()
    {
        char self[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, self, sizeof self);
        std::string bin = self;
        bin.erase(bin.find_last_of('\\'));
        std::string exe = bin + "\\Lorvex.exe";
        std::string data = bin + "\\..\\data";
        std::string commandLine = "\"" + exe + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        m_started = CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, data.c_str(),
                                   &si, &pi) != FALSE;
        if (m_started) {
            m_process.Reset(pi.hProcess);
            CloseHandle(pi.hThread);
            m_pid = pi.dwProcessId;
        }
    }
    ~LorvexProcess()
    {
        if (m_started && IsRunning()) {
            TerminateProcess(m_process.Get(), 1);
            WaitForSingleObject(m_process.Get(), 5000);
        }
    }

    bool Started() const { return m_started; }
    DWORD Pid() const { return m_pid; }
    bool IsRunning() const { return WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT; }
    bool WaitForEnd(DWORD ms = 15000) const { return WaitForSingleObject(m_process.Get(), ms) == WAIT_OBJECT_0; }
    DWORD ExitCode() const
    {
        DWORD code = 0xdeadbeef;
        GetExitCodeProcess(m_process.Get(), &code);
        return code;
    }
    // The main window: the program's dialog with the Scan button.
    HWND MainWindow() const
    {
        HWND found = FindDialog(kCaption, m_pid);
        return found && GetDlgItem(found, 1013) ? found : nullptr;
    }
    // The refusal box: a window of this process captioned "Quillon 汉化版" without the Scan button,
    // found the way a user's tool would, with FindWindowA and its siblings.
    HWND RefusalBox() const
    {
        for (HWND hwnd = FindWindowA("#32770", kCaption); hwnd; hwnd = FindWindowExA(nullptr, hwnd, "#32770", kCaption))
            if (testsupport::ProcessOf(hwnd) == m_pid && IsWindowVisible(hwnd) && !GetDlgItem(hwnd, 1013)) return hwnd;
        return nullptr;
    }

private:
    bool m_started = false;
    DWORD m_pid = 0;
    ScopedKernelHandle m_process;
};

bool WaitFor(const std::function<bool()>& condition, DWORD ms = 20000)
{
    return PumpUntil(condition, ms);
}

}  // namespace

TEST(SingleInstanceProgram, SecondStartIsRefusedWhileTheFirstRuns)
{
    LorvexProcess first;
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(WaitFor([&] { return first.MainWindow() != nullptr; })) << "the first instance shows no main window";

    LorvexProcess second;
    ASSERT_TRUE(second.Started());
    ASSERT_TRUE(WaitFor([&] { return second.RefusalBox() != nullptr; })) << "no refusal message";
    HWND box = second.RefusalBox();
    EXPECT_EQ(testsupport::MessageBoxText(box), "Quillon 已启动!");
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    EXPECT_TRUE(second.IsRunning());

    // A third start while the message is on screen ends without a window of its own.
    LorvexProcess third;
    ASSERT_TRUE(third.Started());
    EXPECT_TRUE(third.WaitForEnd());
    EXPECT_EQ(third.ExitCode(), 0u);
    EXPECT_TRUE(second.IsRunning());

    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(second.WaitForEnd());
    EXPECT_EQ(second.ExitCode(), 0u);

    // The first instance was not disturbed.
    EXPECT_TRUE(first.IsRunning());
    HWND main = first.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(IsWindowEnabled(main));

    PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(first.WaitForEnd()) << "the first instance did not quit";
    EXPECT_EQ(first.ExitCode(), 0u);

    // With the first instance gone, a new start runs normally.
    LorvexProcess later;
    ASSERT_TRUE(later.Started());
    ASSERT_TRUE(WaitFor([&] { return later.MainWindow() != nullptr; }));
    EXPECT_EQ(later.RefusalBox(), nullptr);
    PostMessageA(later.MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(later.WaitForEnd());
}
