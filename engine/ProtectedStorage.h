// The seam to Protected Storage, where Internet Explorer keeps its AutoComplete data: how the
// program reaches pstorec.dll and its PStoreCreateInstance. By default the real library is loaded
// at run time (it is missing on many systems, and Wine's store enumerates nothing); tests put a
// store of their own behind it.
#pragma once

#include <windows.h>
#include <pstore.h>

using PFN_PSTORE_CREATE_INSTANCE = HRESULT(WINAPI*)(IPStore** ppProvider, PST_PROVIDERID* pProviderId,
                                                   void* pReserved, DWORD dwFlags);

struct CPStoreApi {
    HMODULE (*pfnLoadLibrary)(const char* pszName);
    void* (*pfnGetProcAddress)(HMODULE hModule, const char* pszName);
    void (*pfnFreeLibrary)(HMODULE hModule);
};

// LoadLibraryA, GetProcAddress and FreeLibrary.
const CPStoreApi& RealPStoreApi();
// The table in use; tests swap it and put the real one back.
const CPStoreApi& GetPStoreApi();
void SetPStoreApiForTesting(const CPStoreApi& api);

extern const char* const kPStoreLibrary;         // "pstorec.dll"
extern const char* const kPStoreCreateInstance;  // "PStoreCreateInstance"
