#pragma once
#include "String.h"

#include <cstdint>

// What an archive reads from or writes to: a file, or memory in tests.
class CArchiveStream {
public:
    virtual ~CArchiveStream() = default;
    // Reads up to nCount bytes; returns how many were read (0 at the end).
    virtual unsigned Read(void* pBuf, unsigned nCount) = 0;
    // Writes all nCount bytes or throws.
    virtual void Write(const void* pBuf, unsigned nCount) = 0;
    // Moves up to nCount bytes ahead without handing them out and returns
    // how many, fewer only at the end; -1 when the stream can only be read
    // in order.
    virtual int64_t Skip(uint64_t /*nCount*/) { return -1; }
    // The name reported in exceptions.
    virtual CString GetFilePath() const { return CString(); }
};
