#include "WorkDialog_win.h"

BOOL CWorkDialog::OnCommand(UINT nID, UINT nCode) {
    if (!IsWindowEnabled())
        return TRUE;
    return OnEnabledCommand(nID, nCode);
}

BOOL CWorkDialog::OnEnabledCommand(UINT nID, UINT nCode) {
    return CDialog::OnCommand(nID, nCode);
}
