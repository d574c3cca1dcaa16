#include "engine/PluginRuleScan.h"

#include "app/Utilities.h"
#include "engine/FileRules.h"
#include "engine/RegistryRules.h"
#include "engine/RunReport.h"
#include "framework/MbString.h"
#include "resource.h"

int PluginRuleScan(CModItem* pItem)
{
    if (pItem->IsStopRequested()) return 0;
    CRunContext* context = pItem->m_pScanContext;
    if (HasWindow(context))
        context->m_pWnd->SetItemText(
            IDC_CURRENT_OPERATION, framework::Format(LoadResString(IDS_SCANNING_ITEM).c_str(), pItem->m_strTitle.c_str()));

    int result = 1;
    if (pItem->m_PlugData.m_bHasFileRules) result = ScanFileRules(pItem);
    if (pItem->m_PlugData.m_bHasRegRules) ScanRegistryRules(pItem);
    return result;
}
