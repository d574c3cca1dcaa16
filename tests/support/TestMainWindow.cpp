#include "support/TestMainWindow.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "engine/RunReport.h"
#include "engine/WorkerMessages.h"
#include "framework/Controls.h"
#include "support/Sandbox.h"

namespace {

const char kClassName[] = "QuillonEngineTestMain";

void RegisterOnce(WNDPROC proc)
{
    WNDCLASSA wc{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), kClassName, &wc)) return;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassA(&wc);
}

HWND Child(HWND parent, const char* cls, int id, int y)
{
    return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE, 10, y, 400, 20, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                           nullptr);
}

bool IsWorkerMessage(UINT msg)
{
    switch (msg) {
        case UWM_ADD_OBJECT: case UWM_ADD_FOLDER: case UWM_REMOVE_ROW:
        case UWM_SCAN_COMPLETED: case UWM_SCAN_CANCELLED: case UWM_CLEAN_ENDING:
        case UWM_CLEAN_FOLLOWUP: case UWM_CLEAN_COMPLETED: case UWM_CLEAN_CANCELLED:
            return true;
        default:
            return false;
    }
}

struct WorkerCall {
    void (*fn)(void*);
    void* arg;
};

DWORD WINAPI WorkerEntry(void* p)
{
    auto* call = static_cast<WorkerCall*>(p);
    call->fn(call->arg);
    return 0;
}

}  // namespace

TestMainWindow::TestMainWindow()
{
    RegisterOnce(WndProc);
    m_hwnd = CreateWindowExA(0, kClassName, "Quillon test", WS_OVERLAPPEDWINDOW, 0, 0, 600, 300, nullptr,
                             nullptr, GetModuleHandleA(nullptr), this);
    Child(m_hwnd, PROGRESS_CLASSA, IDC_ITEM_PROGRESS, 10);
    Child(m_hwnd, PROGRESS_CLASSA, IDC_TOTAL_PROGRESS, 40);
    Child(m_hwnd, "STATIC", IDC_CURRENT_OPERATION, 70);
    Child(m_hwnd, "STATIC", IDC_CURRENT_OBJECT, 100);
    HWND bar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, m_hwnd,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUSBAR)),
                               GetModuleHandleA(nullptr), nullptr);
    int edges[4] = {150, 300, 450, -1};
    SendMessageA(bar, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
    SetWindowLongPtrA(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_statusBarProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StatusBarProc)));
}

TestMainWindow::~TestMainWindow() { DestroyWindow(m_hwnd); }

LRESULT CALLBACK TestMainWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<TestMainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && IsWorkerMessage(msg)) {
        WorkerMessage record{msg, wParam, lParam, {}};
        if (msg == UWM_ADD_FOLDER) record.text = reinterpret_cast<const char*>(wParam);
        if (msg == UWM_CLEAN_FOLLOWUP && wParam == 1 && lParam) {
            char* report = reinterpret_cast<char*>(lParam);
            record.text = report;
            delete[] report;
        }
        self->m_messages.push_back(record);
    }
    if (self && msg == UWM_ADD_OBJECT) {
        const auto* sent = reinterpret_cast<const CFoundObject*>(wParam);
        if (!sent->m_strPath.empty()) {
            ReceivedObject received;
            received.object = *sent;
            received.hadStatus = sent->m_pStatus != nullptr;
            if (sent->m_pStatus) received.status = *sent->m_pStatus;
            received.object.m_pStatus = nullptr;
            self->m_objects.push_back(received);
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK TestMainWindow::StatusBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<TestMainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == SB_SETTEXTA) self->m_statusWrites.push_back({wParam, reinterpret_cast<const char*>(lParam)});
    return CallWindowProcA(self->m_statusBarProc, hwnd, msg, wParam, lParam);
}

std::vector<TestMainWindow::WorkerMessage> TestMainWindow::MessagesOf(UINT msg) const
{
    std::vector<WorkerMessage> found;
    for (const WorkerMessage& m : m_messages)
        if (m.msg == msg) found.push_back(m);
    return found;
}

std::vector<UINT> TestMainWindow::CompletionMessages() const
{
    std::vector<UINT> found;
    for (const WorkerMessage& m : m_messages)
        if (m.msg != UWM_ADD_OBJECT && m.msg != UWM_ADD_FOLDER && m.msg != UWM_REMOVE_ROW) found.push_back(m.msg);
    return found;
}

std::string TestMainWindow::StatusText(int part) const
{
    return framework::CStatusBar(Item(IDC_STATUSBAR)).GetText(part);
}

int TestMainWindow::StatusStyle(int part) const
{
    return HIWORD(SendMessageA(Item(IDC_STATUSBAR), SB_GETTEXTLENGTHA, part, 0));
}

std::string TestMainWindow::ItemText(int id) const
{
    char buf[512] = "";
    GetDlgItemTextA(m_hwnd, id, buf, sizeof buf);
    return buf;
}

int TestMainWindow::ProgressPos(int id) const
{
    return static_cast<int>(SendMessageA(Item(id), PBM_GETPOS, 0, 0));
}

int TestMainWindow::ProgressMax(int id) const
{
    return static_cast<int>(SendMessageA(Item(id), PBM_GETRANGE, FALSE, 0));
}

bool RunOnWorker(void (*fn)(void*), void* arg, DWORD timeoutMs)
{
    WorkerCall call{fn, arg};
    HANDLE thread = CreateThread(nullptr, 0, WorkerEntry, &call, 0, nullptr);
    if (!thread) return false;
    bool ended = testsupport::PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; },
                                        timeoutMs);
    if (!ended) WaitForSingleObject(thread, INFINITE);  // the call frame must outlive the thread
    CloseHandle(thread);
    return ended;
}

int CleanOnWorker(CFoundObject& object, CRunContext& context)
{
    struct Call {
        CFoundObject* object;
        CRunContext* context;
        int result;
    } call{&object, &context, -1};
    EXPECT_TRUE(RunOnWorker([](void* p) {
        auto* c = static_cast<Call*>(p);
        c->result = c->object->m_pfnClean(c->object, c->context, 0, 0);
    }, &call));
    return call.result;
}
