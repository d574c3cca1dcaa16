// LorvexShell.dll as Explorer uses it: the real DLL loaded in this process, its class object, the
// extension's menu and help texts, and the command started against a stand-in shredder that
// records each start.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "framework/ProcAddress.h"
#include "shellext/ShellExtClsid.h"
#include "support/BoxWatcher.h"
#include "support/ChildProcess.h"
#include "support/Sandbox.h"

namespace {

using namespace testsupport;
using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

const char kSettingsKey[] = "Software\\Venmoor\\Quillon\\Settings";
const wchar_t kErrorText[] = L"执行 Quillon 时出现错误\u00AE Shredder!";

HMODULE ShellDll()
{
    static HMODULE dll = LoadLibraryA((BinFolder() + "\\LorvexShell.dll").c_str());
    return dll;
}
HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    return framework::GetProcAs<GetClassObjectFn>(ShellDll(), "DllGetClassObject")(clsid, iid, out);
}
HRESULT CanUnloadNow() { return framework::GetProcAs<CanUnloadNowFn>(ShellDll(), "DllCanUnloadNow")(); }

struct Releaser {
    void operator()(IUnknown* p) const { p->Release(); }
};
template <class T>
using ComPtr = std::unique_ptr<T, Releaser>;

ComPtr<IClassFactory> Factory()
{
    void* out = nullptr;
    GetClassObject(CLSID_LorvexShell, IID_IClassFactory, &out);
    return ComPtr<IClassFactory>(static_cast<IClassFactory*>(out));
}

ComPtr<IContextMenu> NewMenu()
{
    void* out = nullptr;
    Factory()->CreateInstance(nullptr, IID_IContextMenu, &out);
    return ComPtr<IContextMenu>(static_cast<IContextMenu*>(out));
}

// Explorer's selection: CF_HDROP with ANSI paths (or no CF_HDROP at all). Lives on the test's stack;
// its count shows whether the extension still holds it.
class CDropData : public IDataObject {
public:
    explicit CDropData(std::vector<std::string> paths, bool hasDrop = true) : m_paths(std::move(paths)), m_hasDrop(hasDrop) {}
    LONG m_refs = 1;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject) ? this : nullptr;
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override { return --m_refs; }
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (!m_hasDrop || format->cfFormat != CF_HDROP || !(format->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
        std::string list;
        for (const std::string& path : m_paths) list += path + '\0';
        list += '\0';
        HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
        auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = FALSE;
        memcpy(drop + 1, list.data(), list.size());
        GlobalUnlock(memory);
        *medium = {};
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
    std::vector<std::string> m_paths;
    bool m_hasDrop;
};

HRESULT Initialize(IContextMenu* menu, IDataObject* data)
{
    void* init = nullptr;
    menu->QueryInterface(IID_IShellExtInit, &init);
    HRESULT hr = static_cast<IShellExtInit*>(init)->Initialize(nullptr, data, nullptr);
    static_cast<IShellExtInit*>(init)->Release();
    return hr;
}

TEST(ShellExtServer, ServesOnlyItsClassAndInterfacesWithoutAggregation)
{
    const CLSID kOther = {0x12345678, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
    CDropData outer({});
    // clsid null: the factory's CreateInstance with that outer object.
    const struct {
        const CLSID* clsid;
        IUnknown* outer;
        const IID* iid;
        HRESULT want;
    } kCases[] = {
        {&kOther, nullptr, &IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
        {&CLSID_LorvexShell, nullptr, &IID_IContextMenu, E_NOINTERFACE},
        {&CLSID_LorvexShell, nullptr, &IID_IUnknown, S_OK},
        {nullptr, &outer, &IID_IUnknown, CLASS_E_NOAGGREGATION},
        {nullptr, nullptr, &IID_IDataObject, E_NOINTERFACE},
        {nullptr, nullptr, &IID_IShellExtInit, S_OK},
    };
    for (const auto& c : kCases) {
        void* out = reinterpret_cast<void*>(0xdeadbeef);
        EXPECT_EQ(c.clsid ? GetClassObject(*c.clsid, *c.iid, &out) : Factory()->CreateInstance(c.outer, *c.iid, &out), c.want);
        EXPECT_EQ(out != nullptr, c.want == S_OK);
        if (c.want == S_OK) static_cast<IUnknown*>(out)->Release();
    }
    EXPECT_EQ(CanUnloadNow(), S_OK) << "a refused request leaves no object behind";
}

TEST(ShellExtServer, MayUnloadOnlyWithoutLiveObjectsAndLocks)
{
    ComPtr<IClassFactory> factory = Factory();
    EXPECT_EQ(CanUnloadNow(), S_FALSE) << "factory alive";
    ComPtr<IContextMenu> menu = NewMenu();
    factory.reset();
    EXPECT_EQ(CanUnloadNow(), S_FALSE) << "extension object alive";
    menu.reset();
    EXPECT_EQ(CanUnloadNow(), S_OK) << "all released";
    Factory()->LockServer(TRUE);
    EXPECT_EQ(CanUnloadNow(), S_FALSE) << "lock held";
    Factory()->LockServer(FALSE);
    EXPECT_EQ(CanUnloadNow(), S_OK) << "lock given back";
}

TEST(ShellMenu, AddsItsCommandUnlessOnlyTheDefaultIsAsked)
{
    for (auto [flags, count] : {std::make_pair(CMF_NORMAL, 1), std::make_pair(CMF_DEFAULTONLY, 0),
                                std::make_pair(CMF_EXPLORE | CMF_DEFAULTONLY, 0)}) {
        HMENU popup = CreatePopupMenu();
        AppendMenuA(popup, MF_STRING, 1, "first");
        AppendMenuA(popup, MF_STRING, 2, "second");
        HRESULT hr = NewMenu()->QueryContextMenu(popup, 1, 100, 200, flags);
        EXPECT_EQ(hr, MAKE_HRESULT(SEVERITY_SUCCESS, 0, count)) << flags;
        ASSERT_EQ(GetMenuItemCount(popup), 2 + count);
        if (count) {
            char text[64] = "sentinel";
            GetMenuStringA(popup, 1, text, sizeof text, MF_BYPOSITION);
            EXPECT_STREQ(text, "使用 Quillon 粉碎");
            EXPECT_EQ(GetMenuItemID(popup, 1), 100u);
        }
        DestroyMenu(popup);
    }
}

TEST(ShellMenu, HelpTextsFitTheCallersBuffer)
{
    auto wide = [](const std::wstring& text) {
        return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
    };
    const std::string untouched = "\xee\xee";
    const struct {
        UINT_PTR command;
        UINT type;
        UINT size;
        HRESULT want;
        std::string bytes;
    } kCases[] = {
        {0, GCS_HELPTEXTA, 200, S_OK, std::string("使用 Quillon 粉碎选定的文件与子文件夹") + '\0'},
        {0, GCS_HELPTEXTA, 5, S_OK, std::string("使用") + '\0'},
        {0, GCS_HELPTEXTW, 200, S_OK, wide(L"Shreds selected files and subfolder with the use of Quillon\u00AE engine")},
        {0, GCS_HELPTEXTW, 7, S_OK, wide(L"Shreds")},
        {0, GCS_VERBA, 200, S_OK, untouched},
        {1, GCS_HELPTEXTA, 200, E_INVALIDARG, untouched},
    };
    ComPtr<IContextMenu> menu = NewMenu();
    for (const auto& c : kCases) {
        char buffer[400];
        memset(buffer, 0xee, sizeof buffer);
        EXPECT_EQ(menu->GetCommandString(c.command, c.type, nullptr, buffer, c.size), c.want);
        EXPECT_EQ(std::string(buffer, c.bytes.size()), c.bytes) << c.type << "/" << c.size;
    }
}

// An install folder holding the stand-in shredder, named in the sandbox's settings.
class ShellCommandTest : public SandboxTest {
protected:
    ShellCommandTest() : m_install(m_temp / "安装 目录")
    {
        MakeFolder(m_install);
        CopyFileA((BinFolder() + "\\StandInShredder.exe").c_str(), (m_install + "\\tambShred.exe").c_str(), FALSE);
        SetRegString(kSettingsKey, "InstalledDir", m_install);
    }

    HRESULT Invoke(IContextMenu* menu, LPCSTR verb, std::vector<SeenBox>& boxes)
    {
        CMINVOKECOMMANDINFO info = {sizeof info, 0, nullptr, verb, nullptr, nullptr, SW_SHOWNORMAL, 0, nullptr};
        HRESULT hr = E_UNEXPECTED;
        boxes = CloseBoxesDuring([&] { hr = menu->InvokeCommand(&info); });
        return hr;
    }

    // The stand-in's records: command line and current folder of each start.
    std::vector<std::pair<std::string, std::string>> Starts() const
    {
        std::vector<std::pair<std::string, std::string>> starts;
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((m_install + "\\start-*.txt").c_str(), &found);
        for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &found)) {
            std::string record = ReadFileBytes(m_install + "\\" + found.cFileName);
            size_t split = record.find('\n');
            starts.emplace_back(record.substr(0, split), record.substr(split + 1));
        }
        if (find != INVALID_HANDLE_VALUE) FindClose(find);
        std::sort(starts.begin(), starts.end());
        return starts;
    }
    bool WaitForStarts(size_t count)
    {
        return WaitUntil([&] { return Starts().size() >= count; }, 20000);
    }

    std::string m_install;
};

TEST_F(ShellCommandTest, StartsTheShredderOncePerPathWithThatPathQuoted)
{
    const std::vector<std::string> paths = {m_temp / "a.txt", m_temp / "with two spaces.doc", m_temp / "粉碎 文件夹"};
    CDropData data(paths);
    ComPtr<IContextMenu> menu = NewMenu();
    ASSERT_EQ(Initialize(menu.get(), &data), S_OK);
    EXPECT_EQ(data.m_refs, 2) << "the extension holds the selection";
    std::vector<SeenBox> boxes;
    EXPECT_EQ(Invoke(menu.get(), nullptr, boxes), S_OK);
    EXPECT_TRUE(boxes.empty());
    ASSERT_TRUE(WaitForStarts(3));
    Sleep(300);
    std::vector<std::pair<std::string, std::string>> starts = Starts();
    ASSERT_EQ(starts.size(), 3u);
    std::vector<std::string> arguments;
    for (const auto& [commandLine, folder] : starts) {
        EXPECT_EQ(folder, m_install);
        // Whatever form the program's own name takes, exactly one quoted argument follows it.
        size_t quote = commandLine.rfind(" \"");
        arguments.push_back(commandLine.substr(quote + 1));
        EXPECT_NE(commandLine.substr(0, quote).find("tambShred.exe"), std::string::npos) << commandLine;
    }
    std::vector<std::string> want;
    for (const std::string& path : paths) want.push_back("\"" + path + "\"");
    std::sort(want.begin(), want.end());
    EXPECT_EQ(arguments, want);
    menu.reset();
    EXPECT_EQ(data.m_refs, 1) << "released with the extension";
}

TEST_F(ShellCommandTest, RefusedCommandsStartNothing)
{
    const std::string valid = m_install;
    const struct {
        const char* name;
        std::function<void()> setup;
        LPCSTR verb;
        HRESULT want;
        bool box;
    } kCases[] = {
        {"verb string", [] {}, "shred", E_FAIL, false},
        {"verb 1", [] {}, MAKEINTRESOURCEA(1), E_FAIL, false},
        {"no InstalledDir", [] { RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "InstalledDir"); }, nullptr, E_FAIL, true},
        {"REG_DWORD", [] { SetRegDword(kSettingsKey, "InstalledDir", 7); }, nullptr, E_FAIL, true},
        // Wine's RegQueryValueExA terminates a shorter unterminated text itself.
        {"unterminated, filling the buffer", [&] { SetRegBinary(kSettingsKey, "InstalledDir", valid + std::string(260 - valid.size(), 'x'), REG_SZ); }, nullptr, E_FAIL, true},
        {"filling the buffer", [&] { SetRegString(kSettingsKey, "InstalledDir", valid + std::string(259 - valid.size(), 'x')); }, nullptr, E_FAIL, true},
        {"no shredder", [&] { SetRegString(kSettingsKey, "InstalledDir", m_temp.Path()); }, nullptr, E_FAIL, true},
    };
    CDropData first({m_temp / "kept.txt"});
    CDropData noDrop({m_temp / "unseen.txt"}, false);
    for (const auto& c : kCases) {
        SetRegString(kSettingsKey, "InstalledDir", valid);
        c.setup();
        ComPtr<IContextMenu> menu = NewMenu();
        Initialize(menu.get(), &first);
        std::vector<SeenBox> boxes;
        EXPECT_EQ(Invoke(menu.get(), c.verb, boxes), c.want) << c.name;
        ASSERT_EQ(boxes.size(), c.box ? 1u : 0u) << c.name;
        if (c.box) {
            EXPECT_EQ(boxes[0].caption, "错误");
            EXPECT_EQ(boxes[0].wideText, kErrorText);
        }
    }
    // A second Initialize without CF_HDROP replaces the first selection: a command of nothing.
    SetRegString(kSettingsKey, "InstalledDir", valid);
    ComPtr<IContextMenu> menu = NewMenu();
    Initialize(menu.get(), &first);
    EXPECT_EQ(Initialize(menu.get(), &noDrop), S_OK);
    EXPECT_EQ(first.m_refs, 1);
    std::vector<SeenBox> boxes;
    EXPECT_EQ(Invoke(menu.get(), nullptr, boxes), S_OK);
    EXPECT_TRUE(boxes.empty());
    // Then a command that does start: by the time its start is recorded, any earlier one would be.
    Initialize(menu.get(), &first);
    EXPECT_EQ(Invoke(menu.get(), nullptr, boxes), S_OK);
    ASSERT_TRUE(WaitForStarts(1));
    Sleep(500);
    EXPECT_EQ(Starts().size(), 1u);
}

}  // namespace
