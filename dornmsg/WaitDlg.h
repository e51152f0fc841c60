#pragma once
// The please-wait window of DORNMSG.dll: constructed, it shows at once a
// looping animation and one line of text, centred on the screen, and keeps
// the application's window disabled until it is destroyed.
#include "AnimateCtrl_win.h"
#include "Dialog_win.h"
#include "String.h"

#ifdef DORNMSG_BUILD
#define DORNMSG_API __declspec(dllexport)
#else
#define DORNMSG_API __declspec(dllimport)
#endif

class DORNMSG_API CWaitDlg : public CDialog {
public:
    // The argument is not used; callers pass 0.
    explicit CWaitDlg(int nUnused);
    ~CWaitDlg() override;

    BOOL Create(CWnd* pParent);
    BOOL DestroyWindow() override;
    void SetText(CString text);

    // The private message that closes the window like DestroyWindow.
    enum : UINT { WM_END_INFO_DLG = WM_USER + 60 };

protected:
    void ReEnableParent();
    BOOL OnInitDialog() override;
    LONG OnUserEndInfoDlg(UINT, LONG);
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    // Origin that centres `window` pixels on `screen` pixels; 0 when the
    // window does not fit.
    static UINT CentredOrigin(UINT screen, UINT window);

    CAnimateCtrl m_ctlAnimate;
    CString m_strMessage;
    BOOL m_bParentDisabled;
    int m_nAviId;

private:
    void CentreOnScreen();
    void StartAnimation();
};
