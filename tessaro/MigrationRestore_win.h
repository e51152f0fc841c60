#pragma once
#include "DornEnv.h"
#include "MigrationContext.h"
#include "MigrationRoots.h"
#include "RestoreRecordFile.h"
#include "Win32FileSystem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CException;
class CFile;
class CTessaroApp;
class CWaitCursor;
class CWaitDlg;

// One restore of the chosen migration file into this installation: the
// checks of the file, the workbook format, the two questions, the
// extraction under the wait dialog, the conversion of the books and the
// final message.  Every step that ends the restore has told the user why.
class CMigrationRestore {
public:
    explicit CMigrationRestore(CTessaroApp& app);
    bool Run();

private:
    bool PeekFormat(int32_t& nFormat);
    bool AcceptFile(int32_t nFormat);
    bool CheckWholeFile();
    bool ReconcileBookFormat(int32_t nFormat);
    bool RenameMarker(const CString& strFrom, const CString& strTo);
    void UndoMarkerRename();
    bool MoveMarker(const CString& strFrom, const CString& strTo);
    bool Extract(CWaitCursor& cursor);
    bool ReadEntries(CFile& file);
    void NoteBookRestored();
    bool Finish();
    void ReportUnreadable(const CException& e) const;
    void ReportIncomplete(const CString& strCause) const;
    void ReportUnwritten() const;
    void WriteRecord(const std::string& strText);
    CString WithRecordPlace(const CString& strText) const;
    CString WithFileName(const char* pszFormat) const;

    CTessaroApp& m_app;
    CDornEnv m_env;
    CWin32FileSystem m_fs;
    CMigrationContext m_context;
    CMigrationRoots m_roots;
    std::vector<CSkippedEntry> m_unwritten;
    CRestoreRecordFile m_record;
    // The marker renamed for the workbook format, while it may go back.
    CString m_strRenamedFrom; // empty while no marker is renamed
    CString m_strRenamedTo;
};
