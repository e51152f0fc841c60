#include "IkoOutput.h"

#include "RestorePath.h"
#include "RestoreRecord.h"

CIkoOutput::CIkoOutput(CIkoConsole& console, CIkoOptions::Verbosity nVerbosity,
                       const CFileSystem& fs)
    : m_console(console), m_nVerbosity(nVerbosity), m_fs(fs) {}

void CIkoOutput::Result(const CString& strLine) {
    if (m_nVerbosity != CIkoOptions::quietOutput)
        m_console.Out(Shown(m_fs.ShownPath(strLine)));
}

void CIkoOutput::Verbose(const CString& strLine) {
    if (IsVerbose())
        m_console.Out(Shown(m_fs.ShownPath(strLine)));
}

void CIkoOutput::Warning(const CString& strLine) {
    if (m_nVerbosity != CIkoOptions::quietOutput)
        m_console.Err(Shown(m_fs.ShownPath(strLine)));
}

void CIkoOutput::Error(const CString& strLine) {
    m_console.Err(Shown(m_fs.ShownPath(strLine)));
}

void CIkoOutput::Json(const std::string& utf8) {
    m_console.OutUtf8(utf8);
}

// Shown with single separators, as the restore's path rules read it.
CString CIkoOutput::EntryName(int nRoot, const CString& strRelativePath) {
    CString name;
    name.Format("root %d %s", nRoot, CRestorePath::Collapse(strRelativePath).GetString());
    return name;
}

CString CIkoOutput::Count(int64_t n, const char* pszOne, const char* pszMany) {
    CString text;
    text.Format("%lld %s", static_cast<long long>(n), n == 1 ? pszOne : pszMany);
    return text;
}

// A control character of a stored name shows as ^X, so that no name forges
// a line of its own.  A tab stays: it parts the fields of the restore
// record's lines, whose names escape their own.
CString CIkoOutput::Shown(const CString& strLine) {
    return CRestoreRecord::Printable(strLine, true);
}
