#pragma once
#include "Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Binds a control wrapper to the dialog's control nIDC.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// Moves a text between a member and the control nIDC.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);

// A dialog from a resource template, modal or modeless.  One dialog
// procedure serves every dialog: it keeps `this` from WM_INITDIALOG on and
// calls the virtual handlers.  An exception thrown inside a handler cannot
// cross the window manager; it ends a modal dialog and is raised again when
// DoModal or Create returns.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate = 0, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    void EndDialog(int nResult);

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange*) {}
    virtual void OnOK();
    virtual void OnCancel();
    // Command dispatch of the dialog: TRUE when handled.
    virtual BOOL OnCommand(UINT nID, UINT nCode);
    // Any other message: true when handled, with the result in *pResult.
    virtual bool OnMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    HWND m_hWndOwner = nullptr; // the owner that Create or DoModal chose

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    bool m_bModal = false;
};

// Raises the exception that a dialog handler stored, if any.
void AfxRethrowPendingException();
