#pragma once
// Windows and helpers for the in-process tests of the wait dialog.
#include "WaitDlg.h"
#include "WinApp_win.h"
#include "Wnd_win.h"

#include <string>

// A plain top-level window with a caption, set as the application's main
// window while it lives, so that the wait dialog takes it as its owner.
class COwnerWindow : public CWnd {
public:
    COwnerWindow(const RECT& rect, bool enabled = true);
    ~COwnerWindow() override;
};

// Gives the wait dialog's protected parts to the tests.
class CWaitDlgProbe : public CWaitDlg {
public:
    CWaitDlgProbe() : CWaitDlg(0) {}
    using CWaitDlg::CentredOrigin;
    using CWaitDlg::m_bParentDisabled;
    using CWaitDlg::m_hWndOwner;
    using CWaitDlg::m_nAviId;
};

// Handles the messages of this thread for `ms` milliseconds.
void PumpMessages(int ms);
std::string ControlText(HWND hDlg, int nID);
// A rectangle of `width` x `height` centred on the screen.
RECT CentredRect(int width, int height);
HMODULE DornMsgModule();
