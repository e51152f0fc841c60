#include "ExcelFileMap.h"

#include "Archive.h"

CExcelFileMap::CExcelFileMap(CString strMngPath)
    : m_mapBooks(17), m_strMngPath(std::move(strMngPath)) {}

// The file holds the map alone: the entry count, then key and record of each
// entry.  Loading adds to what the map holds; a key met twice keeps the later
// record, and the entries read before a damaged one stay.  Bytes after the
// last entry are damage too: a count cut short would otherwise hide the
// records behind it, and a rewritten list lose them.
void CExcelFileMap::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<uint32_t>(m_mapBooks.GetCount()));
        for (POSITION pos = m_mapBooks.GetStartPosition(); pos;) {
            CString key;
            CDataForExMap book;
            m_mapBooks.GetNextAssoc(pos, key, book);
            ar << key;
            book.Serialize(ar);
        }
        return;
    }
    for (uint32_t n = ar.ReadCount(); n > 0; --n) {
        CString key;
        CDataForExMap book;
        ar >> key;
        book.Serialize(ar);
        m_mapBooks.SetAt(key, book);
    }
    ar.ExpectEnd();
}
