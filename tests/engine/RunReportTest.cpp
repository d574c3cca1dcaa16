// The reporting operations of the workers, against a real window written from another thread.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "support/TestMainWindow.h"
#include "engine/RunReport.h"
#include "engine/SecureDelete.h"
#include "framework/ScopedHandle.h"
#include "support/Sandbox.h"

namespace {

constexpr ULONGLONG kGiB = 1ULL << 30;

class RunReportTest : public testsupport::SandboxTest {
protected:
    RunReportTest() : m_wnd(m_window.Hwnd()) { AttachWindow(m_context, &m_wnd); }

    // Runs fn(context) on a worker thread, as the scanning and cleaning threads do.
    template <class Fn>
    void OnWorker(Fn fn)
    {
        struct Call {
            Fn* fn;
            CRunContext* context;
        } call{&fn, &m_context};
        ASSERT_TRUE(RunOnWorker([](void* p) {
            auto* c = static_cast<Call*>(p);
            (*c->fn)(c->context);
        }, &call));
    }

    // Makes a file of `size` bytes without writing them (sparse where the file system allows).
    std::string MakeSizedFile(const std::string& name, ULONGLONG size)
    {
        std::string path = m_temp / name;
        framework::ScopedKernelHandle h(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(size);
        EXPECT_TRUE(SetFilePointerEx(h.Get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(h.Get()));
        return path;
    }

    TestMainWindow m_window;
    CWndRef m_wnd;
    CRunContext m_context;
};

}  // namespace

TEST_F(RunReportTest, WindowReferenceAndContextTakeTheMainWindowsControls)
{
    EXPECT_EQ(m_window.Item(IDC_STATUSBAR), m_wnd.m_hStatusBar);
    EXPECT_EQ(IDC_CURRENT_OBJECT, m_wnd.m_nLineId);
    EXPECT_EQ(m_window.Item(IDC_ITEM_PROGRESS), m_context.m_pItemBar);
    EXPECT_EQ(m_window.Item(IDC_TOTAL_PROGRESS), m_context.m_pTotalBar);
    EXPECT_EQ(0, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(0, m_context.m_nNotDeleted);
    EXPECT_EQ(0, m_context.m_nIgnoredCookies);
    EXPECT_EQ(0u, m_context.m_qwBytes);
}

TEST_F(RunReportTest, FoundSendsTheRecordCountsAndShowsCountAndSize)
{
    std::string path = m_temp / "找到的文件.txt";
    testsupport::WriteFileBytes(path, std::string(1536 * 1024, 'x'));
    OnWorker([&](CRunContext* c) {
        CFileStatus status;  // on the worker's stack, as in the folder scan
        ASSERT_TRUE(ReadFileStatus(path, status));
        CFoundObject object = MakeFileObject(path, status);
        SetLine(c, object.m_strName);
        ReportFound(c, &object, status.m_qwSize);
    });

    ASSERT_EQ(1u, m_window.m_objects.size());
    const auto& got = m_window.m_objects[0];
    EXPECT_EQ(path, got.object.m_strPath);
    EXPECT_EQ("找到的文件.txt", got.object.m_strName);
    EXPECT_EQ(kObjFile, got.object.m_nKind);
    EXPECT_EQ(1536u * 1024, got.object.m_dwSize);
    EXPECT_EQ(&DeleteFoundFile, got.object.m_pfnClean);
    ASSERT_TRUE(got.hadStatus);  // readable while the message was handled
    EXPECT_EQ(1536u * 1024, got.status.m_qwSize);
    EXPECT_GT(got.status.m_tModification, 1500000000);

    EXPECT_EQ("找到的文件.txt", m_window.ItemText(IDC_CURRENT_OBJECT));
    EXPECT_EQ(1, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(1536u * 1024, m_context.m_qwBytes);
    EXPECT_EQ("已发现对象: 1", m_window.StatusText(1));
    EXPECT_EQ("总计大小: 1.50 MB", m_window.StatusText(2));
    EXPECT_EQ(SBT_POPOUT, m_window.StatusStyle(1));
    EXPECT_EQ(SBT_POPOUT, m_window.StatusStyle(2));

    // A file whose record could not be built is counted and sized but sends nothing.
    OnWorker([](CRunContext* c) { ReportFound(c, nullptr, 3 * 1024 * 1024); });
    EXPECT_EQ(1u, m_window.m_objects.size());
    EXPECT_EQ("已发现对象: 2", m_window.StatusText(1));
    EXPECT_EQ("总计大小: 4.50 MB", m_window.StatusText(2));
}

TEST_F(RunReportTest, SizesAbove4GiBAreSummedExactlyWhileTheRecordKeepsTheLow32Bits)
{
    ULONGLONG big = 5 * kGiB + 123456;
    std::string bigPath = MakeSizedFile("big.bin", big);
    std::string otherPath = MakeSizedFile("other.bin", 3 * kGiB);
    OnWorker([&](CRunContext* c) {
        for (const std::string& p : {bigPath, otherPath}) {
            CFileStatus status;
            ASSERT_TRUE(ReadFileStatus(p, status));
            CFoundObject object = MakeFileObject(p, status);
            ReportFound(c, &object, status.m_qwSize);
        }
    });
    ASSERT_EQ(2u, m_window.m_objects.size());
    EXPECT_EQ(big, m_window.m_objects[0].status.m_qwSize);
    EXPECT_EQ(static_cast<DWORD>(123456 + kGiB), m_window.m_objects[0].object.m_dwSize);
    EXPECT_EQ(static_cast<DWORD>(3 * kGiB), m_window.m_objects[1].object.m_dwSize);
    EXPECT_EQ(8 * kGiB + 123456, m_context.m_qwBytes);
    // (8 GiB + 123456) >> 10 = 8388728 KiB = 8192.117 MB
    EXPECT_EQ("总计大小: 8192.12 MB", m_window.StatusText(2));
}

TEST_F(RunReportTest, MegabytesCountWholeKilobytesOnly)
{
    EXPECT_EQ(0.0, BytesToMegabytes(1023));
    EXPECT_DOUBLE_EQ(1.0 / 1024, BytesToMegabytes(2047));
    EXPECT_DOUBLE_EQ(1.0, BytesToMegabytes(1024 * 1024));
    EXPECT_DOUBLE_EQ(1.5, BytesToMegabytes(1536 * 1024 + 1023));
    EXPECT_DOUBLE_EQ(8.0 * 1024 * 1024, BytesToMegabytes(8ULL << 40));
}

TEST_F(RunReportTest, DeletedNotDeletedAndIgnoredCookieCountAndShowTheirTexts)
{
    OnWorker([](CRunContext* c) {
        ReportDeleted(c, 2 * 1024 * 1024);
        ReportDeleted(c, 512 * 1024);
        ReportIgnoredCookie(c);
    });
    size_t writesBefore = m_window.m_statusWrites.size();
    OnWorker([](CRunContext* c) { ReportNotDeleted(c); });

    EXPECT_EQ(2, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(1, m_context.m_nNotDeleted);
    EXPECT_EQ(1, m_context.m_nIgnoredCookies);
    EXPECT_EQ(2560u * 1024, m_context.m_qwBytes);
    EXPECT_EQ("已删除的对象: 2", m_window.StatusText(1));
    EXPECT_EQ("剩余空间: 2.50 MB", m_window.StatusText(2));
    EXPECT_EQ("已忽略的 Cookies: 1", m_window.StatusText(3));
    EXPECT_EQ(SBT_POPOUT, m_window.StatusStyle(3));
    EXPECT_EQ(writesBefore, m_window.m_statusWrites.size());  // not deleted shows nothing
}

TEST_F(RunReportTest, StatusPartZeroIsWrittenWithoutStyleAndOthersPopOut)
{
    OnWorker([](CRunContext* c) {
        SetStatusPart(c, 0, "%s", "正在工作...");
        SetStatusPart(c, 3, "%d-%s", 7, "x");
        c->m_pWnd->SetItemText(IDC_CURRENT_OPERATION, "正在清理...");
    });
    ASSERT_EQ(2u, m_window.m_statusWrites.size());
    EXPECT_EQ(0u, m_window.m_statusWrites[0].how);
    EXPECT_EQ("正在工作...", m_window.m_statusWrites[0].text);
    EXPECT_EQ(static_cast<WPARAM>(3 | SBT_POPOUT), m_window.m_statusWrites[1].how);
    EXPECT_EQ("7-x", m_window.StatusText(3));
    EXPECT_EQ("正在清理...", m_window.ItemText(IDC_CURRENT_OPERATION));

    std::string saved;
    ASSERT_TRUE(m_wnd.GetStatusText(0, saved));
    EXPECT_EQ("正在工作...", saved);
}

TEST_F(RunReportTest, ProgressBarsTakeRangePositionAndAdvance)
{
    OnWorker([](CRunContext* c) {
        SetProgressRange(c, c->m_pItemBar, 10);
        SetProgressRange(c, c->m_pTotalBar, 500);
        SetProgressPos(c, c->m_pItemBar, 3);
        SetProgressPos(c, c->m_pTotalBar, 200);
        AdvanceBars(c);
        AdvanceProgress(c, c->m_pTotalBar, 100);
    });
    EXPECT_EQ(10, m_window.ProgressMax(IDC_ITEM_PROGRESS));
    EXPECT_EQ(500, m_window.ProgressMax(IDC_TOTAL_PROGRESS));
    EXPECT_EQ(4, m_window.ProgressPos(IDC_ITEM_PROGRESS));
    EXPECT_EQ(301, m_window.ProgressPos(IDC_TOTAL_PROGRESS));
    EXPECT_EQ(4, GetProgressPos(&m_context, m_context.m_pItemBar));
}

TEST_F(RunReportTest, NothingHappensWithoutMainWindow)
{
    m_window.m_statusWrites.clear();
    SendMessageA(m_window.Item(IDC_ITEM_PROGRESS), PBM_SETRANGE32, 0, 100);
    SendMessageA(m_window.Item(IDC_ITEM_PROGRESS), PBM_SETPOS, 5, 0);
    SetDlgItemTextA(m_window.Hwnd(), IDC_CURRENT_OBJECT, "unchanged");

    // A reference without a main window, though the bar handles are real; and no reference at all.
    CWndRef detached;
    CRunContext noMain;
    AttachWindow(noMain, &detached);
    noMain.m_pItemBar = m_window.Item(IDC_ITEM_PROGRESS);
    noMain.m_pTotalBar = m_window.Item(IDC_TOTAL_PROGRESS);
    CRunContext noRef;
    noRef.m_pItemBar = noMain.m_pItemBar;

    for (CRunContext* c : {&noMain, &noRef}) {
        CFoundObject object;
        object.m_strPath = "C:\\x";
        object.m_dwSize = 4096;
        ReportFound(c, &object);
        ReportDeleted(c, 4096);
        ReportNotDeleted(c);
        ReportIgnoredCookie(c);
        ShowFoundCount(c);
        ShowDeletedCount(c);
        SetLine(c, "changed");
        SetStatusPart(c, 1, "%s", "changed");
        SetProgressRange(c, c->m_pItemBar, 7);
        SetProgressPos(c, c->m_pItemBar, 6);
        AdvanceBars(c);
        EXPECT_EQ(0, GetProgressPos(c, c->m_pItemBar));
        EXPECT_EQ(0, c->m_nFoundOrDeleted);
        EXPECT_EQ(0, c->m_nNotDeleted);
        EXPECT_EQ(0, c->m_nIgnoredCookies);
        EXPECT_EQ(0u, c->m_qwBytes);
    }
    detached.SetLine("changed");
    detached.SetStatusText(2, "changed");
    std::string text = "sentinel";
    EXPECT_FALSE(detached.GetStatusText(0, text));
    EXPECT_EQ("sentinel", text);

    EXPECT_TRUE(m_window.m_objects.empty());
    EXPECT_TRUE(m_window.m_statusWrites.empty());
    EXPECT_EQ("unchanged", m_window.ItemText(IDC_CURRENT_OBJECT));
    EXPECT_EQ(5, m_window.ProgressPos(IDC_ITEM_PROGRESS));
    EXPECT_EQ(100, m_window.ProgressMax(IDC_ITEM_PROGRESS));
}
