#include "DispatchObject.h"

#include "AutomationError.h"
#include "OleOwners_win.h"
#include "ServerLog.h"
#include "StandinServer.h"
#include "TimingLog.h"
#include "VariantText.h"

#include <new>

CDispatchObject::CDispatchObject() {
    CStandinServer::Hold();
}

CDispatchObject::~CDispatchObject() {
    CStandinServer::Unhold();
}

STDMETHODIMP CDispatchObject::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CDispatchObject::AddRef() {
    return static_cast<ULONG>(++m_nRefs);
}

STDMETHODIMP_(ULONG) CDispatchObject::Release() {
    const LONG n = --m_nRefs;
    if (n == 0)
        delete this;
    return static_cast<ULONG>(n);
}

// No type information: clients bind by member identifier.
STDMETHODIMP CDispatchObject::GetTypeInfoCount(UINT* pctinfo) {
    if (!pctinfo)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP CDispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) {
    if (ppTInfo)
        *ppTInfo = nullptr;
    return DISP_E_BADINDEX;
}

// Maps the member name (names[0]); the stand-in's members take no named
// arguments, so any further name is unknown.
STDMETHODIMP CDispatchObject::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT cNames, LCID,
                                            DISPID* dispids) {
    if (!names || !dispids || cNames == 0)
        return E_INVALIDARG;
    for (UINT i = 0; i < cNames; ++i)
        dispids[i] = DISPID_UNKNOWN;
    if (riid != IID_NULL)
        return Unexpected(DISP_E_UNKNOWNINTERFACE,
                          CString("GetIDsOfNames of ") + ObjectName() + ": riid is not IID_NULL");
    for (const Member& m : Members()) {
        if (::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, names[0], -1, m.name, -1) ==
            CSTR_EQUAL) {
            dispids[0] = m.dispid;
            return cNames == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    const CString name = NarrowFromWide(names[0]);
    LogUnexpected(CString("GetIDsOfNames of ") + ObjectName() + ": " + name);
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP CDispatchObject::Invoke(DISPID dispid, REFIID riid, LCID, WORD wFlags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                     UINT* /*argErr*/) {
    if (!params)
        return Unexpected(E_INVALIDARG, "Invoke without DISPPARAMS");
    const int64_t begin = CTimingLog::IsOn() ? CTimingLog::Now() : 0;
    HRESULT hr = CheckCall(dispid, riid, wFlags, params);
    if (SUCCEEDED(hr)) {
        if (result)
            ::VariantInit(result);
        hr = CallMember(dispid, wFlags, *params, result, excepInfo);
    }
    if (CTimingLog::IsOn()) {
        const Member* m = FindMember(dispid);
        CTimingLog::Call(begin, ObjectName(), m ? m->name : L"?", *params);
    }
    return hr;
}

const CDispatchObject::Member* CDispatchObject::FindMember(DISPID dispid) const {
    for (const Member& m : Members())
        if (m.dispid == dispid)
            return &m;
    return nullptr;
}

// A method may also be invoked with the property-get flag added, as Visual
// Basic does; Excel accepts that, and so do we.
HRESULT CDispatchObject::CheckCall(DISPID dispid, REFIID riid, WORD wFlags,
                                   const DISPPARAMS* params) const {
    CString what;
    const Member* m = FindMember(dispid);
    if (!m) {
        what.Format("member 0x%lX of %s", static_cast<long>(dispid), ObjectName());
        return Unexpected(DISP_E_MEMBERNOTFOUND, what);
    }
    what.Format("%s.%ls: ", ObjectName(), m->name);
    if (riid != IID_NULL)
        return Unexpected(DISP_E_UNKNOWNINTERFACE, what + "riid is not IID_NULL");
    if (wFlags == DISPATCH_PROPERTYPUT && (m->flags & DISPATCH_PROPERTYPUT))
        return CheckPut(*params, what);
    if ((wFlags & ~DISPATCH_PROPERTYGET & ~DISPATCH_METHOD) != 0 || (wFlags & m->flags) == 0) {
        CString flags;
        flags.Format("wFlags 0x%X", wFlags);
        return Unexpected(DISP_E_MEMBERNOTFOUND, what + flags);
    }
    if (params->cNamedArgs != 0)
        return Unexpected(DISP_E_NONAMEDARGS, what + "named arguments");
    if (params->cArgs < m->minArgs || params->cArgs > m->maxArgs ||
        (params->cArgs && !params->rgvarg)) {
        CString count;
        count.Format("cArgs %u", params->cArgs);
        return Unexpected(DISP_E_BADPARAMCOUNT, what + count);
    }
    return S_OK;
}

// A put carries its value as the one argument, named DISPID_PROPERTYPUT.
HRESULT CDispatchObject::CheckPut(const DISPPARAMS& params, const CString& what) const {
    if (params.cNamedArgs != 1 || !params.rgdispidNamedArgs ||
        params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
        return Unexpected(DISP_E_PARAMNOTFOUND, what + "put without DISPID_PROPERTYPUT");
    if (params.cArgs != 1 || !params.rgvarg) {
        CString count;
        count.Format("put with cArgs %u", params.cArgs);
        return Unexpected(DISP_E_BADPARAMCOUNT, what + count);
    }
    return S_OK;
}

void CDispatchObject::Put(DISPID, const VARIANT&) {
    throw CCallFailure{DISP_E_MEMBERNOTFOUND};
}

HRESULT CDispatchObject::Unexpected(HRESULT hr, const CString& what) const {
    LogUnexpected(what);
    return hr;
}

// IDispatch passes the arguments last first; the members get them in the
// caller's order.
HRESULT CDispatchObject::CallMember(DISPID dispid, WORD wFlags, const DISPPARAMS& params,
                                    VARIANT* result, EXCEPINFO* excepInfo) {
    Args args;
    for (UINT i = params.cArgs; i > 0; --i)
        args.push_back(&params.rgvarg[i - 1]);
    COleVariant local;
    HRESULT hr = S_OK;
    try {
        if (wFlags == DISPATCH_PROPERTYPUT)
            Put(dispid, *args[0]);
        else
            Call(dispid, args, result ? result : &local);
    } catch (const CAutomationError& e) {
        if (excepInfo) {
            *excepInfo = EXCEPINFO{};
            excepInfo->bstrSource = BstrFromNarrow("Microsoft Excel");
            excepInfo->bstrDescription = BstrFromNarrow(e.m_strDescription);
            excepInfo->scode = e.m_scode;
        }
        hr = DISP_E_EXCEPTION;
    } catch (const CCallFailure& e) {
        hr = e.m_hr;
    } catch (const std::bad_alloc&) {
        LogUnexpected(CString("out of memory in ") + ObjectName());
        hr = E_OUTOFMEMORY;
    }
    return hr;
}
