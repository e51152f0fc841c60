#pragma once
#include "Exception.h"
#include "FileSystem.h"

#include <string>

class CRunJournal;
class CTargetPath;

// A restored file, written beside its target under a temporary name of its
// own and put in its place only when it is complete: the older file keeps
// its bytes until then, whatever happens to the restore.  Where the system
// allows, the file goes with a killed run (natively it has no name until
// it is complete; under Windows it is marked for deletion until just
// before the rename).  A file with a name carries a mark until then (at
// its start instead of its first bytes, then at its end), by which a later
// run tells a power cut's or an older version's file from a user's own
// file of that name.
class CTargetFile : public CArchiveStream {
public:
    // The temporary names, one for each restore writing into a folder at
    // the same time; the first is the usual one.
    static constexpr int kTemporaryNames = 10;
    static CString TemporaryName(int nIndex);
    static bool IsTemporaryName(const CString& strName);
    // What a restore's temporary file begins with until it is complete.
    static const std::string& Mark();
    // Whether strPath is a restore's temporary file, not yet complete: of a
    // temporary name, and marked at its start or its end.
    static bool IsUnfinished(CFileSystem& fs, const CString& strPath);
    // Removes the temporary files killed restores left in strFolder.
    static void RemoveStale(CFileSystem& fs, const CString& strFolder);

    // pJournal, when given, is told each temporary name before it is used.
    explicit CTargetFile(CFileSystem& fs, CRunJournal* pJournal = nullptr);
    ~CTargetFile();
    CTargetFile(const CTargetFile&) = delete;
    CTargetFile& operator=(const CTargetFile&) = delete;

    // False with error when the target may not be replaced or the temporary
    // file cannot be made.  Throws the errors of writing its mark.
    bool Open(const CTargetPath& target, CFsError& error);
    // The content, in order; the first bytes are held back until Commit.
    unsigned Read(void* pBuf, unsigned nCount) override;
    void Write(const void* pBuf, unsigned nCount) override;
    CString GetFilePath() const override { return m_strTemporary; }
    // Puts the complete file in place; false with error (and the temporary
    // file removed) when the system refuses.  Throws the errors of writing.
    bool Commit(CFsError& error);
    // An error of writing the temporary file, told by the target's name:
    // the user knows the file by it.
    void NameTarget(CFileException& e) const;

private:
    void WriteAfterMark(const char* p, size_t nCount);
    void Unmark();
    bool PlaceNew(bool& bPlaced, CFsError& error);
    bool Name(CFsError& error);
    static CString TemporaryPath(const std::string& strFolder, int nIndex);
    static int TemporaryIndex(const CString& strName);
    bool CreateTemporary(const CString& strFolder, CFsError& error);
    bool IsHeldUnseen(const CFsError& error) const;
    static CString TakenNames(int nFolders, int nFiles);
    void Discard();

    CFileSystem& m_fs;
    CRunJournal* m_pJournal;
    std::unique_ptr<CFsFile> m_pFile;
    CString m_strTarget;
    CString m_strTemporary;
    // Where the target's name begins in m_strTarget: the folder is the
    // part before the backslash before it.
    int m_nNameAt = 0;
    // The temporary name that was free when the file was made.
    int m_nTemporary = 0;
    bool m_bMarked = true;
    bool m_bReplacing = false;
    // The content not yet written: all of it, or once it is longer than
    // can be held, its first bytes.
    std::string m_strHeld;
    bool m_bStreaming = false;
    int64_t m_nLength = 0;
};
