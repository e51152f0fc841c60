#include "BookOperator.h"

#include "BookFiles.h"
#include "DornEnv.h"

#include "Win.h"

namespace {

const char kCloseBookMessage[] = "初期化するブックを閉じてください。";

// A rebuilt workbook may change its format: the extension in its file name
// becomes the target's.  Only the file name changes, never its folder.
void ChangeExtension(CString& name, const CString& ext, const CString& target) {
    if (target != ext)
        name.Replace(ext, target);
}

} // namespace

// The old workbook becomes a dated backup, the template takes its place and
// the seven conversion macros carry the data over.  All seven always run.
int CBookOperator::RebuildPayrollBook(const CString& workFile, const CString& name,
                                      const CString& key, const CString& target) {
    CDornEnv env;
    const CString date = BackupDateText();
    const CString excelDir = env.m_strDataDir + "\\Excel\\";
    const CString bookPath = excelDir + name;
    const CString backupPath = MakeUniquePath(excelDir + key + date + env.m_strExcelExt);
    const CString templ = env.m_strInstallDir + "\\Data\\Org\\Kyuyo" + target;

    if (!BookFileExists(bookPath))
        return 0;
    if (!CheckUnprotected(workFile, name))
        return 0;
    if (!RenameBookToBackup(bookPath, backupPath, kCloseBookMessage))
        return 0;
    CString newName = name;
    ChangeExtension(newName, env.m_strExcelExt, target);
    if (!::CopyFileA(templ, excelDir + newName, FALSE))
        return 0;

    const CString backupFile = GetFileNamePart(backupPath);
    int result = MacroCompanyInfo(workFile, backupFile, "", newName);
    result = FoldResult(result, MacroEmployeeList(workFile, backupFile, 0, newName));
    result = FoldResult(result, MacroPayData(workFile, backupFile, newName));
    result = FoldResult(result, MacroPayslip(workFile, backupFile, newName));
    result = FoldResult(result, MacroBonusSlip(workFile, backupFile, newName));
    result = FoldResult(result, MacroWithholdingSlip(workFile, backupFile, newName));
    result = FoldResult(result, MacroTaxRecalc(workFile, backupFile, newName));
    return result;
}

// A book without an attendance workbook has nothing to rebuild: success.
int CBookOperator::RebuildAttendanceBook(const CString& workFile, const CString& name,
                                         const CString& key, const CString& target) {
    CDornEnv env;
    const CString date = BackupDateText();
    const CString excelDir = env.m_strDataDir + "\\Excel\\";
    const CString attendanceName = "勤怠_" + name;
    const CString bookPath = excelDir + attendanceName;
    const CString backupPath =
        MakeUniquePath(excelDir + "勤怠_" + key + "_" + date + env.m_strExcelExt);
    const CString templ = env.m_strInstallDir + "\\Data\\Org\\勤怠_kyuyo" + target;

    if (!BookFileExists(bookPath))
        return 1;
    if (!CheckUnprotected(workFile, attendanceName))
        return 0;
    if (!RenameBookToBackup(bookPath, backupPath, kCloseBookMessage))
        return 0;
    CString newName = attendanceName;
    ChangeExtension(newName, env.m_strExcelExt, target);
    if (!::CopyFileA(templ, excelDir + newName, FALSE))
        return 0;
    return MacroAttendance(workFile, GetFileNamePart(backupPath), newName);
}
