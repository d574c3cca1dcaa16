// The Netscape Navigator items: the profile's cookie file (item 1111), history file (1113) and
// typed-URL store (1114), each listed as one file object in a one-step scan, and the profile's
// cache folder (1112), walked with the standard folder functions.
#pragma once

#include "catalogue/ModItem.h"
#include "engine/RunContext.h"

// Lists the file of the profile as a file object, within 100 progress steps that move both bars
// whether or not the file exists. Without a profile nothing is listed and the bars stay. 0 when a
// stop was requested, else 1.
int ListProfileFile(CRunContext* context, const char* pszFileName);

// The one-step scans of items 1111, 1113 and 1114.
int ScanNetscapeCookies(CModItem* pItem);     // "cookies.txt"
int ScanNetscapeHistory(CModItem* pItem);     // "history.dat"
int ScanNetscapeTypedUrls(CModItem* pItem);   // "localstore.rdf"

// Item 1112: m_pScanData = the profile's "Cache" folder as a heap std::string, which the standard
// folder count, scan and finish then use. 0 when m_pScanData is already set or there is no
// profile.
int NetscapeCachePrepare(CModItem* pItem);
