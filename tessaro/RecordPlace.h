#pragma once
#include "String.h"

// Where a restore's record lies and what it is called: beside the
// migration file, never inside a folder that a later migration carries.
class CRecordPlace {
public:
    static constexpr int kMaxAttempts = 9;
    // The length of one name the system takes, counted as NameLength does,
    // and the ending of the temporary name a record is written under.
    static constexpr int kMaxNameLength = 255;
    static constexpr int kTemporaryEndingLength = 4; // ".tmp"
    // The whole path a record may have: the ANSI calls' limit.
    static constexpr int kMaxPathLength = 259;

    // "<file name without extension>_復元記録<stamp>.txt"; from the second
    // attempt on "_<attempt>" stands before ".txt".  The file name is cut
    // where the whole would be longer than a name may be.
    // nMaxLength: the bytes the name may have, its temporary ending not
    // counted (a folder with a long path leaves fewer); empty when not even
    // a character of the file's name fits.
    static CString FileName(const CString& strMigrationFile, const CString& strStamp, int nAttempt,
                            int nMaxLength = kMaxNameLength - kTemporaryEndingLength);
    // The length of a name in UTF-8 at the most: three for each character
    // but ASCII.  Windows counts less, Wine's Linux file systems as much.
    static int NameLength(const CString& strName);
    // The most of strText within nBytes and a NameLength of nNameLength,
    // never half a double-byte character.
    static CString ShortenedTo(const CString& strText, int nBytes, int nNameLength);
    // The folder part of a path, without its last separator.
    static CString FolderOf(const CString& strPath);
    // True when strPath is strFolder or lies below it, as the system reads
    // both: either separator and runs of them, the trailing dots and blanks
    // of each component dropped, single-byte letters in any case.
    static bool IsInside(const CString& strPath, const CString& strFolder);
};
