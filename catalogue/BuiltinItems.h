// The 15 built-in items of the catalogue (identifiers 1100..1114, in table order): texts, group,
// image, kind of scan, parameter and the functions that find their objects.
#pragma once

#include "catalogue/ModItem.h"
#include "catalogue/ModList.h"

// The function slots of one item record, as the scanning thread calls them.
struct CItemFunctions {
    PFN_SCAN pfnScanAll;
    PFN_PREPARE pfnPrepare;
    PFN_COUNT pfnCount;
    PFN_SCAN pfnScan;
    PFN_FINISH pfnFinish;
    PFN_ON_FOUND pfnOnFileFound;
    PFN_ON_FOUND pfnOnFolderFound;
};

struct CBuiltinItem {
    const char* pszTitle;
    const char* pszDescription;
    int nReference;
    int nImage;
    bool bScanInOneStep;
    int nParam;
    CItemFunctions functions;
};

extern const CBuiltinItem kBuiltinItems[kBuiltinItemCount];

// Gives item `index` (0..14) its identifier, texts, numbers and functions from the table.
void SetUpBuiltinItem(CModItem& item, int index);
