#pragma once
#include <objbase.h>

// The server thread's message filter.  It answers the first calls that
// reach the server "busy, retry later" when the faults ask for it, as Excel
// does while it cannot take a call; every other call is handled.
class CBusyFilter : public IMessageFilter {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP_(DWORD)
    HandleInComingCall(DWORD dwCallType, HTASK, DWORD, LPINTERFACEINFO) override;
    STDMETHODIMP_(DWORD) RetryRejectedCall(HTASK, DWORD, DWORD) override;
    STDMETHODIMP_(DWORD) MessagePending(HTASK, DWORD, DWORD) override;

private:
    int m_nCalls = 0;
};
