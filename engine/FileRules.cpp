#include "engine/FileRules.h"

#include <shlwapi.h>

#include <vector>

#include "catalogue/PathVars.h"
#include "catalogue/RuleList.h"
#include "engine/FolderWalker.h"
#include "engine/RunReport.h"
#include "framework/MbString.h"
#include "framework/PathText.h"

const char* const kExternalDirVariable = "%ExternalDir1%";

namespace {

const char kRecurseField[] = "RECURSE";

// A rule that the counting pass took, with the folder it found.
struct CTakenRule {
    std::string m_strFolder;
    CFileRule m_rule;
};

// The folder with its first component's path variable resolved. A first component that is no
// variable, or that resolves to nothing, leaves the folder as written.
std::string ResolveFirstComponent(const std::string& folder)
{
    std::string first, remainder;
    const size_t slash = framework::MbsFindChar(folder, '\\');
    first = slash == std::string::npos ? folder : folder.substr(0, slash);
    remainder = slash == std::string::npos ? std::string() : folder.substr(slash + 1);
    if (first.empty()) return folder;
    std::string resolved;
    if (!ResolvePathVar(first, resolved) || resolved.empty()) return folder;
    if (!framework::EndsWithSeparator(resolved)) resolved += '\\';
    return resolved + remainder;
}

std::vector<std::string> SplitComponents(const std::string& folder)
{
    std::vector<std::string> components;
    std::string rest = folder;
    for (;;) {
        const size_t slash = framework::MbsFindChar(rest, '\\');
        std::string component = slash == std::string::npos ? rest : rest.substr(0, slash);
        if (!component.empty()) components.push_back(component);
        if (slash == std::string::npos) break;
        rest = rest.substr(slash + 1);
    }
    return components;
}

// Progress word of a one-step item: number of checked items (high 16 bits) and this item's position.
unsigned CheckedCountOf(const CModItem& item) { return static_cast<unsigned>(item.m_nParam) >> 16; }
unsigned PositionOf(const CModItem& item) { return static_cast<unsigned>(item.m_nParam) & 0xFFFF; }

// The bars run over the files of this item: item bar 0..f, total bar 0..f*n at f*b, so the total
// bar stands at b/n of its length and each file moves it by one unit of the item's share.
void RangeBarsForFiles(const CModItem& item, unsigned files)
{
    const CRunContext* context = item.m_pScanContext;
    const unsigned n = CheckedCountOf(item);
    const unsigned b = PositionOf(item);
    SetProgressRange(context, context ? context->m_pItemBar : nullptr, static_cast<int>(files));
    SetProgressRange(context, context ? context->m_pTotalBar : nullptr, static_cast<int>(files * n));
    SetProgressPos(context, context ? context->m_pTotalBar : nullptr, static_cast<int>(files * b));
}

// A rule whose mask takes every file of its folder: a cache, whose emptied sub-folders are traces too.
bool TakesEveryFile(const std::string& mask) { return mask == "*.*" || mask == "*"; }

int WalkRule(CModItem& item, const CTakenRule& taken)
{
    FolderWalkParams params;
    params.m_bRecurse = taken.m_rule.m_bRecurse;
    params.m_pszMask = taken.m_rule.m_strMask.c_str();
    params.m_pfnStop = item.m_pfnIsStopRequested;
    params.m_hStopArg = item.m_hStopEvent;
    params.m_pfnOnFile = item.m_pfnOnFileFound;
    // A rule that picks names ("Thumbs.db", "*.tmp") offers no folder for removal: the user's folder
    // structure is no trace.
    if (TakesEveryFile(taken.m_rule.m_strMask)) params.m_pfnOnFolder = item.m_pfnOnFolderFound;
    params.m_pUserData = item.m_pScanContext;
    return CFolderWalker::Walk(taken.m_strFolder, &params);
}

}  // namespace

bool ParseFileRule(const std::string& rule, CFileRule& parsed)
{
    std::string folder, rest, mask, recursion;
    SplitAtFirst(rule, '|', folder, rest);
    if (folder.empty() || rest.empty()) return false;
    SplitAtFirst(rest, '|', mask, recursion);
    if (mask.empty()) return false;
    parsed.m_strFolder = folder;
    parsed.m_strMask = mask;
    parsed.m_bRecurse = framework::MbsEqualNoCase(recursion, kRecurseField);
    return true;
}

std::string BuildRuleFolder(const std::string& folder, const CModPlugData& data)
{
    std::string built;
    for (const std::string& component : SplitComponents(ResolveFirstComponent(folder))) {
        if (data.m_bHasExternalDir && framework::MbsEqualNoCase(component, kExternalDirVariable))
            built += data.m_strExternalDir;
        else
            built += component;
        built += '\\';
    }
    return built;
}

int CountRuleFiles(const std::string& folder, const std::string& mask, bool recursive)
{
    FolderWalkParams params;
    params.m_bRecurse = recursive;
    params.m_pszMask = mask.c_str();
    CFolderWalker::Walk(folder, &params);
    return params.m_nFiles;
}

int ScanFileRules(CModItem* pItem)
{
    // Counting pass: rules whose folder exists are taken, up to the cap.
    std::vector<CTakenRule> taken;
    unsigned files = 0;
    for (const std::string& rule : SplitRuleList(pItem->m_PlugData.m_strFileRules)) {
        if (static_cast<int>(taken.size()) >= kMaxFileRulesPerItem) break;
        CTakenRule candidate;
        if (!ParseFileRule(rule, candidate.m_rule)) continue;
        candidate.m_strFolder = BuildRuleFolder(candidate.m_rule.m_strFolder, pItem->m_PlugData);
        if (!PathFileExistsA(candidate.m_strFolder.c_str())) continue;
        files += static_cast<unsigned>(
            CountRuleFiles(candidate.m_strFolder, candidate.m_rule.m_strMask, candidate.m_rule.m_bRecurse));
        taken.push_back(candidate);
    }
    // Nothing to list: not even the sub-folders are walked.
    if (files == 0) return 1;

    RangeBarsForFiles(*pItem, files);
    for (const CTakenRule& rule : taken)
        if (WalkRule(*pItem, rule) == 0) return 0;
    return 1;
}
