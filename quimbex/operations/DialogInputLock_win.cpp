#include "DialogInputLock_win.h"

// The program has no main window, so neither the wait dialog nor the
// framework's message boxes have an owner that they would disable: the
// dialog is disabled here.  A disabled window is given no click (the system
// drops it when the thread takes it from the queue), and a message box of
// the command, running its own message loop, can then not start the
// command again inside itself.
CDialogInputLock::CDialogInputLock(CDialog& dialog)
    : m_dialog(dialog), m_bWasEnabled(dialog.IsWindowEnabled() != FALSE) {
    m_dialog.EnableWindow(FALSE);
}

// A dialog that stays open is given back the activation that the command's
// last box took with it.
CDialogInputLock::~CDialogInputLock() {
    AfxDiscardUserInput();
    if (!m_bWasEnabled)
        return;
    m_dialog.EnableWindow(TRUE);
    if (::IsWindowVisible(m_dialog.m_hWnd))
        ::SetForegroundWindow(m_dialog.m_hWnd);
}
