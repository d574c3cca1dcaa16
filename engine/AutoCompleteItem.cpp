#include "engine/AutoCompleteItem.h"

#include <set>
#include <string>

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
    std::set<std::wstring> deleted;
    for (;;) {
        LPWSTR listed = nullptr;
        if (items->Next(1, &listed, nullptr) != S_OK || !listed) break;
        const std::wstring name = listed;
        CoTaskMemFree(listed);
        // An item still listed after its deletion did not go and would come back after every reset:
        // it is not counted, and the cleaning ends.
        if (deleted.erase(name)) break;
        // So would an item that cannot go.
        if (FAILED(store->DeleteItem(PST_KEY_CURRENT_USER, &kAutoCompleteItemType, &kAutoCompleteItemType,
                                     name.c_str(), nullptr, kNoUiFlags)))
            break;
        deleted.insert(name);
        // The deletion changed the set being enumerated: start again from the first item.
        items->Reset();
    }
    items->Release();
    return static_cast<int>(deleted.size());
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
    ReportDeletedUnsized(pContext, DeleteAutoCompleteItems());
    return 1;
}
