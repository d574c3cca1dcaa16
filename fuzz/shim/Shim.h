// What the fuzz targets and the crash-point trials see of the shim: the in-memory disk, the
// file-system steps that can be made to fail or to end the process, and what the stand-ins for
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

// Empties disk, registry and what was reported; creates the folders given (with those above them)
// and the program's settings key.
void Reset(const std::vector<std::string>& folders = {});
// The process ended: its open handles are gone, the disk and the registry stay.
void Restart();
void PutFile(const std::string& path, const std::string& bytes);
bool GetFile(const std::string& path, std::string& bytes);
std::vector<std::string> NamesIn(const std::string& folder);  // lower-cased names directly in it

// Every change of the disk or the registry and every read of a file is one step. Step g_failAt
// fails (ERROR_ACCESS_DENIED); after step g_crashAt CrashPoint is thrown and nothing changes any
// more until Restart, as if the process had ended there. 0 disarms both.
struct CrashPoint {};
extern int g_steps, g_failAt, g_crashAt;

// Found objects and counters reported through the run-report stand-ins, and message boxes shown.
extern std::vector<CFoundObject> g_found;
extern int g_deleted, g_notDeleted, g_boxes;

}  // namespace shim

// A broken invariant: prints and aborts, which libFuzzer reports with the input.
#define FUZZ_CHECK(cond) \
    ((cond) ? void() : (fprintf(stderr, "invariant broken at %s:%d: %s\n", __FILE__, __LINE__, #cond), abort()))
