// Coalescing of the workers' frequent display writes: a coalescing window reference ends with the
// very display that writing everything at once produces, writes far less often, and lets nothing
// it holds back be overtaken by a direct write.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "support/TestMainWindow.h"
#include "engine/RunReport.h"
#include "support/Sandbox.h"

namespace {

struct Pair {
    CRunContext* coalesced;
    CRunContext* direct;
};

// A run's worth of writes, including positions beyond the ranges that the bars clamp.
void Writes(CRunContext* c)
{
    SetProgressRange(c, c->m_pItemBar, 50);
    SetProgressRange(c, c->m_pTotalBar, 300);
    SetProgressPos(c, c->m_pTotalBar, 120);
    for (int i = 0; i < 80; ++i) {
        SetLine(c, "file" + std::to_string(i) + ".txt");
        c->m_nFoundOrDeleted = i + 1;
        ShowFoundCount(c);
        SetStatusPart(c, 2, "%d KB", i * 3);
        AdvanceBars(c);  // the item bar stops at 50
    }
    SetProgressPos(c, c->m_pItemBar, -5);  // clamps to 0
    AdvanceProgress(c, c->m_pItemBar, 7);
    SetProgressRange(c, c->m_pTotalBar, 100);  // the control moves 200 down to 100
    AdvanceProgress(c, c->m_pTotalBar, -30);
    SetStatusPart(c, 3, "%s", "三");
}

}  // namespace

TEST(DisplayCoalescing, TheDisplayEndsAsIfEveryWriteHadGoneOut)
{
    TestMainWindow coalescedWindow, directWindow;
    CWndRef coalescedRef(coalescedWindow.Hwnd()), directRef(directWindow.Hwnd());
    coalescedRef.SetCoalescing(30);
    CRunContext coalesced, direct;
    AttachWindow(coalesced, &coalescedRef);
    AttachWindow(direct, &directRef);

    Pair pair{&coalesced, &direct};
    ASSERT_TRUE(RunOnWorker([](void* p) {
        auto* pr = static_cast<Pair*>(p);
        Writes(pr->direct);
        Writes(pr->coalesced);
        EXPECT_EQ(GetProgressPos(pr->direct, pr->direct->m_pItemBar),
                  GetProgressPos(pr->coalesced, pr->coalesced->m_pItemBar));
        FlushDisplay(pr->coalesced);
    }, &pair));

    for (int part = 0; part < 4; ++part) EXPECT_EQ(directWindow.StatusText(part), coalescedWindow.StatusText(part));
    EXPECT_EQ("已发现对象: 80", coalescedWindow.StatusText(1));
    EXPECT_EQ(directWindow.ItemText(IDC_CURRENT_OBJECT), coalescedWindow.ItemText(IDC_CURRENT_OBJECT));
    for (int bar : {IDC_ITEM_PROGRESS, IDC_TOTAL_PROGRESS}) {
        EXPECT_EQ(directWindow.ProgressPos(bar), coalescedWindow.ProgressPos(bar));
        EXPECT_EQ(directWindow.ProgressMax(bar), coalescedWindow.ProgressMax(bar));
    }
    EXPECT_EQ(7, coalescedWindow.ProgressPos(IDC_ITEM_PROGRESS));
    EXPECT_EQ(70, coalescedWindow.ProgressPos(IDC_TOTAL_PROGRESS));
    EXPECT_LT(coalescedWindow.m_statusWrites.size() * 4, directWindow.m_statusWrites.size());
}

TEST(DisplayCoalescing, HeldBackTextGoesOutBeforeAnyDirectWriteAndAnyRead)
{
    TestMainWindow window;
    CWndRef ref(window.Hwnd());
    ref.SetCoalescing(60000);  // nothing goes out by time in this test
    CRunContext context;
    AttachWindow(context, &ref);
    ASSERT_TRUE(RunOnWorker([](void* p) {
        auto* c = static_cast<CRunContext*>(p);
        SetLine(c, "first");   // the first write after a quiet spell goes out at once
        SetLine(c, "second");  // held back
        SetStatusPart(c, 1, "%s", "held");
    }, &context));
    EXPECT_EQ("first", window.ItemText(IDC_CURRENT_OBJECT));
    EXPECT_EQ("", window.StatusText(1));

    std::string text;
    ASSERT_TRUE(RunOnWorker([](void* p) {
        auto* c = static_cast<CRunContext*>(p);
        c->m_pWnd->SetItemText(IDC_CURRENT_OPERATION, "direct");
    }, &context));
    EXPECT_EQ("second", window.ItemText(IDC_CURRENT_OBJECT));
    EXPECT_EQ("held", window.StatusText(1));

    ASSERT_TRUE(RunOnWorker([](void* p) { SetStatusPart(static_cast<CRunContext*>(p), 2, "%s", "read back"); },
                            &context));
    EXPECT_EQ("", window.StatusText(2));
    EXPECT_TRUE(ref.GetStatusText(2, text));
    EXPECT_EQ("read back", text);
    EXPECT_EQ("read back", window.StatusText(2));
}
