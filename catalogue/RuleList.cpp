#include "catalogue/RuleList.h"

#include "framework/MbString.h"

// One pass over the text: cutting each rule off a copy of the rest took time growing with the square
// of the list's length, seconds for the long list of a damaged data file.
std::vector<std::string> SplitRuleList(const std::string& rules)
{
    std::vector<std::string> list;
    for (size_t start = 0;;) {
        const size_t at = framework::MbsFindChar(rules, ';', start);
        const std::string rule = framework::MbsTrim(rules.substr(start, at == std::string::npos ? at : at - start));
        if (!rule.empty()) list.push_back(rule);
        if (at == std::string::npos) return list;
        start = at + 1;
    }
}

void SplitAtFirst(const std::string& text, char ch, std::string& before, std::string& after)
{
    const size_t at = framework::MbsFindChar(text, ch);
    if (at == std::string::npos) {
        before = framework::MbsTrim(text);
        after.clear();
        return;
    }
    before = framework::MbsTrim(text.substr(0, at));
    after = framework::MbsTrim(text.substr(at + 1));
}
