// The parameter block of one cleaning run: allocated by the main window, handed to the cleaning
// thread as its argument and deleted by that thread. The lists stay owned by the main window; the
// thread reads the objects and shortens the rows-to-clean and folder lists.
#pragma once

#include "catalogue/ModList.h"
#include "engine/FoundObjectList.h"
#include "engine/RowsToClean.h"

struct CCleaningParam {
    CCleaningParam(CFoundObjectList* pAllObjs, CRowsToCleanList* pRowsToClean, CFolderList* pFolders,
                   CModList& rUniversalParam)
        : m_pAllObjs(pAllObjs), m_pRowsToClean(pRowsToClean), m_pFolders(pFolders),
          m_rUniversalParam(rUniversalParam)
    {
    }

    CFoundObjectList* m_pAllObjs;
    CRowsToCleanList* m_pRowsToClean;
    CFolderList* m_pFolders;
    // The catalogue (g_theScanningThreadsParam): main window handle, busy flag and stop event.
    CModList& m_rUniversalParam;
};
