// Item 1100, the list of recently opened documents: one fixed object that stands for the whole
// list, and its cleaning function, which empties the list.
#pragma once

#include <string>

#include "catalogue/ModItem.h"
#include "engine/FoundObject.h"
#include "engine/RunContext.h"

extern const char* const kRecentDocsText;  // "最近打开的文档历史"
extern const char* const kRecentDocsKey;   // "Software\Microsoft\Windows\CurrentVersion\Explorer\RecentDocs"

// Lists the fixed object (size 0) after the step's progress; 0 when a stop was requested.
int ScanRecentDocuments(CModItem* pItem);

// Cleaning function: asks the shell to empty the list, then removes what it left behind - the
// shortcuts of the Recent folder and Explorer's RecentDocs key. Counts the object as deleted only
// when the list is really empty afterwards, else as not deleted. Returns 1.
int ClearRecentDocuments(CFoundObject* pObject, CRunContext* pContext, int nReserved1, int nReserved2);

// The Recent folder of the user (CSIDL_RECENT), or empty when the system has none.
std::string RecentFolder();
