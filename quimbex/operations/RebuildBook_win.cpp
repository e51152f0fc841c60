#include "BookOperator_win.h"

#include "BookFiles.h"
#include "BookNames.h"
#include "DornEnv.h"
#include "ProductPaths.h"

#include "Win_win.h"

namespace {
const char kCloseBookMessage[] = "初期化するブックを閉じてください。";
} // namespace

// The part that both rebuilds share, for a workbook that exists: after the
// protection check the workbook becomes its backup and the template (of the
// target format) takes its place under its name, with the target's
// extension.  A run that notes its changes has checked every book before
// it began: no protection is asked again.  False when one of these steps failed.
bool CBookOperator::ReplaceWithTemplate(const CString& workFile, const CString& excelDir,
                                        const CString& name, const CString& backupPath,
                                        const CString& templ, const CString& ext,
                                        const CString& target, CString& newName) {
    if (!m_pRunChanges && !CheckUnprotected(workFile, name, ProtectedBookText(name)))
        return false;
    // A rebuilt workbook may change its format: the extension in its file
    // name becomes the target's.  Only the file name changes, never its folder.
    newName = WithExtensionReplaced(name, ext, target);
    return ReplaceBookWithTemplate(excelDir + name, backupPath, templ, excelDir + newName,
                                   kCloseBookMessage, m_pRunChanges);
}

// The old workbook becomes a dated backup, the template takes its place and
// the seven conversion macros carry the data over.  All seven always run.
// A record whose name leads out of the Excel folder, that the system opens
// as another workbook or that has no workbook's extension, names no
// workbook of it, and a key that would put the backup outside the folder
// makes no backup of it: the step fails as for a missing workbook.
int CBookOperator::RebuildPayrollBook(const CString& workFile, const CString& name,
                                      const CString& key, const CString& target) {
    CDornEnv env;
    const CProductPaths paths(env);
    const CString date = BackupDateText();
    const CString excelDir = paths.ExcelFolder() + "\\";
    const CString backupPath = MakeUniquePath(excelDir + key + date + env.m_strExcelExt);
    const CString templ = paths.PayrollTemplate(target);
    if (!IsBookKey(excelDir, key) || !NamesBookInFolder(excelDir, name) ||
        !BookFileExists(excelDir + name))
        return 0;
    CString newName;
    if (!ReplaceWithTemplate(workFile, excelDir, name, backupPath, templ, env.m_strExcelExt, target,
                             newName))
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
// A record that names no workbook of the Excel folder, or whose key makes
// no backup name of it, fails.
int CBookOperator::RebuildAttendanceBook(const CString& workFile, const CString& name,
                                         const CString& key, const CString& target) {
    CDornEnv env;
    const CProductPaths paths(env);
    const CString date = BackupDateText();
    const CString excelDir = paths.ExcelFolder() + "\\";
    const CString attendanceName = "勤怠_" + name;
    const CString backupPath =
        MakeUniquePath(excelDir + "勤怠_" + key + "_" + date + env.m_strExcelExt);
    const CString templ = paths.AttendanceTemplate(target);
    if (!IsBookKey(excelDir, key) || !NamesBookInFolder(excelDir, name) ||
        !NamesFileInFolder(excelDir, attendanceName))
        return 0;
    if (!BookFileExists(excelDir + attendanceName))
        return 1;
    CString newName;
    if (!ReplaceWithTemplate(workFile, excelDir, attendanceName, backupPath, templ,
                             env.m_strExcelExt, target, newName))
        return 0;
    return MacroAttendance(workFile, GetFileNamePart(backupPath), newName);
}
