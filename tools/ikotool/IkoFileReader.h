#pragma once
#include "FileSystem.h"
#include "String.h"

#include <cstdint>
#include <functional>

class CArchive;
class CIkoMeter;

// How reading a migration file ended.
struct CIkoVerdict {
    enum Status { whole, damaged, failed }; // failed: not opened, or the system failed
    Status nStatus = whole;
    uint64_t nOffset = 0; // damaged: where the fault is
    CString strFault;     // damaged: the fault; failed: what failed and why
    bool IsWhole() const { return nStatus == whole; }
    // The error line that names the file.
    CString Message(const CString& strFile) const;
};

// What the first four bytes of a migration file say.
struct CIkoHeader {
    bool bRead = false; // false: the file is shorter than a header
    uint16_t nCount = 0;
    uint8_t nProduct = 0;
};

// Opens a migration file and hands an archive over it, with the file's
// length, to a read; every fault and failure becomes the verdict.
class CIkoFileReader {
public:
    using Read = std::function<void(CArchive& ar, int64_t nLength)>;

    // pMeter, when given, is told every byte read.
    explicit CIkoFileReader(CFileSystem& fs, CIkoMeter* pMeter = nullptr);
    CIkoVerdict ReadFile(const CString& strFile, const Read& read);
    // The header's fields as they stand, whatever they hold.
    CIkoHeader ReadHeader(const CString& strFile);

private:
    CFileSystem& m_fs;
    CIkoMeter* m_pMeter;
};
