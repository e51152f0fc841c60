#include "BookOperator_win.h"

#include "AttendInitDlg_win.h"
#include "BookFiles.h"
#include "BookNames.h"
#include "DornEnv.h"
#include "ProductPaths.h"
#include "RunCheck.h"
#include "RunOutcome.h"
#include "Time.h"
#include "WaitCursor_win.h"
#include "WaitDlg.h"
#include "WinApp_win.h"

namespace {

const char kStopLine[] = "初期化処理を中断します";

int Fail() {
    AfxMessageBox("ブックの初期化に失敗しました。");
    CRunOutcome::NoteFailed();
    return 2;
}

void ReportCompletion(const CString& backupFile, const CString& saveFolder) {
    CString text;
    text.Format(
        "初期化が完了しました。\n以前の勤怠ブックは「%s」として保存されています。\n保存場所は "
        "%s です。",
        backupFile.GetString(), saveFolder.GetString());
    AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
}

// Before the backup copy is made: the template can be read, no other
// program holds the workbook that the template will replace, and, when its
// data are to be carried over, the workbook is not protected (the macro
// would fail on it after the template had replaced it).
bool CanReset(CBookOperator& op, const CString& workFile, const CString& bookPath,
              const CString& name, const CString& templ, bool keepData) {
    const CRunCheck check(op, workFile, kStopLine);
    return check.CanReadTemplate(templ) && check.Exists(bookPath, name) &&
           check.CanChange(bookPath, name, true) && (!keepData || check.IsUnprotected(name));
}

// The workbook `selected` is copied to a dated backup (never over an
// existing file) and replaced whole by the empty template; with keepData the macro
// carries the attendance data over from the backup.  The workbook is the
// one the list found, with the extension the list looks for.
int ResetAttendanceBook(CBookOperator& op, const CString& workFile, const CString& selected,
                        bool keepData) {
    CDornEnv env;
    const CProductPaths paths(env);
    const CString ext = env.m_strExcelExt;
    const CString saveFolder = paths.ExcelFolder();
    const CString bookPath = AttendanceBookPathIn(env.m_strDataDir, ext, selected);
    const CString stem = StripExtensionNoCase(selected, ext);
    const CString templ = paths.AttendanceTemplate(ext);
    if (!CanReset(op, workFile, bookPath, stem + ext, templ, keepData)) {
        CRunOutcome::NoteFailed();
        return 2;
    }
    const CString backupPath = op.MakeUniquePath(
        saveFolder + "\\" + stem + CTime::GetCurrentTime().Format("_%Y年%m月%d日") + ext);
    const CString backupFile = op.GetFileNamePart(backupPath);
    if (!CopyBookFile(bookPath, backupPath, true) || !ReplaceFileWithCopy(templ, bookPath))
        return Fail();
    if (keepData) {
        CWaitDlg wait(0);
        const int ok = op.MacroAttendance(workFile, backupFile, stem + ext);
        wait.DestroyWindow();
        if (ok == 0)
            return Fail();
    }
    ReportCompletion(backupFile, saveFolder);
    return 1;
}

// The chosen record names a workbook, with its extension (a name without
// one is damaged, as for every command), and that workbook is one of the
// Excel folder as the system opens it.
bool IsAttendanceBookName(const CString& selected) {
    CDornEnv env;
    return IsBookRecordName(selected) &&
           NamesFileInFolder(
               CProductPaths(env).ExcelFolder() + "\\",
               FileNamePart(AttendanceBookPathIn(env.m_strDataDir, env.m_strExcelExt, selected)));
}

} // namespace

// Command 10: the attendance workbook of the book the user picks starts
// afresh from the template.  1 after a completed initialisation, 2 in every
// other case.  A missing book list leaves the list empty; one that cannot
// be read whole (Load has told that it is damaged) shows no dialog, and a
// chosen record that names no workbook of the Excel folder changes nothing.
int CBookOperator::InitAttendanceBook(const CString& workFile) {
    if (!CRunCheck(*this, workFile, kStopLine)
             .ReadsList("ブックの初期化を実行できません。", true)) {
        CRunOutcome::NoteFailed();
        return 2;
    }
    CAttendInitDlg dlg(&m_bookMap);
    if (dlg.DoModal() != IDOK)
        return 2;
    CWaitCursor waitCursor;
    if (dlg.m_strSelected.IsEmpty())
        return 2;
    if (dlg.m_bSelectedDamaged || !IsAttendanceBookName(dlg.m_strSelected)) {
        AfxMessageBox("ブックの初期化を実行できません。ブック管理データファイルが壊れています。");
        CRunOutcome::NoteFailed();
        return 2;
    }
    // The chosen book's attendance workbook may be another record's
    // payroll workbook: the template would replace that book.
    if (!CRunCheck(*this, workFile, kStopLine).AreDistinctFromEveryBook({dlg.m_strSelectedKey})) {
        CRunOutcome::NoteFailed();
        return 2;
    }
    return ResetAttendanceBook(*this, workFile, dlg.m_strSelected, dlg.m_nInitMode == 0);
}
