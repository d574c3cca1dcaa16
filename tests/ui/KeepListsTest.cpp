// The keep-list pages of the options sheet, driven from their templates in a modeless sheet against
// the registry sandbox: what they read and write, the case rule, the counts, and the size limit
// below which every stored list reads back.
#include <gtest/gtest.h>

#include "UiFixture.h"
#include "support/WindowDriver.h"
#include "app/SettingsStore.h"
#include "catalogue/ModList.h"
#include "framework/PropertySheet.h"
#include "resource.h"
#include "ui/KeepFilesP.h"
#include "ui/SaveCookiesP.h"

#include <string>
#include <vector>

using testsupport::FindDialog;
using testsupport::PumpThroughDialogs;
using testsupport::WindowText;
using testsupport::WindowWatcher;

namespace {

using Strings = std::vector<std::string>;

class KeepListsTest : public UiTest {
protected:
    // Shows the page in a modeless sheet of its own.
    HWND Open(framework::CPropertyPage& page)
    {
        m_sheet.AddPage(&page);
        EXPECT_NE(m_sheet.Create(), nullptr);
        return PropSheet_GetCurrentPageHwnd(m_sheet.GetHwnd());
    }
    void Press(int button)
    {
        PropSheet_PressButton(m_sheet.GetHwnd(), button);
        PumpThroughDialogs([&] { return m_sheet.IsClosed(); });
    }
    static Strings Entries(HWND list)
    {
        Strings entries;
        framework::CListBox box(list);
        for (int i = 0; i < box.GetCount(); ++i) entries.push_back(box.GetText(i));
        return entries;
    }
    static Strings Stored(const char* name)
    {
        Strings list = {"sentinel"};
        TheSettings().ReadStringList(name, list);
        return list;
    }
    static void Click(HWND page, int id, WORD code = BN_CLICKED)
    {
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }
    // Answers the entry dialog with text (or cancels it when text is empty) while id is pressed.
    static void ClickAnswering(HWND page, int id, const std::string& text)
    {
        WindowWatcher input([] { return FindDialog("添加条目..."); }, [&](HWND dlg) {
            if (text.empty()) {
                PostMessageA(dlg, WM_COMMAND, IDC_INPUT_CANCEL, 0);
                return;
            }
            SetDlgItemTextA(dlg, IDC_INPUT_EDIT, text.c_str());
            PostMessageA(dlg, WM_COMMAND, IDC_INPUT_OK, 0);
        });
        Click(page, id);
        EXPECT_TRUE(input.Found());
    }

    framework::CPropertySheet m_sheet{"配置 Quillon..."};
    CModList m_catalogue;  // no Firefox module: the sites come from the URL cache alone
};

}  // namespace

TEST_F(KeepListsTest, FileEntriesAreAddedEditedAndRemovedWithTheCaseRuleAndWrittenOnlyByOk)
{
    TheSettings().WriteStringList(kOptFilesKeepList, {"报告.doc", "Budget"});
    CKeepFilesP page(&TheSettings());
    HWND hwnd = Open(page);
    HWND list = GetDlgItem(hwnd, IDC_KEEP_FILES_LIST);
    EXPECT_EQ(Entries(list), (Strings{"Budget", "报告.doc"}));

    ClickAnswering(hwnd, IDC_KEEP_FILES_ADD, "BUDGET");  // held already, without regard to case
    ClickAnswering(hwnd, IDC_KEEP_FILES_ADD, "私人照片");
    ClickAnswering(hwnd, IDC_KEEP_FILES_ADD, "");
    EXPECT_EQ(Entries(list), (Strings{"Budget", "报告.doc", "私人照片"}));

    SendMessageA(list, LB_SETSEL, TRUE, 0);  // "Budget"
    ClickAnswering(hwnd, IDC_KEEP_FILES_EDIT, "报告.DOC");  // another entry's text: unchanged
    ClickAnswering(hwnd, IDC_KEEP_FILES_EDIT, "预算表");
    EXPECT_EQ(Entries(list), (Strings{"报告.doc", "私人照片", "预算表"}));
    EXPECT_EQ(Stored(kOptFilesKeepList), (Strings{"报告.doc", "Budget"})) << "nothing before OK";

    SendMessageA(list, LB_SETSEL, TRUE, -1);
    SendMessageA(list, LB_SETSEL, FALSE, 1);
    Click(hwnd, IDC_KEEP_FILES_REMOVE);
    Press(PSBTN_OK);
    EXPECT_EQ(Stored(kOptFilesKeepList), (Strings{"私人照片"}));
}

// A list the store could not read back would keep nothing at the next scan: an addition that would
// make it reach the limit is refused whole, with a box that names the limit.
TEST_F(KeepListsTest, AnAdditionThatWouldMakeTheStoredListUnreadableIsRefusedWhole)
{
    Strings full;
    for (int i = 0; StringListBytes(full) + 12 < kStringListLimit; ++i) full.push_back("entry" + std::to_string(1000 + i));
    TheSettings().WriteStringList(kOptFilesKeepList, full);
    ASSERT_EQ(Stored(kOptFilesKeepList).size(), full.size());
    CKeepFilesP page(&TheSettings());
    HWND hwnd = Open(page);
    std::string box;
    {
        WindowWatcher refusal([] { return FindDialog("Quillon 汉化版"); }, [&](HWND dlg) {
            box = testsupport::MessageBoxText(dlg);
            PostMessageA(dlg, WM_COMMAND, IDOK, 0);
        });
        ClickAnswering(hwnd, IDC_KEEP_FILES_ADD, "one-more-entry");
        EXPECT_TRUE(refusal.Found());
    }
    EXPECT_NE(box.find("4096"), std::string::npos) << box;
    Press(PSBTN_OK);
    EXPECT_EQ(Stored(kOptFilesKeepList).size(), full.size());
}

TEST_F(KeepListsTest, SitesAreAddedOnceWithCountsAndTheKeepListIsWrittenByOk)
{
    TheSettings().WriteStringList(kOptSavedCookiesList, {"kept.example"});
    CSaveCookiesP page(&TheSettings(), &m_catalogue);
    HWND hwnd = Open(page);
    HWND keep = GetDlgItem(hwnd, IDC_COOKIES_KEEP), sites = GetDlgItem(hwnd, IDC_COOKIES_SITES);
    EXPECT_EQ(WindowText(GetDlgItem(hwnd, IDC_COOKIES_KEEP_COUNT)), "总计: [0]") << "until the first event";
    // Sites as two users' cookies of one site give them.
    SendMessageA(sites, LB_RESETCONTENT, 0, 0);
    for (const char* site : {"b.example", "b.example", "a.example"})
        SendMessageA(sites, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(site));
    SendMessageA(sites, LB_SETSEL, TRUE, 1);
    Click(hwnd, IDC_COOKIES_SITES, LBN_SELCHANGE);
    EXPECT_EQ(WindowText(GetDlgItem(hwnd, IDC_COOKIES_SITES_COUNT)), "选定: [1] / 总计: [3] ");

    Click(hwnd, IDC_COOKIES_ADD_ALL);
    EXPECT_EQ(Entries(keep), (Strings{"a.example", "b.example", "kept.example"}));
    EXPECT_EQ(WindowText(GetDlgItem(hwnd, IDC_COOKIES_KEEP_COUNT)), "选定: [0] / 总计: [3]");

    SendMessageA(keep, LB_SETSEL, TRUE, 2);
    Click(hwnd, IDC_COOKIES_KEEP, LBN_DBLCLK);  // one selected entry goes
    EXPECT_EQ(Entries(keep), (Strings{"a.example", "b.example"}));
    EXPECT_EQ(SendMessageA(keep, LB_GETSELCOUNT, 0, 0), 0);
    Press(PSBTN_OK);
    EXPECT_EQ(Stored(kOptSavedCookiesList), (Strings{"a.example", "b.example"}));
}

TEST_F(KeepListsTest, CancelWritesNothingAndRemovingAllStoresTheEmptyList)
{
    TheSettings().WriteStringList(kOptSavedCookiesList, {"kept.example"});
    {
        CSaveCookiesP page(&TheSettings(), &m_catalogue);
        Click(Open(page), IDC_COOKIES_REMOVE_ALL);
        Press(PSBTN_CANCEL);
        EXPECT_EQ(Stored(kOptSavedCookiesList), (Strings{"kept.example"}));
        m_sheet.Destroy();
    }
    framework::CPropertySheet again("配置 Quillon...");
    CSaveCookiesP page(&TheSettings(), &m_catalogue);
    again.AddPage(&page);
    HWND hwnd = PropSheet_GetCurrentPageHwnd(again.Create());
    Click(hwnd, IDC_COOKIES_REMOVE_ALL);
    PropSheet_PressButton(again.GetHwnd(), PSBTN_OK);
    PumpThroughDialogs([&] { return again.IsClosed(); });
    EXPECT_EQ(Stored(kOptSavedCookiesList), Strings{});
    again.Destroy();
}
