#include "MigrationReader.h"

#include "Archive.h"
#include "MigrationEntry.h"
#include "MigrationFileException.h"

CMigrationReader::CMigrationReader(CMigrationContext& context, const CMigrationRoots& roots,
                                   int64_t nFileLength)
    : m_context(context), m_roots(roots) {
    m_context.m_nFileLength = nFileLength;
}

// The fourth byte is not looked at.
bool CMigrationReader::ReadHeader(CArchive& ar, uint16_t& nCount) {
    uint8_t product = 0, reserved = 0;
    ar >> nCount >> product >> reserved;
    return product == kProductByte;
}

int32_t CMigrationReader::PeekFormat(CArchive& ar) {
    uint16_t nCount;
    if (!ReadHeader(ar, nCount))
        return -1;
    RequireEntries(nCount);
    CMigrationEntry probe(m_context);
    probe.ReadFormat(ar);
    return probe.m_nFormat;
}

// No writer makes a file without entries (there is nothing to write then),
// and a restore of one would report a migration that moved nothing: both
// the check and the format peek refuse it, so that every program that
// reads the file gives the same verdict.
void CMigrationReader::RequireEntries(uint16_t nCount) {
    if (nCount == 0)
        throw CMigrationFileException(CArchiveException::endOfFile, kHeaderSize,
                                      "the file holds no entries after its header");
}

void CMigrationReader::ReadEntries(CArchive& ar, uint16_t nCount) {
    CMigrationEntry probe(m_context);
    probe.SetRoots(m_roots);
    for (uint16_t i = 0; i < nCount; ++i) {
        probe.Serialize(ar);
        probe.Reset();
    }
}

// Bytes after the last entry are a fault here: a restore would never look
// at them, and they mean that the entry count or the file is not what was
// written.
void CMigrationReader::Check(CArchive& ar) {
    m_context.m_nMode = CMigrationContext::check;
    if (m_context.m_nFileLength < kHeaderSize)
        throw CMigrationFileException(CArchiveException::endOfFile, 0,
                                      "the file ends inside the header");
    uint16_t nCount;
    if (!ReadHeader(ar, nCount))
        throw CMigrationFileException(CArchiveException::badIndex, 2,
                                      "the product byte is not that of Morvane");
    RequireEntries(nCount);
    ReadEntries(ar, nCount);
    const uint64_t end = ar.GetPosition();
    if (end != static_cast<uint64_t>(m_context.m_nFileLength)) {
        CString fault;
        fault.Format("%u %s here, but the file goes on", nCount,
                     nCount == 1 ? "entry ends" : "entries end");
        throw CMigrationFileException(CArchiveException::badIndex, end, fault);
    }
}

bool CMigrationReader::Restore(CArchive& ar) {
    m_context.m_nMode = CMigrationContext::restore;
    uint16_t nCount;
    if (!ReadHeader(ar, nCount))
        return false;
    ReadEntries(ar, nCount);
    return true;
}
