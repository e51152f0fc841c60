#pragma once
#include "String.h"

#include <cstddef>
#include <vector>

// Why an entry's file was not written (restore) or not carried (create).
enum class CSkipReason {
    refusedPath,       // its path would leave the root directory
    filtered,          // the restore filter keeps it out
    cannotWrite,       // the target cannot be created or opened for writing
    emptyRoot,         // its root directory is not set on this computer
    unconvertibleName, // the name has no form on the other side of the conversion
    cannotRead,        // a file that was listed cannot be opened for reading
    notFollowed,       // a link to a directory, a special file, or a tree too deep
    cannotList,        // a folder whose entries cannot be listed
    sizeChanged,       // a file whose length changed while it was written
    notAWindowsName,   // a name that no file may have on Windows
    nothingToWrite,    // an entry without content or children: an empty file or folder
};

struct CSkippedEntry {
    int nRoot;
    CString strPath; // relative to the root, as composed from the file
    CSkipReason nReason;
    CString strCause;     // details: the refused component, the system's error
    bool bFolder = false; // a folder's entry: named, but not one of the files
};

// The entries of a list that are files.
size_t CountFiles(const std::vector<CSkippedEntry>& skipped, bool bUnwritten);

const char* SkipReasonText(CSkipReason nReason);
// True for the entries a user expects on disk after a restore and did not
// get: refused by the system, a name without a form here, a path that would
// leave its root.  Entries kept out on purpose (the restore filter, a root
// this computer does not have) and what a writer left out are not.
bool IsUnwritten(CSkipReason nReason);
