// The rule lists of a plug-in item: file rules up to the folder they name, registry rules scanned
// against a small registry and cleaned. A key directly below a root is never removed.
#include "Shim.h"

#include "catalogue/RuleList.h"
#include "engine/FileRules.h"
#include "engine/RegistryRules.h"
#include "framework/MbString.h"

namespace {

const char* const kKeys[] = {"Software\\App\\Recent", "Software\\App\\Settings", "Software\\Other"};

// Every lead byte is followed by a trail byte. A lone lead byte before a separator takes it as its
// trail byte, so the components of such a text are not the ones written.
bool IsWellFormed(const std::string& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (!IsDBCSLeadByte(static_cast<BYTE>(text[i]))) continue;
        const unsigned char trail = i + 1 < text.size() ? static_cast<unsigned char>(text[++i]) : 0;
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF) return false;
    }
    return true;
}

void CheckFolder(const std::string& folder, const CModPlugData& data)
{
    // Components each followed by one backslash; none of them empty, none the variable left standing.
    FUZZ_CHECK(folder.empty() || framework::MbsEndsWith(folder, "\\"));
    std::string component;
    for (const char* p = folder.c_str(); *p; p = CharNextA(p)) {
        if (*p != '\\') {
            component.append(p, static_cast<const char*>(CharNextA(p)));
            continue;
        }
        FUZZ_CHECK(!component.empty());
        FUZZ_CHECK(!data.m_bHasExternalDir || !framework::MbsEqualNoCase(component, kExternalDirVariable));
        component.clear();
    }
}

void CheckRegistryRule(const std::string& text)
{
    CRegistryRule rule;
    if (!ParseRegistryRule(text, rule)) return;
    FUZZ_CHECK(rule.m_hRoot == HKEY_CURRENT_USER || rule.m_hRoot == HKEY_LOCAL_MACHINE);
    FUZZ_CHECK(!rule.m_strSubKey.empty() && framework::MbsTrimChar(rule.m_strSubKey, '\\') == rule.m_strSubKey);
    if (rule.m_bWholeKey) FUZZ_CHECK(framework::MbsFindChar(rule.m_strSubKey, '\\') != std::string::npos);
}

bool KeyExists(HKEY root, const std::string& subkey)
{
    HKEY key;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string rules(reinterpret_cast<const char*>(data), size);
    shim::Reset();
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        for (const char* path : kKeys) {
            HKEY key;
            RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
            RegSetValueExA(key, "Last", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
            RegCloseKey(key);
        }
    }

    CModItem item;
    item.m_PlugData.m_strFileRules = item.m_PlugData.m_strRegRules = rules;
    for (const std::string& rule : SplitRuleList(rules)) {
        FUZZ_CHECK(!rule.empty() && framework::MbsTrim(rule) == rule);
        FUZZ_CHECK(framework::MbsFindChar(rule, ';') == std::string::npos);
        CheckRegistryRule(rule);
        CFileRule fileRule;
        if (!ParseFileRule(rule, fileRule)) continue;
        FUZZ_CHECK(!fileRule.m_strFolder.empty() && !fileRule.m_strMask.empty());
        if (!IsWellFormed(fileRule.m_strFolder)) continue;
        item.m_PlugData.m_bHasExternalDir = false;
        CheckFolder(BuildRuleFolder(fileRule.m_strFolder, item.m_PlugData), item.m_PlugData);
        item.m_PlugData.m_bHasExternalDir = true;
        item.m_PlugData.m_strExternalDir = "D:\\Data";
        CheckFolder(BuildRuleFolder(fileRule.m_strFolder, item.m_PlugData), item.m_PlugData);
    }

    shim::g_found.clear();
    ScanRegistryRules(&item);
    for (CFoundObject& object : shim::g_found) {
        const HKEY root = ParamToRootKey(object.m_dwParam2);
        FUZZ_CHECK(KeyExists(root, object.m_strPath));
        HKEY key;
        RegOpenKeyExA(root, object.m_strPath.c_str(), 0, KEY_READ, &key);
        DWORD values = 0;
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr, nullptr);
        const bool hasValue = RegQueryValueExA(key, object.m_strName.c_str(), nullptr, nullptr, nullptr, nullptr) == 0;
        RegCloseKey(key);
        FUZZ_CHECK(object.m_nKind == kObjRegKey ? object.m_nParam == static_cast<int>(values) : hasValue);
    }
    for (CFoundObject& object : shim::g_found) CleanRegistryObject(&object, nullptr, 0, 0);
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) FUZZ_CHECK(KeyExists(root, "Software"));
    return 0;
}
