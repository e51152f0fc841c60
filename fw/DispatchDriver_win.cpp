#include "DispatchDriver_win.h"

#include "CallTiming.h"
#include "ComPtr_win.h"

#include <vector>

namespace {

CString NarrowFromBstr(BSTR b) {
    if (!b)
        return CString();
    const int wlen = static_cast<int>(::SysStringLen(b));
    const int len = ::WideCharToMultiByte(932, 0, b, wlen, nullptr, 0, nullptr, nullptr);
    CString s;
    ::WideCharToMultiByte(932, 0, b, wlen, s.GetBuffer(len + 1), len, nullptr, nullptr);
    s.ReleaseBuffer(len);
    return s;
}

[[noreturn]] void ThrowDispatchException(CExcepInfo& info) {
    if (info.pfnDeferredFillIn)
        info.pfnDeferredFillIn(&info);
    const CString description = NarrowFromBstr(info.bstrDescription);
    const CString source = NarrowFromBstr(info.bstrSource);
    const SCODE sc = info.scode ? info.scode : DISP_E_EXCEPTION;
    throw COleDispatchException(description, source, info.wCode, sc);
}

// IDispatch counts the arguments from the last; the error names the one at
// fault in the caller's order.  Only two failures set the index at all.
UINT ArgumentInCallerOrder(HRESULT hr, UINT argErr, UINT nArgs) {
    if ((hr != DISP_E_TYPEMISMATCH && hr != DISP_E_PARAMNOTFOUND) || argErr >= nArgs)
        return COleException::noArgument;
    return nArgs - 1 - argErr;
}

} // namespace

BSTR AfxAllocSysString932(const char* psz) {
    const int wlen = ::MultiByteToWideChar(932, 0, psz, -1, nullptr, 0);
    std::vector<wchar_t> w(static_cast<size_t>(wlen > 0 ? wlen : 1), L'\0');
    ::MultiByteToWideChar(932, 0, psz, -1, w.data(), wlen);
    return ::SysAllocString(w.data());
}

COleVariant::COleVariant(const char* psz) {
    ::VariantInit(this);
    vt = VT_BSTR;
    bstrVal = AfxAllocSysString932(psz);
}

CString COleException::GetErrorMessage() const {
    CString text;
    text.Format("OLE の呼び出しに失敗しました (0x%08lX)。", static_cast<unsigned long>(m_sc));
    if (m_nArgErr != noArgument)
        text.AppendFormat("(引数 %u)", m_nArgErr + 1);
    return text;
}

BOOL COleDispatchDriver::CreateDispatch(const char* pszProgID, COleException* pError) {
    ReleaseDispatch();
    CLSID clsid;
    HRESULT hr = ::CLSIDFromProgID(CBstr(AfxAllocSysString932(pszProgID)).Get(), &clsid);
    CComPtr<IUnknown> unknown;
    if (SUCCEEDED(hr))
        hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER,
                                IID_IUnknown, unknown.ReceiveVoid());
    if (SUCCEEDED(hr)) {
        hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&m_lpDispatch));
        unknown.Reset();
    }
    if (FAILED(hr)) {
        m_lpDispatch = nullptr;
        if (pError)
            *pError = COleException(hr);
        return FALSE;
    }
    return TRUE;
}

void COleDispatchDriver::AttachDispatch(IDispatch* pDispatch) {
    ReleaseDispatch();
    m_lpDispatch = pDispatch;
}

void COleDispatchDriver::ReleaseDispatch() {
    if (m_lpDispatch) {
        CComPtr<IDispatch> d;
        d.Attach(m_lpDispatch);
        m_lpDispatch = nullptr;
        const int64_t begin = CCallTiming::IsOn() ? CCallTiming::Now() : 0;
        d.Reset();
        if (begin)
            CCallTiming::Record("Release", begin, CCallTiming::Now(), 0);
    }
}

DISPID COleDispatchDriver::GetIDOfName(const char* pszName) {
    if (!m_lpDispatch)
        throw COleException(E_POINTER);
    CBstr name(AfxAllocSysString932(pszName));
    BSTR names[] = {name.Get()};
    DISPID dispid = DISPID_UNKNOWN;
    const int64_t begin = CCallTiming::IsOn() ? CCallTiming::Now() : 0;
    const HRESULT hr =
        m_lpDispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
    if (begin)
        CCallTiming::Record("GetIDsOfNames", begin, CCallTiming::Now(), dispid);
    name.Close();
    if (FAILED(hr))
        throw COleException(hr);
    return dispid;
}

void COleDispatchDriver::Invoke(DISPID dispid, WORD wFlags, VARIANT* const* ppArgs, UINT nArgs,
                                VARIANT* pResult) {
    if (!m_lpDispatch)
        throw COleException(E_POINTER);
    // IDispatch takes the arguments last first.
    std::vector<VARIANTARG> args(nArgs);
    for (UINT i = 0; i < nArgs; ++i)
        args[nArgs - 1 - i] = *ppArgs[i];
    DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr, nArgs, 0};
    DISPID named = DISPID_PROPERTYPUT;
    if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    CExcepInfo info;
    UINT argErr = COleException::noArgument;
    COleVariant local;
    // The server overwrites the result without clearing it: whatever a
    // reused result held before would leak.
    if (pResult) {
        const CClearedVariants reused(&pResult, 1);
    }
    const int64_t begin = CCallTiming::IsOn() ? CCallTiming::Now() : 0;
    const HRESULT hr = m_lpDispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, wFlags, &params,
                                            pResult ? pResult : &local, &info, &argErr);
    if (begin)
        CCallTiming::Record("Invoke", begin, CCallTiming::Now(), dispid);
    if (hr == DISP_E_EXCEPTION)
        ThrowDispatchException(info);
    if (FAILED(hr))
        throw COleException(hr, ArgumentInCallerOrder(hr, argErr, nArgs));
}

IDispatch* COleDispatchDriver::InvokeForDispatch(DISPID dispid, WORD wFlags, VARIANT* const* ppArgs,
                                                 UINT nArgs) {
    COleVariant result;
    Invoke(dispid, wFlags, ppArgs, nArgs, &result);
    IDispatch* d = nullptr;
    if (result.vt == VT_DISPATCH && result.pdispVal) {
        d = result.pdispVal;
        d->AddRef();
    } else if (result.vt == VT_UNKNOWN && result.punkVal) {
        result.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d));
    }
    if (!d)
        throw COleException(DISP_E_TYPEMISMATCH);
    return d;
}
