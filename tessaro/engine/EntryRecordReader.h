#pragma once
#include "Archive.h"

#include <cstdint>

// Reads the fields of one entry record and refuses, before anything is
// allocated or written, what the rest of the file cannot back.  Every fault
// is a CMigrationFileException with the offset of the field.
class CEntryRecordReader {
public:
    // The longest path any platform accepts (Windows' 32767 characters).
    static constexpr uint32_t kMaxStringLength = 32767;
    // Each level adds a separator and at least one byte of name to a path,
    // and no platform accepts a path of more than 4096 bytes.
    static constexpr int kMaxDepth = 2048;
    // Format, root, two empty strings, size and child count.
    static constexpr uint64_t kMinRecordSize = 4 + 4 + 1 + 1 + 8 + 4;

    CEntryRecordReader(CArchive& ar, int64_t nFileLength);
    int32_t Format();
    int32_t Root();
    CString String(const char* pszField);
    int64_t Size();
    int32_t ChildCount(int nDepth);

private:
    uint64_t Remaining() const;
    void Need(uint64_t nBytes, const char* pszField) const;
    int32_t Int32(const char* pszField);
    uint32_t StringLength(const char* pszField);
    [[noreturn]] void Fault(uint64_t nOffset, const CString& strFault) const;

    CArchive& m_ar;
    uint64_t m_nFileLength;
};
