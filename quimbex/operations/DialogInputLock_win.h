#pragma once
#include "Dialog_win.h"

// A dialog takes no input while one of its commands runs: from the start of
// the command until its last message box has closed.  Keys and clicks that
// arrived meanwhile are dropped before the dialog takes input again, so
// that they never start a second run.
class CDialogInputLock {
public:
    explicit CDialogInputLock(CDialog& dialog);
    ~CDialogInputLock();
    CDialogInputLock(const CDialogInputLock&) = delete;
    CDialogInputLock& operator=(const CDialogInputLock&) = delete;

private:
    CDialog& m_dialog;
    bool m_bWasEnabled;
};
