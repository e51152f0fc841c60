#pragma once
#include "Exception.h"
#include "Wnd_win.h"

// One transfer between a dialog's controls and its members.
class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    // Ends the transfer after a check has told the user what is wrong.
    [[noreturn]] void Fail();

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    int m_idLastControl = 0; // the control of the last DDX_ call, for DDV_ checks
};

// Binds a control wrapper to the dialog's control nIDC.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// Moves a text between a member and the control nIDC.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Moves the check state (0, 1, 2) of a check box.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Moves the index of the checked radio button of the group that starts at
// nIDC; -1 when none is checked.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// Limits the last DDX_Text control to nChars characters.
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
