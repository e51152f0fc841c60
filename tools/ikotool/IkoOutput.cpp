#include "IkoOutput.h"

#include "RestorePath.h"

CIkoOutput::CIkoOutput(CIkoConsole& console, CIkoOptions::Verbosity nVerbosity)
    : m_console(console), m_nVerbosity(nVerbosity) {}

void CIkoOutput::Result(const CString& strLine) {
    if (m_nVerbosity != CIkoOptions::quietOutput)
        m_console.Out(strLine);
}

void CIkoOutput::Verbose(const CString& strLine) {
    if (IsVerbose())
        m_console.Out(strLine);
}

void CIkoOutput::Warning(const CString& strLine) {
    if (m_nVerbosity != CIkoOptions::quietOutput)
        m_console.Err(strLine);
}

void CIkoOutput::Error(const CString& strLine) {
    m_console.Err(strLine);
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
