#pragma once
#include "Dialog_win.h"

// Dialog 100: the program's icon, name and version, and OK.
class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
