#include "engine/ClipboardItem.h"

#include "app/Utilities.h"
#include "engine/OneStepItem.h"
#include "engine/RunReport.h"
#include "resource.h"

const char* const kClipboardText = "剪贴板内容";

int ScanClipboard(CModItem* pItem)
{
    CRunContext* context = pItem->m_pScanContext;
    // Only whether it opens matters; it is not held while the window takes the object.
    bool opened = OpenClipboard(nullptr) != FALSE;
    CloseClipboard();
    if (opened) {
        CFoundObject object;
        object.m_strPath = kClipboardText;
        object.m_pfnClean = EmptyClipboardObject;
        ReportFound(context, &object);
    }
    CompleteOneStep(context);
    return OneStepResult(context);
}

int EmptyClipboardObject(CFoundObject*, CRunContext* pContext, int, int)
{
    if (OpenClipboard(nullptr)) {
        if (EmptyClipboard()) {
            ReportDeletedUnsized(pContext, 1);
        } else {
            ReportNotDeleted(pContext);
            ShowNotDeletedCount(pContext);
        }
    }
    CloseClipboard();
    return 1;
}
