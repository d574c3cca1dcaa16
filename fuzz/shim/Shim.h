// What the fuzz targets and the crash-point trials see of the shim: the in-memory disk and registry,
// the file-system steps that can be made to fail or to end the process, and what the stand-ins for
// reporting collected.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/FoundObject.h"

namespace shim {

struct Node {
    std::string bytes;
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
};
struct RegValue {
    DWORD type;
    std::string bytes;
};
// Everything that survives the process: names (lower-cased paths; hard links share a node) and keys.
struct World {
    std::map<std::string, std::shared_ptr<Node>> files;
    std::map<std::string, std::map<std::string, RegValue>> keys;  // "hkcu\\software\\..." -> values
    World Copy() const;  // nodes copied, links kept
};
extern World g_world;

// Empties disk and registry, creates the folders given and the program's settings key.
void Reset(const std::vector<std::string>& folders = {});
// The process ended: its open handles are gone, the disk and the registry stay.
void Restart();
void PutFile(const std::string& path, const std::string& bytes);
bool GetFile(const std::string& path, std::string& bytes);
std::vector<std::string> NamesIn(const std::string& folder);  // names directly in the folder

// Every call that reads or changes the disk or the registry is one step. Step failAt fails (with
// ERROR_ACCESS_DENIED); after step crashAt has taken effect the world is kept as it is then and
// CrashPoint is thrown, as if the process had ended there. 0 disarms both.
struct CrashPoint {};
extern int g_steps, g_failAt, g_crashAt;
extern World g_crashWorld;

// Found objects and counters reported through the run-report stand-ins, and message boxes shown.
extern std::vector<CFoundObject> g_found;
extern int g_deleted, g_notDeleted, g_boxes;

}  // namespace shim

// A broken invariant: prints and aborts, which libFuzzer reports with the input.
#define FUZZ_CHECK(cond)                                                               \
    do {                                                                               \
        if (!(cond)) {                                                                 \
            fprintf(stderr, "invariant broken at %s:%d: %s\n", __FILE__, __LINE__, #cond); \
            abort();                                                                   \
        }                                                                              \
    } while (0)
