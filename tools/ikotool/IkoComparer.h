#pragma once
#include "FileSystem.h"
#include "MigrationRoots.h"
#include "IkoOutput.h"
#include "TargetPath.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

class CArchive;
class CIkoSelection;
class CMigrationContext;
class CMigrationEntry;

// compare: each file a restore would write, set against the installation's
// file at the same canonical path, and the installation's files below the
// file's folders that the file lacks.  The restore runs on a dry run's file
// system, so that its path rules, filter and checks are the real ones.
class CIkoComparer {
public:
    // fs: the real file system, which the targets are read from.
    CIkoComparer(CFileSystem& fs, CIkoOutput& out, CIkoSelection& selection);
    // Takes the content of the restore of context (on a dry run's file
    // system) and notes every entry.
    void Attach(CMigrationContext& context);
    // After the restore: the verdict of each target it would write.
    void TellCompared();
    // After the restore: the files only the installation has.
    void FindOnlyHere();
    // What the restore kept out or would not have written; each of the
    // latter is a difference.
    void TellSkipped(const CMigrationContext& context, const CMigrationRoots& roots);
    // Lines that count as a difference.
    int64_t Differences() const { return m_nDifferences; }
    int64_t Compared() const { return m_nCompared; }
    int64_t KeptOut() const { return m_nKeptOut; }

private:
    enum Verdict { same, differs, missing, notReadable };
    struct Finding {
        bool bDifference;
        CString strLine;
    };
    struct Folder {
        int nRoot;
        int nFormat;
        CString strRoot;
        CString strPath;
    };

    void Note(const CMigrationEntry& entry);
    void Compare(CMigrationContext& context, const CMigrationEntry& entry, CTargetPath& target,
                 CArchive& ar);
    Verdict CompareContent(const CString& strPath, CArchive& ar, int64_t nSize, CString& strCause);
    static CString WouldNotWrite(CFileSystem& fs, const CTargetPath& target);
    static CString Line(const char* pszWhat, int nRoot, const CString& strPath,
                        const CString& strCause);
    void Tell(const char* pszWhat, int nRoot, const CString& strPath, const CString& strCause);
    void ListOnlyHere(const Folder& top, const CString& strFolder, bool bAll);
    bool IsKeptOut(const Folder& top, const CString& strBelow);
    std::string Key(const CString& strPath) const;

    CFileSystem& m_fs;
    CIkoOutput& m_out;
    CIkoSelection& m_selection;
    CTargetPath m_paths; // the entries' targets, for the listing of what only the installation has
    std::set<std::string> m_known;             // every target the file names
    std::vector<Folder> m_folders;             // the file's entries that are folders here
    std::vector<Finding> m_findings;           // one for each target, in the order first met
    std::map<std::string, size_t> m_findingOf; // a target's key to its finding
    int64_t m_nDifferences = 0;
    int64_t m_nCompared = 0;
    int64_t m_nKeptOut = 0;
};
