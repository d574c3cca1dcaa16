// The text format of the plug-in data files after unscrambling: CR LF lines, section headers
// ("[ModId2101]"), key lines ("ModTitle=..."), the module keys with their first-value rules, the
// completeness of a module, the item identifier taken from a section name, and the size limits.
#pragma once

#include <string>

struct CModItem;

// A data file is read only when its length is 1..kMaxPluginFileSize bytes.
constexpr unsigned long long kMaxPluginFileSize = 81919;
// Numeric values are read only when shorter than this many characters.
constexpr size_t kMaxNumberLength = 10;
// The identifier is the leading number of this many last characters of the section name.
constexpr size_t kIdentifierDigits = 4;

// Section header: after trimming, at least three characters, "[" first, "]" last, and a name
// between them that is not empty after trimming.
bool IsSectionLine(const std::string& line, std::string& name);
// Key line with this key (without regard to case): the line holds "=" and its first "=" is not the
// first character; the key before it and the value after it are trimmed.
bool IsKeyLine(const std::string& line, const std::string& key, std::string& value);
// Any key line: its key and value.
bool SplitKeyLine(const std::string& line, std::string& key, std::string& value);

// The leading decimal number of a text as the C library reads it: leading white space and one sign
// are accepted and reading stops at the first non-digit ("12ab" is 12, "ab" is 0).
long LeadingNumber(const std::string& text);
// The item identifier of a section: the leading number of the last four characters of its name.
int ItemIdFromSectionName(const std::string& name);

// What one section supplies, gathered line by line with the rules of each key: the first value that
// qualifies counts, except for the rules, which are all collected.
struct CParsedModule {
    bool m_bHasTitle = false;
    std::string m_strTitle;
    bool m_bHasImage = false;
    int m_nImage = 0;
    bool m_bHasReference = false;
    int m_nReference = 0;
    bool m_bHasDescription = false;
    std::string m_strDescription;
    bool m_bHasWarning = false;
    std::string m_strWarningText;
    bool m_bHasSpecialKey = false;
    std::string m_strSpecialKey;
    bool m_bHasDataInt = false;
    int m_nDataInt = 0;
    bool m_bHasExternalDir = false;
    std::string m_strExternalDirValue;  // the ExternalDir1 value, evaluated when the item is filled
    bool m_bHasFileRules = false;
    std::string m_strFileRules;         // every PushFileParam value followed by ";"
    bool m_bHasRegRules = false;
    std::string m_strRegRules;          // every PushRegParam value followed by ";"
    bool m_bHasRegDetect = false;
    std::string m_strRegDetect;
    bool m_bHasFileDetect = false;
    std::string m_strFileDetect;

    // Applies one line of the section; lines that are no key line or carry an unknown key change
    // nothing.
    void ApplyLine(const std::string& line);
    // Title, valid image, valid reference and at least one rule.
    bool IsComplete() const;
    // Copies texts, numbers and rules into an item (the external folder and the identifier are the
    // caller's).
    void CopyTo(CModItem& item) const;
};
