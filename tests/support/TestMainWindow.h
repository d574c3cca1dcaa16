// A stand-in for the main window as the workers see it: a real top-level window with the status
// bar (1026, four parts), the progress bars 1008 and 1009 and the status lines 1010 and 1011. It
// keeps a copy of every object sent with UWM_ADD_OBJECT and records every SB_SETTEXTA the status
// bar receives.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "engine/FoundObject.h"

class TestMainWindow {
public:
    struct StatusWrite {
        WPARAM how;  // part | style
        std::string text;
    };
    struct ReceivedObject {
        CFoundObject object;
        bool hadStatus = false;
        CFileStatus status;  // copied while the message was handled
    };

    TestMainWindow();
    ~TestMainWindow();
    TestMainWindow(const TestMainWindow&) = delete;
    TestMainWindow& operator=(const TestMainWindow&) = delete;

    HWND Hwnd() const { return m_hwnd; }
    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }

    std::string StatusText(int part) const;
    // SBT_* style of a part, as the status bar reports it.
    int StatusStyle(int part) const;
    std::string ItemText(int id) const;
    int ProgressPos(int id) const;
    int ProgressMax(int id) const;

    std::vector<ReceivedObject> m_objects;
    std::vector<StatusWrite> m_statusWrites;

    // Every worker message (UWM_*) in arrival order, sent or posted. The folder path of
    // UWM_ADD_FOLDER and the report of UWM_CLEAN_FOLLOWUP are copied into text (the report freed
    // as the main window does).
    struct WorkerMessage {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        std::string text;
    };
    std::vector<WorkerMessage> m_messages;
    // The messages with this identifier, in order.
    std::vector<WorkerMessage> MessagesOf(UINT msg) const;
    // The identifiers of the posted completion messages, in order.
    std::vector<UINT> CompletionMessages() const;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK StatusBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    WNDPROC m_statusBarProc = nullptr;
};

// Runs fn on a new thread while this thread pumps its messages, as the main window does while a
// worker sends to it. Returns false when the thread did not end within timeoutMs.
bool RunOnWorker(void (*fn)(void*), void* arg, DWORD timeoutMs = 10000);

struct CRunContext;
// Calls the object's own cleaning function on a worker thread, as the cleaning thread does.
// Returns the function's result (-1 when the thread did not end).
int CleanOnWorker(CFoundObject& object, CRunContext& context);
