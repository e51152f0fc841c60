#include "DialogAtWork.h"

// The wait dialog has no owner to disable (the program has no main window),
// so the dialog is disabled here: a click on it while a message box of the
// work runs its own message loop would otherwise start the command again
// inside itself, or end the dialog under the running work.
CDialogAtWork::CDialogAtWork(CDialog& dialog) : m_dialog(dialog), m_wait(0) {
    m_dialog.EnableWindow(FALSE);
}

CDialogAtWork::~CDialogAtWork() {
    End();
}

// The dialog is enabled while the wait dialog still shows, so that the
// activation goes back to the dialog when the wait dialog goes.
void CDialogAtWork::End() {
    if (!m_bWorking)
        return;
    m_bWorking = false;
    m_dialog.EnableWindow(TRUE);
    m_wait.DestroyWindow();
}
