#include "engine/RegTreeWalker.h"

#include "framework/ScopedHandle.h"

namespace {

constexpr DWORD kNameBufferSize = 260;
// The walk asks for the rights that cleaning a key would need, so a key it may not change is not
// walked.
constexpr REGSAM kWalkAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

// ERROR_MORE_DATA only says that the data did not fit, and the walk reads no data.
bool Enumerated(LONG error) { return error == ERROR_SUCCESS || error == ERROR_MORE_DATA; }

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
    DWORD values = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return true;
    for (DWORD index = 0; index < values; ++index) {
        if (StopRequested()) return false;
        char name[kNameBufferSize] = "";
        DWORD nameLength = kNameBufferSize;
        DWORD type = REG_NONE;
        if (!Enumerated(RegEnumValueA(key, index, name, &nameLength, nullptr, &type, nullptr, nullptr))) continue;
        CountValue(type);
        if (m_params.m_pfnOnValue && (m_params.m_dwTypeFilter == 0 || m_params.m_dwTypeFilter == type))
            m_params.m_pfnOnValue(key, m_params.m_pUserData, pszKeyPath, name);
    }
    return true;
}

bool CRegTreeWalker::WalkSubKeys(HKEY key)
{
    DWORD subKeys = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return true;
    for (DWORD index = 0; index < subKeys; ++index) {
        if (StopRequested()) return false;
        char name[kNameBufferSize] = "";
        DWORD nameLength = kNameBufferSize;
        if (!Enumerated(RegEnumKeyExA(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr))) continue;
        int inner = Walk(key, name);
        if (m_params.m_pfnOnKey) m_params.m_pfnOnKey(this, 0, name, nullptr);
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
