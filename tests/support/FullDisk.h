#pragma once
#include "String.h"

#include <string>

// A folder on a tmpfs of a few kilobytes, where a write soon fails with a
// full disk.  The tests run as root; mount and umount are started through
// Wine, which runs Unix programs too.  IsMounted() is false where that is
// not possible (the test is then skipped).
class FullDisk {
public:
    explicit FullDisk(unsigned kilobytes);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool IsMounted() const { return m_bMounted; }
    const CString& Path() const { return m_strPath; } // "Z:\\tmp\\..."
    // Writes a filler file until the disk has no byte left.
    bool Fill() const;

private:
    CString m_strPath;
    std::string m_unixPath;
    unsigned m_nKilobytes;
    bool m_bMounted = false;
};
