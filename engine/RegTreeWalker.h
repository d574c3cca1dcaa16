// CRegTreeWalker: a walk over a registry key and all its sub-keys that hands every value to a
// callback and counts the values it sees by type. Used by the history-container item to find the
// folders of the extensible cache containers.
#pragma once

#include <windows.h>

// 1 (exactly) means stop.
using PFN_REG_WALK_STOP = int (*)(void* pUserData);
// Every value of the walk: the open key, the walk's user data, the key path as the walk of that key
// was given it (relative to its parent key below the top), and the value name.
using PFN_REG_WALK_VALUE = int (*)(HKEY hKey, void* pUserData, const char* pszKeyPath, const char* pszValueName);
// Every sub-key after its own walk: the walker, 0, the sub-key name, 0.
using PFN_REG_WALK_KEY = int (*)(void* pWalker, int nReserved, const char* pszSubKey, void* pExtra);

class CRegTreeWalker {
public:
    struct Params {
        PFN_REG_WALK_STOP m_pfnStop = nullptr;
        void* m_pStopData = nullptr;
        PFN_REG_WALK_VALUE m_pfnOnValue = nullptr;
        void* m_pUserData = nullptr;
        PFN_REG_WALK_KEY m_pfnOnKey = nullptr;
        DWORD m_dwTypeFilter = 0;  // 0: every type
    };

    CRegTreeWalker() = default;
    explicit CRegTreeWalker(const Params& params) : m_params(params) {}

    // Walks the key below root: the values of the key first, then each sub-key in turn. A key that
    // does not open ends its walk with 1. 0 when the stop test asked to stop.
    int Walk(HKEY root, const char* pszKeyPath);

    // A walk with fresh statistics and neither callbacks nor stop test; the number of values of the
    // type (REG_NONE: of every type).
    int Count(DWORD type, HKEY root, const char* pszKeyPath);

    // Statistics of the walks since construction or the last Count: values of one of the types
    // REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ and REG_QWORD; REG_NONE gives every
    // value seen; any other type 0.
    int GetCount(DWORD type) const;

private:
    struct Statistics {
        int m_nValues = 0;
        int m_nSz = 0;
        int m_nExpandSz = 0;
        int m_nBinary = 0;
        int m_nDword = 0;
        int m_nMultiSz = 0;
        int m_nQword = 0;
    };

    bool StopRequested() const;
    void CountValue(DWORD type);
    // The passes over one open key; both return false when the walk stops.
    bool WalkValues(HKEY key, const char* pszKeyPath);
    bool WalkSubKeys(HKEY key);

    Params m_params;
    Statistics m_stats;
};
