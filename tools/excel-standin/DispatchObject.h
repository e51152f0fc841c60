#pragma once
#include "String.h"

#include <oaidl.h>

#include <vector>

// The base of the stand-in's automation objects: reference counting tied to
// the server's lifetime, name lookup, and the checks that every Invoke gets
// before a member sees its arguments.
class CDispatchObject : public IDispatch {
public:
    struct Member {
        const wchar_t* name;
        DISPID dispid;
        WORD flags;   // DISPATCH_METHOD or DISPATCH_PROPERTYGET, with DISPATCH_PROPERTYPUT
        UINT minArgs; // of a method or a property get; a put takes its value only
        UINT maxArgs;
    };
    using Args = std::vector<const VARIANT*>; // in the caller's order

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT cNames, LCID,
                               DISPID* dispids) override;
    STDMETHODIMP Invoke(DISPID dispid, REFIID riid, LCID, WORD wFlags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override;

protected:
    CDispatchObject();
    virtual ~CDispatchObject();
    virtual const char* ObjectName() const = 0;
    virtual const std::vector<Member>& Members() const = 0;
    // The member's work; throws CAutomationError or CCallFailure to fail.
    virtual void Call(DISPID dispid, const Args& args, VARIANT* result) = 0;
    // A property put of a member that has DISPATCH_PROPERTYPUT among its flags.
    virtual void Put(DISPID dispid, const VARIANT& value);

private:
    const Member* FindMember(DISPID dispid) const;
    HRESULT CheckCall(DISPID dispid, REFIID riid, WORD wFlags, const DISPPARAMS* params) const;
    HRESULT CheckPut(const DISPPARAMS& params, const CString& what) const;
    HRESULT Unexpected(HRESULT hr, const CString& what) const;
    HRESULT CallMember(DISPID dispid, WORD wFlags, const DISPPARAMS& params, VARIANT* result,
                       EXCEPINFO* excepInfo);

    LONG m_nRefs = 1;
};
