#pragma once
#include "DialogInputLock_win.h"
#include "WaitDlg.h"

// A dialog's command at work: the wait dialog shows and the dialog takes no
// input meanwhile.  EndWait() takes the wait dialog down before the command
// tells its result; the dialog takes input again only when the command has
// returned, after its last message box.
class CDialogAtWork {
public:
    explicit CDialogAtWork(CDialog& dialog);
    CDialogAtWork(const CDialogAtWork&) = delete;
    CDialogAtWork& operator=(const CDialogAtWork&) = delete;

    void EndWait();

private:
    CDialogInputLock m_lock; // made first, given back last
    CWaitDlg m_wait;
};
