#pragma once
#include "Object.h"
#include "String.h"

#include <cstdint>

// One book of the book-management data.
class CDataForExMap : public CObject {
public:
    void Serialize(CArchive& ar) override;

    int32_t m_nOrder = -1; // position in lists, ascending
    CString m_strFileName; // payroll workbook, relative to the data directory's "\Excel"
    CString m_strNote;     // carried along unchanged
};
