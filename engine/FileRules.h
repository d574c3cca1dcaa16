// File rules of plug-in items (PushFileParam): "folder|mask|RECURSE". The folder may start with a
// path variable ("%AppData%") and may hold "%ExternalDir1%" components, which stand for the item's
// external folder. Every taken folder is walked twice: once without callbacks to count the files
// for the progress bars, once with the item's callbacks, which list the files.
#pragma once

#include <string>

#include "catalogue/ModItem.h"

// At most this many file rules of one item are taken (rules whose folder exists).
constexpr int kMaxFileRulesPerItem = 25;

// The component that stands for the item's external folder.
extern const char* const kExternalDirVariable;  // "%ExternalDir1%"

struct CFileRule {
    std::string m_strFolder;  // as written
    std::string m_strMask;
    bool m_bRecurse = false;
};

// "folder|mask|recursion": false (a rule to skip) when the folder or the mask is missing. Fields are
// trimmed; the recursion field counts only when it reads "RECURSE" without regard to case.
bool ParseFileRule(const std::string& rule, CFileRule& parsed);

// The folder a rule names for this item: the path variable of its first component resolved, every
// "%ExternalDir1%" component replaced by the external folder when the item has one, empty
// components dropped, and every component followed by one backslash.
std::string BuildRuleFolder(const std::string& folder, const CModPlugData& data);

// Number of files matching the mask in the folder (and its sub-folders when recursive): a walk
// without stop test and without callbacks.
int CountRuleFiles(const std::string& folder, const std::string& mask, bool recursive);

// The file rules of an item: counting pass over at most 25 rules whose folders exist, the progress
// ranges, then the walks with the item's callbacks. 0 when a stop request ended a walk (no further
// rule is walked), else 1.
int ScanFileRules(CModItem* pItem);
