#include "TargetFile.h"

#include "TargetPath.h"

// Not names of the product's (no ".dat", ".xls", ".frm" to be taken for
// one), 8.3 names (no short names of their own), and names no product
// folder holds otherwise; "作成" leaves them out.  A restore takes the
// first one free, so that two restores into one folder at the same time
// (two ikotool runs; Tessaro's mutex keeps a second Tessaro out) never
// write into one file.
CString CTargetFile::TemporaryName(int nIndex) {
    std::string name = "~TESSARO.TMP";
    if (nIndex > 0)
        name[7] = static_cast<char>('0' + nIndex);
    return CString(std::move(name));
}

bool CTargetFile::IsTemporaryName(const CString& strName) {
    for (int i = 0; i < kTemporaryNames; ++i)
        if (strName.CompareNoCase(TemporaryName(i)) == 0)
            return true;
    return false;
}

// Found before this restore writes into the folder, they are killed runs';
// one that another restore has open is its live file, and stays.  Whatever
// the new restore writes there, the folder is left without them.
void CTargetFile::RemoveStale(CFileSystem& fs, const CString& strFolder) {
    for (int i = 0; i < kTemporaryNames; ++i)
        fs.RemoveUnlessOpen(strFolder + "\\" + TemporaryName(i));
}

CTargetFile::CTargetFile(CFileSystem& fs) : m_fs(fs) {}

// Whatever ended the copy, the temporary file goes and the target stays.
// Its name is freed only where no other restore has taken it meanwhile.
CTargetFile::~CTargetFile() {
    Discard();
}

void CTargetFile::Discard() {
    if (!m_pFile)
        return;
    m_pFile.reset();
    m_fs.RemoveUnlessOpen(m_strTemporary);
}

// Windows refuses to replace a read-only file, and a hidden or system one
// opened for creation as a normal one: such a target is skipped as before,
// by the attributes the target's path found, so that Wine, which would
// replace them, skips the same files.  A target of a temporary name
// itself would be emptied by its own copy; "作成" never carries one.
bool CTargetFile::Open(const CTargetPath& target, CFsError& error) {
    m_strTarget = target.Path();
    if (IsTemporaryName(target.Name())) {
        error.strCause = "the name of the restore's temporary file";
        return false;
    }
    const CFsStatus& status = target.Status();
    if (status.bProtected && !status.bDirectory) {
        error.strCause =
            CFileException(CFileException::accessDenied, 5, m_strTarget).GetErrorMessage();
        return false;
    }
    m_bReplacing = status.bExists;
    return CreateTemporary(target.Folder(), error);
}

// Made anew, never opened as it stands: a file of the name is another
// restore's, live, or a killed one's that the sweep could not remove; a
// folder of the name is no restore's at all.  When every name is taken,
// the user is told what holds them.
bool CTargetFile::CreateTemporary(const CString& strFolder, CFsError& error) {
    int nFolders = 0;
    for (int i = 0; i < kTemporaryNames; ++i) {
        error = CFsError();
        m_strTemporary = strFolder + "\\" + TemporaryName(i);
        m_pFile = m_fs.CreateNew(m_strTemporary, error);
        if (m_pFile)
            return true;
        const CFsStatus status = m_fs.GetStatus(m_strTemporary);
        if (!error.bExists && !status.bExists)
            return false;
        if (status.bDirectory)
            ++nFolders;
    }
    error.strCause = TakenNames(nFolders, kTemporaryNames - nFolders);
    return false;
}

CString CTargetFile::TakenNames(int nFolders, int nFiles) {
    CString cause = "every temporary name of its folder (" + TemporaryName(0) + " to " +
                    TemporaryName(kTemporaryNames - 1) + ") is taken: ";
    CString part;
    if (nFolders > 0) {
        part.Format("%d by folders of that name", nFolders);
        cause += part;
    }
    if (nFiles > 0) {
        part.Format("%s%d by other restores' files", nFolders > 0 ? ", " : "", nFiles);
        cause += part;
    }
    return cause;
}

// The bytes reach the disk before they replace an older file, so that not
// even a power cut leaves it cut; a file that is new is not waited for (a
// flush per file costs more than the whole extraction of many small files,
// and the migration file still holds what a cut new file lacks).
bool CTargetFile::Commit(CFsError& error) {
    if (m_bReplacing)
        m_pFile->Flush();
    if (m_fs.CloseOver(std::move(m_pFile), m_strTemporary, m_strTarget, error))
        return true;
    m_fs.RemoveUnlessOpen(m_strTemporary);
    return false;
}

void CTargetFile::NameTarget(CFileException& e) const {
    if (e.m_strFileName == m_strTemporary)
        e.m_strFileName = m_strTarget;
}
