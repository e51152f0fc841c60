#include "BusyFilter.h"

#include "ServerLog.h"

// The filter lives as long as the server (a static object), so its
// reference count means nothing.
STDMETHODIMP CBusyFilter::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IMessageFilter) {
        *ppv = static_cast<IMessageFilter*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

// Calls are counted from the start of the process, whatever their interface;
// a retried call counts again.  Each refusal is logged with its number.
STDMETHODIMP_(DWORD)
CBusyFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) {
    ++m_nCalls;
    if (m_nCalls > ExcelStandin::ReadFaults().RetryLaterCalls())
        return SERVERCALL_ISHANDLED;
    CString line;
    line.Format("RetryLater\t%d", m_nCalls);
    LogEvent(line);
    return SERVERCALL_RETRYLATER;
}

// The server calls out to nobody; these answers never matter.
STDMETHODIMP_(DWORD) CBusyFilter::RetryRejectedCall(HTASK, DWORD, DWORD) {
    return static_cast<DWORD>(-1);
}

STDMETHODIMP_(DWORD) CBusyFilter::MessagePending(HTASK, DWORD, DWORD) {
    return PENDINGMSG_WAITDEFPROCESS;
}
