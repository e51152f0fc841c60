#pragma once
#include "ArchiveStream.h"

#include <string>

// An archive stream over bytes in memory.
class CMemFile : public CArchiveStream {
public:
    CMemFile() = default;
    explicit CMemFile(std::string bytes) : m_bytes(std::move(bytes)) {}
    unsigned Read(void* pBuf, unsigned nCount) override;
    void Write(const void* pBuf, unsigned nCount) override;
    int64_t Skip(uint64_t nCount) override;
    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
    size_t m_pos = 0;
};
