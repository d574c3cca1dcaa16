// Fixture for the item functions of the built-in items: the registry and folder sandboxes, a test
// main window, and a run context attached to it, with helpers that call a scan or cleaning
// function on a worker thread as the scanning and cleaning threads do.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "support/TestMainWindow.h"
#include "app/SettingsStore.h"
#include "catalogue/ModList.h"
#include "engine/RunReport.h"
#include "support/Sandbox.h"

class ItemRunTest : public testsupport::SandboxTest {
protected:
    // The catalogue holds the built-ins alone: the data files of the install folder are not read.
    ItemRunTest() : m_wnd(m_window.Hwnd()), m_savedPasses(GetPluginFilePasses())
    {
        AttachWindow(m_context, &m_wnd);
        m_context.m_pOptions = &m_options;
        m_context.m_pStopEvent = g_theScanningThreadsParam.m_evStop;
        m_context.m_pfnIsStopRequested = IsStopRequested;
        ResetEvent(g_theScanningThreadsParam.m_evStop);
        SetPluginFilePasses(CPluginFilePasses{});
        g_theScanningThreadsParam.Build();
    }
    ~ItemRunTest() override
    {
        ResetEvent(g_theScanningThreadsParam.m_evStop);
        // No item built from a test's passes outlives the test.
        SetPluginFilePasses(CPluginFilePasses{});
        g_theScanningThreadsParam.Build();
        SetPluginFilePasses(m_savedPasses);
    }

    CModItem* Item(int id) { return g_theScanningThreadsParam.FindById(id); }
    // The stop event that the built-in items and the run context test.
    static HANDLE StopEvent() { return g_theScanningThreadsParam.m_evStop; }
    static void RequestStop() { SetEvent(StopEvent()); }
    static void ResetStop() { ResetEvent(StopEvent()); }

    // The scanning thread sets the context and ranges the bars before it calls a one-step item:
    // items 0..100, total 0..n*100. Returns the function's result.
    int ScanOnWorker(CModItem* item, int (*fn)(CModItem*))
    {
        item->m_pScanContext = &m_context;
        struct Call {
            CModItem* item;
            int (*fn)(CModItem*);
            int result;
        } call{item, fn, -1};
        EXPECT_TRUE(RunOnWorker([](void* p) {
            auto* c = static_cast<Call*>(p);
            c->result = c->fn(c->item);
        }, &call));
        return call.result;
    }
    int ScanOnWorker(CModItem* item) { return ScanOnWorker(item, item->m_pfnScanAll); }

    // Calls the object's own cleaning function on a worker thread, with a fresh cleaning context.
    int CleanOnWorker(CFoundObject& object)
    {
        m_context.m_nFoundOrDeleted = 0;
        m_context.m_nNotDeleted = 0;
        m_context.m_qwBytes = 0;
        m_context.m_pfnIsStopRequested = nullptr;
        return ::CleanOnWorker(object, m_context);
    }

    // As the scanning thread ranges them for one-step items: item 0..100, total 0..n*100.
    void RangeBarsForItems(int n)
    {
        SendMessageA(m_window.Item(IDC_ITEM_PROGRESS), PBM_SETRANGE32, 0, 100);
        SendMessageA(m_window.Item(IDC_ITEM_PROGRESS), PBM_SETPOS, 0, 0);
        SendMessageA(m_window.Item(IDC_TOTAL_PROGRESS), PBM_SETRANGE32, 0, n * 100);
        SendMessageA(m_window.Item(IDC_TOTAL_PROGRESS), PBM_SETPOS, 0, 0);
    }

    std::vector<CFoundObject> Objects() const
    {
        std::vector<CFoundObject> objects;
        for (const auto& received : m_window.m_objects) objects.push_back(received.object);
        return objects;
    }

    TestMainWindow m_window;
    CWndRef m_wnd;
    CPluginFilePasses m_savedPasses;
    CRunOptions m_options;
    CRunContext m_context;
};
