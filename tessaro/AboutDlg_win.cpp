#include "AboutDlg_win.h"

#include "AboutDlgRes.h"

// The template holds everything; OK ends the dialog through the framework.
CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
