#include "ContentCopier.h"

#include <algorithm>
#include <cstring>

namespace {
// Ours to choose: the bytes in the file do not depend on it.
constexpr unsigned kPieceSize = 64 * 1024;
} // namespace

CContentCopier::CContentCopier() : m_buf(kPieceSize) {}

unsigned CContentCopier::Piece(int64_t nLeft) const {
    return static_cast<unsigned>(std::min<int64_t>(nLeft, static_cast<int64_t>(m_buf.size())));
}

// The size was written before the content, so a file that changed since it
// was measured must still give exactly that many bytes, or every later entry
// of the migration file would be read from the wrong place.
void CContentCopier::Store(CArchive& ar, CArchiveStream& source, int64_t nSize) {
    int64_t nLeft = nSize;
    while (nLeft > 0) {
        const unsigned got = source.Read(m_buf.data(), Piece(nLeft));
        if (got == 0)
            break;
        ar.Write(m_buf.data(), got);
        nLeft -= got;
    }
    StoreZeros(ar, nLeft);
}

void CContentCopier::StoreZeros(CArchive& ar, int64_t nCount) {
    if (nCount <= 0)
        return;
    std::memset(m_buf.data(), 0, m_buf.size());
    while (nCount > 0) {
        const unsigned n = Piece(nCount);
        ar.Write(m_buf.data(), n);
        nCount -= n;
    }
}

void CContentCopier::Restore(CArchive& ar, CArchiveStream& target, int64_t nSize) {
    while (nSize > 0) {
        const unsigned n = Piece(nSize);
        ar.Read(m_buf.data(), n);
        target.Write(m_buf.data(), n);
        nSize -= n;
    }
}

// Passed over without reading where the file allows it.
void CContentCopier::Discard(CArchive& ar, int64_t nSize) {
    if (nSize > 0)
        ar.Skip(static_cast<uint64_t>(nSize));
}
