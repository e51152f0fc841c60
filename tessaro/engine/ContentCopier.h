#pragma once
#include "Archive.h"

#include <cstdint>
#include <vector>

// Streams an entry's content between a file and the archive's buffer, so
// that no file is ever held whole in memory nor copied in memory.
class CContentCopier {
public:
    CContentCopier();
    // Writes exactly nSize bytes: zeros when the file ends early, nothing of
    // what lies beyond when it has grown.  Returns the bytes the file gave.
    int64_t Store(CArchive& ar, CArchiveStream& source, int64_t nSize);
    void Restore(CArchive& ar, CArchiveStream& target, int64_t nSize);
    void Discard(CArchive& ar, int64_t nSize);

private:
    void StoreZeros(CArchive& ar, int64_t nCount);

    std::vector<char> m_zeros;
};
