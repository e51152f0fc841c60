#pragma once
#include "ScopedHandle_win.h"

#include <oaidl.h>
#include <objbase.h>
#include <ole2.h>
#include <oleauto.h>

struct BstrTraits {
    using Handle = BSTR;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static BOOL Close(Handle h) {
        ::SysFreeString(h);
        return TRUE;
    }
};

using CBstr = CScopedHandle<BstrTraits>;

// The exception information a failed IDispatch::Invoke fills in; its
// strings are freed when it goes.
struct CExcepInfo : EXCEPINFO {
    CExcepInfo() : EXCEPINFO{} {}
    ~CExcepInfo() {
        ::SysFreeString(bstrDescription);
        ::SysFreeString(bstrSource);
        ::SysFreeString(bstrHelpFile);
    }
    CExcepInfo(const CExcepInfo&) = delete;
    CExcepInfo& operator=(const CExcepInfo&) = delete;
};

// A VARIANT that clears itself.
class COleVariant : public tagVARIANT {
public:
    COleVariant() { ::VariantInit(this); }
    explicit COleVariant(const char* psz); // a BSTR made from code page 932 text
    explicit COleVariant(long lValue) {
        ::VariantInit(this);
        vt = VT_I4;
        lVal = lValue;
    }
    ~COleVariant() { Clear(); }
    // A move leaves the other empty.
    COleVariant(COleVariant&& o) noexcept : tagVARIANT(o) { ::VariantInit(&o); }
    COleVariant& operator=(COleVariant&& o) noexcept {
        if (this != &o) {
            Clear();
            static_cast<tagVARIANT&>(*this) = o;
            ::VariantInit(&o);
        }
        return *this;
    }
    COleVariant(const COleVariant&) = delete;
    COleVariant& operator=(const COleVariant&) = delete;
    void Clear() { ::VariantClear(this); }
};

// Variants that the caller holds and hands over to be cleared however the
// call ends.
class CClearedVariants {
public:
    CClearedVariants(VARIANT* const* ppVariants, UINT nCount)
        : m_ppVariants(ppVariants), m_nCount(nCount) {}
    ~CClearedVariants() {
        for (UINT i = 0; i < m_nCount; ++i)
            ::VariantClear(m_ppVariants[i]);
    }
    CClearedVariants(const CClearedVariants&) = delete;
    CClearedVariants& operator=(const CClearedVariants&) = delete;

private:
    VARIANT* const* m_ppVariants;
    UINT m_nCount;
};

// The calling thread's COM apartment, entered for the owner's life.  Every
// successful entry, S_FALSE for an apartment entered before among them, is
// left again, as COM counts them; a failed one is not.
class CComInitialization {
public:
    explicit CComInitialization(DWORD dwCoInit) : m_hr(::CoInitializeEx(nullptr, dwCoInit)) {}
    ~CComInitialization() {
        if (SUCCEEDED(m_hr))
            ::CoUninitialize();
    }
    CComInitialization(const CComInitialization&) = delete;
    CComInitialization& operator=(const CComInitialization&) = delete;

    HRESULT Result() const { return m_hr; }
    explicit operator bool() const { return SUCCEEDED(m_hr); }

private:
    HRESULT m_hr;
};

// OLE on the calling thread (COM's apartment with it), counted the same way.
class COleInitialization {
public:
    COleInitialization() : m_hr(::OleInitialize(nullptr)) {}
    ~COleInitialization() {
        if (SUCCEEDED(m_hr))
            ::OleUninitialize();
    }
    COleInitialization(const COleInitialization&) = delete;
    COleInitialization& operator=(const COleInitialization&) = delete;

    HRESULT Result() const { return m_hr; }
    explicit operator bool() const { return SUCCEEDED(m_hr); }

private:
    HRESULT m_hr;
};

// A class object offered to COM's clients until the owner goes.
class CClassObjectRegistration {
public:
    CClassObjectRegistration(REFCLSID clsid, IUnknown* pFactory, DWORD dwClsContext, DWORD dwFlags)
        : m_hr(::CoRegisterClassObject(clsid, pFactory, dwClsContext, dwFlags, &m_dwCookie)) {}
    ~CClassObjectRegistration() {
        if (SUCCEEDED(m_hr))
            ::CoRevokeClassObject(m_dwCookie);
    }
    CClassObjectRegistration(const CClassObjectRegistration&) = delete;
    CClassObjectRegistration& operator=(const CClassObjectRegistration&) = delete;

    HRESULT Result() const { return m_hr; }
    explicit operator bool() const { return SUCCEEDED(m_hr); }

private:
    DWORD m_dwCookie = 0;
    HRESULT m_hr;
};
