#pragma once
#include "String.h"

#include "Win_win.h"

// A window wrapper.  Classes that only need the framework's window base (the
// operation context, the Excel driver) never create a window.
class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    virtual BOOL DestroyWindow();

    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    void GetWindowRect(RECT* pRect) const { ::GetWindowRect(m_hWnd, pRect); }
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, msg, wParam, lParam);
    }
    BOOL SetWindowPos(HWND hAfter, int x, int y, int cx, int cy, UINT nFlags) {
        return ::SetWindowPos(m_hWnd, hAfter, x, y, cx, cy, nFlags);
    }

    // The window that a new pop-up should be owned by: the given parent, or
    // the application's main window's last active pop-up, or none.
    static HWND GetSafeOwner(HWND hParent);

    HWND m_hWnd = nullptr;
};

// The application's main window, or none.
HWND AfxGetMainWndHandle();

// Drops the keys and clicks that wait in the thread's queue.
void AfxDiscardUserInput();
