#include "engine/AutoCompleteItem.h"

#include "engine/OneStepItem.h"
#include "engine/ProtectedStorage.h"
#include "engine/RunReport.h"

const GUID kAutoCompleteItemType = {0xE161255A, 0x37C3, 0x11D2, {0xBC, 0xAA, 0x00, 0xC0, 0x4F, 0xD9, 0x29, 0xDB}};

namespace {

// No prompt may appear on the cleaning thread.
constexpr DWORD kNoUiFlags = PST_NO_UI_MIGRATION;

int DeleteItemsOf(IPStore* store)
{
    IEnumPStoreItems* items = nullptr;
    if (FAILED(store->EnumItems(PST_KEY_CURRENT_USER, &kAutoCompleteItemType, &kAutoCompleteItemType, 0, &items)) ||
        !items)
        return 0;
    int count = 0;
    for (;;) {
        LPWSTR name = nullptr;
        if (items->Next(1, &name, nullptr) != S_OK) break;
        HRESULT deleted = store->DeleteItem(PST_KEY_CURRENT_USER, &kAutoCompleteItemType, &kAutoCompleteItemType,
                                            name, nullptr, kNoUiFlags);
        CoTaskMemFree(name);
        // An item that cannot go would come back after every reset.
        if (FAILED(deleted)) break;
        ++count;
        // The deletion changed the set being enumerated: start again from the first item.
        items->Reset();
    }
    items->Release();
    return count;
}

}  // namespace

int ScanAutoComplete(CModItem* pItem)
{
    CRunContext* context = pItem->m_pScanContext;
    CompleteOneStep(context);
    CFoundObject object;
    object.m_strPath = pItem->m_strTitle;
    object.m_nKind = kObjUnknown;
    object.m_pfnClean = CleanAutoComplete;
    ReportFound(context, &object, 0);
    return OneStepResult(context);
}

int DeleteAutoCompleteItems()
{
    const CPStoreApi& api = GetPStoreApi();
    HMODULE library = api.pfnLoadLibrary(kPStoreLibrary);
    if (!library) return 0;
    int count = 0;
    auto create = reinterpret_cast<PFN_PSTORE_CREATE_INSTANCE>(api.pfnGetProcAddress(library, kPStoreCreateInstance));
    IPStore* store = nullptr;
    if (create && SUCCEEDED(create(&store, nullptr, nullptr, 0)) && store) {
        count = DeleteItemsOf(store);
        store->Release();
    }
    api.pfnFreeLibrary(library);
    return count;
}

int CleanAutoComplete(CFoundObject*, CRunContext* pContext, int, int)
{
    CountDeletedObjects(pContext, DeleteAutoCompleteItems());
    return 1;
}
