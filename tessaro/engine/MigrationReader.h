#pragma once
#include "MigrationContext.h"
#include "MigrationRoots.h"

#include <cstdint>

class CArchive;

// Reads a migration file with one probe entry: the header, then each
// top-level entry with its subtree.
class CMigrationReader {
public:
    static constexpr uint8_t kProductByte = 0x04;
    static constexpr int kHeaderSize = 4;

    // nFileLength: the bytes of the whole file, which bound every field.
    CMigrationReader(CMigrationContext& context, const CMigrationRoots& roots, int64_t nFileLength);

    // False when the product byte is not ours; nCount is the entry count.
    bool ReadHeader(CArchive& ar, uint16_t& nCount);
    // The format code of the first entry, or -1 when the file is not ours.
    // Throws CMigrationFileException for a file without entries.
    int32_t PeekFormat(CArchive& ar);
    // Reads the whole structure and writes nothing.  Throws
    // CMigrationFileException with the first fault.
    void Check(CArchive& ar);
    // Writes the files of every entry; false when the file is not ours.
    bool Restore(CArchive& ar);

private:
    static void RequireEntries(uint16_t nCount);
    void ReadEntries(CArchive& ar, uint16_t nCount);

    CMigrationContext& m_context;
    CMigrationRoots m_roots;
};
