#pragma once
#include "String.h"

#include <windows.h>

#include <map>
#include <string>

// Killing a program under test at moments spread over its work, and what
// it may leave: each file it changes either as it was or as a whole run
// makes it, never a part of one.
class KillPoints {
public:
    explicit KillPoints(int nPoints) : m_nPoints(nPoints) {}
    int Count() const { return m_nPoints; }
    // The k-th moment over a run of nWholeMs and a fifth beyond.
    DWORD DelayMs(DWORD nWholeMs, int k) const;

    // A file the run changes: its bytes before ("" with bExisted false: it
    // did not exist) and after a whole run.
    void Watch(const CString& path, std::string before, bool bExisted, std::string after);
    // After a kill: every watched file as before or after; notes where the
    // kill landed (a temporary file left means half-way).
    void CheckAfterKill(bool bTemporaryLeft);
    void CheckWhole() const;
    // "N kill points: a before any change, b half-way, c at the end"
    std::string Summary() const;

private:
    struct Watched {
        std::string before;
        bool bExisted;
        std::string after;
    };
    int m_nPoints;
    std::map<CString, Watched> m_files;
    int m_nBefore = 0, m_nBetween = 0, m_nAfter = 0;
};
