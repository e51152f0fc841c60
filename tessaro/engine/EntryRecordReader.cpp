#include "EntryRecordReader.h"

#include "MigrationFileException.h"
#include "MigrationRoots.h"

CEntryRecordReader::CEntryRecordReader(CArchive& ar, int64_t nFileLength)
    : m_ar(ar), m_nFileLength(nFileLength > 0 ? static_cast<uint64_t>(nFileLength) : 0) {}

uint64_t CEntryRecordReader::Remaining() const {
    const uint64_t pos = m_ar.GetPosition();
    return pos < m_nFileLength ? m_nFileLength - pos : 0;
}

void CEntryRecordReader::Fault(uint64_t nOffset, const CString& strFault) const {
    throw CMigrationFileException(CArchiveException::badIndex, nOffset, strFault);
}

void CEntryRecordReader::Need(uint64_t nBytes, const char* pszField) const {
    if (Remaining() < nBytes)
        throw CMigrationFileException(CArchiveException::endOfFile, m_ar.GetPosition(),
                                      CString("the file ends inside the ") + pszField);
}

int32_t CEntryRecordReader::Int32(const char* pszField) {
    Need(4, pszField);
    int32_t n;
    m_ar >> n;
    return n;
}

int32_t CEntryRecordReader::Format() {
    return Int32("format code");
}

// A root index outside the five roots would select no directory at all.
int32_t CEntryRecordReader::Root() {
    const uint64_t at = m_ar.GetPosition();
    const int32_t nRoot = Int32("root index");
    if (!CMigrationRoots::IsIndex(nRoot)) {
        CString fault;
        fault.Format("root index %d is outside 0 to 4", nRoot);
        Fault(at, fault);
    }
    return nRoot;
}

// The prefix is one, three or seven bytes; its first byte tells which.
uint32_t CEntryRecordReader::StringLength(const char* pszField) {
    const uint64_t at = m_ar.GetPosition();
    Need(1, pszField);
    try {
        return m_ar.ReadStringLength();
    } catch (const CArchiveException& e) {
        if (e.m_cause == CArchiveException::endOfFile)
            throw CMigrationFileException(e.m_cause, at,
                                          CString("the file ends inside the ") + pszField);
        Fault(at, CString("the ") + pszField + " has an unknown length encoding");
    }
}

CString CEntryRecordReader::String(const char* pszField) {
    const uint64_t at = m_ar.GetPosition();
    const uint32_t len = StringLength(pszField);
    CString fault;
    if (len > Remaining())
        fault.Format("the %s (%u %s) runs past the end of the file", pszField, len,
                     len == 1 ? "byte" : "bytes");
    else if (len > kMaxStringLength)
        fault.Format("the %s (%u bytes) is longer than any path", pszField, len);
    if (!fault.IsEmpty())
        Fault(at, fault);
    std::string text(len, '\0');
    m_ar.Read(&text[0], len);
    return CString(std::move(text));
}

// The content follows at once, so a size beyond the end of the file is
// refused before any target file is created or emptied.
int64_t CEntryRecordReader::Size() {
    Need(8, "size");
    const uint64_t at = m_ar.GetPosition();
    int64_t nSize;
    m_ar >> nSize;
    if (nSize > 0 && static_cast<uint64_t>(nSize) > Remaining()) {
        CString fault;
        fault.Format("the content (%lld %s) runs past the end of the file",
                     static_cast<long long>(nSize), nSize == 1 ? "byte" : "bytes");
        Fault(at, fault);
    }
    return nSize;
}

// Every child needs at least a minimal record, so a count the rest of the
// file cannot hold is damage; so is a nesting deeper than any real path.
int32_t CEntryRecordReader::ChildCount(int nDepth) {
    const uint64_t at = m_ar.GetPosition();
    const int32_t nChildren = Int32("child count");
    if (nChildren <= 0)
        return nChildren;
    CString fault;
    if (static_cast<uint64_t>(nChildren) * kMinRecordSize > Remaining())
        fault.Format("%d children cannot fit in the rest of the file", nChildren);
    else if (nDepth >= kMaxDepth)
        fault.Format("the entries nest deeper than %d levels", kMaxDepth);
    if (!fault.IsEmpty())
        Fault(at, fault);
    return nChildren;
}
