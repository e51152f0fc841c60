#pragma once
#include "String.h"

#include <windows.h>

#include <map>
#include <string>

// The files a kill test has a program write: "<folder>\f00.dat" and on,
// the new ones larger than the old ones and unlike them in every byte;
// every third one is absent from the older state.
struct KillFiles {
    const char* folder; // below a root, e.g. "Data\Other\kill"
    int count;
    size_t newSize;
    size_t oldSize;

    CString Name(int i) const;
    std::string NewBytes(int i) const;
    std::string OldBytes(int i) const;
    bool InOlderState(int i) const { return i % 3 != 0; }
    // Writes the new files, or the older state (removing the others).
    void Lay(const CString& root, bool bNew) const;
    // What kills left under the temporary names in the folder below root.
    // A restored file goes with a killed run until just before its rename:
    // only a kill in the instant between the lifting of its deletion and
    // the rename leaves one, a whole new file without the mark (which the
    // killed run's journal has the next run remove), and one in the instant between
    // the making of the file and its deletion mark an empty one, which the
    // next restore into the folder removes (bSwept: one ran since).  Never
    // one that is marked or cut.  Returns how many whole copies there are.
    int TemporaryFilesLeft(const CString& root, bool bSwept) const;
};

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
    // Every file of `files` below root, from the older state to the new.
    void Watch(const CString& root, const KillFiles& files);
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

// A kill between the writer's lifting of its file's deletion mark and the
// rename leaves that file under its temporary name (file + ".~tmp",
// ".~tmp1" ...) until a later run removes it by the killed run's journal;
// each must be a whole copy of the finished file.  Returns how many there
// are.
int KeptWriterFiles(const CString& file);
// After a kill: how many files of the writer's temporary names there are
// beside file; each must be a whole copy of `finished`, the file a whole
// run writes.
int WriterFilesLeft(const CString& file, const std::string& finished);
// The journals of runs left in the user's temporary folder.
int JournalsLeft();
