#pragma once
#include "FileSystem.h"
#include "TargetFolder.h"

#include <vector>

// The target of a restored entry in the one form that every decision of a
// restore is made on: the path check, the restore filter, the file that is
// written and the folder that is made.
class CTargetPath {
public:
    explicit CTargetPath(CFileSystem& fs);

    // Judges and resolves strRoot + strRelPath (an entry's composed path
    // below its root).  False when the path is refused; Refusal() says why.
    bool Resolve(const CString& strRoot, const CString& strRelPath);
    // Folders made since the last call may carry names that were free.
    void Forget();
    // The restore put a file at Path(), or made a folder there (with the
    // levels above it that were missing).
    void NoteWritten(bool bDirectory = false);
    // The restore made the missing levels of Folder().
    void NoteFolderMade();

    const CString& Refusal() const { return m_strRefusal; }
    // Whether the path was refused for naming the root itself.
    bool IsRoot() const { return m_bRoot; }
    // The root, then each component as the system names it, one backslash
    // before each: what is opened.
    const CString& Path() const { return m_strPath; }
    // Path() below its root, beginning with a backslash; never the root.
    CString RelativePath() const { return m_strPath.Mid(m_nRootLength); }
    CString Folder() const { return m_strPath.Left(m_nNameAt - 1); }
    CString Name() const { return m_strPath.Mid(m_nNameAt); }
    // Path() with its single-byte letters in lower case, and its last
    // component so: what the restore filter reads.
    const CString& Folded() const { return m_strFolded; }
    CString FoldedName() const { return m_strFolded.Mid(m_nNameAt); }
    // What Path() is now: missing, a file or a folder, protected or not.
    const CFsStatus& Status() const { return m_status; }

private:
    bool ResolveFolder(const CString& strRoot, const std::vector<CString>& parts);
    bool IsCachedFolder(const CString& strRoot, const std::vector<CString>& parts) const;
    bool FolderOnDisk(const CString& strFolder, const CString& strPart, CString& strName);
    CString OnDisk(const CString& strFolder, const CString& strPart);
    bool ResolveName(const CString& strPart);
    bool RefuseTwins(const CString& strPart);
    void NoteLevels(const CString& strPath);
    CTargetFolder& Listed(const CString& strFolder);

    CFileSystem& m_fs;
    CString m_strRefusal;
    bool m_bRoot = false;
    CString m_strPath;
    CString m_strFolded;
    int m_nRootLength = 0;
    int m_nNameAt = 0;
    // The folder of the last path, as given and as resolved: the files of
    // one folder follow each other.
    bool m_bCached = false;
    CString m_strCachedRoot;
    std::vector<CString> m_astrCachedParts;
    CString m_strCachedFolder;
    CFsStatus m_status;
    // The folders listed on the way down to the last one, the root first.
    std::vector<CTargetFolder> m_listed;
};
