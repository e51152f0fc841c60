#include "ClassFactory.h"

#include "Application.h"
#include "ComPtr_win.h"
#include "ServerLog.h"
#include "StandinServer.h"

#include <new>

// The class object lives as long as the process (a static object), so its
// reference count means nothing.
STDMETHODIMP CClassFactory::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        *ppv = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    CComPtr<CApplication> app;
    app.Attach(new (std::nothrow) CApplication());
    if (!app)
        return E_OUTOFMEMORY;
    return app->QueryInterface(riid, ppv);
}

STDMETHODIMP CClassFactory::LockServer(BOOL lock) {
    if (lock)
        CStandinServer::Hold();
    else
        CStandinServer::Unhold();
    return S_OK;
}
