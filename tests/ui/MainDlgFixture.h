// Fixture of the main-window tests: the real CMainDlg from template 126, modeless, over a catalogue
// of the built-in items alone, with the temporary-files item (1104) pointed at a folder of the test
// (TEMP), and helpers to read the button states, answer message boxes from another thread and pump
// until the window reaches a state. A "held" item (1100) can stand in for a slow scan: it reports
// given files and then waits until the scan is stopped; a "gated" cleaning function can hold a clean
// until the test opens the gate.
#pragma once

#include "UiFixture.h"
#include "catalogue/ModList.h"
#include "engine/RunReport.h"
#include "engine/SecureDelete.h"
#include "resource.h"
#include "support/WindowDriver.h"
#include "ui/MainDlg.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace maindlgtest {

const char kCaption[] = "Quillon 汉化版";
constexpr int kTempItemId = 1104;
constexpr int kHeldItemId = 1100;

// What the buttons and the progress group show.
struct CButtonStates {
    bool scanEnabled, cleanVisible, cleanEnabled, cancelVisible, cancelEnabled, progressVisible, categoriesEnabled;
    bool operator==(const CButtonStates& o) const
    {
        return scanEnabled == o.scanEnabled && cleanVisible == o.cleanVisible && cleanEnabled == o.cleanEnabled &&
               cancelVisible == o.cancelVisible && cancelEnabled == o.cancelEnabled &&
               progressVisible == o.progressVisible && categoriesEnabled == o.categoriesEnabled;
    }
};
inline std::ostream& operator<<(std::ostream& out, const CButtonStates& s)
{
    return out << "{scan " << s.scanEnabled << ", clean " << s.cleanVisible << "/" << s.cleanEnabled << ", cancel "
               << s.cancelVisible << "/" << s.cancelEnabled << ", progress " << s.progressVisible << ", categories "
               << s.categoriesEnabled << "}";
}
//                                    scan   clean shown/enabled  cancel shown/enabled  progress  categories
const CButtonStates kIdle{true, false, false, true, false, false, true};
const CButtonStates kScanning{false, false, false, true, true, true, false};
const CButtonStates kResultsReady{false, true, true, true, false, false, false};
const CButtonStates kCleaning{false, true, false, true, true, true, false};

// Shared with the held item's and the gated cleaner's functions, which run on the worker thread.
struct CHeldRun {
    std::vector<std::string> m_files;  // reported by the held item before it waits
    std::atomic<bool> m_bGateOpen{true};
    std::vector<std::string> m_cleaned;  // paths given to the gated cleaner, in order
};
CHeldRun& HeldRun();

// The caption a window keeps, read without sending it a message. Watchers look for windows with it:
// a watcher must never wait on the test's thread, which may be waiting (joining) for the watcher.
std::string StoredCaption(HWND hwnd);
// A visible top-level window of this process with this class and (unless empty) caption.
HWND FindOwnWindow(const std::string& className, const std::string& caption);
// A message box of this process (not the main window, which shares its caption).
HWND FindMessageBox(const std::string& caption = kCaption);
// Watches for a message box and presses a button of it; Text() tells what it said.
class CBoxAnswer {
public:
    explicit CBoxAnswer(int button, const std::string& caption = kCaption, DWORD timeoutMs = 10000);
    bool Answered() { return m_watcher.Found(); }
    std::string Text()
    {
        m_watcher.Join();
        return m_text;
    }
    // Gives up waiting: true when a box did appear after all.
    bool Stop() { return m_watcher.Stop(); }

private:
    std::string m_text;
    testsupport::WindowWatcher m_watcher;
};

class MainDlgTest : public UiTest {
protected:
    MainDlgTest();
    ~MainDlgTest() override;

    // Creates the window (modeless) after the test has set up the registry.
    HWND Open();
    void Close();
    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
    CButtonStates States() const;
    std::string Status(int part) const { return m_dlg->GetStatusText(part); }
    int Rows() const { return m_dlg->m_listResults.List().GetItemCount(); }
    std::string RowText(int row, int column = 0) const { return m_dlg->m_listResults.List().GetItemText(row, column); }
    bool RowChecked(int row) const { return m_dlg->m_listResults.IsRowChecked(row); }
    void CheckRow(int row) { m_dlg->m_listResults.SetRowChecked(row, true); }

    void Command(int id) { SendMessageA(m_hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    void PostCommand(int id) { PostMessageA(m_hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    bool WaitFor(const std::function<bool()>& condition, DWORD ms = 20000) { return testsupport::PumpUntil(condition, ms); }
    // No worker runs and the window has handled the end of the run.
    bool WaitUntilIdle(DWORD ms = 20000)
    {
        return WaitFor([&] { return !g_theScanningThreadsParam.m_bBusy && States() == kIdle; }, ms);
    }
    bool WaitForResults(DWORD ms = 20000)
    {
        return WaitFor([&] { return !g_theScanningThreadsParam.m_bBusy && States() == kResultsReady; }, ms);
    }

    // Presses "选项" and, while the options sheet runs modally, lets inSheet act on the sheet from a
    // watcher thread before the button (PSBTN_OK or PSBTN_CANCEL) closes it. False when no sheet
    // captioned "配置 Quillon..." appeared.
    bool RunOptionsSheet(int button, const std::function<void(HWND sheet)>& inSheet = nullptr);

    void CheckItem(int id, DWORD value = 1);
    // Files in the scanned temp folder; returns their paths.
    std::string MakeTempFile(const std::string& name, size_t bytes = 100);
    // Item 1100 reports these files (ordinary files with the gated cleaner) and then holds the scan
    // until it is stopped.
    void HoldScanAfter(const std::vector<std::string>& files);

    std::unique_ptr<CMainDlg> m_dlg;
    HWND m_hwnd = nullptr;
    std::string m_scanFolder;

private:
    CPluginFilePasses m_savedPasses;
    std::string m_savedTemp;
};

}  // namespace maindlgtest
