#pragma once
#include "FileSystem.h"
#include "MigrationRoots.h"

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

// The temporary names a run writes under, kept in a file of the user's
// temporary folder while the run lives.  A run killed in the instant
// between a temporary file becoming whole and its rename leaves a copy
// without a mark, which nothing in the file itself tells from a user's own
// file of that name; the journal of the killed run does.  The journal is
// held open for the whole run, so that a later run can tell a live run's
// journal (it cannot be removed) from a killed one's.
class CRunJournal {
public:
    // One for each run at the same time; the first is the usual one.
    static constexpr int kNames = 10;
    static CString Name(int nIndex);

    explicit CRunJournal(CFileSystem& fs);
    // The run's normal end, whatever came of it: its journal goes.
    ~CRunJournal();
    CRunJournal(const CRunJournal&) = delete;
    CRunJournal& operator=(const CRunJournal&) = delete;

    // Before the run's first temporary file: removes what killed runs'
    // journals list, then makes this run's.  Without a temporary folder (a
    // dry run), with one inside a root of the run, or where none can be
    // made there, the run goes on without.
    void Begin(const CMigrationRoots& roots);
    // Before a temporary file of strPath is made (once for each path).
    void Note(const CString& strPath);
    void End();
    bool IsKept() const { return m_pFile != nullptr; }
    const CString& Path() const { return m_strPath; }

private:
    bool LiesInRoot(const CString& strFolder, const CMigrationRoots& roots);
    std::vector<CString> OnDisk(const CString& strPath);
    void Sweep(const CString& strFolder);
    bool IsJournal(const CString& strPath);
    void SweepDead(const CString& strPath, CFsFile& file);
    bool RemoveLeft(const std::string& strPath);
    bool HasOtherRun() const;
    static bool IsAbsolute(const std::string& strPath);
    static bool IsTemporaryPath(const std::string& strPath);
    void Make(const CString& strFolder);

    CFileSystem& m_fs;
    std::unique_ptr<CFsFile> m_pFile;
    CString m_strPath;
    std::unordered_set<std::string> m_noted;
    std::string m_strLast;
    bool m_bFull = false; // a line could not be written: no more are
    // The dead journals this run holds while it sweeps them.
    std::vector<CString> m_sweeping;
};
