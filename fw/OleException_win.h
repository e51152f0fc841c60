#pragma once
#include "Exception.h"

#include "Win_win.h"

// A failed OLE call: the status code it returned.
class COleException : public CException {
public:
    enum : UINT { noArgument = static_cast<UINT>(-1) };
    explicit COleException(SCODE sc, UINT nArgErr = noArgument) : m_sc(sc), m_nArgErr(nArgErr) {}
    CString GetErrorMessage() const override;
    SCODE m_sc;
    // For a type mismatch or a missing parameter: the index of the argument
    // at fault, counted in the caller's order from 0.
    UINT m_nArgErr;
};

// An automation server reported an error through its exception information.
class COleDispatchException : public CException {
public:
    COleDispatchException(CString description, CString source, WORD wCode, SCODE scError)
        : m_strDescription(std::move(description)), m_strSource(std::move(source)), m_wCode(wCode),
          m_scError(scError) {}
    CString GetErrorMessage() const override { return m_strDescription; }

    CString m_strDescription;
    CString m_strSource;
    WORD m_wCode;
    SCODE m_scError;
};
