#pragma once
#include "Dialog.h"
#include "WaitDlg.h"

// A dialog's command at work: the wait dialog shows and the dialog takes no
// input meanwhile.  End() takes both back before the command tells its
// result; the destructor does it on every other way out.
class CDialogAtWork {
public:
    explicit CDialogAtWork(CDialog& dialog);
    ~CDialogAtWork();
    CDialogAtWork(const CDialogAtWork&) = delete;
    CDialogAtWork& operator=(const CDialogAtWork&) = delete;

    void End();

private:
    CDialog& m_dialog;
    CWaitDlg m_wait;
    bool m_bWorking = true;
};
