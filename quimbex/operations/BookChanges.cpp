#include "BookChanges.h"

#include "BookFiles.h"
#include "BookNames.h"

#include "Win.h"

#include <utility>

CBookChanges::CBookChanges(CString excelDir, CString safetyDir)
    : m_strExcelDir(std::move(excelDir)), m_strSafetyDir(std::move(safetyDir)) {}

void CBookChanges::NoteReplaced(const CString& bookPath, const CString& backupPath,
                                const CString& newPath, bool bNewPathWasTaken) {
    m_replacements.push_back({bookPath, backupPath, newPath, bNewPathWasTaken});
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
// backup, or, when the backup cannot be renamed, from its safety copy.
bool CBookChanges::PutBackOne(const CReplacement& r) const {
    bool ok = true;
    if (r.bNewPathWasTaken)
        ok = CopyBookFile(SafetyCopyOf(r.strNewPath), r.strNewPath);
    else if (NameIsTaken(r.strNewPath))
        ok = ::DeleteFileA(r.strNewPath) != FALSE;
    if (::MoveFileA(r.strBackupPath, r.strBookPath))
        return ok;
    return CopyBookFile(SafetyCopyOf(r.strBookPath), r.strBookPath, true) && ok;
}
