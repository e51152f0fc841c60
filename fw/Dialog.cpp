#include "Dialog.h"

#include "ResourceModule.h"

#include <exception>

namespace {
std::exception_ptr g_pending;
const char* const kThisProp = "FwDialogThis";
} // namespace

void AfxRethrowPendingException() {
    if (g_pending) {
        std::exception_ptr e = g_pending;
        g_pending = nullptr;
        std::rethrow_exception(e);
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (!rControl.m_hWnd)
        rControl.m_hWnd = pDX->m_pDlgWnd->GetDlgItem(nIDC);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    const HWND hCtl = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (pDX->m_bSaveAndValidate) {
        const int len = ::GetWindowTextLengthA(hCtl);
        ::GetWindowTextA(hCtl, value.GetBuffer(len + 1), len + 1);
        value.ReleaseBuffer();
    } else {
        ::SetWindowTextA(hCtl, value);
    }
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        ::RemovePropA(m_hWnd, kThisProp);
        ::DestroyWindow(m_hWnd);
    }
    m_hWnd = nullptr;
}

INT_PTR CDialog::DoModal() {
    const char* name = MAKEINTRESOURCEA(m_nIDTemplate);
    m_hWndOwner = GetSafeOwner(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr);
    m_bModal = true;
    const INT_PTR result =
        ::DialogBoxParamA(AfxFindResourceHandle(name, MAKEINTRESOURCEA(5)), name, m_hWndOwner,
                          &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_bModal = false;
    m_hWnd = nullptr;
    AfxRethrowPendingException();
    return result;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    if (!m_hWndOwner)
        m_hWndOwner = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    const char* name = MAKEINTRESOURCEA(nIDTemplate);
    m_bModal = false;
    const HWND hWnd =
        ::CreateDialogParamA(AfxFindResourceHandle(name, MAKEINTRESOURCEA(5)), name, m_hWndOwner,
                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    AfxRethrowPendingException();
    return hWnd != nullptr;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::EndDialog(int nResult) {
    if (m_bModal)
        ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCommand(UINT nID, UINT) {
    if (nID == IDOK) {
        OnOK();
        return TRUE;
    }
    if (nID == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

INT_PTR CDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_NCDESTROY:
        m_hWnd = nullptr;
        return FALSE;
    default: {
        LRESULT result = 0;
        if (!OnMessage(msg, wParam, lParam, &result))
            return FALSE;
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CDialog*>(lParam);
        ::SetPropA(hWnd, kThisProp, self);
        self->m_hWnd = hWnd;
    }
    auto* self = static_cast<CDialog*>(::GetPropA(hWnd, kThisProp));
    if (!self)
        return FALSE;
    if (msg == WM_NCDESTROY)
        ::RemovePropA(hWnd, kThisProp);
    try {
        return self->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        g_pending = std::current_exception();
        if (self->m_bModal)
            ::EndDialog(hWnd, -1);
        return TRUE;
    }
}
