#pragma once
#include "Exception.h"
#include "FileSystem.h"

class CTargetPath;

// A restored file, written beside its target under a temporary name of its
// own and put in its place only when it is complete: the older file keeps
// its bytes until then, whatever happens to the restore.
class CTargetFile {
public:
    // The temporary names, one for each restore writing into a folder at
    // the same time; the first is the usual one.
    static constexpr int kTemporaryNames = 10;
    static CString TemporaryName(int nIndex);
    static bool IsTemporaryName(const CString& strName);
    // Removes the temporary files killed restores left in strFolder.
    static void RemoveStale(CFileSystem& fs, const CString& strFolder);

    explicit CTargetFile(CFileSystem& fs);
    ~CTargetFile();
    CTargetFile(const CTargetFile&) = delete;
    CTargetFile& operator=(const CTargetFile&) = delete;

    // False with error when the target may not be replaced or the temporary
    // file cannot be made.
    bool Open(const CTargetPath& target, CFsError& error);
    CFsFile& File() { return *m_pFile; }
    // Puts the complete file in place; false with error (and the temporary
    // file removed) when the system refuses.  Throws the errors of writing.
    bool Commit(CFsError& error);
    // An error of writing the temporary file, told by the target's name:
    // the user knows the file by it.
    void NameTarget(CFileException& e) const;

private:
    bool CreateTemporary(const CString& strFolder, CFsError& error);
    static CString TakenNames(int nFolders, int nFiles);
    void Discard();

    CFileSystem& m_fs;
    std::unique_ptr<CFsFile> m_pFile;
    CString m_strTarget;
    CString m_strTemporary;
    bool m_bReplacing = false;
};
