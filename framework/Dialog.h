// The dialog base class: one dialog procedure for every dialog of the program, dispatching to a
// handful of virtuals. The same class runs modally (DoModal, the product) or modeless (Create, so
// tests can drive the real dialog from its real template in-process).
//
// Rules of the dispatch:
// - `this` is stored in DWLP_USER at WM_INITDIALOG and cleared at WM_NCDESTROY (not a window
//   property: under Wine every property lookup is a round trip to the server). Messages that arrive
//   before it (WM_SETFONT, WM_CREATE...) get the default handling and reach no virtual.
// - OnNotify's result goes to DWLP_MSGRESULT; OnMessage's result too, except for the few messages
//   whose result a dialog procedure returns directly (WM_CTLCOLOR*, WM_QUERYDRAGICON...).
// - No exception leaves a handler into user32: it is caught, reported with OutputDebugString, and an
//   exception in OnInitDialog ends the dialog with -1.
// - A modal run has its own message loop, so PreTranslateMessage sees every message of the dialog
//   first (accelerators), then the dialog's keyboard handling (IsDialogMessage).
// - The template's WS_VISIBLE is ignored: the dialog is shown once OnInitDialog has returned, and
//   never when OnInitDialog already ended it (a warning that was switched off shows nothing).
// A derived class that handles WM_DESTROY must destroy its window in its own destructor; the base
// destructor destroys a window that still exists without dispatching to virtuals any more.
#pragma once

#include <windows.h>

namespace framework {

class CDialog {
public:
    explicit CDialog(UINT templateId, HWND parent = nullptr);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally: the owner (the top-level window of the parent) is disabled, the
    // dialog's own loop runs until EndDialog, and the owner is enabled again. Returns the value given
    // to EndDialog, or -1 when the dialog could not be created. A WM_QUIT that arrives meanwhile
    // ends the dialog with IDCANCEL and is posted again for the outer loop.
    INT_PTR DoModal();
    // Creates the dialog modeless and shows it; returns its window, or null when it could not be
    // created or OnInitDialog already ended it. EndDialog then destroys the window.
    HWND Create();

    // Ends the dialog with a result: a modal run returns it from DoModal; a modeless dialog is
    // destroyed at once.
    void EndDialog(INT_PTR result);

    HWND GetHwnd() const { return m_hWnd; }
    HWND GetParentWindow() const { return m_hWndParent; }
    void SetParentWindow(HWND parent) { m_hWndParent = parent; }
    UINT GetTemplateId() const { return m_nTemplateId; }
    bool IsModal() const { return m_bModal; }
    // True once EndDialog was called in the current (or last) run.
    bool IsEnded() const { return m_bEnded; }
    INT_PTR GetResult() const { return m_nResult; }

    HWND GetItem(int id) const { return GetDlgItem(m_hWnd, id); }

    // The framework dialog or page whose window this is, or null (also for dialogs of others, whose
    // DWLP_USER means something else).
    static CDialog* FromHandle(HWND hwnd);
    // Offers a message to the framework dialog that contains its window (PreTranslateMessage, then
    // IsDialogMessage); true when it was handled. Also gives plain dialogs and property sheets their
    // keyboard handling. Message loops of the program call this before TranslateMessage.
    static bool RouteDialogMessage(MSG& msg);

protected:
    // WM_INITDIALOG. Return TRUE to let the system give the focus to the first tab stop, FALSE when
    // the handler set the focus itself.
    virtual BOOL OnInitDialog() { return TRUE; }
    // WM_COMMAND; true when handled. The base turns IDOK into OnOK and IDCANCEL (Enter, Esc, the
    // close box) into OnCancel; overrides call it for what they do not handle.
    virtual bool OnCommand(WORD id, WORD code, HWND control);
    // WM_NOTIFY; the result is written to DWLP_MSGRESULT.
    virtual LRESULT OnNotify(NMHDR* header);
    virtual void OnTimer(UINT_PTR /*timerId*/) {}
    virtual void OnSize(UINT /*type*/, int /*cx*/, int /*cy*/) {}
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Every other message; set result and return true when handled, else the default handling runs.
    virtual bool OnMessage(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/, LRESULT& /*result*/) { return false; }
    // Sees every message of a modal run (and of RouteDialogMessage) before the dialog's keyboard
    // handling; true when it was handled (an accelerator, for example).
    virtual bool PreTranslateMessage(MSG& /*msg*/) { return false; }

    HWND m_hWnd = nullptr;

    // The dialog procedure of property pages: their WM_INITDIALOG carries the sheet's copy of the
    // page description, whose lParam is the page object.
    static INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    // Binds `self` to its window at WM_INITDIALOG (self null: not bound) and dispatches everything
    // after that to the bound object.
    static INT_PTR HandleMessage(CDialog* self, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    void Attach(HWND hwnd);
    void Detach();
    HWND CreateFromTemplate(HWND owner);
    void RunModalLoop();
    void EnableOwnerAgain();

    UINT m_nTemplateId;
    HWND m_hWndParent;
    HWND m_hWndDisabledOwner = nullptr;  // the owner a modal run disabled, enabled again at its end
    bool m_bModal = false;
    bool m_bEnded = false;
    INT_PTR m_nResult = 0;
};

}  // namespace framework
