#pragma once
#include "Wnd_win.h"

#include <commctrl.h>

// The platform's animation control, playing AVI clips from resources.
class CAnimateCtrl : public CWnd {
public:
    // Opens clip nID of the module's own resources.
    BOOL Open(UINT nID);
    BOOL Play(UINT nFrom, UINT nTo, UINT nRep);
    BOOL Close() { return static_cast<BOOL>(SendMessage(ACM_OPENA, 0, 0)); }
};
