#pragma once
#include "ComPtr_win.h"
#include "Win_win.h"

// Initialises OLE for the process and registers the application thread's
// message filter; FALSE when OLE cannot be initialised.  OLE is
// uninitialised again when the process ends.
BOOL AfxOleInit();

// The message filter of one thread: what the thread answers when a server
// rejects its call as busy, and what it does with messages that arrive while
// a call is pending.  The message-pending delay is how long a call may go on
// before the filter may show a dialog; either dialog can be switched off.
class COleMessageFilter {
public:
    COleMessageFilter() = default;
    virtual ~COleMessageFilter();
    COleMessageFilter(const COleMessageFilter&) = delete;
    COleMessageFilter& operator=(const COleMessageFilter&) = delete;

    // Becomes the filter of the calling thread; Revoke puts the earlier one back.
    BOOL Register();
    void Revoke();

    void EnableBusyDialog(BOOL bEnable) { m_bEnableBusy = bEnable; }
    void EnableNotRespondingDialog(BOOL bEnable) { m_bEnableNotResponding = bEnable; }
    void SetMessagePendingDelay(DWORD nTimeout = 8000) { m_nTimeout = nTimeout; }
    void SetRetryReply(DWORD nRetryReply = 10) { m_nRetryReply = nRetryReply; }

    // The filter's answers to COM (IMessageFilter's RetryRejectedCall and
    // MessagePending), dialogs included.
    DWORD RetryRejectedCall(DWORD dwTickCount, DWORD dwRejectType);
    DWORD MessagePending(DWORD dwTickCount);

protected:
    // IDRETRY retries the rejected call; any other answer cancels it.
    virtual int OnBusyDialog();
    virtual void OnNotRespondingDialog();

private:
    // The COM face of the filter; it answers through the methods above.
    class XMessageFilter : public IMessageFilter {
    public:
        explicit XMessageFilter(COleMessageFilter* pOwner) : m_pOwner(pOwner) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override { return 2; }
        STDMETHODIMP_(ULONG) Release() override { return 1; }
        STDMETHODIMP_(DWORD)
        HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override;
        STDMETHODIMP_(DWORD)
        RetryRejectedCall(HTASK, DWORD dwTickCount, DWORD dwRejectType) override;
        STDMETHODIMP_(DWORD) MessagePending(HTASK, DWORD dwTickCount, DWORD) override;

    private:
        COleMessageFilter* m_pOwner;
    };

    BOOL m_bEnableBusy = TRUE;
    BOOL m_bEnableNotResponding = TRUE;
    DWORD m_nTimeout = 8000;
    DWORD m_nRetryReply = 10;
    bool m_bInDialog = false;
    XMessageFilter m_xMessageFilter{this};
    bool m_bRegistered = false;
    CComPtr<IMessageFilter> m_pPrevious;
};

// The filter registered by AfxOleInit; null before.
COleMessageFilter* AfxOleGetMessageFilter();
