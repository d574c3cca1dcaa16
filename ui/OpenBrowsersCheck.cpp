#include "ui/OpenBrowsersCheck.h"

#include "app/Utilities.h"
#include "framework/MbString.h"
#include "resource.h"
#include "ui/WarningMsgDlg.h"

const CKnownBrowser kKnownBrowsers[kKnownBrowserCount] = {
    {"Internet Explorer", "IEFrame", 1106, 1110},
    {"Mozilla Firefox", "MozillaUIWindowClass", 2000, 2004},
    {"Opera", "OpWindow", 2005, 2008},
};

namespace {

constexpr DWORD kSkipTextPauseMs = 150;

bool Covers(const CKnownBrowser& browser, int id)
{
    return id >= browser.m_nFirstId && id <= browser.m_nLastId;
}

class CBrowserStates {
public:
    CBrowserStates(const int* ids, int count)
    {
        for (int b = 0; b < kKnownBrowserCount; ++b)
            for (int i = 0; i < count && !m_needed[b]; ++i) m_needed[b] = Covers(kKnownBrowsers[b], ids[i]);
    }

    // Looks for a top-level window of every needed browser; returns the display names of the open
    // ones, each after a line break.
    std::string Look()
    {
        std::string names;
        for (int b = 0; b < kKnownBrowserCount; ++b) {
            m_open[b] = m_needed[b] && FindWindowA(kKnownBrowsers[b].m_pszWindowClass, nullptr) != nullptr;
            if (m_open[b]) names += std::string("\r\n") + kKnownBrowsers[b].m_pszName;
        }
        return names;
    }

    bool IsOpen(int b) const { return m_open[b]; }

private:
    bool m_needed[kKnownBrowserCount] = {};
    bool m_open[kKnownBrowserCount] = {};
};

void ShowOpenBrowsersWarning(const std::string& names, COpenBrowsersHost& host)
{
    if (host.IsMinimized()) host.StartFlashing();
    CWarningMsgDlg warning(host.GetWarningParent());
    warning.m_strKey = kOpenBrowsersWarningKey;
    warning.m_strText = framework::Format(LoadResString(IDS_CLOSE_BROWSERS).c_str(), names.c_str());
    warning.DoModal();
}

}  // namespace

void WarnOpenBrowsers(int* checkedIds, int count, COpenBrowsersHost& host)
{
    CBrowserStates browsers(checkedIds, count);
    std::string openNames = browsers.Look();
    if (!openNames.empty()) {
        ShowOpenBrowsersWarning(openNames, host);
        // Browsers the user closed while the warning was up count as closed.
        browsers.Look();
    }
    for (int i = 0; i < count; ++i)
        for (int b = 0; b < kKnownBrowserCount; ++b)
            if (browsers.IsOpen(b) && Covers(kKnownBrowsers[b], checkedIds[i])) checkedIds[i] = 0;
    for (int b = 0; b < kKnownBrowserCount; ++b) {
        if (!browsers.IsOpen(b)) continue;
        host.ShowSkipText(framework::Format(LoadResString(IDS_SKIPPING_BROWSER).c_str(), kKnownBrowsers[b].m_pszName));
        Sleep(kSkipTextPauseMs);
    }
}
