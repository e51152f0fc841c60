#pragma once
#include "Exception.h"

#include <cstdint>

// A damaged migration file: the first fault found and where it lies.  It is
// an archive exception, so whoever handles read errors handles it too.
class CMigrationFileException : public CArchiveException {
public:
    CMigrationFileException(Cause cause, uint64_t nOffset, CString strFault)
        : CArchiveException(cause), m_nOffset(nOffset), m_strFault(std::move(strFault)) {}

    uint64_t m_nOffset; // byte offset of the faulty field
    CString m_strFault; // what is wrong there
};
