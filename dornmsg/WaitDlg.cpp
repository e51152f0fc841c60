#include "WaitDlg.h"

#include "ScopedHandle_win.h"
#include "WaitDlgRes.h"

#include <commctrl.h>
#include <cstdlib>
#include <ctime>
#include <utility>

namespace {

const int kClipSize = 80; // pixels; every clip is drawn this size
// Play requests: from frame 0 to frame 200 (beyond every clip), and the
// control's own code for "up to the clip's last frame".
const UINT kPlayFirst = 0;
const UINT kPlayLast = 200;
const UINT kClipLastFrame = 0xFFFF;
const UINT kRepeatForever = static_cast<UINT>(-1);

// The animation control's window class must exist before the template is
// created; asking twice costs nothing.
void RegisterAnimateClass() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_ANIMATE_CLASS};
    ::InitCommonControlsEx(&icc);
}

} // namespace

// The generator is seeded with the time in seconds on every construction,
// so two dialogs made within the same second show the same clip.
CWaitDlg::CWaitDlg(int) : CDialog(), m_bParentDisabled(FALSE), m_nAviId(0) {
    // The choice of a clip asks for no unpredictability: the library's
    // generator, seeded with the time, as described.
    // NOLINTNEXTLINE(cert-msc32-c,cert-msc51-cpp): see above
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    static const int clips[] = {IDR_AVI_BALL, IDR_AVI_WHEEL, IDR_AVI_WALKER};
    m_nAviId = clips[std::rand() % 3]; // NOLINT(cert-msc30-c,cert-msc50-cpp): see above
    Create(nullptr);
}

// A window that is already gone (DestroyWindow or message 0x43C came
// first) is left alone.
CWaitDlg::~CWaitDlg() {
    if (m_hWnd)
        CWaitDlg::DestroyWindow(); // this class's own, as in any destructor
}

// The owner is disabled before the window exists, so that the dialog never
// shows over a window that still takes input.  A failed creation, or a
// handler that threw during it, gives the owner back at once.  An object
// that already has its window (the constructor made it) refuses a second
// one, which would stay on the screen with nobody to destroy it.
BOOL CWaitDlg::Create(CWnd* pParent) {
    if (m_hWnd)
        return FALSE;
    RegisterAnimateClass();
    m_hWndOwner = CWnd::GetSafeOwner(pParent ? pParent->m_hWnd : nullptr);
    if (m_hWndOwner && ::IsWindowEnabled(m_hWndOwner)) {
        ::EnableWindow(m_hWndOwner, FALSE);
        m_bParentDisabled = TRUE;
    }
    BOOL created = FALSE;
    try {
        created = CDialog::Create(IDD_WAITDLG, pParent);
    } catch (...) {
        ReEnableParent();
        throw;
    }
    if (!created)
        ReEnableParent();
    return created;
}

// The owner is enabled while the hidden window still exists, so that the
// activation goes back to the owner and not to another program's window.
BOOL CWaitDlg::DestroyWindow() {
    if (m_hWnd)
        ShowWindow(SW_HIDE);
    ReEnableParent();
    if (m_ctlAnimate.m_hWnd && ::IsWindow(m_ctlAnimate.m_hWnd))
        m_ctlAnimate.Close();
    m_ctlAnimate.m_hWnd = nullptr;
    return CDialog::DestroyWindow();
}

void CWaitDlg::SetText(CString text) {
    m_strMessage = std::move(text);
    UpdateData(FALSE);
}

void CWaitDlg::ReEnableParent() {
    if (m_bParentDisabled && m_hWndOwner)
        ::EnableWindow(m_hWndOwner, TRUE);
    m_bParentDisabled = FALSE;
}

BOOL CWaitDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CentreOnScreen();
    StartAnimation();
    // The template's text is written with other characters; the shown text
    // is always this one.
    m_strMessage = "しばらくお待ちください…";
    UpdateData(FALSE);
    return TRUE;
}

LONG CWaitDlg::OnUserEndInfoDlg(UINT, LONG) {
    DestroyWindow();
    return 0;
}

void CWaitDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_WAIT_ANIMATE, m_ctlAnimate);
    DDX_Text(pDX, IDC_WAIT_MESSAGE, m_strMessage);
}

bool CWaitDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (msg != WM_END_INFO_DLG)
        return CDialog::OnMessage(msg, wParam, lParam, pResult);
    *pResult = OnUserEndInfoDlg(static_cast<UINT>(wParam), static_cast<LONG>(lParam));
    return true;
}

UINT CWaitDlg::CentredOrigin(UINT screen, UINT window) {
    return window < screen ? (screen - window) / 2 : 0;
}

// The screen size is the resolution of the display that the owner (or,
// without one, the desktop) is shown on.
void CWaitDlg::CentreOnScreen() {
    RECT rc;
    GetWindowRect(&rc);
    UINT screenWidth = 0;
    UINT screenHeight = 0;
    {
        const CClientDC dc(m_hWndOwner);
        screenWidth = static_cast<UINT>(::GetDeviceCaps(dc.Get(), HORZRES));
        screenHeight = static_cast<UINT>(::GetDeviceCaps(dc.Get(), VERTRES));
    }
    const UINT x = CentredOrigin(screenWidth, static_cast<UINT>(rc.right - rc.left));
    const UINT y = CentredOrigin(screenHeight, static_cast<UINT>(rc.bottom - rc.top));
    SetWindowPos(nullptr, static_cast<int>(x), static_cast<int>(y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The control plays on a thread of its own (the template gives it no timer
// style), so the clip keeps moving while the caller works without pumping
// messages.  Asking for frames 0 to 200 is meant to loop the whole clip;
// a control that refuses an end beyond the clip's last frame is asked again
// with the last frame itself.  A clip that cannot be opened leaves the
// control empty; the text is shown all the same.
void CWaitDlg::StartAnimation() {
    m_ctlAnimate.Open(static_cast<UINT>(m_nAviId));
    m_ctlAnimate.SetWindowPos(nullptr, 0, 0, kClipSize, kClipSize,
                              SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!m_ctlAnimate.Play(kPlayFirst, kPlayLast, kRepeatForever))
        m_ctlAnimate.Play(kPlayFirst, kClipLastFrame, kRepeatForever);
}
