// The rows-to-clean list of a cleaning run and how it is built from the results list. The cleaning
// thread deletes each cleaned row at once, so a checked row r that has k checked rows above it sits
// at r - k when its turn comes.
#pragma once

#include <windows.h>

#include <list>
#include <vector>

struct CRowToClean {
    unsigned m_uiListCurIndex = 0;  // results row the object occupies when it is cleaned
    int m_iObjIndex = 0;            // index of the object in AllObjsLinkedList
};

using CRowsToCleanList = std::list<CRowToClean>;

// What the main window reads of one results row.
struct CResultRowState {
    bool m_bChecked = false;
    LPARAM m_lItemData = 0;  // the object's index
};

// Empties rowsToClean and fills it from the rows in order; returns the number of checked rows.
int BuildRowsToClean(const std::vector<CResultRowState>& rows, CRowsToCleanList& rowsToClean);
