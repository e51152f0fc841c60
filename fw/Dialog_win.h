#pragma once
#include "DataExchange_win.h"
#include "Wnd_win.h"

#include <exception>

// A dialog from a resource template, modal or modeless.  One dialog
// procedure serves every dialog: it keeps `this` from WM_INITDIALOG on and
// calls the virtual handlers.  An exception thrown inside a handler cannot
// cross the window manager; the dialog keeps it (see DialogProc).
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
    void KeepOrReport(const std::exception_ptr& e);
    void RethrowPending();

    bool m_bModal = false;
    bool m_bCreating = false;
    std::exception_ptr m_pending; // raised again when DoModal or Create returns
};

// The framework's report of an exception that reached a window's handler
// after the call that created the window had returned.
void AfxReportWndProcException(std::exception_ptr e);
