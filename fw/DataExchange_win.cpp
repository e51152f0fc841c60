#include "DataExchange_win.h"

#include "WinApp_win.h"

void CDataExchange::Fail() {
    if (const HWND hCtl = m_pDlgWnd->GetDlgItem(m_idLastControl))
        ::SetFocus(hCtl);
    throw CUserException();
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    pDX->m_idLastControl = nIDC;
    if (!rControl.m_hWnd)
        rControl.m_hWnd = pDX->m_pDlgWnd->GetDlgItem(nIDC);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    pDX->m_idLastControl = nIDC;
    const HWND hCtl = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (pDX->m_bSaveAndValidate) {
        const int len = ::GetWindowTextLengthA(hCtl);
        ::GetWindowTextA(hCtl, value.GetBuffer(len + 1), len + 1);
        value.ReleaseBuffer();
    } else {
        ::SetWindowTextA(hCtl, value);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    pDX->m_idLastControl = nIDC;
    const HWND hCtl = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(hCtl, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(hCtl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

namespace {

bool IsRadioButton(HWND hCtl) {
    if (!(::SendMessageA(hCtl, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
        return false;
    const LONG type = ::GetWindowLongA(hCtl, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

} // namespace

// The group runs from nIDC to the next control with the group style, and
// holds only radio buttons.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
    pDX->m_idLastControl = nIDC;
    HWND hCtl = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    for (int index = 0; hCtl && IsRadioButton(hCtl); ++index) {
        if (pDX->m_bSaveAndValidate) {
            if (::SendMessageA(hCtl, BM_GETCHECK, 0, 0) == BST_CHECKED)
                value = index;
        } else {
            ::SendMessageA(hCtl, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        hCtl = ::GetWindow(hCtl, GW_HWNDNEXT);
        if (hCtl && (::GetWindowLongA(hCtl, GWL_STYLE) & WS_GROUP))
            break;
    }
}

// Loading sets the edit's own limit, so the user cannot type more; saving
// refuses a longer text that came in another way.  Both count bytes, as an
// ANSI edit does.
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
    const HWND hCtl = pDX->m_pDlgWnd->GetDlgItem(pDX->m_idLastControl);
    if (!pDX->m_bSaveAndValidate) {
        ::SendMessageA(hCtl, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
        return;
    }
    if (value.GetLength() > nChars) {
        CString text;
        text.Format("%d 文字以内で入力してください。", nChars);
        AfxMessageBox(text, MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}
