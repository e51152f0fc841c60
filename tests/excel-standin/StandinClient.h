#pragma once
#include "ComPtr_win.h"
#include "OleOwners_win.h"
#include "String.h"

#include <oaidl.h>

#include <utility>
#include <vector>

// An argument or result of a call, made by kind.
struct ScopedVariant {
    static ScopedVariant Str(const char* text);
    static ScopedVariant I2(short n);
    static ScopedVariant I4(long n);
    static ScopedVariant Bool(bool b);
    static ScopedVariant R8(double d);
    // The "argument left out" marker.
    static ScopedVariant Missing();

    COleVariant v;
};

template <typename... T> std::vector<ScopedVariant> Args(T&&... args) {
    std::vector<ScopedVariant> v;
    (v.push_back(std::forward<T>(args)), ...);
    return v;
}

using ScopedDispatch = CComPtr<IDispatch>;

// The outcome of one IDispatch::Invoke.
struct InvokeResult {
    HRESULT hr = E_FAIL;
    ScopedVariant value;
    CString description; // EXCEPINFO of a DISP_E_EXCEPTION
    CString source;
    SCODE scode = 0;
};

// A client of "Excel.Application" that speaks raw IDispatch, as the product
// does: member identifiers, arguments last first, IID_NULL.
class StandinClient {
public:
    static constexpr DISPID dispidRun = 0x103;
    static constexpr DISPID dispidWorkbooks = 0x23C;
    static constexpr DISPID dispidOpen = 0x2AA;
    static constexpr DISPID dispidClose = 0x115;

    HRESULT Create();
    void Release() { m_app.Reset(); }
    IDispatch* App() const { return m_app.Get(); }

    // Invokes with the arguments in the caller's order.
    static InvokeResult Invoke(IDispatch* object, DISPID dispid, WORD flags,
                               std::vector<ScopedVariant> args = {});
    InvokeResult Run(const char* macro, std::vector<ScopedVariant> args = {});
    ScopedDispatch Workbooks(HRESULT* hr = nullptr);
    // Workbooks.Open; the workbook, or empty with the failure in *result.
    ScopedDispatch Open(const CString& path, InvokeResult* result = nullptr);
    static InvokeResult CloseBook(IDispatch* book, ScopedVariant saveChanges);
    InvokeResult CloseAll();

private:
    ScopedDispatch m_app;
};

CString Narrow(const wchar_t* text);
