#include "BookOperator.h"

#include "AttendInitDlg.h"
#include "BookFiles.h"
#include "BookNames.h"
#include "DornEnv.h"
#include "Time.h"
#include "WaitCursor.h"
#include "WaitDlg.h"
#include "WinApp.h"

namespace {

const char kFailed[] = "ブックの初期化に失敗しました。";

int Fail() {
    AfxMessageBox(kFailed);
    return 2;
}

} // namespace

// Command 10: the chosen attendance workbook is copied to a dated backup
// and replaced by the empty template; in keep-data mode the macro carries
// the attendance data over from the backup.  1 after a completed
// initialisation, 2 in every other case.
int CBookOperator::InitAttendanceBook(const CString& workFile) {
    m_bookMap.Load(); // a missing file leaves the list empty
    CAttendInitDlg dlg(&m_bookMap);
    if (dlg.DoModal() != IDOK)
        return 2;
    CWaitCursor waitCursor;
    if (dlg.m_strSelected.IsEmpty())
        return 2;

    CDornEnv env;
    const CString ext = env.m_strExcelExt;
    const CString saveFolder = env.m_strDataDir + "\\Excel";
    // A record may name its workbook without an extension; the file on disk,
    // the one the list found, has it.
    const CString bookPath = AttendanceBookPathIn(env.m_strDataDir, ext, dlg.m_strSelected);
    const CString stem = StripExtensionNoCase(dlg.m_strSelected, ext);
    const CString backupPath = MakeUniquePath(
        saveFolder + "\\" + stem + CTime::GetCurrentTime().Format("_%Y年%m月%d日") + ext);
    const CString backupFile = GetFileNamePart(backupPath);

    // The old workbook is copied, never renamed, and an existing file is
    // never overwritten by the backup.
    if (!::CopyFileA(bookPath, backupPath, TRUE))
        return Fail();
    if (!::CopyFileA(env.m_strInstallDir + "\\Data\\Org\\勤怠_kyuyo" + ext, bookPath, FALSE))
        return Fail();
    int ok = 1;
    if (dlg.m_nInitMode == 0) {
        CWaitDlg wait(0);
        ok = MacroAttendance(workFile, backupFile, stem + ext);
        wait.DestroyWindow();
    }
    if (ok == 0)
        return Fail();
    CString text;
    text.Format(
        "初期化が完了しました。\n以前の勤怠ブックは「%s」として保存されています。\n保存場所は "
        "%s です。",
        backupFile.GetString(), saveFolder.GetString());
    AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
    return 1;
}
