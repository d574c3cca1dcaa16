// Runs the three steps of an item (prepare, count, scan, finish) on a worker thread as the scanning
// thread calls them, with the bars ranged wider than the item's units so that a position past
// them would show.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "support/TestMainWindow.h"
#include "catalogue/ModItem.h"
#include "engine/RunContext.h"
#include "engine/RunReport.h"

struct ThreeStepResults {
    int prepared = -1;
    int counted = -1;
    int units = -1;
    int scanned = -1;  // -1: not called
};

inline ThreeStepResults RunThreeStepsOnWorker(CModItem* item, CRunContext* context, TestMainWindow& window)
{
    item->m_pScanContext = context;
    struct Call {
        CModItem* item;
        TestMainWindow* window;
        ThreeStepResults results;
    } call{item, &window, {}};
    EXPECT_TRUE(RunOnWorker([](void* p) {
        auto* c = static_cast<Call*>(p);
        CModItem* it = c->item;
        c->results.prepared = it->m_pfnPrepare(it);
        if (c->results.prepared) {
            int units = 0;
            c->results.counted = it->m_pfnCount(&units, it);
            c->results.units = units;
            SendMessageA(c->window->Item(IDC_ITEM_PROGRESS), PBM_SETRANGE32, 0, units + 1000);
            SendMessageA(c->window->Item(IDC_TOTAL_PROGRESS), PBM_SETRANGE32, 0, units + 1000);
            if (c->results.counted) c->results.scanned = it->m_pfnScan(it);
        }
        it->m_pfnFinish(it);
    }, &call));
    EXPECT_EQ(nullptr, item->m_pScanData) << "finish leaves no scan data";
    return call.results;
}
