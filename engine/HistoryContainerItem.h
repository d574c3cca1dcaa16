// Item 1108, the visited-pages history of Internet Explorer: the folders of the extensible cache
// containers, named by the "CachePath" values below the Extensible Cache key of the user's registry.
// Each folder is walked without recursion, and its files become file objects through the standard
// file callback (keep list, attribute rules and the 48-hour rule apply).
#pragma once

#include <windows.h>

#include "catalogue/ModItem.h"

// "Software\Microsoft\Windows\CurrentVersion\Internet Settings\5.0\Cache\Extensible Cache"
extern const char* const kExtensibleCacheKey;

// One registry value as the container scan hands it to the item's m_pfnOnFileFound: the open key
// (valid during the call only) and the value name.
struct CRegValueRef {
    HKEY m_hKey;
    const char* m_pszValueName;
};

// Puts the key path (a heap std::string) into m_pScanData; 0 when m_pScanData is already set.
int ContainerPrepare(CModItem* pItem);
// units = the number of REG_EXPAND_SZ values in the key tree, or of REG_SZ values when there are
// none; 1 when units is not 0.
int ContainerCount(int* pnUnits, CModItem* pItem);
// Walks the key tree and hands every value to the item's m_pfnOnFileFound as
// (context, 0, key path, CRegValueRef*). 0 when a stop was requested.
int ContainerScan(CModItem* pItem);
// Frees the key path and resets m_pScanData.
void ContainerFinish(CModItem* pItem);

// The CachePath callback: a value named "CachePath" (any case) names a container folder, whose
// files are walked with the standard file callback; line 1011 shows the key path and both bars
// move by one. Other values are passed over. Returns 1.
int OnCachePathValue(void* pContext, int nReserved, const char* pszKeyPath, void* pValue);
