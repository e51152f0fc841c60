#pragma once
#include "String.h"

#include <windows.h>

// An error that a member of the stand-in reports the way Excel does: the
// call returns DISP_E_EXCEPTION with this description in its EXCEPINFO.
struct CAutomationError {
    // Excel's own code for a failed method ("Application-defined or
    // object-defined error", 1004).
    static constexpr SCODE kExcelError = static_cast<SCODE>(0x800A03EC);

    explicit CAutomationError(CString description, SCODE scode = kExcelError)
        : m_strDescription(std::move(description)), m_scode(scode) {}
    CString m_strDescription;
    SCODE m_scode;
};

// A call that fails with a plain status code, as a proxy or a type check
// would (DISP_E_TYPEMISMATCH, RPC_E_DISCONNECTED ...).
struct CCallFailure {
    HRESULT m_hr;
};
