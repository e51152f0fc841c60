#pragma once
#include "OleException_win.h"
#include "OleOwners_win.h"

#include <oaidl.h>

// Holds one IDispatch and invokes its members by identifier.  A failed call
// raises COleDispatchException (the server's exception information) or
// COleException (any other failure status).
class COleDispatchDriver {
public:
    COleDispatchDriver() = default;
    ~COleDispatchDriver() { ReleaseDispatch(); }
    COleDispatchDriver(const COleDispatchDriver&) = delete;
    COleDispatchDriver& operator=(const COleDispatchDriver&) = delete;

    // Creates the object of a program identifier; FALSE when it cannot.
    BOOL CreateDispatch(const char* pszProgID, COleException* pError = nullptr);
    // Takes over pDispatch, releasing what was held before.
    void AttachDispatch(IDispatch* pDispatch);
    void ReleaseDispatch();
    bool IsEmpty() const { return m_lpDispatch == nullptr; }

    // The member identifier that the object gives the name; raises
    // COleException when it knows no such member or the call fails.
    DISPID GetIDOfName(const char* pszName);
    // Invokes member dispid with the arguments in their natural order; the
    // result (when pResult is given) belongs to the caller.
    void Invoke(DISPID dispid, WORD wFlags, VARIANT* const* ppArgs, UINT nArgs, VARIANT* pResult);
    // A property get or method call whose result is an object.
    IDispatch* InvokeForDispatch(DISPID dispid, WORD wFlags, VARIANT* const* ppArgs, UINT nArgs);

    IDispatch* m_lpDispatch = nullptr;
};

// A BSTR made from code page 932 text.
BSTR AfxAllocSysString932(const char* psz);
