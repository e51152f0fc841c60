#include "MigrationContext.h"

#include "MigrationEntry.h"
#include "RestoreRecord.h"

CMigrationContext::CMigrationContext(CFileSystem& fs, const CString& strBookExt)
    : m_fs(fs), m_nNewFormat(FormatOfBookExtension(strBookExt)), m_target(fs) {}

// 3 for the Excel 97-2003 books, 4 for every other extension.  A byte
// comparison: ".XLS" is not ".xls".
int32_t CMigrationContext::FormatOfBookExtension(const CString& strBookExt) {
    return strBookExt == ".xls" ? 3 : 4;
}

void CMigrationContext::Skip(const CMigrationEntry& entry, CSkipReason nReason,
                             const CString& strCause, bool bFolder) {
    m_skipped.push_back({entry.m_nRoot, entry.GetRelativePath(), nReason, strCause, bFolder});
    if (m_pRecord)
        m_pRecord->NoteSkipped(m_skipped.back());
}

void CMigrationContext::Count(int64_t nSize, int32_t nChildren) {
    ++m_nEntries;
    if (nChildren <= 0)
        ++m_nFiles;
    if (nSize > 0)
        m_nBytes += nSize;
}
