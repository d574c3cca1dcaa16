#include "ui/SettingsPropSheet.h"

#include <utility>

#include "app/SettingsStore.h"
#include "resource.h"

CSettingsPropSheet::CSettingsPropSheet(std::string caption, HWND parent, CModList* modList)
    : CPropertySheet(std::move(caption), parent),
      m_pModList(modList),
      m_pageGeneral(&TheSettings()),
      m_pageAdvanced(&TheSettings()),
      m_pageShredding(&TheSettings()),
      m_pageSchedule(&TheSettings()),
      m_pageSaveCookies(&TheSettings(), modList),
      m_pageKeepFiles(&TheSettings())
{
    // The sheet sets its icon as the small (caption) icon, so it is loaded at that size.
    SetIcon(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAINFRAME), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED)));
    AddFlags(PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP);
    AddPage(&m_pageGeneral);
    AddPage(&m_pageAdvanced);
    AddPage(&m_pageShredding);
    AddPage(&m_pageSchedule);
    AddPage(&m_pageSaveCookies);
    AddPage(&m_pageKeepFiles);
}
