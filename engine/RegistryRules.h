// Registry rules of plug-in items (PushRegParam): "HKCU\Software\App\Recent|*.*" lists the whole
// key with everything below it as one registry-key object, "HKCU\Software\App|LastFile" one value
// of the key as a registry-value object. CleanRegistryObject removes either when the user cleans it.
#pragma once

#include <windows.h>

#include <string>

#include "catalogue/ModItem.h"
#include "engine/FoundObject.h"
#include "engine/RunContext.h"

// Access with which a rule's key is opened, at the scan and at the cleaning: KEY_READ with
// KEY_SET_VALUE and KEY_CREATE_SUB_KEY, so that a key the user could not remove is not listed.
constexpr REGSAM kRuleKeyAccess = 0x2001F;

struct CRegistryRule {
    HKEY m_hRoot = nullptr;
    std::string m_strSubKey;
    std::string m_strValueField;  // as written: "*.*" or empty for the whole key, else a value name
    bool m_bWholeKey = false;
};

// "root\sub-key|value": false (a rule to skip) when the key path, the root name or the sub-key is
// missing - an empty sub-key would name a whole hive - and when a whole-key rule names a key
// directly below the root ("HKCU\Software|*.*"). "HKLM" (any case) is HKEY_LOCAL_MACHINE; "HKCU"
// and every other root name are HKEY_CURRENT_USER.
bool ParseRegistryRule(const std::string& rule, CRegistryRule& parsed);

// The registry rules of an item, all of them in order, without stop test: each key that opens (and
// for a one-value rule, whose value exists) is reported as found.
void ScanRegistryRules(CModItem* pItem);

// Cleaning function of registry objects: the whole key (kind 3, counting m_nParam objects) or one
// value (kind 4, counting 1). A key or value that is already gone counts nothing, and neither the
// root nor a whole key directly below it is touched. Returns 1.
int CleanRegistryObject(CFoundObject* pObject, CRunContext* pContext, int nReserved1, int nReserved2);

// The deletions of CleanRegistryObject. Wine grants every deletion that the opening of the key
// allowed, so the tests swap these to see refused ones; null restores the real calls.
struct CRegistryDeleteCalls {
    LSTATUS(WINAPI* pfnDeleteKey)(HKEY root, LPCSTR subKey) = nullptr;  // SHDeleteKeyA
    LSTATUS(WINAPI* pfnDeleteValue)(HKEY key, LPCSTR name) = nullptr;   // RegDeleteValueA
};
void SetRegistryDeleteCallsForTesting(const CRegistryDeleteCalls& calls);
