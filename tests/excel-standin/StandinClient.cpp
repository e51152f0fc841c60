#include "StandinClient.h"

#include <oleauto.h>

namespace {

BSTR Wide(const char* text) {
    const int n = ::MultiByteToWideChar(932, 0, text, -1, nullptr, 0);
    std::vector<wchar_t> w(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    ::MultiByteToWideChar(932, 0, text, -1, w.data(), n);
    return ::SysAllocString(w.data());
}

void TakeException(CExcepInfo& info, InvokeResult& r) {
    if (info.pfnDeferredFillIn)
        info.pfnDeferredFillIn(&info);
    r.description = Narrow(info.bstrDescription);
    r.source = Narrow(info.bstrSource);
    r.scode = info.scode;
}

// Takes the object out of a result variant.
ScopedDispatch TakeDispatch(InvokeResult& r) {
    if (FAILED(r.hr) || r.value.v.vt != VT_DISPATCH)
        return ScopedDispatch();
    r.value.v.vt = VT_EMPTY;
    ScopedDispatch object;
    object.Attach(std::exchange(r.value.v.pdispVal, nullptr));
    return object;
}

} // namespace

CString Narrow(const wchar_t* text) {
    if (!text)
        return CString();
    const int n = ::WideCharToMultiByte(932, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::vector<char> s(static_cast<size_t>(n > 0 ? n : 1), '\0');
    ::WideCharToMultiByte(932, 0, text, -1, s.data(), n, nullptr, nullptr);
    return CString(s.data());
}

ScopedVariant ScopedVariant::Str(const char* text) {
    ScopedVariant s;
    s.v.vt = VT_BSTR;
    s.v.bstrVal = Wide(text);
    return s;
}

ScopedVariant ScopedVariant::I2(short n) {
    ScopedVariant s;
    s.v.vt = VT_I2;
    s.v.iVal = n;
    return s;
}

ScopedVariant ScopedVariant::I4(long n) {
    ScopedVariant s;
    s.v.vt = VT_I4;
    s.v.lVal = n;
    return s;
}

ScopedVariant ScopedVariant::Bool(bool b) {
    ScopedVariant s;
    s.v.vt = VT_BOOL;
    s.v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
    return s;
}

ScopedVariant ScopedVariant::R8(double d) {
    ScopedVariant s;
    s.v.vt = VT_R8;
    s.v.dblVal = d;
    return s;
}

ScopedVariant ScopedVariant::Missing() {
    ScopedVariant s;
    s.v.vt = VT_ERROR;
    s.v.scode = DISP_E_PARAMNOTFOUND;
    return s;
}

HRESULT StandinClient::Create() {
    m_app.Reset();
    CLSID clsid;
    HRESULT hr = ::CLSIDFromProgID(L"Excel.Application", &clsid);
    if (SUCCEEDED(hr))
        hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                m_app.ReceiveVoid());
    return hr;
}

InvokeResult StandinClient::Invoke(IDispatch* object, DISPID dispid, WORD flags,
                                   std::vector<ScopedVariant> args) {
    std::vector<VARIANTARG> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        reversed.push_back(it->v);
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr,
                      static_cast<UINT>(reversed.size()), 0};
    InvokeResult r;
    CExcepInfo info;
    UINT argErr = 0;
    r.hr = object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &r.value.v, &info,
                          &argErr);
    if (r.hr == DISP_E_EXCEPTION)
        TakeException(info, r);
    return r;
}

InvokeResult StandinClient::Run(const char* macro, std::vector<ScopedVariant> args) {
    args.insert(args.begin(), ScopedVariant::Str(macro));
    return Invoke(App(), dispidRun, DISPATCH_METHOD, std::move(args));
}

ScopedDispatch StandinClient::Workbooks(HRESULT* hr) {
    InvokeResult r = Invoke(App(), dispidWorkbooks, DISPATCH_PROPERTYGET);
    if (hr)
        *hr = r.hr;
    return TakeDispatch(r);
}

ScopedDispatch StandinClient::Open(const CString& path, InvokeResult* result) {
    const ScopedDispatch books = Workbooks();
    InvokeResult r;
    if (books)
        r = Invoke(books.Get(), dispidOpen, DISPATCH_METHOD, Args(ScopedVariant::Str(path)));
    ScopedDispatch book = TakeDispatch(r);
    if (result)
        *result = std::move(r);
    return book;
}

InvokeResult StandinClient::CloseBook(IDispatch* book, ScopedVariant saveChanges) {
    return Invoke(book, dispidClose, DISPATCH_METHOD, Args(std::move(saveChanges)));
}

InvokeResult StandinClient::CloseAll() {
    const ScopedDispatch books = Workbooks();
    if (!books)
        return InvokeResult{};
    return Invoke(books.Get(), dispidClose, DISPATCH_METHOD);
}
