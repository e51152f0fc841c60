#include "Wnd.h"

#include "WinApp.h"

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd)
        return FALSE;
    const BOOL ok = ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    return ok;
}

CString CWnd::GetWindowText() const {
    CString text;
    const int len = ::GetWindowTextLengthA(m_hWnd);
    ::GetWindowTextA(m_hWnd, text.GetBuffer(len + 1), len + 1);
    text.ReleaseBuffer();
    return text;
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
