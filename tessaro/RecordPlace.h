#pragma once
#include "String.h"

// Where a restore's record lies and what it is called: beside the
// migration file, never inside a folder that a later migration carries.
class CRecordPlace {
public:
    static constexpr int kMaxAttempts = 9;

    // "<file name without extension>_復元記録<stamp>.txt"; from the second
    // attempt on "_<attempt>" stands before ".txt".
    static CString FileName(const CString& strMigrationFile, const CString& strStamp, int nAttempt);
    // The folder part of a path, without its last separator.
    static CString FolderOf(const CString& strPath);
    // True when strPath is strFolder or lies below it, as the system reads
    // both: either separator and runs of them, the trailing dots and blanks
    // of each component dropped, single-byte letters in any case.
    static bool IsInside(const CString& strPath, const CString& strFolder);
};
