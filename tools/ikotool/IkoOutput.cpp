#include "IkoOutput.h"

#include "RestorePath.h"

CIkoOutput::CIkoOutput(CIkoConsole& console, CIkoOptions::Verbosity nVerbosity,
                       const CFileSystem& fs)
    : m_console(console), m_nVerbosity(nVerbosity), m_fs(fs) {}

void CIkoOutput::Result(const CString& strLine) {
    if (m_nVerbosity != CIkoOptions::quietOutput)
        m_console.Out(m_fs.ShownPath(strLine));
}

void CIkoOutput::Verbose(const CString& strLine) {
    if (IsVerbose())
        m_console.Out(m_fs.ShownPath(strLine));
}

void CIkoOutput::Warning(const CString& strLine) {
    if (m_nVerbosity != CIkoOptions::quietOutput)
        m_console.Err(m_fs.ShownPath(strLine));
}

void CIkoOutput::Error(const CString& strLine) {
    m_console.Err(m_fs.ShownPath(strLine));
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
