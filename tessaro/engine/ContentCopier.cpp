#include "ContentCopier.h"

#include <algorithm>
#include <cstring>

namespace {
// Zeros for a file that ended early; ours to choose.
constexpr unsigned kZerosSize = 64 * 1024;
} // namespace

CContentCopier::CContentCopier() : m_zeros(kZerosSize, '\0') {}

// The size was written before the content, so a file that changed since it
// was measured must still give exactly that many bytes, or every later entry
// of the migration file would be read from the wrong place.
int64_t CContentCopier::Store(CArchive& ar, CArchiveStream& source, int64_t nSize) {
    if (nSize <= 0)
        return 0;
    const auto got = static_cast<int64_t>(ar.WriteFrom(source, static_cast<uint64_t>(nSize)));
    StoreZeros(ar, nSize - got);
    return got;
}

void CContentCopier::StoreZeros(CArchive& ar, int64_t nCount) {
    while (nCount > 0) {
        const unsigned n = static_cast<unsigned>(std::min<int64_t>(nCount, kZerosSize));
        ar.Write(m_zeros.data(), n);
        nCount -= n;
    }
}

void CContentCopier::Restore(CArchive& ar, CArchiveStream& target, int64_t nSize) {
    if (nSize > 0)
        ar.ReadTo(target, static_cast<uint64_t>(nSize));
}

// Passed over without reading where the file allows it.
void CContentCopier::Discard(CArchive& ar, int64_t nSize) {
    if (nSize > 0)
        ar.Skip(static_cast<uint64_t>(nSize));
}
