#pragma once
#include "ContentCopier.h"
#include "FileSystem.h"
#include "SkippedEntry.h"
#include "TargetPath.h"

#include <cstdint>
#include <functional>
#include <vector>

class CMigrationEntry;
class CRestoreRecord;
class CRunJournal;

// What the entries of one write or read share: the file system, the format
// code of new entries, and what the run found out.
class CMigrationContext {
public:
    // restore writes the files of the entries; check only reads the structure.
    enum Mode { restore, check };
    // The archive's buffer in both directions, ours to choose: the bytes of
    // the file do not depend on it.
    static constexpr int kArchiveBufferSize = 64 * 1024;

    explicit CMigrationContext(CFileSystem& fs, const CString& strBookExt = ".xlsm");
    static int32_t FormatOfBookExtension(const CString& strBookExt);

    void Skip(const CMigrationEntry& entry, CSkipReason nReason, const CString& strCause,
              bool bFolder = false);
    // Counts an entry record that was written or read.
    void Count(int64_t nSize, int32_t nChildren);

    CFileSystem& m_fs;
    int32_t m_nNewFormat;           // format code of entries created here
    Mode m_nMode = restore;         // when reading
    int64_t m_nFileLength = 0;      // bytes of the migration file being read
    bool m_bBookRestored = false;   // a "BookMNG.dat" passed the restore filter
    bool m_bBookMapWritten = false; // and was put in place whole
    int64_t m_nWritten = 0;         // files a restore put in place
    int64_t m_nNothingToWrite = 0;  // empty files (or folders) a restore came to
    std::vector<CSkippedEntry> m_skipped;
    int64_t m_nEntries = 0;
    int64_t m_nFiles = 0; // entries without children (the format cannot tell an empty directory)
    int64_t m_nBytes = 0;
    // Called for each entry record written or read, before its content.
    std::function<void(const CMigrationEntry&)> m_onEntry;
    // When set, a restore notes there each file it wrote or skipped.
    CRestoreRecord* m_pRecord = nullptr;
    // When set, a restore writes only the targets it takes; the others are
    // passed over without a word, and only the folders of those it takes are
    // made.
    std::function<bool(const CTargetPath&)> m_select;
    // With m_select, asked for an entry the restore has no target for (a
    // path it refuses, a root not set here) by the path as stored: whether
    // the selection takes it, so that only those it takes are named.
    // Unset, such entries are passed over too.
    std::function<bool(int nRoot, const CString& strStoredPath, bool bRootSet)> m_selectStored;
    bool m_bNoFilter = false; // the restore filter keeps nothing out
    // Called for each file a restore put in place.
    std::function<void(const CMigrationEntry&, const CTargetPath&)> m_onWritten;
    // When set, takes the content of each file that the restore would write
    // (all of its bytes, from the archive), in place of the writing.
    std::function<void(const CMigrationEntry&, CTargetPath&, CArchive&)> m_onContent;
    CContentCopier m_copier;
    CTargetPath m_target;     // the restore's targets, one after the other
    CString m_strSweptFolder; // the last folder rid of a killed run's temporary file
    // When set, each temporary name is noted there before its file is made.
    CRunJournal* m_pJournal = nullptr;
};
