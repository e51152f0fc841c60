#pragma once
#include "String.h"

#include <string>
#include <vector>

// The record of one restore as a file the user can find: beside the
// migration file when that folder takes it, else in the user's temporary
// folder; never inside a folder that a later migration carries.  It is
// written whole (a temporary name made anew, then a rename that replaces
// nothing), under a name no earlier record has.
class CRestoreRecordFile {
public:
    // astrCarried: the folders a migration carries from this computer.
    CRestoreRecordFile(const CString& strMigrationFile, std::vector<CString> astrCarried);

    // strText: the record's lines, each with its line end.
    bool Write(const std::string& strText);
    // Where it was written; empty before, or when it could not be.
    const CString& Path() const { return m_strPath; }
    // Why it could not be written, a line for each folder tried.
    const CString& Failure() const { return m_strFailure; }

private:
    bool WriteInto(const CString& strFolder, const std::string& strText);
    bool WriteAs(const CString& strPath, const std::string& strText, bool& bNameTaken);
    bool IsCarried(const CString& strFolder) const;
    void Fail(const CString& strCause);

    CString m_strMigrationFile;
    std::vector<CString> m_astrCarried;
    CString m_strStamp;
    CString m_strPath;
    CString m_strFailure;
};
