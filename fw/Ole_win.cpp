#include "Ole_win.h"

#include "WinApp_win.h"
#include "Wnd_win.h"

#include <cstdlib>

#include <ole2.h>

namespace {

const DWORD kCancelCall = static_cast<DWORD>(-1);

COleMessageFilter* g_pAppFilter = nullptr;

// Input that shows the user trying to work with the program: a key or a
// mouse button pressed.  Painting, timers and mouse moves do not count.
const UINT kUserInput[] = {WM_KEYDOWN,     WM_SYSKEYDOWN,    WM_LBUTTONDOWN,   WM_RBUTTONDOWN,
                           WM_MBUTTONDOWN, WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN, WM_NCMBUTTONDOWN};

bool IsUserInputPending() {
    MSG msg;
    for (const UINT message : kUserInput)
        if (::PeekMessageA(&msg, nullptr, message, message, PM_NOREMOVE | PM_NOYIELD))
            return true;
    return false;
}

void UninitializeAtExit() {
    if (g_pAppFilter)
        g_pAppFilter->Revoke();
    ::OleUninitialize();
}

} // namespace

BOOL AfxOleInit() {
    if (FAILED(::OleInitialize(nullptr)))
        return FALSE;
    static COleMessageFilter appFilter;
    // Without the handler the system ends OLE with the process all the same.
    (void)std::atexit(UninitializeAtExit);
    if (appFilter.Register())
        g_pAppFilter = &appFilter;
    return TRUE;
}

COleMessageFilter* AfxOleGetMessageFilter() {
    return g_pAppFilter;
}

COleMessageFilter::~COleMessageFilter() {
    Revoke();
}

BOOL COleMessageFilter::Register() {
    if (m_bRegistered)
        return TRUE;
    IMessageFilter* previous = nullptr;
    if (FAILED(::CoRegisterMessageFilter(&m_xMessageFilter, &previous)))
        return FALSE;
    m_pPrevious.Attach(previous);
    m_bRegistered = true;
    return TRUE;
}

void COleMessageFilter::Revoke() {
    if (!m_bRegistered)
        return;
    CComPtr<IMessageFilter> mine;
    ::CoRegisterMessageFilter(m_pPrevious.Get(), mine.Receive());
    mine.Reset();
    m_pPrevious.Reset();
    m_bRegistered = false;
}

// A call rejected for good is cancelled.  One that the server asks to try
// again later is retried after the retry reply, silently until it has waited
// for longer than the message-pending delay; from then on the busy dialog,
// when it is on, lets the user retry at once or cancel.
DWORD COleMessageFilter::RetryRejectedCall(DWORD dwTickCount, DWORD dwRejectType) {
    if (dwRejectType == SERVERCALL_REJECTED)
        return kCancelCall;
    if (!m_bEnableBusy || dwTickCount <= m_nTimeout || m_bInDialog)
        return m_nRetryReply;
    m_bInDialog = true;
    const int answer = OnBusyDialog();
    m_bInDialog = false;
    return answer == IDRETRY ? 0 : kCancelCall;
}

// While a call is pending, messages get the default processing (windows keep
// painting).  A key or a click after the message-pending delay means that the
// user is waiting for the program: the not-responding dialog, when it is on,
// tells why nothing happens.
DWORD COleMessageFilter::MessagePending(DWORD dwTickCount) {
    if (!m_bEnableNotResponding || dwTickCount <= m_nTimeout || m_bInDialog ||
        !IsUserInputPending())
        return PENDINGMSG_WAITDEFPROCESS;
    // Keys and clicks made while the program could not answer must not act
    // on whatever comes once the user has been told.
    AfxDiscardUserInput();
    m_bInDialog = true;
    OnNotRespondingDialog();
    m_bInDialog = false;
    return PENDINGMSG_WAITNOPROCESS;
}

int COleMessageFilter::OnBusyDialog() {
    return AfxMessageBox("相手のアプリケーションが処理中のため、操作を続けられません。\n"
                         "[再試行] で待つか、[キャンセル] で操作を中止してください。",
                         MB_RETRYCANCEL | MB_ICONEXCLAMATION);
}

void COleMessageFilter::OnNotRespondingDialog() {
    AfxMessageBox("相手のアプリケーションが応答していません。処理が終わるまでお待ちください。",
                  MB_OK | MB_ICONEXCLAMATION);
}

STDMETHODIMP COleMessageFilter::XMessageFilter::QueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IUnknown || riid == IID_IMessageFilter) {
        *ppv = static_cast<IMessageFilter*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

// The program serves no calls of its own that could be busy.
STDMETHODIMP_(DWORD)
COleMessageFilter::XMessageFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) {
    return SERVERCALL_ISHANDLED;
}

STDMETHODIMP_(DWORD)
COleMessageFilter::XMessageFilter::RetryRejectedCall(HTASK, DWORD dwTickCount, DWORD dwRejectType) {
    return m_pOwner->RetryRejectedCall(dwTickCount, dwRejectType);
}

STDMETHODIMP_(DWORD)
COleMessageFilter::XMessageFilter::MessagePending(HTASK, DWORD dwTickCount, DWORD) {
    return m_pOwner->MessagePending(dwTickCount);
}
