#pragma once
#include "Dialog_win.h"

// A dialog whose commands run work on the books.  While one runs the dialog
// is disabled (CDialogInputLock), and a command that still reaches it then
// (a button's notification sent before it was disabled) is dropped: the
// run in progress is the only one.
class CWorkDialog : public CDialog {
public:
    using CDialog::CDialog;

protected:
    BOOL OnCommand(UINT nID, UINT nCode) final;
    // The commands of a dialog that takes input.
    virtual BOOL OnEnabledCommand(UINT nID, UINT nCode);
};
