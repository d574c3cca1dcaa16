// Runs a worker thread (scanning or cleaning) against the test main window: this thread pumps its
// messages, as the main window's thread does, until the worker has ended, and answers every message
// box the worker shows with OK, keeping its caption, text and owner.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ShownBox {
    HWND owner;
    std::string caption;
    std::string text;
};

struct WorkerRunResult {
    bool ended = false;  // within the time-out
    DWORD exitCode = 0xdeadbeef;
    std::vector<ShownBox> boxes;
};

// Pumps until `thread` ends (then once more for the messages it posted); closes the handle.
WorkerRunResult PumpWorker(HANDLE thread, DWORD timeoutMs = 20000);
