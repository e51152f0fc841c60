#pragma once
#include "String.h"

#include <vector>

// The workbooks that a run over several books has replaced by templates,
// noted so that a run that fails can put each one back as it was.
class CBookChanges {
public:
    // The workbooks lie in excelDir; safetyDir holds a copy of each, and of
    // each file of the other format that a template may have replaced.
    CBookChanges(CString excelDir, CString safetyDir);

    // bookPath became backupPath, and a template was copied to newPath (a
    // name that some file had already when bNewPathWasTaken).
    void NoteReplaced(const CString& bookPath, const CString& backupPath, const CString& newPath,
                      bool bNewPathWasTaken);
    // bookPath was copied to backupPath and stays until the run is done
    // (RemoveOldNames); a template was copied to newPath, another name.
    void NoteCopied(const CString& bookPath, const CString& backupPath, const CString& newPath,
                    bool bNewPathWasTaken);
    // Puts every workbook back, the last first.  The names of those that
    // could not be put back, each after a line break; empty when all are.
    CString PutBack();
    // After a run that is done: the workbooks that were only copied to their
    // backups give up their old names.
    void RemoveOldNames();

private:
    struct CReplacement {
        CString strBookPath;
        CString strBackupPath;
        CString strNewPath;
        bool bNewPathWasTaken;
        bool bBookStays; // copied to its backup, not renamed
    };
    bool PutBackOne(const CReplacement& r) const;
    CString SafetyCopyOf(const CString& path) const;

    CString m_strExcelDir;
    CString m_strSafetyDir;
    std::vector<CReplacement> m_replacements;
};
