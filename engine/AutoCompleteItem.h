// Item 1110, the AutoComplete form data of Internet Explorer. The data lives in Protected Storage,
// which cannot be looked into cheaply, so the scan lists one object for the item whether or not
// any data exists, and its cleaning deletes every AutoComplete item the store holds.
#pragma once

#include <windows.h>

#include "catalogue/ModItem.h"
#include "engine/FoundObject.h"
#include "engine/RunContext.h"

// Type and subtype of the AutoComplete items: {E161255A-37C3-11D2-BCAA-00C04FD929DB}.
extern const GUID kAutoCompleteItemType;

// The one-step scan: the whole step's progress, then the object (the item's title as its path,
// kind 0, no size). 0 when a stop was requested.
int ScanAutoComplete(CModItem* pItem);

// Deletes the AutoComplete items of the current user one by one, starting the enumeration again
// after every deletion, until none is left, a deletion fails or a deleted item is listed again.
// Returns the number deleted; 0 when the library, its entry point, the store or the enumeration is
// not available.
int DeleteAutoCompleteItems();

// Cleaning function of the AutoComplete object: adds the number of deleted items to the deleted
// objects and shows it in status part 1. Returns 1.
int CleanAutoComplete(CFoundObject* pObject, CRunContext* pContext, int nReserved1, int nReserved2);
