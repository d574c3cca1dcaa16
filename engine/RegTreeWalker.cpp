#include "engine/RegTreeWalker.h"

#include <string>

#include "framework/ScopedHandle.h"

namespace {

// The walk asks for the rights that cleaning a key would need, so a key it may not change is not
// walked.
constexpr REGSAM kWalkAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

// RegQueryInfoKeyA gives the longest names in characters, and in code page 936 a character can take
// two bytes: a key name of 130 Chinese characters already needs 261.
std::string NameBuffer(DWORD longestName) { return std::string(2 * longestName + 1, '\0'); }

// The name's bytes, once the enumeration filled the buffer; false for a name that did not fit (it
// grew since the key was asked) or could not be read - the walk passes no data, so ERROR_MORE_DATA
// can only mean the name.
bool TakeName(LONG error, std::string& buffer, DWORD length)
{
    if (error != ERROR_SUCCESS) return false;
    buffer.resize(length);
    return true;
}

}  // namespace

bool CRegTreeWalker::StopRequested() const
{
    return m_params.m_pfnStop && m_params.m_pfnStop(m_params.m_pStopData) == 1;
}

void CRegTreeWalker::CountValue(DWORD type)
{
    ++m_stats.m_nValues;
    switch (type) {
    case REG_SZ: ++m_stats.m_nSz; break;
    case REG_EXPAND_SZ: ++m_stats.m_nExpandSz; break;
    case REG_BINARY: ++m_stats.m_nBinary; break;
    case REG_DWORD: ++m_stats.m_nDword; break;
    case REG_MULTI_SZ: ++m_stats.m_nMultiSz; break;
    case REG_QWORD: ++m_stats.m_nQword; break;
    default: break;
    }
}

int CRegTreeWalker::GetCount(DWORD type) const
{
    switch (type) {
    case REG_NONE: return m_stats.m_nValues;
    case REG_SZ: return m_stats.m_nSz;
    case REG_EXPAND_SZ: return m_stats.m_nExpandSz;
    case REG_BINARY: return m_stats.m_nBinary;
    case REG_DWORD: return m_stats.m_nDword;
    case REG_MULTI_SZ: return m_stats.m_nMultiSz;
    case REG_QWORD: return m_stats.m_nQword;
    default: return 0;
    }
}

bool CRegTreeWalker::WalkValues(HKEY key, const char* pszKeyPath)
{
    DWORD values = 0, longestName = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, &longestName, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return true;
    for (DWORD index = 0; index < values; ++index) {
        if (StopRequested()) return false;
        std::string name = NameBuffer(longestName);
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD type = REG_NONE;
        LONG error = RegEnumValueA(key, index, &name[0], &nameLength, nullptr, &type, nullptr, nullptr);
        if (!TakeName(error, name, nameLength)) continue;
        CountValue(type);
        if (m_params.m_pfnOnValue && (m_params.m_dwTypeFilter == 0 || m_params.m_dwTypeFilter == type))
            m_params.m_pfnOnValue(key, m_params.m_pUserData, pszKeyPath, name.c_str());
    }
    return true;
}

bool CRegTreeWalker::WalkSubKeys(HKEY key)
{
    DWORD subKeys = 0, longestName = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &longestName, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return true;
    for (DWORD index = 0; index < subKeys; ++index) {
        if (StopRequested()) return false;
        std::string name = NameBuffer(longestName);
        DWORD nameLength = static_cast<DWORD>(name.size());
        LONG error = RegEnumKeyExA(key, index, &name[0], &nameLength, nullptr, nullptr, nullptr, nullptr);
        // An empty name would open this very key again, and the walk would never end.
        if (!TakeName(error, name, nameLength) || name.empty()) continue;
        int inner = Walk(key, name.c_str());
        if (m_params.m_pfnOnKey) m_params.m_pfnOnKey(this, 0, name.c_str(), nullptr);
        // A stop inside the last sub-key has no later stop test of this pass to see it.
        if (inner == 0) return false;
    }
    return true;
}

int CRegTreeWalker::Walk(HKEY root, const char* pszKeyPath)
{
    framework::ScopedRegKey key;
    if (RegOpenKeyExA(root, pszKeyPath, 0, kWalkAccess, key.Receive()) != ERROR_SUCCESS) return 1;
    if (!WalkValues(key.Get(), pszKeyPath)) return 0;
    return WalkSubKeys(key.Get()) ? 1 : 0;
}

int CRegTreeWalker::Count(DWORD type, HKEY root, const char* pszKeyPath)
{
    m_stats = Statistics();
    Params saved = m_params;
    m_params = Params();
    Walk(root, pszKeyPath);
    m_params = saved;
    return GetCount(type);
}
