#include "Wnd_win.h"

#include "WinApp_win.h"

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd)
        return FALSE;
    const BOOL ok = ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    return ok;
}

HWND AfxGetMainWndHandle() {
    CWinApp* app = AfxGetApp();
    return app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
}

HWND CWnd::GetSafeOwner(HWND hParent) {
    HWND hWnd = hParent ? hParent : AfxGetMainWndHandle();
    // A pop-up cannot be owned by a child window.
    while (hWnd && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);
    if (!hParent && hWnd)
        hWnd = ::GetLastActivePopup(hWnd);
    return hWnd;
}

// A key or a click reaches a window only when the thread takes it from its
// queue: one that arrived while the window took no input would act on it
// once it takes input again.  Taken now and left unhandled, it is gone.
void AfxDiscardUserInput() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE | PM_NOYIELD)) {
    }
    while (::PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE | PM_NOYIELD)) {
    }
    // The caption's buttons too: a click on the close box ends a dialog.
    while (
        ::PeekMessageA(&msg, nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_REMOVE | PM_NOYIELD)) {
    }
}
