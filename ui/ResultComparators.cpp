#include "ui/ResultComparators.h"

#include <cstdlib>

#include "framework/MbString.h"

namespace {

const char kNoValue[] = "无";

const CSortInfo& InfoOf(LPARAM sortInfo)
{
    return *reinterpret_cast<const CSortInfo*>(sortInfo);
}

// Cells without a value go last whichever way the column is sorted; two of them compare as 1.
bool CompareNoValue(bool firstHasNone, bool secondHasNone, int& result)
{
    if (firstHasNone) {
        result = 1;
        return true;
    }
    if (secondHasNone) {
        result = -1;
        return true;
    }
    return false;
}

int UnitRank(const std::string& unit, bool ascending)
{
    static const char* const kAscending[] = {"字节", "KB", "MB"};
    static const char* const kDescending[] = {"MB", "KB", "字节"};
    const char* const* table = ascending ? kAscending : kDescending;
    for (int rank = 0; rank < 3; ++rank)
        if (unit == table[rank]) return rank;
    return -1;
}

// A fractional difference still decides: (0, 1) counts as 1 and (-1, 0) as -1, the rest is truncated.
int SignedDifference(double d)
{
    if (d > 0 && d < 1) return 1;
    if (d < 0 && d > -1) return -1;
    return static_cast<int>(d);
}

std::wstring ToWide(const std::string& text)
{
    std::wstring wide(text.size() + 1, L'\0');
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &wide[0],
                                     static_cast<int>(wide.size()));
    wide.resize(static_cast<size_t>(length > 0 ? length : 0));
    return wide;
}

}  // namespace

// ------------------------------------------------------------------ parsing

void SplitAtFirst(const std::string& text, const std::string& separator, std::string& left, std::string& right)
{
    left.clear();
    right.clear();
    if (separator.empty() || text.empty()) return;
    size_t at = framework::MbsFind(text, separator);
    if (at == std::string::npos) {
        left = text;
        return;
    }
    left = framework::MbsTrim(text.substr(0, at));
    right = framework::MbsTrim(text.substr(at + separator.size()));
}

int TimeKey(const std::string& text)
{
    std::string hours, minutes;
    SplitAtFirst(text, ":", hours, minutes);
    return 60 * atoi(hours.c_str()) + atoi(minutes.c_str());
}

int DateKey(const std::string& text)
{
    std::string first, rest, second, third;
    SplitAtFirst(text, "/", first, rest);
    SplitAtFirst(rest, "/", second, third);
    return atoi(first.c_str()) + 30 * atoi(second.c_str()) + 365 * atoi(third.c_str()) - 30;
}

CCellKey TextCellKey(const std::string& text)
{
    CCellKey key;
    key.m_wstrText = ToWide(text);
    return key;
}

CCellKey SizeCellKey(const std::string& text)
{
    CCellKey key;
    key.m_bNoValue = text == kNoValue;
    std::string number;
    SplitAtFirst(text, " ", number, key.m_strUnit);
    key.m_dNumber = atof(number.c_str());
    return key;
}

CCellKey DateCellKey(const std::string& text)
{
    CCellKey key;
    key.m_bNoValue = text == kNoValue;
    key.m_nDate = DateKey(framework::MbsTrim(text));
    return key;
}

CCellKey DateTimeCellKey(const std::string& text)
{
    CCellKey key;
    key.m_bNoValue = text == kNoValue;
    std::string date, time;
    SplitAtFirst(framework::MbsTrim(text), " ", date, time);
    key.m_bDateNoValue = date == kNoValue;
    key.m_nDate = DateKey(framework::MbsTrim(date));
    key.m_nTime = TimeKey(time);
    return key;
}

// ------------------------------------------------------------------ the rules

int CompareTextKeys(const CCellKey& first, const CCellKey& second, bool ascending)
{
    // What lstrcmpA does: the thread locale's collation of the texts in UTF-16.
    const CCellKey& a = ascending ? first : second;
    const CCellKey& b = ascending ? second : first;
    int result = CompareStringW(GetThreadLocale(), 0, a.m_wstrText.c_str(), -1, b.m_wstrText.c_str(), -1);
    return result ? result - CSTR_EQUAL : 0;
}

int CompareSizeKeys(const CCellKey& first, const CCellKey& second, bool ascending)
{
    int result = 0;
    if (CompareNoValue(first.m_bNoValue, second.m_bNoValue, result)) return result;
    if (first.m_strUnit == second.m_strUnit)
        return SignedDifference(ascending ? first.m_dNumber - second.m_dNumber : second.m_dNumber - first.m_dNumber);
    return UnitRank(first.m_strUnit, ascending) - UnitRank(second.m_strUnit, ascending);
}

int CompareDateKeys(const CCellKey& first, const CCellKey& second, bool ascending)
{
    int result = 0;
    if (CompareNoValue(first.m_bNoValue, second.m_bNoValue, result)) return result;
    return ascending ? first.m_nDate - second.m_nDate : second.m_nDate - first.m_nDate;
}

int CompareDateTimeKeys(const CCellKey& first, const CCellKey& second, bool ascending)
{
    int result = 0;
    if (CompareNoValue(first.m_bNoValue, second.m_bNoValue, result)) return result;
    // The dates compare as date cells, "无" rule included.
    if (!CompareNoValue(first.m_bDateNoValue, second.m_bDateNoValue, result))
        result = ascending ? first.m_nDate - second.m_nDate : second.m_nDate - first.m_nDate;
    if (result != 0) return result;
    return ascending ? first.m_nTime - second.m_nTime : second.m_nTime - first.m_nTime;
}

// ------------------------------------------------------------------ cells and rows

int CompareTextCells(const std::string& first, const std::string& second, bool ascending)
{
    return ascending ? lstrcmpA(first.c_str(), second.c_str()) : lstrcmpA(second.c_str(), first.c_str());
}

int CompareSizeCells(const std::string& first, const std::string& second, bool ascending)
{
    return CompareSizeKeys(SizeCellKey(first), SizeCellKey(second), ascending);
}

int CompareDateCells(const std::string& first, const std::string& second, bool ascending)
{
    return CompareDateKeys(DateCellKey(first), DateCellKey(second), ascending);
}

int CompareDateTimeCells(const std::string& first, const std::string& second, bool ascending)
{
    return CompareDateTimeKeys(DateTimeCellKey(first), DateTimeCellKey(second), ascending);
}

const CCellKey& CSortInfo::Key(LPARAM row, PFN_PARSE_CELL parse) const
{
    const size_t index = static_cast<size_t>(row);
    if (m_aKeys.size() != m_astrTexts.size()) {
        m_aKeys.assign(m_astrTexts.size(), CCellKey());
        m_abKeyReady.assign(m_astrTexts.size(), false);
    }
    if (!m_abKeyReady[index]) {
        m_aKeys[index] = parse(m_astrTexts[index]);
        m_abKeyReady[index] = true;
    }
    return m_aKeys[index];
}

int CALLBACK CompareText(LPARAM row1, LPARAM row2, LPARAM sortInfo)
{
    const CSortInfo& info = InfoOf(sortInfo);
    return CompareTextKeys(info.Key(row1, TextCellKey), info.Key(row2, TextCellKey), info.m_bAscending);
}

int CALLBACK CompareSize(LPARAM row1, LPARAM row2, LPARAM sortInfo)
{
    const CSortInfo& info = InfoOf(sortInfo);
    return CompareSizeKeys(info.Key(row1, SizeCellKey), info.Key(row2, SizeCellKey), info.m_bAscending);
}

int CALLBACK CompareDate(LPARAM row1, LPARAM row2, LPARAM sortInfo)
{
    const CSortInfo& info = InfoOf(sortInfo);
    return CompareDateKeys(info.Key(row1, DateCellKey), info.Key(row2, DateCellKey), info.m_bAscending);
}

int CALLBACK CompareDateTime(LPARAM row1, LPARAM row2, LPARAM sortInfo)
{
    const CSortInfo& info = InfoOf(sortInfo);
    return CompareDateTimeKeys(info.Key(row1, DateTimeCellKey), info.Key(row2, DateTimeCellKey), info.m_bAscending);
}
