// Crash-point trials of the two rewrites, the cookies file and the custom-items file: the process
// is ended after each file-system step in turn, and each step is made to fail in turn. The name
// must always hold the old or the new content whole (after a failure reported as such: the old),
// and the next start's sweep must leave no transient file and no record behind.
#include "Shim.h"

#include "app/SettingsStore.h"
#include "catalogue/CustomItems.h"
#include "catalogue/FileReplace.h"
#include "catalogue/PluginFileScramble.h"
#include "engine/CookiesFile.h"
#include "engine/SecureDelete.h"

#include <functional>

namespace {

struct Trial {
    const char* name;
    std::string folder, path, before, after;  // after: empty means the name is gone
    std::function<bool()> run;                // true when the rewrite reports success
};

const char kCookieHeader[] = "# Netscape HTTP Cookie File\n";
const char kCookieA[] = ".a.example\tTRUE\t/\tFALSE\t0\tsid\t1\n";
const char kCookieB[] = "b.example\tTRUE\t/\tFALSE\t0\tid\t2\n";

bool RemoveCookieA()
{
    CFoundObject object;
    object.m_strName = "a.example";
    object.m_strExtra1 = "sid";
    object.m_strExtra2 = "C:\\Profile\\cookies.txt";
    object.m_nKind = kObjCookie;
    shim::g_deleted = shim::g_notDeleted = 0;
    RemoveCookieLines(&object, nullptr, 0, 0);
    return shim::g_deleted > 0;
}

std::string Scrambled(const std::vector<CCustomEntry>& entries)
{
    std::string bytes = CustomItemsText(entries);
    ScrambleBlock(&bytes[0], bytes.size());
    return bytes;
}

const std::vector<CCustomEntry> kOldEntries = {{5001, "旧的项目名称", "*.tmp"}};
const std::vector<CCustomEntry> kNewEntries = {{5001, "旧的项目名称", "*.tmp"}, {5002, "New entry", "*.log;*.bak;"}};

std::vector<Trial> Trials()
{
    const std::string cookies = "C:\\Profile\\cookies.txt", custom = "C:\\Quillon\\DiskCleanEng.dat";
    return {
        {"cookies: one of two removed", "C:\\Profile", cookies, std::string(kCookieHeader) + kCookieA + kCookieB,
         std::string(kCookieHeader) + kCookieB, RemoveCookieA},
        {"cookies: the only one removed", "C:\\Profile", cookies, kCookieA, "", RemoveCookieA},
        {"custom items: one added", "C:\\Quillon", custom, Scrambled(kOldEntries), Scrambled(kNewEntries),
         [] { return WriteCustomItems(kNewEntries); }},
        {"custom items: all deleted", "C:\\Quillon", custom, Scrambled(kOldEntries), "",
         [] { return WriteCustomItems({}); }},
    };
}

void SetUp(const Trial& trial)
{
    shim::Reset({"C:", trial.folder});
    TheSettings().WriteString(kOptInstalledDir, "C:\\Quillon");
    TheSettings().LoadInstallDir();
    shim::PutFile(trial.path, trial.before);
}

int g_failures = 0;

void Expect(bool holds, const Trial& trial, const char* what, const char* mode, int step)
{
    if (holds) return;
    fprintf(stderr, "FAILED %s: %s (%s step %d)\n", trial.name, what, mode, step);
    ++g_failures;
}

// What the name holds: "old", "new", or a description of anything else.
std::string Holds(const Trial& trial)
{
    std::string bytes;
    const bool exists = shim::GetFile(trial.path, bytes);
    // The custom-items file is written empty rather than removed.
    if (trial.after.empty() && (!exists || (bytes.empty() && trial.path.find(".dat") != std::string::npos))) return "new";
    if (exists && bytes == trial.before) return "old";
    if (exists && bytes == trial.after) return "new";
    return exists ? "other content" : "nothing";
}

// The next start: its sweep removes what was left; then no transient file and no record remain.
void CheckNextStart(const Trial& trial, const std::string& held, const char* mode, int step)
{
    shim::Restart();
    SweepTransientFiles([](const std::string& path) { ShredFile(path, 1); });
    Expect(Holds(trial) == held, trial, "the sweep changed the file", mode, step);
    for (const std::string& name : shim::NamesIn(trial.folder))
        Expect(!IsTransientFileName(name), trial, "a transient file is left", mode, step);
    std::vector<std::string> records;
    TheSettings().ReadStringList(kOptTransientFiles, records);
    Expect(records.empty(), trial, "a transient record is left", mode, step);
}

void RunTrial(const Trial& trial)
{
    const int failuresBefore = g_failures;
    SetUp(trial);
    Expect(trial.run() && Holds(trial) == "new", trial, "the rewrite did not succeed", "no", 0);
    const int steps = shim::g_steps;
    CheckNextStart(trial, "new", "no", 0);

    for (int step = 1; step <= steps; ++step) {
        SetUp(trial);
        shim::g_crashAt = step;
        try {
            trial.run();
        } catch (const shim::CrashPoint&) {
            shim::g_world = shim::g_crashWorld;
        }
        const std::string held = Holds(trial);
        Expect(held == "old" || held == "new", trial, ("the name holds " + held).c_str(), "crash after", step);
        CheckNextStart(trial, held, "crash after", step);
    }
    for (int step = 1; step <= steps; ++step) {
        SetUp(trial);
        shim::g_failAt = step;
        const bool succeeded = trial.run();
        const std::string held = Holds(trial);
        Expect(held == (succeeded ? "new" : "old"), trial,
               ("reported " + std::string(succeeded ? "success" : "failure") + ", the name holds " + held).c_str(),
               "failing", step);
        CheckNextStart(trial, held, "failing", step);
    }
    printf("crash trials: %s: %d steps, each ended after and failed: %s\n", trial.name, steps,
           g_failures > failuresBefore ? "FAILED" : "ok");
}

}  // namespace

int main()
{
    for (const Trial& trial : Trials()) RunTrial(trial);
    return g_failures ? 1 : 0;
}
