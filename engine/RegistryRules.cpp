#include "engine/RegistryRules.h"

#include <shlwapi.h>

#include "app/RegistryPath.h"
#include "app/Utilities.h"
#include "catalogue/RuleList.h"
#include "engine/OneStepItem.h"
#include "engine/RunReport.h"
#include "engine/WorkerMessages.h"
#include "framework/MbString.h"
#include "framework/ScopedHandle.h"
#include "resource.h"

namespace {

const char kWholeKeyField[] = "*.*";

CRegistryDeleteCalls g_deleteCalls;

LSTATUS DeleteKeyTree(HKEY root, const std::string& subKey)
{
    return g_deleteCalls.pfnDeleteKey ? g_deleteCalls.pfnDeleteKey(root, subKey.c_str())
                                      : SHDeleteKeyA(root, subKey.c_str());
}

LSTATUS DeleteValue(HKEY key, const std::string& name)
{
    return g_deleteCalls.pfnDeleteValue ? g_deleteCalls.pfnDeleteValue(key, name.c_str())
                                        : RegDeleteValueA(key, name.c_str());
}

// The number of values directly in the key (0 when it cannot be asked).
int ValueCountOf(HKEY key)
{
    DWORD values = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return static_cast<int>(values);
}

bool ValueExists(HKEY key, const std::string& name)
{
    return RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void ScanRegistryRule(CRunContext* context, const CRegistryRule& rule)
{
    framework::ScopedRegKey key;
    if (RegOpenKeyExA(rule.m_hRoot, rule.m_strSubKey.c_str(), 0, kRuleKeyAccess, key.Receive()) != ERROR_SUCCESS)
        return;
    CFoundObject object;
    object.m_strPath = rule.m_strSubKey;
    object.m_strName = rule.m_strValueField;
    object.m_dwParam2 = RootKeyToParam(rule.m_hRoot);
    object.m_pfnClean = CleanRegistryObject;
    int count = 1;
    if (rule.m_bWholeKey) {
        object.m_nKind = kObjRegKey;
        object.m_nParam = count = ValueCountOf(key.Get());
    } else {
        if (!ValueExists(key.Get(), rule.m_strValueField)) return;
        object.m_nKind = kObjRegValue;
    }
    ReportFoundUnsized(context, object, count);  // a whole key stands for the values in it
}

std::string TrimmedKeyPath(const std::string& path)
{
    return framework::MbsTrimChar(framework::MbsTrim(path), '\\');
}

// The path of an object must name a key below the root: an empty one would be the root itself.
bool NamesASubKey(const std::string& path) { return !TrimmedKeyPath(path).empty(); }

// A whole key goes only from two levels below the root on: "Software" or "Control Panel" alone
// would take every program's settings with it.
bool MayRemoveWholeKey(const std::string& path)
{
    return framework::MbsFindChar(TrimmedKeyPath(path), '\\') != std::string::npos;
}

}  // namespace

void SetRegistryDeleteCallsForTesting(const CRegistryDeleteCalls& calls) { g_deleteCalls = calls; }

bool ParseRegistryRule(const std::string& rule, CRegistryRule& parsed)
{
    std::string keyPath, valueField, root, subKey;
    SplitAtFirst(rule, '|', keyPath, valueField);
    if (keyPath.empty()) return false;
    SplitRegistryPath(keyPath, root, subKey);
    root = framework::MbsTrim(root);
    subKey = framework::MbsTrimChar(framework::MbsTrim(subKey), '\\');
    if (root.empty() || subKey.empty()) return false;
    parsed.m_hRoot = RootKeyOfName(root);
    parsed.m_strSubKey = subKey;
    parsed.m_strValueField = valueField;
    parsed.m_bWholeKey = valueField.empty() || valueField == kWholeKeyField;
    return !parsed.m_bWholeKey || MayRemoveWholeKey(subKey);
}

void ScanRegistryRules(CModItem* pItem)
{
    for (const std::string& text : SplitRuleList(pItem->m_PlugData.m_strRegRules)) {
        CRegistryRule rule;
        if (ParseRegistryRule(text, rule)) ScanRegistryRule(pItem->m_pScanContext, rule);
    }
}

int CleanRegistryObject(CFoundObject* pObject, CRunContext* pContext, int, int)
{
    if (!NamesASubKey(pObject->m_strPath)) return 1;
    if (pObject->m_nKind == kObjRegKey && !MayRemoveWholeKey(pObject->m_strPath)) return 1;
    const HKEY root = ParamToRootKey(pObject->m_dwParam2);
    LONG result;
    int count;
    {
        framework::ScopedRegKey key;
        // Already gone: nothing to do.
        if (RegOpenKeyExA(root, pObject->m_strPath.c_str(), 0, kRuleKeyAccess, key.Receive()) != ERROR_SUCCESS)
            return 1;
        if (pObject->m_nKind == kObjRegKey) {
            key.Close();  // the key goes with everything below it; no handle of ours may keep it
            result = DeleteKeyTree(root, pObject->m_strPath);
            count = pObject->m_nParam;
        } else {
            result = DeleteValue(key.Get(), pObject->m_strName);
            count = 1;
        }
    }
    if (result == ERROR_SUCCESS)
        ReportDeletedUnsized(pContext, count);
    else if (result != ERROR_FILE_NOT_FOUND) {
        ReportNotDeleted(pContext, count);
        ShowNotDeletedCount(pContext);
    }
    return 1;
}
