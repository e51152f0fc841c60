#include "BookChanges.h"

#include "BookFiles.h"
#include "BookNames.h"

#include "Win_win.h"

#include <utility>

CBookChanges::CBookChanges(CString excelDir, CString safetyDir)
    : m_strExcelDir(std::move(excelDir)), m_strSafetyDir(std::move(safetyDir)) {}

void CBookChanges::NoteReplaced(const CString& bookPath, const CString& backupPath,
                                const CString& newPath, bool bNewPathWasTaken) {
    m_replacements.push_back({bookPath, backupPath, newPath, bNewPathWasTaken, false});
}

void CBookChanges::NoteCopied(const CString& bookPath, const CString& backupPath,
                              const CString& newPath, bool bNewPathWasTaken) {
    m_replacements.push_back({bookPath, backupPath, newPath, bNewPathWasTaken, true});
}

namespace {

// A read-only workbook is replaced as the commands that rename one replace
// it (the system renames a read-only file): its backup, a copy, keeps the
// attribute.  One that still cannot go gets its attribute back.
void RemoveOldBook(const CString& path) {
    const DWORD attributes = ::GetFileAttributesA(path);
    const bool readOnly =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly)
        ::SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!::DeleteFileA(path) && readOnly)
        ::SetFileAttributesA(path, attributes);
}

} // namespace

// The list names the new workbooks now; an old one that cannot be removed
// (another program opened it since the checks) stays beside its backup,
// which holds the same bytes.
void CBookChanges::RemoveOldNames() {
    for (const CReplacement& r : m_replacements)
        if (r.bBookStays)
            RemoveOldBook(r.strBookPath);
    m_replacements.clear();
}

CString CBookChanges::PutBack() {
    CString failed;
    for (auto it = m_replacements.rbegin(); it != m_replacements.rend(); ++it)
        if (!PutBackOne(*it))
            failed += "\n" + FileNamePart(it->strBookPath);
    m_replacements.clear();
    return failed;
}

// The safety folder holds each file under its name relative to the Excel
// folder.
CString CBookChanges::SafetyCopyOf(const CString& path) const {
    return m_strSafetyDir + path.Mid(m_strExcelDir.GetLength());
}

// The template's copy goes, or the file it was copied over comes back from
// the safety folder; then the workbook takes its name again from its
// backup, or, when the backup cannot be renamed, from its safety copy.  A
// workbook that stayed under its name needs its backup copy no more.
bool CBookChanges::PutBackOne(const CReplacement& r) const {
    bool ok = true;
    if (r.bNewPathWasTaken)
        ok = CopyBookFile(SafetyCopyOf(r.strNewPath), r.strNewPath);
    else if (NameIsTaken(r.strNewPath))
        ok = ::DeleteFileA(r.strNewPath) != FALSE;
    if (r.bBookStays && BookFileExists(r.strBookPath)) {
        ::DeleteFileA(r.strBackupPath);
        return ok;
    }
    if (::MoveFileA(r.strBackupPath, r.strBookPath))
        return ok;
    return CopyBookFile(SafetyCopyOf(r.strBookPath), r.strBookPath, true) && ok;
}
