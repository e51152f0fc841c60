#pragma once
#include "IkoConsole.h"
#include "FileSystem.h"
#include "IkoOptions.h"

#include <cstdint>
#include <string>

// Where each kind of line goes: results to standard output, warnings and
// errors to standard error; -q keeps only the errors, -v adds the name of
// every entry.
class CIkoOutput {
public:
    // Every line shows its paths as fs does.
    CIkoOutput(CIkoConsole& console, CIkoOptions::Verbosity nVerbosity, const CFileSystem& fs);
    void Result(const CString& strLine);
    void Verbose(const CString& strLine);
    void Warning(const CString& strLine);
    void Error(const CString& strLine);
    void Json(const std::string& utf8);
    bool IsVerbose() const { return m_nVerbosity == CIkoOptions::verboseOutput; }
    // "root 0 Data\MyData\a.dat": an entry's path as composed from the file.
    static CString EntryName(int nRoot, const CString& strRelativePath);
    // "1 entry", "2 entries".
    static CString Count(int64_t n, const char* pszOne, const char* pszMany);
    // The line with its control characters shown as ^J, ^M, ^?: a name
    // stored with a line break cannot forge a line of its own.  No control
    // byte is a trail byte of code page 932.
    static CString Shown(const CString& strLine);
    CIkoConsole& Console() { return m_console; }

private:
    CIkoConsole& m_console;
    CIkoOptions::Verbosity m_nVerbosity;
    const CFileSystem& m_fs;
};
