#include "framework/Dialog.h"

#include <prsht.h>

#include <cstring>
#include <exception>
#include <vector>

namespace framework {

namespace {

// Messages whose result a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT msg)
{
    return (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) || msg == WM_COMPAREITEM ||
           msg == WM_VKEYTOITEM || msg == WM_CHARTOITEM || msg == WM_QUERYDRAGICON || msg == WM_INITDIALOG;
}

bool IsDialogClassWindow(HWND hwnd)
{
    char name[16] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return lstrcmpA(name, "#32770") == 0;
}

void ReportHandlerException(UINT msg, const char* what)
{
    char text[512];
    wsprintfA(text, "framework: exception in the handler of message 0x%04X: %.400s\n", msg, what);
    OutputDebugStringA(text);
}

// A DWORD-aligned copy of a dialog template without WS_VISIBLE, so that the framework decides when
// the dialog is shown (after OnInitDialog, and not at all when OnInitDialog ended it).
std::vector<DWORD> LoadHiddenTemplate(HINSTANCE instance, UINT id)
{
    HRSRC res = FindResourceA(instance, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_DIALOG));
    if (!res) return {};
    HGLOBAL loaded = LoadResource(instance, res);
    DWORD size = SizeofResource(instance, res);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || size < sizeof(DLGTEMPLATE)) return {};
    std::vector<DWORD> copy((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    memcpy(copy.data(), data, size);
    const WORD* words = reinterpret_cast<const WORD*>(copy.data());
    // DLGTEMPLATEEX starts with version 1 and signature 0xFFFF; its style follows the help id and
    // the extended style. A plain DLGTEMPLATE starts with the style.
    DWORD* style = (words[0] == 1 && words[1] == 0xFFFF) ? &copy[3] : &copy[0];
    *style &= ~static_cast<DWORD>(WS_VISIBLE);
    return copy;
}

}  // namespace

CDialog::CDialog(UINT templateId, HWND parent) : m_nTemplateId(templateId), m_hWndParent(parent) {}

CDialog::~CDialog()
{
    EnableOwnerAgain();
    if (m_hWnd) {
        // The derived part is gone: unbind first, so destruction reaches no virtual.
        HWND hwnd = m_hWnd;
        Detach();
        DestroyWindow(hwnd);
    }
}

CDialog* CDialog::FromHandle(HWND hwnd)
{
    // DWLP_USER belongs to whoever runs the dialog (a message box or a property sheet frame may keep
    // its own data there): it holds a CDialog only behind one of our dialog procedures.
    if (!hwnd || !IsDialogClassWindow(hwnd)) return nullptr;
    const auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(hwnd, DWLP_DLGPROC));
    if (proc != DialogProc && proc != PageProc) return nullptr;
    return reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
}

void CDialog::Attach(HWND hwnd)
{
    m_hWnd = hwnd;
    SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
}

void CDialog::Detach()
{
    if (!m_hWnd) return;
    SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
    m_hWnd = nullptr;
    // A window destroyed from outside (with its owner, for example) ends the run as a cancel.
    if (!m_bEnded) {
        m_bEnded = true;
        m_nResult = IDCANCEL;
    }
}

HWND CDialog::CreateFromTemplate(HWND owner)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    std::vector<DWORD> dialogTemplate = LoadHiddenTemplate(instance, m_nTemplateId);
    if (dialogTemplate.empty()) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return CreateDialogIndirectParamA(instance, reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()), owner,
                                      DialogProc, reinterpret_cast<LPARAM>(this));
}

HWND CDialog::Create()
{
    if (m_hWnd) return m_hWnd;
    m_bModal = false;
    m_bEnded = false;
    m_nResult = 0;
    CreateFromTemplate(m_hWndParent);
    if (!m_hWnd || m_bEnded) return nullptr;
    ShowWindow(m_hWnd, SW_SHOW);
    return m_hWnd;
}

INT_PTR CDialog::DoModal()
{
    if (m_hWnd) return -1;
    m_bModal = true;
    m_bEnded = false;
    m_nResult = -1;
    HWND owner = m_hWndParent ? GetAncestor(m_hWndParent, GA_ROOT) : nullptr;
    if (owner && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        m_hWndDisabledOwner = owner;
    }
    CreateFromTemplate(owner);
    if (m_hWnd && !m_bEnded) {
        ShowWindow(m_hWnd, SW_SHOW);
        RunModalLoop();
    }
    EnableOwnerAgain();
    if (m_hWnd) DestroyWindow(m_hWnd);
    return m_nResult;
}

void CDialog::RunModalLoop()
{
    while (!m_bEnded && m_hWnd) {
        MSG msg;
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // WM_QUIT belongs to the outer loop: end this run and leave it there.
            PostQuitMessage(static_cast<int>(msg.wParam));
            if (!m_bEnded) EndDialog(IDCANCEL);
            break;
        }
        if (got == -1) break;
        if (!RouteDialogMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void CDialog::EnableOwnerAgain()
{
    if (!m_hWndDisabledOwner) return;
    HWND owner = m_hWndDisabledOwner;
    m_hWndDisabledOwner = nullptr;
    if (IsWindow(owner)) EnableWindow(owner, TRUE);
}

void CDialog::EndDialog(INT_PTR result)
{
    m_nResult = result;
    m_bEnded = true;
    if (!m_hWnd) return;
    if (m_bModal) {
        // As the system's own modal dialogs do: the owner is enabled before the dialog disappears,
        // so the activation goes back to it and not to another program.
        bool wasActive = GetActiveWindow() == m_hWnd;
        HWND owner = m_hWndDisabledOwner;
        EnableOwnerAgain();
        if (wasActive && owner && IsWindow(owner)) SetActiveWindow(owner);
        SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        // Ended from a sent message (another program closing the window), the modal loop still
        // sleeps in GetMessage: a posted message wakes it to see the end.
        PostMessageA(m_hWnd, WM_NULL, 0, 0);
    } else {
        DestroyWindow(m_hWnd);
    }
}

bool CDialog::RouteDialogMessage(MSG& msg)
{
    if (!msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (!root) return false;
    if (CDialog* dialog = FromHandle(root)) {
        if (dialog->PreTranslateMessage(msg)) return true;
        return IsDialogMessageA(root, &msg);
    }
    return IsDialogClassWindow(root) && IsDialogMessageA(root, &msg);
}

bool CDialog::OnCommand(WORD id, WORD /*code*/, HWND /*control*/)
{
    switch (id) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    }
    return false;
}

LRESULT CDialog::OnNotify(NMHDR* /*header*/)
{
    return 0;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    CDialog* self = msg == WM_INITDIALOG ? reinterpret_cast<CDialog*>(lp) : nullptr;
    return HandleMessage(self, hwnd, msg, wp, lp);
}

INT_PTR CALLBACK CDialog::PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    CDialog* self = nullptr;
    if (msg == WM_INITDIALOG && lp)
        self = reinterpret_cast<CDialog*>(reinterpret_cast<const PROPSHEETPAGEA*>(lp)->lParam);
    return HandleMessage(self, hwnd, msg, wp, lp);
}

INT_PTR CDialog::HandleMessage(CDialog* self, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_INITDIALOG && self) self->Attach(hwnd);
    // The window is ours (this is its dialog procedure), so its DWLP_USER is too: no checks, and a
    // read of window data that stays in the process.
    auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!dialog) return FALSE;
    INT_PTR handled = FALSE;
    try {
        handled = dialog->Dispatch(msg, wp, lp);
    } catch (const std::exception& e) {
        ReportHandlerException(msg, e.what());
        if (msg == WM_INITDIALOG) dialog->EndDialog(-1);
    } catch (...) {
        ReportHandlerException(msg, "unknown");
        if (msg == WM_INITDIALOG) dialog->EndDialog(-1);
    }
    if (msg == WM_NCDESTROY) dialog->Detach();
    return handled;
}

INT_PTR CDialog::Dispatch(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)) ? TRUE : FALSE;
    case WM_NOTIFY: {
        LRESULT result = OnNotify(reinterpret_cast<NMHDR*>(lp));
        if (m_hWnd) SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wp));
        return TRUE;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
        return FALSE;
    }
    LRESULT result = 0;
    if (!OnMessage(msg, wp, lp, result)) return FALSE;
    if (ReturnsResultDirectly(msg)) return static_cast<INT_PTR>(result);
    if (m_hWnd) SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace framework
