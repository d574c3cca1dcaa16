// The 15 built-in items of the catalogue (identifiers 1100..1114, in table order): texts, group,
// image, kind of scan and parameter. The functions that find their objects come from the engine
// (SetBuiltinItemFunctions of ModList.h).
#pragma once

#include "catalogue/ModItem.h"
#include "catalogue/ModList.h"

struct CBuiltinItem {
    const char* pszTitle;
    const char* pszDescription;
    int nReference;
    int nImage;
    bool bScanInOneStep;
    int nParam;
};

extern const CBuiltinItem kBuiltinItems[kBuiltinItemCount];

// Item parameter of the three-step Internet Explorer cache items: which part of the URL cache.
constexpr int kCacheCookies = 1;
constexpr int kCacheEntries = 2;
constexpr int kCacheUrlHistory = 3;

// Gives item `index` (0..14) its identifier, texts and numbers from the table, and the functions.
void SetUpBuiltinItem(CModItem& item, int index, const CItemFunctions& functions);
