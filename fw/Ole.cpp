#include "Ole.h"

#include <cstdlib>

#include <ole2.h>

namespace {

COleMessageFilter g_filter;
bool g_bRegistered = false;

// The COM side of COleMessageFilter.  The program has no dialogs of its own
// for a busy server: a call that the server rejects as busy is retried after
// the retry reply delay, and messages that arrive while a call is pending are
// left to the default processing (so windows keep painting).
class MessageFilterImpl : public IMessageFilter {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IMessageFilter) {
            *ppv = static_cast<IMessageFilter*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP_(DWORD) HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        return SERVERCALL_ISHANDLED;
    }
    STDMETHODIMP_(DWORD) RetryRejectedCall(HTASK, DWORD, DWORD dwRejectType) override {
        if (dwRejectType == SERVERCALL_REJECTED)
            return static_cast<DWORD>(-1);
        return g_filter.m_nRetryReply;
    }
    STDMETHODIMP_(DWORD) MessagePending(HTASK, DWORD, DWORD) override {
        return PENDINGMSG_WAITDEFPROCESS;
    }
};

MessageFilterImpl g_impl;

void UninitializeAtExit() {
    ::OleUninitialize();
}

} // namespace

BOOL AfxOleInit() {
    if (FAILED(::OleInitialize(nullptr)))
        return FALSE;
    std::atexit(UninitializeAtExit);
    IMessageFilter* previous = nullptr;
    if (SUCCEEDED(::CoRegisterMessageFilter(&g_impl, &previous)))
        g_bRegistered = true;
    if (previous)
        previous->Release();
    return TRUE;
}

COleMessageFilter* AfxOleGetMessageFilter() {
    return g_bRegistered ? &g_filter : nullptr;
}
