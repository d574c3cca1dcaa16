// Fixture of the items-dialog tests: the real CSelItemsDlg from template 107, modeless, over a
// catalogue read by the real plug-in reader from four data files that each test writes into its own
// folder (so the custom items live in a real, scrambled custom-items file), with helpers to drive
// the list like a user and to collect the message boxes that an action shows.
#pragma once

#include "UiFixture.h"
#include "catalogue/ModList.h"
#include "resource.h"
#include "support/WindowDriver.h"
#include "ui/SelItemsDlg.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace selitemstest {

const char kItemStatesKey[] = "Software\\Venmoor\\Quillon\\ItemStates";
const char kSettingsKey[] = "Software\\Venmoor\\Quillon\\Settings";
const char kAppCaption[] = "Quillon 汉化版";

// One complete module of a data file (before scrambling).
std::string Module(int id, const std::string& title, int reference, const std::string& extra = "");
std::string CustomModule(int id, const std::string& title, const std::string& params);

// A message box as a watcher saw it.
struct CSeenBox {
    std::string text;
    HWND owner = nullptr;
    bool warningIcon = false;
};

// Finds, reads and answers (OK) every message box with a caption that this process shows until
// Stop(); the test's thread runs the action that shows them meanwhile.
class CBoxCollector {
public:
    explicit CBoxCollector(const std::string& caption = kAppCaption);
    ~CBoxCollector() { Stop(); }
    CBoxCollector(const CBoxCollector&) = delete;
    CBoxCollector& operator=(const CBoxCollector&) = delete;
    std::vector<CSeenBox> Stop();
    std::vector<std::string> Texts();

private:
    void Watch();
    std::string m_caption;
    std::vector<CSeenBox> m_seen;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

class SelItemsTest : public UiTest {
protected:
    SelItemsTest();
    ~SelItemsTest() override;

    // The data files: InetEng, SysEng and AppsEng hold what the test gives (one harmless module
    // when empty); DiskCleanEng holds the custom items (a module of another category when none).
    void WriteDataFiles(const std::string& windows, const std::string& apps, const std::string& custom = "");
    std::string CustomFile() const { return m_temp / "DiskCleanEng.dat"; }
    std::string CustomFileText() const;

    // Opens the dialog of a category (modeless). The custom-items warning is switched off first
    // unless the test leaves the registry as it is.
    HWND Open(int category, bool quietCustomWarning = true);
    void Close() { m_dlg.reset(); }
    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
    framework::CListView List() const { return framework::CListView(m_list); }

    int Rows() const { return List().GetItemCount(); }
    std::vector<std::string> RowTexts() const;
    std::vector<int> RowStates() const;
    int RowData(int row) const { return static_cast<int>(List().GetItemData(row)); }
    void Select(const std::vector<int>& rows, int focused = -1);
    void ClickCheckBox(int row) { testsupport::ClickAt(m_list, testsupport::ListCheckBoxPoint(m_list, row)); }
    void ClickLabel(int row) { testsupport::ClickAt(m_list, testsupport::ListLabelPoint(m_list, row)); }
    void Key(WORD key) { SendMessageA(m_list, WM_KEYDOWN, key, 0); }
    void Command(int id) { SendMessageA(m_hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    // Focuses an overview row and presses the forward button.
    void OpenSubCategory(int row);
    std::string Description() const { return testsupport::WindowText(Item(IDC_ITEM_DESCRIPTION)); }
    bool Shown(int id) const { return IsWindowVisible(Item(id)) != FALSE; }
    // The bitmap a navigation button shows, as the resource number 237..240 (0: another one).
    int NavImage(int buttonId) const;

    // The ItemStates value of an item, or -1 when it is absent.
    static long long ItemState(int id);
    static void SetItemState(int id, DWORD value);

    std::unique_ptr<CSelItemsDlg> m_dlg;
    HWND m_hwnd = nullptr;
    HWND m_list = nullptr;

private:
    CPluginFilePasses m_savedPasses;
    std::vector<std::string> m_savedFiles;
};

}  // namespace selitemstest
