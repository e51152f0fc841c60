#pragma once
#include "String.h"

#include <utility>
#include <vector>

class CBookOperator;

// What a command checks before it renames or copies its first workbook.  A
// check that fails tells the user which file and why, and that the command
// stops (the stop line given); it returns false, and the caller changes
// nothing.
class CRunCheck {
public:
    CRunCheck(CBookOperator& op, const CString& workFile, const char* stopLine);

    // Loads the book list of the run whole.  A list that cannot be used
    // (damaged, as Load has told; missing, unless bMissingIsEmpty) is told
    // with cannotRun, one that cannot be opened by its name and the stop
    // line.
    bool ReadsList(const char* cannotRun, bool bMissingIsEmpty) const;
    // A book's key starts the names of its backups: it keeps them plain
    // names of the Excel folder (IsBookKey).  A key that is such a name but
    // whose backups' names would be too long there is told as that.
    bool IsBackupKey(const CString& key) const;
    // A book record's workbook name names a workbook of the Excel folder
    // as the system opens it (NamesBookInFolder).  One that does, but whose
    // attendance workbook or backups would have too long a name there, is
    // told as that.
    bool IsBookName(const CString& name) const;
    // The workbook `name` exists at path.
    bool Exists(const CString& path, const CString& name) const;
    // No other program holds the workbook: it can be renamed, and with
    // bOverwrite written over.  A file that does not exist passes.
    bool CanChange(const CString& path, const CString& name, bool bOverwrite) const;
    // No two of these workbooks (path and name) are one file.
    bool AreDistinct(const std::vector<std::pair<CString, CString>>& books) const;
    // The payroll and attendance workbooks of the books chosenKeys name
    // (books of the list whose names have been checked) are distinct files,
    // and none is a workbook of another book of the list.
    bool AreDistinctFromEveryBook(const std::vector<CString>& chosenKeys) const;
    // No two of these workbooks (name, and the name it takes) take one name.
    bool TakeDistinctNames(const std::vector<std::pair<CString, CString>>& renames) const;
    // The protection macro finds no password on the workbook `name`.
    bool IsUnprotected(const CString& name) const;
    bool CanReadTemplate(const CString& path) const;
    // "BookMNG.dat" can be written as its Save writes it.
    bool CanWriteList(const CString& path) const;
    // The format marker `from` exists and can take the name `to`.
    bool CanRenameMarker(const CString& from, const CString& to) const;

private:
    bool Refuse(const CString& reason) const;

    CBookOperator& m_op;
    CString m_strWorkFile;
    CString m_strStopLine;
};
