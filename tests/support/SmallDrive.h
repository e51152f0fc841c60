#pragma once
#include "String.h"

// The small drive that scripts/full-disk.sh gives the Wine test bed (a
// tmpfs of 1 MB as drive S:), for tests of a full disk.  "" when the test
// bed has none (the script needs root).
CString SmallDriveRoot();

// A folder on the small drive, removed with its contents when the object
// goes; the drive's free space can be used up in it.
class SmallDriveDir {
public:
    explicit SmallDriveDir(const CString& root);
    ~SmallDriveDir();
    SmallDriveDir(const SmallDriveDir&) = delete;
    SmallDriveDir& operator=(const SmallDriveDir&) = delete;
    const CString& Path() const { return m_path; }
    // Writes a filler file until the drive has no byte left.
    bool FillDrive() const;

private:
    CString m_path;
};
