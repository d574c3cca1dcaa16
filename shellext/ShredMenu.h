// The context-menu extension object: IShellExtInit collects the paths of the files and folders that
// Explorer's selection holds (CF_HDROP), IContextMenu offers the one shred command and, when it is
// chosen, starts the shredder program of the install folder once for every path.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace shellext {

class CShredMenu final : public IShellExtInit, public IContextMenu {
public:
    CShredMenu();
    CShredMenu(const CShredMenu&) = delete;
    CShredMenu& operator=(const CShredMenu&) = delete;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IShellExtInit
    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE pidlFolder, IDataObject* pDataObj, HKEY hkeyProgID) override;

    // IContextMenu
    STDMETHODIMP QueryContextMenu(HMENU hmenu, UINT indexMenu, UINT idCmdFirst, UINT idCmdLast,
                                  UINT uFlags) override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* pici) override;
    STDMETHODIMP GetCommandString(UINT_PTR idCmd, UINT uType, UINT* pReserved, CHAR* pszName,
                                  UINT cchMax) override;

private:
    ~CShredMenu();
    void ReleaseSelection();
    void ReadPaths(IDataObject* pDataObj);

    LONG m_cRef = 1;
    PIDLIST_ABSOLUTE m_pidlFolder = nullptr;  // kept as Explorer gave it, not used
    IDataObject* m_pDataObj = nullptr;
    std::vector<std::string> m_astrPaths;
};

}  // namespace shellext
