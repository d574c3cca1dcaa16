#include "shellext/ShredMenu.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <new>

#include "shellext/ShellExtServer.h"

namespace shellext {
namespace {

const char kMenuText[] = "使用 Quillon 粉碎";
const char kHelpTextA[] = "使用 Quillon 粉碎选定的文件与子文件夹";
const wchar_t kHelpTextW[] = L"Shreds selected files and subfolder with the use of Quillon\u00AE engine";
// A wide box: the sign "®" has no code in code page 936, where its Latin-1 byte 0xAE would begin a
// double-byte character and swallow the space after it.
const wchar_t kErrorText[] = L"执行 Quillon 时出现错误\u00AE Shredder!";
const wchar_t kErrorCaption[] = L"错误";

const char kSettingsKey[] = "Software\\Venmoor\\Quillon\\Settings";
const char kInstalledDirValue[] = "InstalledDir";
const char kShredderName[] = "\\tambShred.exe";
constexpr DWORD kInstalledDirBuffer = 260;

HRESULT CommandCount(USHORT count) { return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, count); }

// The install folder as the installer stored it (REG_SZ or REG_EXPAND_SZ, used unexpanded). A value
// without its closing zero, or one that fills the whole buffer, is taken as unreadable rather than
// read beyond what the registry gave.
bool ReadInstalledDir(std::string& folder)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    char buffer[kInstalledDirBuffer];
    DWORD type = REG_NONE;
    DWORD size = sizeof buffer;
    LONG rc = RegQueryValueExA(key, kInstalledDirValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    if (size == 0 || size >= sizeof buffer || buffer[size - 1] != '\0') return false;
    folder = buffer;
    return !folder.empty();
}

// The shredder program of the install folder, when it is there.
bool FindShredder(std::string& folder, std::string& shredder)
{
    if (!ReadInstalledDir(folder)) return false;
    shredder = folder + kShredderName;
    return shredder.size() < MAX_PATH && PathFileExistsA(shredder.c_str());
}

}  // namespace

CShredMenu::CShredMenu() { ObjectCreated(); }

CShredMenu::~CShredMenu()
{
    ReleaseSelection();
    ILFree(m_pidlFolder);
    ObjectDestroyed();
}

STDMETHODIMP CShredMenu::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IShellExtInit))
        *ppv = static_cast<IShellExtInit*>(this);
    else if (IsEqualIID(riid, IID_IContextMenu))
        *ppv = static_cast<IContextMenu*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CShredMenu::AddRef() { return AddRefOf(m_cRef); }

STDMETHODIMP_(ULONG) CShredMenu::Release()
{
    ULONG left = ReleaseOf(m_cRef);
    if (left == 0) delete this;
    return left;
}

void CShredMenu::ReleaseSelection()
{
    if (m_pDataObj) m_pDataObj->Release();
    m_pDataObj = nullptr;
    m_astrPaths.clear();
}

// A second call replaces the selection of the first.
STDMETHODIMP CShredMenu::Initialize(PCIDLIST_ABSOLUTE pidlFolder, IDataObject* pDataObj, HKEY)
{
    if (pidlFolder) {
        ILFree(m_pidlFolder);
        m_pidlFolder = ILClone(pidlFolder);
    }
    ReleaseSelection();
    if (!pDataObj) return S_OK;
    m_pDataObj = pDataObj;
    m_pDataObj->AddRef();
    try {
        ReadPaths(pDataObj);
    } catch (const std::bad_alloc&) {
        m_astrPaths.clear();
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

void CShredMenu::ReadPaths(IDataObject* pDataObj)
{
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(pDataObj->GetData(&format, &medium))) return;
    HDROP drop = static_cast<HDROP>(medium.hGlobal);
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        UINT length = DragQueryFileA(drop, i, nullptr, 0);
        std::string path(length + 1, '\0');
        path.resize(DragQueryFileA(drop, i, &path[0], length + 1));
        m_astrPaths.push_back(path);
    }
    ReleaseStgMedium(&medium);
}

STDMETHODIMP CShredMenu::QueryContextMenu(HMENU hmenu, UINT indexMenu, UINT idCmdFirst, UINT, UINT uFlags)
{
    if (uFlags & CMF_DEFAULTONLY) return CommandCount(0);
    InsertMenuA(hmenu, indexMenu, MF_BYPOSITION, idCmdFirst, kMenuText);
    return CommandCount(1);
}

STDMETHODIMP CShredMenu::GetCommandString(UINT_PTR idCmd, UINT uType, UINT*, CHAR* pszName, UINT cchMax)
{
    if (idCmd != 0) return E_INVALIDARG;
    if (uType == GCS_HELPTEXTA)
        lstrcpynA(pszName, kHelpTextA, static_cast<int>(cchMax));
    else if (uType == GCS_HELPTEXTW)
        lstrcpynW(reinterpret_cast<LPWSTR>(pszName), kHelpTextW, static_cast<int>(cchMax));
    return S_OK;
}

STDMETHODIMP CShredMenu::InvokeCommand(CMINVOKECOMMANDINFO* pici)
{
    // Only the command offset 0, given as a number: a verb string is no command of ours.
    if (!pici || reinterpret_cast<ULONG_PTR>(pici->lpVerb) != 0) return E_FAIL;
    std::string folder;
    std::string shredder;
    if (!FindShredder(folder, shredder)) {
        MessageBoxW(pici->hwnd, kErrorText, kErrorCaption, MB_ICONERROR);
        return E_FAIL;
    }
    // The shredder takes exactly one path, quoted so that spaces stay inside it.
    for (const std::string& path : m_astrPaths) {
        const std::string arguments = "\"" + path + "\"";
        ShellExecuteA(pici->hwnd, nullptr, shredder.c_str(), arguments.c_str(), folder.c_str(), SW_SHOWNORMAL);
    }
    return S_OK;
}

}  // namespace shellext
