// Fixture for the browser items: the registry and folder sandboxes, a test main window with a run
// context attached to it, the built-in items set up from the built-in table (without the plug-in
// data files of a whole catalogue) with a stop event of their own, and helpers that call a scan or
// cleaning function on a worker thread as the scanning and cleaning threads do.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "TestMainWindow.h"
#include "app/SettingsStore.h"
#include "catalogue/BuiltinItems.h"
#include "catalogue/ModList.h"
#include "engine/RunReport.h"
#include "support/Sandbox.h"

class BrowserItemTest : public testsupport::SandboxTest {
protected:
    BrowserItemTest() : m_wnd(m_window.Hwnd()), m_stop(CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
        AttachWindow(m_context, &m_wnd);
        m_context.m_pOptions = &m_options;
        m_context.m_pStopEvent = m_stop;
        m_context.m_pfnIsStopRequested = IsStopRequested;
        for (int index = 0; index < kBuiltinItemCount; ++index) {
            SetUpBuiltinItem(m_items[index], index);
            m_items[index].m_pfnIsStopRequested = IsStopRequested;
            m_items[index].m_hStopEvent = m_stop;
        }
    }
    ~BrowserItemTest() override { CloseHandle(m_stop); }

    CModItem* Item(int id) { return &m_items[id - kFirstBuiltinId]; }
    void RequestStop() { SetEvent(m_stop); }
    void ResetStop() { ResetEvent(m_stop); }

    // A one-step item's scan on a worker thread; the caller ranges the bars first.
    int ScanOnWorker(CModItem* item)
    {
        item->m_pScanContext = &m_context;
        struct Call {
            CModItem* item;
            int result;
        } call{item, -1};
        EXPECT_TRUE(RunOnWorker([](void* p) {
            auto* c = static_cast<Call*>(p);
            c->result = c->item->m_pfnScanAll(c->item);
        }, &call));
        return call.result;
    }

    // The object's own cleaning function on a worker thread, with the counters of a fresh cleaning
    // run and no stop test.
    int CleanOnWorker(CFoundObject& object)
    {
        m_context.m_nFoundOrDeleted = 0;
        m_context.m_nNotDeleted = 0;
        m_context.m_qwBytes = 0;
        m_context.m_pfnIsStopRequested = nullptr;
        struct Call {
            CFoundObject* object;
            CRunContext* context;
            int result;
        } call{&object, &m_context, -1};
        EXPECT_TRUE(RunOnWorker([](void* p) {
            auto* c = static_cast<Call*>(p);
            c->result = c->object->m_pfnClean(c->object, c->context, 0, 0);
        }, &call));
        return call.result;
    }

    // As the scanning thread ranges them for one-step items: item 0..100, total 0..n*100.
    void RangeBarsForItems(int n)
    {
        SendMessageA(m_window.Item(kIdcItemBar), PBM_SETRANGE32, 0, 100);
        SendMessageA(m_window.Item(kIdcItemBar), PBM_SETPOS, 0, 0);
        SendMessageA(m_window.Item(kIdcTotalBar), PBM_SETRANGE32, 0, n * 100);
        SendMessageA(m_window.Item(kIdcTotalBar), PBM_SETPOS, 0, 0);
    }

    TestMainWindow m_window;
    CWndRef m_wnd;
    CRunOptions m_options;
    CRunContext m_context;
    HANDLE m_stop;
    CModItem m_items[kBuiltinItemCount];
};
