#include "catalogue/PluginFileFormat.h"

#include "catalogue/ModItem.h"
#include "framework/MbString.h"

#include <climits>

namespace {

// A number value counts only when shorter than ten characters and within its range.
bool ReadBoundedNumber(const std::string& value, long low, long high, int& number)
{
    if (value.size() >= kMaxNumberLength) return false;
    long n = LeadingNumber(value);
    if (n < low || n > high) return false;
    number = static_cast<int>(n);
    return true;
}

void TakeFirstText(const std::string& value, bool& has, std::string& text)
{
    if (has || value.empty()) return;
    has = true;
    text = value;
}

void TakeFirstNumber(const std::string& value, long low, long high, bool& has, int& number)
{
    if (!has) has = ReadBoundedNumber(value, low, high, number);
}

void AppendRule(const std::string& value, bool& has, std::string& rules)
{
    if (value.empty()) return;
    has = true;
    rules += value;
    rules += ';';
}

}  // namespace

bool IsSectionLine(const std::string& line, std::string& name)
{
    const std::string text = framework::MbsTrim(line);
    // The closing bracket must be a character of its own: ']' (0x5D) is also a GBK trail byte.
    if (text.size() < 3 || text.front() != '[' || !framework::MbsEndsWith(text, "]")) return false;
    std::string inner = framework::MbsTrim(text.substr(1, text.size() - 2));
    if (inner.empty()) return false;
    name = inner;
    return true;
}

bool SplitKeyLine(const std::string& line, std::string& key, std::string& value)
{
    size_t equals = framework::MbsFindChar(line, '=');
    if (equals == std::string::npos || equals == 0) return false;
    key = framework::MbsTrim(line.substr(0, equals));
    value = framework::MbsTrim(line.substr(equals + 1));
    return true;
}

bool IsKeyLine(const std::string& line, const std::string& key, std::string& value)
{
    std::string lineKey, lineValue;
    if (!SplitKeyLine(line, lineKey, lineValue) || !framework::MbsEqualNoCase(lineKey, key)) return false;
    value = lineValue;
    return true;
}

long LeadingNumber(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        n = n * 10 + (text[i] - '0');
        if (n > LONG_MAX) n = LONG_MAX;  // saturate like the C library instead of overflowing
    }
    return static_cast<long>(negative ? -n : n);
}

int ItemIdFromSectionName(const std::string& name)
{
    // Digits and the sign are single bytes, so the last four bytes can be read byte-wise: a cut
    // double-byte character only ends the number early.
    const std::string tail = name.size() > kIdentifierDigits ? name.substr(name.size() - kIdentifierDigits) : name;
    return static_cast<int>(LeadingNumber(tail));
}

void CParsedModule::ApplyLine(const std::string& line)
{
    std::string key, value;
    if (!SplitKeyLine(line, key, value)) return;
    using framework::MbsEqualNoCase;
    if (MbsEqualNoCase(key, "ModTitle"))
        TakeFirstText(value, m_bHasTitle, m_strTitle);
    else if (MbsEqualNoCase(key, "ModImgNum"))
        TakeFirstNumber(value, 1, 32, m_bHasImage, m_nImage);
    else if (MbsEqualNoCase(key, "ModReference"))
        TakeFirstNumber(value, 0, 99, m_bHasReference, m_nReference);
    else if (MbsEqualNoCase(key, "ModDescription"))
        TakeFirstText(value, m_bHasDescription, m_strDescription);
    else if (MbsEqualNoCase(key, "ModWarningTxt"))
        TakeFirstText(value, m_bHasWarning, m_strWarningText);
    else if (MbsEqualNoCase(key, "ModSpecialKey"))
        TakeFirstText(value, m_bHasSpecialKey, m_strSpecialKey);
    else if (MbsEqualNoCase(key, "ModDataInt"))
        TakeFirstNumber(value, 1, 3, m_bHasDataInt, m_nDataInt);
    else if (MbsEqualNoCase(key, "ExternalDir1"))
        TakeFirstText(value, m_bHasExternalDir, m_strExternalDirValue);
    else if (MbsEqualNoCase(key, "PushFileParam"))
        AppendRule(value, m_bHasFileRules, m_strFileRules);
    else if (MbsEqualNoCase(key, "PushRegParam"))
        AppendRule(value, m_bHasRegRules, m_strRegRules);
    else if (MbsEqualNoCase(key, "RegDetect"))
        TakeFirstText(value, m_bHasRegDetect, m_strRegDetect);
    else if (MbsEqualNoCase(key, "FileDetect"))
        TakeFirstText(value, m_bHasFileDetect, m_strFileDetect);
}

bool CParsedModule::IsComplete() const
{
    return m_bHasTitle && m_bHasImage && m_bHasReference && (m_bHasFileRules || m_bHasRegRules);
}

void CParsedModule::CopyTo(CModItem& item) const
{
    item.m_strTitle = m_strTitle;
    item.m_nImage = m_nImage;
    item.m_nReference = m_nReference;
    item.m_strDescription = m_strDescription;
    CModPlugData& data = item.m_PlugData;
    data.m_bHasFileRules = m_bHasFileRules;
    data.m_strFileRules = m_strFileRules;
    data.m_bHasRegRules = m_bHasRegRules;
    data.m_strRegRules = m_strRegRules;
    data.m_bHasWarning = m_bHasWarning;
    data.m_strWarningText = m_strWarningText;
    data.m_bHasSpecialKey = m_bHasSpecialKey;
    data.m_strSpecialKey = m_strSpecialKey;
    data.m_bHasDataInt = m_bHasDataInt;
    data.m_nDataInt = m_nDataInt;
}
