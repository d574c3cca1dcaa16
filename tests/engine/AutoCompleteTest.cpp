// The AutoComplete item: the object the scan always lists, the cleaning against Wine's own
// Protected Storage (which holds nothing it can enumerate), and the deletion loop against a store
// of the test's own behind the Protected Storage seam.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "support/ItemRunFixture.h"
#include "engine/AutoCompleteItem.h"
#include "engine/ProtectedStorage.h"

namespace {

// A store of AutoComplete items that logs what it is asked.
class FakeStore : public IPStore {
public:
    std::vector<std::wstring> m_items;
    int m_nFailDeleteCall = 0;  // 1-based DeleteItem call that fails; 0: none
    std::wstring m_strStuck;    // deleted with S_OK, yet still listed (up to the 100th call, so no hang)
    HRESULT m_hrEnum = S_OK;
    std::vector<std::string> m_log;
    int m_nDeleteCalls = 0;
    bool m_bArgumentsRight = true;
    LONG m_nRefs = 1;
    LONG m_nEnumRefs = 0;  // references held on enumerators handed out

    class Enum : public IEnumPStoreItems {
    public:
        explicit Enum(FakeStore* store) : m_store(store) { ++m_store->m_nEnumRefs; }
        virtual ~Enum() = default;
        HRESULT WINAPI QueryInterface(REFIID, void** out) override
        {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        ULONG WINAPI AddRef() override { return ++m_store->m_nEnumRefs; }
        ULONG WINAPI Release() override
        {
            LONG left = --m_store->m_nEnumRefs;
            if (left == 0) delete this;
            return left;
        }
        HRESULT WINAPI Next(DWORD count, LPWSTR* names, DWORD* fetched) override
        {
            m_store->m_log.push_back("next");
            if (count != 1 || fetched) m_store->m_bArgumentsRight = false;
            if (m_nPos >= m_store->m_items.size()) return S_FALSE;
            const std::wstring& name = m_store->m_items[m_nPos++];
            auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc((name.size() + 1) * sizeof(wchar_t)));
            wcscpy(copy, name.c_str());
            *names = copy;
            return S_OK;
        }
        HRESULT WINAPI Skip(DWORD) override { return E_NOTIMPL; }
        HRESULT WINAPI Reset() override
        {
            m_store->m_log.push_back("reset");
            m_nPos = 0;
            return S_OK;
        }
        HRESULT WINAPI Clone(IEnumPStoreItems**) override { return E_NOTIMPL; }

    private:
        FakeStore* m_store;
        size_t m_nPos = 0;
    };

    static bool IsAutoCompleteType(const GUID* type) { return type && IsEqualGUID(*type, kAutoCompleteItemType); }

    HRESULT WINAPI QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG WINAPI AddRef() override { return ++m_nRefs; }
    ULONG WINAPI Release() override { return --m_nRefs; }

    HRESULT WINAPI EnumItems(PST_KEY key, const GUID* type, const GUID* subtype, DWORD flags,
                             IEnumPStoreItems** out) override
    {
        m_log.push_back("enum");
        if (key != PST_KEY_CURRENT_USER || !IsAutoCompleteType(type) || !IsAutoCompleteType(subtype) || flags != 0)
            m_bArgumentsRight = false;
        if (FAILED(m_hrEnum)) return m_hrEnum;
        *out = new Enum(this);
        return S_OK;
    }
    HRESULT WINAPI DeleteItem(PST_KEY key, const GUID* type, const GUID* subtype, LPCWSTR name,
                              PPST_PROMPTINFO prompt, DWORD flags) override
    {
        std::wstring wide = name;
        m_log.push_back("delete " + std::string(wide.begin(), wide.end()));
        if (key != PST_KEY_CURRENT_USER || !IsAutoCompleteType(type) || !IsAutoCompleteType(subtype) || prompt ||
            flags != 0x10)
            m_bArgumentsRight = false;
        if (++m_nDeleteCalls == m_nFailDeleteCall) return E_ACCESSDENIED;
        if (wide == m_strStuck) return m_nDeleteCalls < 100 ? S_OK : E_ACCESSDENIED;
        for (size_t i = 0; i < m_items.size(); ++i) {
            if (m_items[i] == wide) {
                m_items.erase(m_items.begin() + static_cast<long>(i));
                return S_OK;
            }
        }
        return E_INVALIDARG;
    }

    // Nothing else is used by the cleaning.
    HRESULT WINAPI GetInfo(PPST_PROVIDERINFO*) override { return E_NOTIMPL; }
    HRESULT WINAPI GetProvParam(DWORD, DWORD*, BYTE**, DWORD) override { return E_NOTIMPL; }
    HRESULT WINAPI SetProvParam(DWORD, DWORD, BYTE*, DWORD) override { return E_NOTIMPL; }
    HRESULT WINAPI CreateType(PST_KEY, const GUID*, PPST_TYPEINFO, DWORD) override { return E_NOTIMPL; }
    HRESULT WINAPI GetTypeInfo(PST_KEY, const GUID*, PPST_TYPEINFO*, DWORD) override { return E_NOTIMPL; }
    HRESULT WINAPI DeleteType(PST_KEY, const GUID*, DWORD) override { return E_NOTIMPL; }
    HRESULT WINAPI CreateSubtype(PST_KEY, const GUID*, const GUID*, PPST_TYPEINFO, PPST_ACCESSRULESET, DWORD) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI GetSubtypeInfo(PST_KEY, const GUID*, const GUID*, PPST_TYPEINFO*, DWORD) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI DeleteSubtype(PST_KEY, const GUID*, const GUID*, DWORD) override { return E_NOTIMPL; }
    HRESULT WINAPI ReadAccessRuleset(PST_KEY, const GUID*, const GUID*, PPST_ACCESSRULESET*, DWORD) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI WriteAccessRuleset(PST_KEY, const GUID*, const GUID*, PPST_ACCESSRULESET, DWORD) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI EnumTypes(PST_KEY, DWORD, IEnumPStoreTypes**) override { return E_NOTIMPL; }
    HRESULT WINAPI EnumSubtypes(PST_KEY, const GUID*, DWORD, IEnumPStoreTypes**) override { return E_NOTIMPL; }
    HRESULT WINAPI ReadItem(PST_KEY, const GUID*, const GUID*, LPCWSTR, DWORD*, BYTE**, PPST_PROMPTINFO,
                            DWORD) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI WriteItem(PST_KEY, const GUID*, const GUID*, LPCWSTR, DWORD, BYTE*, PPST_PROMPTINFO, DWORD,
                             DWORD) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI OpenItem(PST_KEY, const GUID*, const GUID*, LPCWSTR, PST_ACCESSMODE, PPST_PROMPTINFO,
                            DWORD) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI CloseItem(PST_KEY, const GUID*, const GUID*, LPCWSTR, DWORD) override { return E_NOTIMPL; }
};

// What the fake library answers, and what it was asked.
struct FakeLibrary {
    HMODULE handle = reinterpret_cast<HMODULE>(static_cast<INT_PTR>(0x5170));
    bool loads = true;
    bool hasEntryPoint = true;
    HRESULT createResult = S_OK;
    FakeStore* store = nullptr;
    std::vector<std::string> loaded;
    std::vector<std::string> procsAsked;
    std::vector<HMODULE> freed;
    bool createArgumentsRight = true;
};
FakeLibrary* g_library = nullptr;

HRESULT WINAPI FakeCreateInstance(IPStore** out, PST_PROVIDERID* provider, void* reserved, DWORD flags)
{
    if (provider || reserved || flags) g_library->createArgumentsRight = false;
    if (FAILED(g_library->createResult)) return g_library->createResult;
    g_library->store->AddRef();
    *out = g_library->store;
    return S_OK;
}

HMODULE FakeLoad(const char* name)
{
    g_library->loaded.push_back(name);
    return g_library->loads ? g_library->handle : nullptr;
}

void* FakeGetProc(HMODULE module, const char* name)
{
    g_library->procsAsked.push_back(name);
    if (module != g_library->handle || !g_library->hasEntryPoint) return nullptr;
    return reinterpret_cast<void*>(FakeCreateInstance);
}

void FakeFree(HMODULE module) { g_library->freed.push_back(module); }

// Puts the fake library behind the seam for the life of the object.
class FakePStore {
public:
    FakePStore()
    {
        m_library.store = &m_store;
        g_library = &m_library;
        SetPStoreApiForTesting({FakeLoad, FakeGetProc, FakeFree});
    }
    ~FakePStore()
    {
        SetPStoreApiForTesting(RealPStoreApi());
        g_library = nullptr;
    }
    FakeStore m_store;
    FakeLibrary m_library;
};

class AutoCompleteTest : public ItemRunTest {
protected:
    CFoundObject AutoCompleteObject()
    {
        CFoundObject object;
        object.m_strPath = Item(1110)->m_strTitle;
        object.m_pfnClean = CleanAutoComplete;
        return object;
    }
};

}  // namespace

TEST_F(AutoCompleteTest, TheScanListsTheItemWhetherOrNotDataExists)
{
    CModItem* item = Item(1110);
    EXPECT_TRUE(item->m_bScanInOneStep);
    EXPECT_EQ(ScanAutoComplete, item->m_pfnScanAll);

    RangeBarsForItems(2);
    EXPECT_EQ(1, ScanOnWorker(item));
    ASSERT_EQ(1u, m_window.m_objects.size());
    const auto& received = m_window.m_objects[0];
    EXPECT_EQ("Internet Explorer 自动完成表单数据", received.object.m_strPath);
    EXPECT_EQ("", received.object.m_strName);
    EXPECT_EQ(0u, received.object.m_dwSize);
    EXPECT_EQ(kObjUnknown, received.object.m_nKind);
    EXPECT_EQ(0, received.object.m_nParam);
    EXPECT_FALSE(received.hadStatus);
    EXPECT_EQ(CleanAutoComplete, received.object.m_pfnClean);
    EXPECT_EQ(1, m_context.m_nFoundOrDeleted);
    EXPECT_EQ("已发现对象: 1", m_window.StatusText(1));
    EXPECT_EQ(100, m_window.ProgressPos(IDC_ITEM_PROGRESS));
    EXPECT_EQ(100, m_window.ProgressPos(IDC_TOTAL_PROGRESS));

    // A stop request still lets the object through, then ends the scan.
    RequestStop();
    EXPECT_EQ(0, ScanOnWorker(item));
    EXPECT_EQ(2u, m_window.m_objects.size());
    EXPECT_EQ(200, m_window.ProgressPos(IDC_TOTAL_PROGRESS));
}

TEST_F(AutoCompleteTest, WinesStoreHasNothingToDelete)
{
    CFoundObject object = AutoCompleteObject();
    EXPECT_EQ(1, CleanOnWorker(object));
    EXPECT_EQ(0, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(0, m_context.m_nNotDeleted);
    EXPECT_EQ("已删除的对象: 0", m_window.StatusText(1));
}

TEST_F(AutoCompleteTest, ItemsAreDeletedOneByOneWithTheEnumerationStartedAgainEachTime)
{
    FakePStore fake;
    fake.m_store.m_items = {L"name", L"email", L"city"};
    CFoundObject object = AutoCompleteObject();
    EXPECT_EQ(1, CleanOnWorker(object));

    EXPECT_TRUE(fake.m_store.m_items.empty());
    EXPECT_EQ((std::vector<std::string>{"enum", "next", "delete name", "reset", "next", "delete email", "reset",
                                        "next", "delete city", "reset", "next"}),
              fake.m_store.m_log);
    EXPECT_TRUE(fake.m_store.m_bArgumentsRight);
    EXPECT_TRUE(fake.m_library.createArgumentsRight);
    EXPECT_EQ(std::vector<std::string>{"pstorec.dll"}, fake.m_library.loaded);
    EXPECT_EQ(std::vector<std::string>{"PStoreCreateInstance"}, fake.m_library.procsAsked);
    EXPECT_EQ(std::vector<HMODULE>{fake.m_library.handle}, fake.m_library.freed);
    EXPECT_EQ(1, fake.m_store.m_nRefs) << "the store is released";
    EXPECT_EQ(0, fake.m_store.m_nEnumRefs) << "the enumerator is released";
    EXPECT_EQ(3, m_context.m_nFoundOrDeleted);
    EXPECT_EQ("已删除的对象: 3", m_window.StatusText(1));
}

TEST_F(AutoCompleteTest, AnItemThatCannotBeDeletedEndsTheCleaning)
{
    FakePStore fake;
    fake.m_store.m_items = {L"name", L"email", L"city"};
    fake.m_store.m_nFailDeleteCall = 2;
    CFoundObject object = AutoCompleteObject();
    EXPECT_EQ(1, CleanOnWorker(object));  // within the worker's time-out: no endless loop
    EXPECT_EQ(2, fake.m_store.m_nDeleteCalls);
    EXPECT_EQ((std::vector<std::wstring>{L"email", L"city"}), fake.m_store.m_items);
    EXPECT_EQ(1, m_context.m_nFoundOrDeleted);
    EXPECT_EQ(0, fake.m_store.m_nEnumRefs);
    EXPECT_EQ(1u, fake.m_library.freed.size());
}

TEST_F(AutoCompleteTest, AnItemStillListedAfterItsDeletionIsNotCountedAndEndsTheCleaning)
{
    FakePStore fake;
    fake.m_store.m_items = {L"name", L"email", L"city"};
    fake.m_store.m_strStuck = L"email";
    EXPECT_EQ(1, DeleteAutoCompleteItems());
    EXPECT_EQ(2, fake.m_store.m_nDeleteCalls);
}

TEST_F(AutoCompleteTest, WithoutLibraryEntryPointStoreOrEnumerationNothingIsDeleted)
{
    {
        FakePStore fake;
        fake.m_store.m_items = {L"name"};
        fake.m_library.loads = false;
        EXPECT_EQ(0, DeleteAutoCompleteItems());
        EXPECT_TRUE(fake.m_library.procsAsked.empty());
        EXPECT_TRUE(fake.m_library.freed.empty());
    }
    {
        FakePStore fake;
        fake.m_store.m_items = {L"name"};
        fake.m_library.hasEntryPoint = false;
        EXPECT_EQ(0, DeleteAutoCompleteItems());
        EXPECT_EQ(1u, fake.m_library.freed.size());
        EXPECT_TRUE(fake.m_store.m_log.empty());
    }
    {
        FakePStore fake;
        fake.m_store.m_items = {L"name"};
        fake.m_library.createResult = E_FAIL;
        EXPECT_EQ(0, DeleteAutoCompleteItems());
        EXPECT_TRUE(fake.m_store.m_log.empty());
        EXPECT_EQ(1u, fake.m_library.freed.size());
    }
    {
        FakePStore fake;
        fake.m_store.m_items = {L"name"};
        fake.m_store.m_hrEnum = E_NOTIMPL;  // as Wine's store answers
        EXPECT_EQ(0, DeleteAutoCompleteItems());
        EXPECT_EQ(std::vector<std::string>{"enum"}, fake.m_store.m_log);
        EXPECT_EQ(1, fake.m_store.m_nRefs);
        EXPECT_EQ(1u, fake.m_library.freed.size());
    }
    // And the real library of this system answers as Wine's does.
    EXPECT_EQ(0, DeleteAutoCompleteItems());
}
