#include "engine/RowsToClean.h"

int BuildRowsToClean(const std::vector<CResultRowState>& rows, CRowsToCleanList& rowsToClean)
{
    rowsToClean.clear();
    unsigned checked = 0;
    for (unsigned row = 0; row < rows.size(); ++row) {
        if (!rows[row].m_bChecked) continue;
        CRowToClean entry;
        entry.m_uiListCurIndex = row - checked;
        entry.m_iObjIndex = static_cast<int>(rows[row].m_lItemData);
        rowsToClean.push_back(entry);
        ++checked;
    }
    return static_cast<int>(checked);
}
