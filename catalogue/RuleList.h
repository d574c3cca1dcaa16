// The rule lists of a plug-in item: m_strFileRules and m_strRegRules hold every rule followed by
// ";", and every rule is a few fields separated by "|". Both are split here, multibyte-aware (a
// double-byte character may carry the byte of "|" or "\" as its second byte).
#pragma once

#include <string>
#include <vector>

// The non-empty rules of a list, each trimmed of white space, in order.
std::vector<std::string> SplitRuleList(const std::string& rules);

// Splits text at the first whole-character occurrence of ch into the trimmed parts before and
// after it; without one, everything is `before` and `after` is empty.
void SplitAtFirst(const std::string& text, char ch, std::string& before, std::string& after);
