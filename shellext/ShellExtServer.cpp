// The DLL's exports and its class factory. Explorer registers nothing through the DLL itself: the
// installer writes the handler's keys with CLSID_LorvexShell.
#include "shellext/ShellExtServer.h"

#include <new>

#include "shellext/ShellExtClsid.h"
#include "shellext/ShredMenu.h"

namespace shellext {
namespace {

LONG g_cDllObjects = 0;
LONG g_cServerLocks = 0;

class CShredMenuFactory final : public IClassFactory {
public:
    CShredMenuFactory() { ObjectCreated(); }
    CShredMenuFactory(const CShredMenuFactory&) = delete;
    CShredMenuFactory& operator=(const CShredMenuFactory&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) return E_NOINTERFACE;
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return AddRefOf(m_cRef); }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG left = ReleaseOf(m_cRef);
        if (left == 0) delete this;
        return left;
    }

    STDMETHODIMP CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (pUnkOuter) return CLASS_E_NOAGGREGATION;
        CShredMenu* menu = new (std::nothrow) CShredMenu;
        if (!menu) return E_OUTOFMEMORY;
        HRESULT hr = menu->QueryInterface(riid, ppv);
        menu->Release();  // the caller's reference, if any, keeps it alive
        return hr;
    }
    STDMETHODIMP LockServer(BOOL fLock) override
    {
        if (fLock)
            InterlockedIncrement(&g_cServerLocks);
        else
            InterlockedDecrement(&g_cServerLocks);
        return S_OK;
    }

private:
    ~CShredMenuFactory() { ObjectDestroyed(); }

    LONG m_cRef = 1;
};

}  // namespace

void ObjectCreated() { InterlockedIncrement(&g_cDllObjects); }
void ObjectDestroyed() { InterlockedDecrement(&g_cDllObjects); }

}  // namespace shellext

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

extern "C" STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_LorvexShell)) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) shellext::CShredMenuFactory;
    if (!factory) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

extern "C" STDAPI DllCanUnloadNow()
{
    const bool idle = InterlockedCompareExchange(&shellext::g_cDllObjects, 0, 0) == 0 &&
                      InterlockedCompareExchange(&shellext::g_cServerLocks, 0, 0) == 0;
    return idle ? S_OK : S_FALSE;
}
