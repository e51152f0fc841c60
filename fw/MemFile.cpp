#include "MemFile.h"

#include <algorithm>
#include <cstring>

unsigned CMemFile::Read(void* pBuf, unsigned nCount) {
    const size_t n = std::min<size_t>(nCount, m_bytes.size() - m_pos);
    std::memcpy(pBuf, m_bytes.data() + m_pos, n);
    m_pos += n;
    return static_cast<unsigned>(n);
}

void CMemFile::Write(const void* pBuf, unsigned nCount) {
    m_bytes.append(static_cast<const char*>(pBuf), nCount);
}

int64_t CMemFile::Skip(uint64_t nCount) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(nCount, m_bytes.size() - m_pos));
    m_pos += n;
    return static_cast<int64_t>(n);
}
