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
const std::string kCookies = "C:\\Profile\\cookies.txt", kCustom = "C:\\Quillon\\DiskCleanEng.dat";
const Trial kTrials[] = {
    {"cookies: one of two removed", "C:\\Profile", kCookies, std::string(kCookieHeader) + kCookieA + kCookieB,
     std::string(kCookieHeader) + kCookieB, RemoveCookieA},
    {"cookies: the only one removed", "C:\\Profile", kCookies, kCookieA, "", RemoveCookieA},
    {"custom items: one added", "C:\\Quillon", kCustom, Scrambled(kOldEntries), Scrambled(kNewEntries),
     [] { return WriteCustomItems(kNewEntries); }},
    {"custom items: all deleted", "C:\\Quillon", kCustom, Scrambled(kOldEntries), "", [] { return WriteCustomItems({}); }},
};

// What the name holds: "old", "new", or a description of anything else.
std::string Holds(const Trial& trial)
{
    std::string bytes;
    const bool exists = shim::GetFile(trial.path, bytes);
    // The custom-items file is written empty rather than removed.
    if (trial.after.empty() && (!exists || (bytes.empty() && trial.path == kCustom))) return "new";
    if (exists && bytes == trial.before) return "old";
    if (exists && bytes == trial.after) return "new";
    return exists ? "other content" : "nothing";
}

int g_failures = 0;

void Expect(bool holds, const Trial& trial, const std::string& what, const std::string& when)
{
    if (holds) return;
    fprintf(stderr, "FAILED %s: %s (%s)\n", trial.name, what.c_str(), when.c_str());
    ++g_failures;
}

// One run of the rewrite from the old content, answering its steps; then the next start, whose sweep
// removes what was left: no transient file and no record remain, and the name still holds what it held.
int RunOnce(const Trial& trial, int crashAt, int failAt, const std::string& when)
{
    shim::Reset({trial.folder});
    TheSettings().WriteString(kOptInstalledDir, "C:\\Quillon");
    TheSettings().LoadInstallDir();
    shim::PutFile(trial.path, trial.before);
    shim::g_crashAt = crashAt;
    shim::g_failAt = failAt;
    bool succeeded = false;
    try {
        succeeded = trial.run();
    } catch (const shim::CrashPoint&) {  // the process ended there
    }
    const std::string held = Holds(trial);
    if (crashAt) Expect(held == "old" || held == "new", trial, "the name holds " + held, when);
    const std::string reported = succeeded ? "reported success" : "reported failure";
    if (!crashAt) Expect(held == (succeeded ? "new" : "old"), trial, reported + ", the name holds " + held, when);

    const int steps = shim::g_steps;
    shim::Restart();
    SweepTransientFiles([](const std::string& path) { ShredFile(path, 1); });
    Expect(Holds(trial) == held, trial, "the sweep changed the file", when);
    for (const std::string& name : shim::NamesIn(trial.folder))
        Expect(!IsTransientFileName(name), trial, "a transient file is left", when);
    std::vector<std::string> records;
    TheSettings().ReadStringList(kOptTransientFiles, records);
    Expect(records.empty(), trial, "a transient record is left", when);
    return steps;
}

}  // namespace

int main()
{
    for (const Trial& trial : kTrials) {
        const int failuresBefore = g_failures;
        const int steps = RunOnce(trial, 0, 0, "no step failing");
        Expect(Holds(trial) == "new", trial, "the rewrite did not succeed", "no step failing");
        for (int step = 1; step <= steps; ++step) {
            RunOnce(trial, step, 0, "ended after step " + std::to_string(step));
            RunOnce(trial, 0, step, "step " + std::to_string(step) + " failing");
        }
        printf("crash trials: %s: %d steps, each ended after and failed: %s\n", trial.name, steps,
               g_failures > failuresBefore ? "FAILED" : "ok");
    }
    return g_failures ? 1 : 0;
}
