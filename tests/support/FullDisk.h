#pragma once
#include "String.h"

// A folder on a disk with only `kilobytes` left, where a write soon fails
// with a full disk.  The test bed (scripts/setup-wine.sh, as root) mounts a
// small tmpfs for the tests and names it in MORVANE_FULL_DISK; a FullDisk
// takes all of it but the room asked for, so one FullDisk at a time.
// IsMounted() is false where there is no such disk (the test is then
// skipped).
class FullDisk {
public:
    explicit FullDisk(unsigned kilobytes);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool IsMounted() const { return m_bMounted; }
    // Why a test skips when IsMounted() is false.
    static constexpr const char* kNoDisk =
        "no small disk: scripts/setup-wine.sh mounts one when started as root";
    const CString& Path() const { return m_strPath; } // "Z:\\...\\full-disk\\files"
    // Writes a filler file until the disk has no byte left.
    bool Fill() const;

private:
    CString m_strPath;
    CString m_strReserve;
    bool m_bMounted = false;
};
