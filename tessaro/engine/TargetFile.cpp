#include "TargetFile.h"

#include "TargetPath.h"

// Not a name of the product's (no ".dat", ".xls", ".frm" to be taken for
// one), an 8.3 name (no short name of its own), and a name no product
// folder holds otherwise; "作成" leaves it out.
const char CTargetFile::kTemporaryName[] = "~TESSARO.TMP";

bool CTargetFile::IsTemporaryName(const CString& strName) {
    return strName.CompareNoCase(kTemporaryName) == 0;
}

// Found before this restore writes into the folder, it is a killed run's:
// Tessaro's mutex keeps a second restore out.  Whatever the new restore
// writes there, the folder is left without it.
void CTargetFile::RemoveStale(CFileSystem& fs, const CString& strFolder) {
    fs.RemoveFile(strFolder + "\\" + kTemporaryName);
}

CTargetFile::CTargetFile(CFileSystem& fs) : m_fs(fs) {}

// Whatever ended the copy, the temporary file goes and the target stays.
CTargetFile::~CTargetFile() {
    Discard();
}

void CTargetFile::Discard() {
    if (!m_pFile)
        return;
    m_pFile.reset();
    m_fs.RemoveFile(m_strTemporary);
}

// Windows refuses to replace a read-only file, and a hidden or system one
// opened for creation as a normal one: such a target is skipped as before,
// by the attributes the target's path found, so that Wine, which would
// replace them, skips the same files.  A target of the temporary name
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
    m_strTemporary = target.Folder() + "\\" + kTemporaryName;
    m_pFile = m_fs.CreateTemporary(m_strTemporary, error);
    return m_pFile != nullptr;
}

// The bytes reach the disk before they replace an older file, so that not
// even a power cut leaves it cut; a file that is new is not waited for.
bool CTargetFile::Commit(CFsError& error) {
    if (m_bReplacing)
        m_pFile->Flush();
    m_pFile->Close();
    m_pFile.reset();
    if (m_fs.MoveOver(m_strTemporary, m_strTarget, error))
        return true;
    m_fs.RemoveFile(m_strTemporary);
    return false;
}

void CTargetFile::NameTarget(CFileException& e) const {
    if (e.m_strFileName == m_strTemporary)
        e.m_strFileName = m_strTarget;
}
