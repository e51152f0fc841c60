#include "DialogAtWork_win.h"

CDialogAtWork::CDialogAtWork(CDialog& dialog) : m_lock(dialog), m_wait(0) {}

// The wait dialog's destructor takes it down on every other way out.
void CDialogAtWork::EndWait() {
    m_wait.DestroyWindow();
}
