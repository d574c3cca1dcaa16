// Ordering of the results list: the comparators of its columns (text, size, date, date and time),
// the value handed to the list's sort, and the small parsers the comparators use.
//
// Cells without a value read "无"; the size and date comparators put them last in both directions.
// Each comparison rule is written once, on parsed cells (CCellKey); a sort parses each row's cell
// once instead of at every comparison, and the comparisons of two texts parse both and compare.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace framework {
class CListView;
}

// A cell parsed for one comparator.
struct CCellKey {
    bool m_bNoValue = false;      // the cell reads exactly "无"
    std::wstring m_wstrText;      // text: the cell in UTF-16, as lstrcmpA compares it
    double m_dNumber = 0;         // size: the number before the unit
    std::string m_strUnit;        // size: "字节", "KB", "MB" or another text
    bool m_bDateNoValue = false;  // date and time: the date part reads "无"
    int m_nDate = 0;              // date, date and time: DateKey
    int m_nTime = 0;              // date and time: TimeKey
};
using PFN_PARSE_CELL = CCellKey (*)(const std::string& text);

CCellKey TextCellKey(const std::string& text);
CCellKey SizeCellKey(const std::string& text);
CCellKey DateCellKey(const std::string& text);
CCellKey DateTimeCellKey(const std::string& text);

int CompareTextKeys(const CCellKey& first, const CCellKey& second, bool ascending);
int CompareSizeKeys(const CCellKey& first, const CCellKey& second, bool ascending);
int CompareDateKeys(const CCellKey& first, const CCellKey& second, bool ascending);
int CompareDateTimeKeys(const CCellKey& first, const CCellKey& second, bool ascending);

// What the comparators of one sort receive (as the sort's LPARAM): the column, the list and the
// direction. The texts of the sort column are read once before the sort, so a comparison does not
// ask the control: the comparators get the rows' positions before the sort, Text(row) gives the
// text that row had then and Key(row, parse) that text parsed (once per row and sort; a sort uses
// one comparator, so one parser).
struct CSortInfo {
    int m_nColumn = 0;
    framework::CListView* m_pList = nullptr;
    bool m_bAscending = true;
    std::vector<std::string> m_astrTexts;  // by the row's position before the sort

    const std::string& Text(LPARAM row) const { return m_astrTexts[static_cast<size_t>(row)]; }
    const CCellKey& Key(LPARAM row, PFN_PARSE_CELL parse) const;

private:
    mutable std::vector<CCellKey> m_aKeys;
    mutable std::vector<bool> m_abKeyReady;
};

// Comparator of two rows: (row1, row2, CSortInfo*) -> negative when row1 goes first, 0, positive.
using PFN_COMPARE_ROWS = int(CALLBACK*)(LPARAM row1, LPARAM row2, LPARAM sortInfo);

int CALLBACK CompareText(LPARAM row1, LPARAM row2, LPARAM sortInfo);
int CALLBACK CompareSize(LPARAM row1, LPARAM row2, LPARAM sortInfo);
int CALLBACK CompareDate(LPARAM row1, LPARAM row2, LPARAM sortInfo);
int CALLBACK CompareDateTime(LPARAM row1, LPARAM row2, LPARAM sortInfo);

// The same comparisons on two cell texts.
// lstrcmpA (the user locale's collation, case-sensitive), reversed when descending.
int CompareTextCells(const std::string& first, const std::string& second, bool ascending);
// "512 字节", "1.20 KB", "2.00 MB": equal units compare by number (any difference keeps its sign),
// different units by their rank.
int CompareSizeCells(const std::string& first, const std::string& second, bool ascending);
// "31/01/2006": by DateKey.
int CompareDateCells(const std::string& first, const std::string& second, bool ascending);
// "31/01/2006 14:05": by DateKey, then by TimeKey.
int CompareDateTimeCells(const std::string& first, const std::string& second, bool ascending);

// Splits text at the first occurrence of separator into the trimmed parts before and after it.
// Both outputs start empty; an empty text or separator leaves them so; without the separator, left
// is the whole text.
void SplitAtFirst(const std::string& text, const std::string& separator, std::string& left, std::string& right);
// "14:05" -> 845: 60 x hours + minutes.
int TimeKey(const std::string& text);
// "31/01/2006" -> 31 + 30 x 1 + 365 x 2006 - 30: an approximate day count for day/month/year texts.
int DateKey(const std::string& text);
