#include "AnimateCtrl_win.h"

#include "ResourceModule_win.h"

BOOL CAnimateCtrl::Open(UINT nID) {
    const char* name = MAKEINTRESOURCEA(nID);
    const HINSTANCE hInst = AfxGetResourceHandle();
    return static_cast<BOOL>(
        SendMessage(ACM_OPENA, reinterpret_cast<WPARAM>(hInst), reinterpret_cast<LPARAM>(name)));
}

BOOL CAnimateCtrl::Play(UINT nFrom, UINT nTo, UINT nRep) {
    return static_cast<BOOL>(SendMessage(ACM_PLAY, nRep, MAKELPARAM(nFrom, nTo)));
}
