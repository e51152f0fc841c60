#include "Dialog_win.h"

#include "Exception.h"
#include "ResourceModule_win.h"
#include "WinApp_win.h"

#include <new>
#include <utility>

namespace {

const char* const kThisProp = "FwDialogThis";

// For these messages the dialog procedure's own return value is the result;
// for all others it only says "handled" and the result goes to DWLP_MSGRESULT.
bool ResultIsReturnValue(UINT msg) {
    switch (msg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

} // namespace

void AfxReportWndProcException(std::exception_ptr e) {
    try {
        std::rethrow_exception(std::move(e));
    } catch (const CException& ex) {
        AfxMessageBox(ex.GetErrorMessage(), MB_ICONEXCLAMATION);
    } catch (const std::bad_alloc&) {
        AfxMessageBox(CMemoryException().GetErrorMessage(), MB_ICONEXCLAMATION);
    } catch (...) {
        AfxMessageBox("内部アプリケーション エラーが発生しました。", MB_ICONSTOP);
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
    const INT_PTR result = ::DialogBoxParamA(AfxGetResourceHandle(), name, m_hWndOwner,
                                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_bModal = false;
    m_hWnd = nullptr;
    RethrowPending();
    return result;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    if (!m_hWndOwner)
        m_hWndOwner = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    const char* name = MAKEINTRESOURCEA(nIDTemplate);
    m_bModal = false;
    m_bCreating = true;
    const HWND hWnd = ::CreateDialogParamA(AfxGetResourceHandle(), name, m_hWndOwner,
                                           &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_bCreating = false;
    RethrowPending();
    return hWnd != nullptr;
}

// A value that fails its check has been reported by the check itself; the
// transfer stops there and the caller learns it from FALSE.
BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CUserException&) {
        return FALSE;
    }
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
        if (ResultIsReturnValue(msg))
            return static_cast<INT_PTR>(result);
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
        self->KeepOrReport(std::current_exception());
        return TRUE;
    }
}

// A modal dialog ends and DoModal raises the exception again; a modeless one
// that is still being created lets Create raise it.  Later, the call that
// made a modeless dialog has returned long ago: the exception is reported
// where it happened, never handed to another dialog.
void CDialog::KeepOrReport(const std::exception_ptr& e) {
    if (m_bModal) {
        if (!m_pending)
            m_pending = e;
        ::EndDialog(m_hWnd, -1);
    } else if (m_bCreating) {
        if (!m_pending)
            m_pending = e;
    } else {
        AfxReportWndProcException(e);
    }
}

void CDialog::RethrowPending() {
    if (m_pending) {
        std::exception_ptr e = m_pending;
        m_pending = nullptr;
        std::rethrow_exception(e);
    }
}
