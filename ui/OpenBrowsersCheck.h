// The open-browsers check that runs before every scan: a browser whose items are checked cannot have
// its cache scanned while it is open. The user is warned (CWarningMsgDlg, key "OpenBrowsersWarning",
// string 215 listing the open browsers), may close them meanwhile, and the items of every browser
// still open afterwards are taken out of the scan (their identifiers set to 0) with a skip text
// (string 216) shown for 150 ms each.
//
// The main window calls WarnOpenBrowsers with the catalogue's checked-identifier array after filling
// it and before starting the scanning thread:
//
//     WarnOpenBrowsers(g_theScanningThreadsParam.m_pCheckedIds.get(), checkedCount, host);
//
// where host is the main window's COpenBrowsersHost (owner of the warning, its minimised state, its
// caption flashing and status-bar part 0).
#pragma once

#include <windows.h>

#include <string>

// A browser the check knows: its display name, the class of its top-level window and the range of
// item identifiers (inclusive) whose scan needs it closed.
struct CKnownBrowser {
    const char* m_pszName;
    const char* m_pszWindowClass;
    int m_nFirstId;
    int m_nLastId;
};

constexpr int kKnownBrowserCount = 3;
// Internet Explorer ("IEFrame", 1106..1110), Mozilla Firefox ("MozillaUIWindowClass", 2000..2004),
// Opera ("OpWindow", 2005..2008), in this order.
extern const CKnownBrowser kKnownBrowsers[kKnownBrowserCount];

// What the check needs of the main window.
class COpenBrowsersHost {
public:
    virtual ~COpenBrowsersHost() = default;
    // Owner of the warning.
    virtual HWND GetWarningParent() = 0;
    virtual bool IsMinimized() = 0;
    // Starts flashing the caption (the window's IDT_FLASH timer), so a minimised window asks for
    // attention while the warning waits.
    virtual void StartFlashing() = 0;
    // Shows a text in status-bar part 0 (and lets it be seen at once: the check waits 150 ms after
    // each text without pumping messages).
    virtual void ShowSkipText(const std::string& text) = 0;
};

// Runs the check on the first `count` entries of `checkedIds`, zeroing those of browsers still
// open. Never fails: a browser without a window counts as closed.
void WarnOpenBrowsers(int* checkedIds, int count, COpenBrowsersHost& host);
