#include "engine/ProtectedStorage.h"

#include "framework/ProcAddress.h"

const char* const kPStoreLibrary = "pstorec.dll";
const char* const kPStoreCreateInstance = "PStoreCreateInstance";

namespace {

HMODULE RealLoadLibrary(const char* pszName) { return LoadLibraryA(pszName); }

void* RealGetProcAddress(HMODULE hModule, const char* pszName)
{
    return framework::GetProcAs<void*>(hModule, pszName);
}

void RealFreeLibrary(HMODULE hModule) { FreeLibrary(hModule); }

CPStoreApi g_api = RealPStoreApi();

}  // namespace

const CPStoreApi& RealPStoreApi()
{
    static const CPStoreApi real = {RealLoadLibrary, RealGetProcAddress, RealFreeLibrary};
    return real;
}

const CPStoreApi& GetPStoreApi() { return g_api; }

void SetPStoreApiForTesting(const CPStoreApi& api) { g_api = api; }
