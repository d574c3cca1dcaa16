// Item 1103, the clipboard: one fixed object for its contents, and the cleaning function that
// empties it.
#pragma once

#include "catalogue/ModItem.h"
#include "engine/FoundObject.h"
#include "engine/RunContext.h"

extern const char* const kClipboardText;  // "剪贴板内容"

// Lists the fixed object when the clipboard can be opened; then the step's progress. 0 when a stop
// was requested.
int ScanClipboard(CModItem* pItem);

// Cleaning function: empties the clipboard. Deleted on success; not deleted (status part 2 shows
// the count) when emptying fails; nothing counted when the clipboard cannot be opened. Returns 1.
int EmptyClipboardObject(CFoundObject* pObject, CRunContext* pContext, int nReserved1, int nReserved2);
