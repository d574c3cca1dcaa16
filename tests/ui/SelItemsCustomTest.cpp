// The custom items in the items dialog, against a real custom-items file: the warning 125 ms after
// the category opens and its suppression; new items numbered 5001, after the largest, and refused
// past 9999; editing and deleting the focused item (a deleted item's stored check goes with it); the
// editor's byte-length checks in their order; the folder to scan, a missing one shown and stored as
// "C:\", and the shell's folder browser; the command menu's greying and place.
#include "SelItemsFixture.h"

#include "MainDlgFixture.h"
#include "app/SettingsStore.h"
#include "app/Utilities.h"
#include "ui/CreateEditModDlg.h"
#include "ui/WarningMsgDlg.h"

#include <shlobj.h>

#include <atomic>

using namespace selitemstest;
using maindlgtest::FindOwnWindow;
using testsupport::WindowText;

namespace {

const char kEditorCaption[] = "创建/编辑搜索参数...";
const char kWarningCaption[] = "警告! - Quillon";

std::string DialogItemText(HWND dlg, int id)
{
    char text[1024] = "";
    GetDlgItemTextA(dlg, id, text, sizeof text);
    return text;
}

// Waits for the custom-item editor, notes what it showed, types a name and parameters and presses
// OK (or Cancel when name is null).
class CEditorAnswer {
public:
    CEditorAnswer(const char* name, const char* params, DWORD timeoutMs = 5000)
        : m_watcher([] { return FindOwnWindow("#32770", kEditorCaption); },
                    [this, name, params](HWND editor) {
                        m_shownName = DialogItemText(editor, IDC_CUSTOM_NAME);
                        m_shownParams = DialogItemText(editor, IDC_CUSTOM_PARAMS);
                        if (!name) {
                            PostMessageA(editor, WM_COMMAND, IDC_CUSTOM_CANCEL, 0);
                            return;
                        }
                        SetDlgItemTextA(editor, IDC_CUSTOM_NAME, name);
                        SetDlgItemTextA(editor, IDC_CUSTOM_PARAMS, params);
                        PostMessageA(editor, WM_COMMAND, IDC_CUSTOM_OK, 0);
                    },
                    timeoutMs)
    {
    }
    bool Seen() { return m_watcher.Found(); }
    bool Stop() { return m_watcher.Stop(); }
    std::string m_shownName, m_shownParams;

private:
    testsupport::WindowWatcher m_watcher;
};

class CustomItemsDlgTest : public SelItemsTest {
protected:
    // The custom items of the catalogue, shown in item mode.
    void OpenCustomItems()
    {
        ASSERT_NE(Open(3), nullptr);
        OpenSubCategory(0);
        ASSERT_FALSE(m_dlg->m_bOverview);
    }
    // The section of an item in the custom-items file, or empty.
    std::string Section(int id) const
    {
        const std::string text = CustomFileText();
        const size_t start = text.find("[ModId" + std::to_string(id) + "]");
        if (start == std::string::npos) return std::string();
        return text.substr(start, text.find("\r\n\r\n", start) + 4 - start);
    }
    static std::string StoredFolder()
    {
        std::string folder;
        TheSettings().ReadString(kOptCustomFolderToScan, folder);
        return folder;
    }
};

}  // namespace

TEST_F(CustomItemsDlgTest, WarningComesOnceTheDialogIsUpUnlessItWasSwitchedOff)
{
    ASSERT_NE(Open(0, false), nullptr);
    testsupport::PumpThroughDialogs([] { return false; }, 300);
    EXPECT_EQ(FindOwnWindow("#32770", kWarningCaption), nullptr) << "only the custom items warn";

    const DWORD start = GetTickCount();
    ASSERT_NE(Open(3, false), nullptr);
    EXPECT_EQ(FindOwnWindow("#32770", kWarningCaption), nullptr) << "not before the dialog is shown";
    std::string text;
    HWND owner = nullptr;
    std::atomic<bool> answered{false};
    testsupport::WindowWatcher watcher([] { return FindOwnWindow("#32770", kWarningCaption); },
                                       [&](HWND warning) {
                                           text = DialogItemText(warning, IDC_WARNING_TEXT);
                                           owner = GetWindow(warning, GW_OWNER);
                                           CheckDlgButton(warning, IDC_WARNING_DONT_SHOW, BST_CHECKED);
                                           PostMessageA(warning, WM_COMMAND, IDC_WARNING_OK, 0);
                                           answered = true;
                                       });
    ASSERT_TRUE(testsupport::PumpThroughDialogs(
        [&] { return answered && !FindOwnWindow("#32770", kWarningCaption); }));
    watcher.Join();
    EXPECT_GE(GetTickCount() - start, 100u);
    EXPECT_EQ(text, LoadResString(IDS_CUSTOM_ITEMS_WARNING));
    EXPECT_EQ(owner, m_hwnd);
    EXPECT_EQ(WarningCheck(kCustomItemsWarningKey), 1);

    ASSERT_NE(Open(3, false), nullptr);
    testsupport::WindowWatcher none([] { return FindOwnWindow("#32770", kWarningCaption); },
                                    [](HWND warning) { PostMessageA(warning, WM_COMMAND, IDC_WARNING_OK, 0); }, 400);
    testsupport::PumpThroughDialogs([] { return false; }, 400);
    EXPECT_FALSE(none.Stop()) << "a warning switched off is not seen again";
}

TEST_F(CustomItemsDlgTest, NewItemsAreNumberedFrom5001AfterTheLargestAndRefusedPast9999)
{
    OpenCustomItems();
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(Shown(IDC_CUSTOM_COMMANDS) && Shown(IDC_CUSTOM_FOLDER) && Shown(IDC_CUSTOM_FOLDER_LABEL));
    {
        CEditorAnswer editor("浏览器缓存文件", "*.tmp;");
        Command(ID_CUSTOM_NEW);
        ASSERT_TRUE(editor.Seen());
        EXPECT_EQ(editor.m_shownName, "新建项目的名称");
        EXPECT_EQ(editor.m_shownParams, "*.*");
    }
    EXPECT_EQ(Section(5001), "[ModId5001]\r\nModTitle=浏览器缓存文件\r\nModImgNum=15\r\nModDescription=(with *.tmp "
                             "search)\r\nModReference=30\r\nModSpecialKey=PROCESS_RULES\r\nPushFileParam=*.tmp\r\n\r\n");
    EXPECT_EQ(Section(2400), "") << "the file holds the custom items alone";
    // Back in the custom items, rebuilt from the new catalogue.
    EXPECT_FALSE(m_dlg->m_bOverview);
    EXPECT_EQ(RowTexts(), std::vector<std::string>{"浏览器缓存文件"});
    EXPECT_EQ(RowData(0), 5001);
    ASSERT_EQ(m_dlg->m_lstCustomItems.size(), 1u);
    EXPECT_EQ(m_dlg->m_lstCustomItems[0].m_strSearchParams, "*.tmp;");
    EXPECT_EQ(ItemState(5001), -1);

    WriteDataFiles("", "", CustomModule(5001, "甲项目文件", "*.a") + CustomModule(5003, "丙项目文件", "*.c"));
    OpenCustomItems();
    {
        CEditorAnswer editor("乙项目文件", "*.b");
        Command(ID_CUSTOM_NEW);
        ASSERT_TRUE(editor.Seen());
    }
    EXPECT_NE(Section(5004), "");
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"甲项目文件", "丙项目文件", "乙项目文件"}));

    // Identifiers are read back from four digits: past 9999 nothing is asked and nothing written.
    WriteDataFiles("", "", CustomModule(9999, "最后的项目", "*.z"));
    OpenCustomItems();
    const std::string before = testsupport::ReadFileBytes(CustomFile());
    CEditorAnswer editor(nullptr, nullptr, 300);
    CBoxCollector boxes;
    Command(ID_CUSTOM_NEW);
    std::vector<CSeenBox> seen = boxes.Stop();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NE(seen[0].text.find("9999"), std::string::npos) << seen[0].text;
    EXPECT_EQ(seen[0].owner, m_hwnd);
    EXPECT_FALSE(editor.Stop());
    EXPECT_EQ(testsupport::ReadFileBytes(CustomFile()), before);
    EXPECT_EQ(Rows(), 1);
}

TEST_F(CustomItemsDlgTest, EditAndDeleteActOnTheFocusedItemAndADeletedItemsCheckGoesWithIt)
{
    WriteDataFiles("", "", CustomModule(5001, "第一个项目", "*.a") + CustomModule(5002, "第二个项目", "*.b"));
    SetItemState(5001, 1);
    SetItemState(5002, 1);
    OpenCustomItems();
    ASSERT_EQ(RowStates(), (std::vector<int>{kItemStateChecked, kItemStateChecked}));
    const std::string original = testsupport::ReadFileBytes(CustomFile());

    // Without a focused row, and with a cancelled editor, nothing changes.
    Select({0});
    Command(ID_CUSTOM_EDIT);
    Command(ID_CUSTOM_DELETE);
    Select({1}, 1);
    {
        CEditorAnswer cancel(nullptr, nullptr);
        Command(ID_CUSTOM_EDIT);
        ASSERT_TRUE(cancel.Seen());
        EXPECT_EQ(cancel.m_shownName, "第二个项目");
        EXPECT_EQ(cancel.m_shownParams, "*.b;") << "the parameters as the catalogue holds them";
    }
    EXPECT_EQ(testsupport::ReadFileBytes(CustomFile()), original);
    EXPECT_EQ(ItemState(5002), 1);

    {
        CEditorAnswer editor("改名后的项目", "*.bak;*.old");
        Command(ID_CUSTOM_EDIT);
        ASSERT_TRUE(editor.Seen());
    }
    EXPECT_NE(Section(5002).find("ModTitle=改名后的项目\r\n"), std::string::npos) << Section(5002);
    EXPECT_NE(Section(5002).find("PushFileParam=*.bak;*.old\r\n"), std::string::npos);
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"第一个项目", "改名后的项目"}));
    EXPECT_EQ(RowStates(), (std::vector<int>{kItemStateChecked, kItemStateChecked}));

    // Deleting asks nothing and takes the item's stored check along.
    Select({1}, 1);
    Command(ID_CUSTOM_DELETE);
    EXPECT_EQ(ItemState(5002), -1);
    EXPECT_EQ(ItemState(5001), 1);
    EXPECT_EQ(Section(5002), "");
    EXPECT_EQ(RowTexts(), std::vector<std::string>{"第一个项目"});
    // So the next new item, which gets the identifier again, starts unchecked.
    {
        CEditorAnswer editor("又一个项目", "*.c");
        Command(ID_CUSTOM_NEW);
        ASSERT_TRUE(editor.Seen());
    }
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(RowData(1), 5002);
    EXPECT_EQ(RowStates(), (std::vector<int>{kItemStateChecked, kItemStateUnchecked}));
}

TEST_F(CustomItemsDlgTest, WhileAScanOrCleanRunsTheItemsAreNotRewritten)
{
    WriteDataFiles("", "", CustomModule(5001, "第一个项目", "*.a"));
    OpenCustomItems();
    const std::string original = testsupport::ReadFileBytes(CustomFile());
    Select({0}, 0);
    m_dlg->m_pModList->m_bBusy = true;
    CEditorAnswer editor(nullptr, nullptr, 300);
    CBoxCollector boxes;
    Command(ID_CUSTOM_NEW);
    Command(ID_CUSTOM_EDIT);
    Command(ID_CUSTOM_DELETE);
    const std::vector<std::string> texts = boxes.Texts();
    m_dlg->m_pModList->m_bBusy = false;
    EXPECT_EQ(texts, std::vector<std::string>(3, LoadResString(IDS_WORKER_RUNNING)));
    EXPECT_FALSE(editor.Stop()) << "refused before the editor opens";
    EXPECT_EQ(testsupport::ReadFileBytes(CustomFile()), original);
    EXPECT_EQ(RowTexts(), std::vector<std::string>{"第一个项目"});
}

TEST_F(CustomItemsDlgTest, EditorChecksByteLengthsInTheirOrderAndStaysOpenOnAFailure)
{
    const std::string name70(70, 'n');
    const struct {
        std::string name, params, message;  // no message: accepted
    } cases[] = {
        {"名称", "*", "输入的名称过短... "},  // two Chinese characters are 4 bytes
        {"名称a", "*", ""},
        {name70, std::string(260, 'p'), ""},
        {name70 + "n", "*", "输入的名称过长..."},
        {name70 + "n", "", "输入的名称过长..."},
        {"1234", "", "输入的名称过短... "},
        {"12345", std::string(261, 'p'), "输入的搜索参数过长..."},
        {"12345", "", "输入的搜索参数过短... "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + " / " + c.params);
        CCreateEditModDlg dlg;
        dlg.m_strName = "原来的名称";
        dlg.m_strParams = "*.old";
        HWND hwnd = dlg.Create();
        ASSERT_NE(hwnd, nullptr);
        EXPECT_EQ(WindowText(hwnd), kEditorCaption);
        EXPECT_EQ(DialogItemText(hwnd, IDC_CUSTOM_NAME), "原来的名称");
        SetDlgItemTextA(hwnd, IDC_CUSTOM_NAME, c.name.c_str());
        SetDlgItemTextA(hwnd, IDC_CUSTOM_PARAMS, c.params.c_str());
        CBoxCollector boxes("错误");
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_CUSTOM_OK, BN_CLICKED), 0);
        std::vector<CSeenBox> seen = boxes.Stop();
        if (c.message.empty()) {
            EXPECT_TRUE(seen.empty());
            EXPECT_EQ(dlg.GetResult(), IDOK);
            EXPECT_EQ(dlg.m_strName + "|" + dlg.m_strParams, c.name + "|" + c.params);
            continue;
        }
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].text, c.message);
        EXPECT_EQ(seen[0].owner, hwnd);
        EXPECT_FALSE(dlg.IsEnded());
        // Enter runs the same checks; Cancel then ends without taking the texts.
        CBoxCollector again("错误");
        SendMessageA(hwnd, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(again.Texts(), std::vector<std::string>{c.message});
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_CUSTOM_CANCEL, BN_CLICKED), 0);
        EXPECT_EQ(dlg.GetResult(), IDCANCEL);
        EXPECT_EQ(dlg.m_strName, "原来的名称");
    }
}

TEST_F(CustomItemsDlgTest, FolderToScanIsShownWithTheCustomItemsAndAMissingOneIsKept)
{
    ASSERT_NE(Open(3), nullptr);
    EXPECT_FALSE(Shown(IDC_CUSTOM_FOLDER)) << "not in the overview";
    OpenSubCategory(0);
    EXPECT_EQ(WindowText(Item(IDC_CUSTOM_FOLDER)), m_temp.Path());
    Command(IDC_ITEMS_BACK);
    EXPECT_FALSE(Shown(IDC_CUSTOM_COMMANDS) || Shown(IDC_CUSTOM_FOLDER) || Shown(IDC_CUSTOM_FOLDER_LABEL));

    // A folder that has gone (an unplugged drive) is shown and kept as the user set it.
    const std::string gone = m_temp / "已删除的文件夹";
    testsupport::SetRegString(kSettingsKey, "CustomFolderToScan", gone);
    OpenSubCategory(0);
    EXPECT_EQ(WindowText(Item(IDC_CUSTOM_FOLDER)), gone);
    EXPECT_EQ(StoredFolder(), gone);
}

TEST_F(CustomItemsDlgTest, FolderBrowserChoiceIsStoredAtOnceAndACancelKeepsTheStoredFolder)
{
    const std::string chosen = m_temp / "要扫描";
    testsupport::MakeFolder(chosen);
    OpenCustomItems();
    // The shell's folder browser, owned by the dialog.
    auto browserOf = [this] {
        std::vector<HWND> found = testsupport::FindTopLevelWindows([this](HWND hwnd) {
            return testsupport::ProcessOf(hwnd) == GetCurrentProcessId() && GetWindow(hwnd, GW_OWNER) == m_hwnd;
        });
        return found.empty() ? HWND() : found.front();
    };
    {
        testsupport::WindowWatcher browser(browserOf, [&](HWND dlg) {
            // In a fresh Wine prefix the browser fills its tree slowly and may not find the path at
            // the first try: select it a few times over half a second.
            for (int i = 0; i < 5; ++i) {
                SendMessageA(dlg, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(chosen.c_str()));
                Sleep(100);
            }
            PostMessageA(dlg, WM_COMMAND, IDOK, 0);
        });
        Command(ID_CUSTOM_FOLDER);
        ASSERT_TRUE(browser.Found());
    }
    EXPECT_EQ(StoredFolder(), chosen);
    EXPECT_EQ(WindowText(Item(IDC_CUSTOM_FOLDER)), chosen);

    // Cancelled, with a stored folder that has gone: the stored folder stays as it was.
    const std::string gone = m_temp / "已删除的文件夹";
    testsupport::SetRegString(kSettingsKey, "CustomFolderToScan", gone);
    {
        testsupport::WindowWatcher browser(browserOf, [](HWND dlg) { PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0); });
        Command(ID_CUSTOM_FOLDER);
        ASSERT_TRUE(browser.Found());
    }
    EXPECT_EQ(StoredFolder(), gone);
}

TEST_F(CustomItemsDlgTest, CommandMenuGreysEditAndDeleteUnlessOneRowIsFocusedAndOpensBesideTheButton)
{
    WriteDataFiles("", "", CustomModule(5001, "第一个项目", "*.a") + CustomModule(5002, "第二个项目", "*.b"));
    OpenCustomItems();
    auto states = [&] {
        framework::ScopedMenu menu = m_dlg->CreateCustomItemsMenu();
        HMENU popup = GetSubMenu(menu.Get(), 0);
        std::string result;
        for (UINT id : {ID_CUSTOM_FOLDER, ID_CUSTOM_NEW, ID_CUSTOM_EDIT, ID_CUSTOM_DELETE})
            result += (GetMenuState(popup, id, MF_BYCOMMAND) & MF_GRAYED) ? 'g' : 'e';
        return result;
    };
    Select({});
    EXPECT_EQ(states(), "eegg");
    Select({}, 1);  // focused, not highlighted
    EXPECT_EQ(states(), "eegg");
    Select({0, 1}, 1);
    EXPECT_EQ(states(), "eegg");
    Select({1}, 1);
    EXPECT_EQ(states(), "eeee");
    // One other row highlighted: the focused row, which the commands act on, is highlighted too.
    Select({0}, 1);
    EXPECT_EQ(states(), "eeee");
    EXPECT_EQ(List().GetItemState(1, LVIS_SELECTED), static_cast<UINT>(LVIS_SELECTED));

    RECT button;
    GetWindowRect(Item(IDC_CUSTOM_COMMANDS), &button);
    RECT shownAt = {};
    std::vector<UINT> ids;
    testsupport::WindowWatcher menu(testsupport::FindPopupMenu, [&](HWND popup) {
        GetWindowRect(popup, &shownAt);
        HMENU shown = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(shown); ++i) ids.push_back(GetMenuItemID(shown, i));
        PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(m_hwnd, WM_CANCELMODE, 0, 0);
    });
    Command(IDC_CUSTOM_COMMANDS);
    ASSERT_TRUE(menu.Found());
    EXPECT_EQ(shownAt.left, button.left + 3);
    EXPECT_EQ(shownAt.top, button.top + 3);
    EXPECT_EQ(ids, (std::vector<UINT>{ID_CUSTOM_FOLDER, 0, ID_CUSTOM_NEW, ID_CUSTOM_EDIT, ID_CUSTOM_DELETE}));
}
