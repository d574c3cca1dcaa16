#include "catalogue/RuleList.h"

#include "framework/MbString.h"

std::vector<std::string> SplitRuleList(const std::string& rules)
{
    std::vector<std::string> list;
    std::string rest = rules;
    while (!rest.empty()) {
        std::string rule, after;
        SplitAtFirst(rest, ';', rule, after);
        if (!rule.empty()) list.push_back(rule);
        rest = after;
    }
    return list;
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
