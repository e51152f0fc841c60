#pragma once
#include "Exception.h"

#include "Win.h"

// A failed OLE call: the status code it returned.
class COleException : public CException {
public:
    explicit COleException(SCODE sc) : m_sc(sc) {}
    CString GetErrorMessage() const override;
    SCODE m_sc;
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
