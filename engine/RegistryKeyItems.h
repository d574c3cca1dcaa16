// The built-in items that list whole registry keys - the Find / Search-assistant history and the
// Run history - with the shared key listing and the cleaning function of registry-key objects.
#pragma once

#include <windows.h>

#include "catalogue/ModItem.h"
#include "engine/FoundObject.h"
#include "engine/RunContext.h"

extern const char* const kSearchAssistantKey;  // "Software\Microsoft\Search Assistant\ACMru"
extern const char* const kDocFindSpecKey;      // "...\Explorer\Doc Find Spec MRU"
extern const char* const kRunMruKey;           // "...\Explorer\RunMRU"

// Reports the key as one registry-key object (kind 3, m_nParam 1, m_dwParam2 = root) when it opens
// with the rights its deletion needs; a key that does not open is passed over without a word.
void ReportRegistryKey(CRunContext* context, HKEY root, const char* path);

// One-step listing of a single key: the step's progress first, then the key; 0 when a stop was
// requested.
int ListRegistryKey(CModItem* pItem, HKEY root, const char* path);

// Cleaning function of registry-key objects: removes the key with all its sub-keys. The key counts
// as deleted (m_nParam objects) when it is removed or was already gone, else as not deleted.
// Returns 1 when the key is gone.
int DeleteRegistryKeyObject(CFoundObject* pObject, CRunContext* pContext, int nReserved1, int nReserved2);

// Item 1101: the Search-assistant history and the Find-documents history, each listed when present.
// The scan removes nothing; both keys go only when the user cleans them.
int ScanFindHistory(CModItem* pItem);
// Item 1102: the Run history.
int ScanRunHistory(CModItem* pItem);
