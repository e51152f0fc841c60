#include "BookFiles.h"
#include "DornEnv.h"
#include "ExcelVersionCheck.h"
#include "ProductPaths.h"
#include "RunCheck.h"
#include "WinApp_win.h"
#include "YearUpdateDlg_win.h"

// Command 7: the year update, from its dialog.  2 when Excel is missing or
// older than Excel 97, otherwise the dialog's result.
int CBookOperator::UpdateYear(const CString& workFile) {
    if (!HasExcelVersion(
            m_nExcelVersion, 8, "年度更新",
            "年度更新を行うには、Microsoft Excelがｲﾝｽﾄｰﾙされている必要があります",
            "年度更新を行うには、Microsoft Excel(97以上)がｲﾝｽﾄｰﾙされている必要があります"))
        return 2;
    CYearUpdateDlg dlg(workFile);
    return static_cast<int>(dlg.DoModal());
}

// The book named by m_strBookKey and m_strBookFile becomes a dated backup,
// the template takes its place and three macros carry the data into the
// new year.  The template is found readable before the book is renamed,
// and a copy that still fails gives the book its name back.
int CYearUpdateDlg::UpdateOneBook() {
    CDornEnv env;
    const CProductPaths paths(env);
    const CString backupPath = m_operator.MakeUniquePath(
        paths.ExcelFile(m_strBookKey + BackupDateText() + env.m_strExcelExt));
    const CString bookPath = paths.ExcelFile(m_strBookFile);
    const CString templ = paths.PayrollTemplate(env.m_strExcelExt);

    if (!BookFileExists(bookPath)) {
        AfxMessageBox("年度更新対象の給与計算ブックが見つかりません。年度更新処理を中断します");
        return m_nResult = 0;
    }
    if (m_bBooksChecked)
        m_nResult = 1;
    else if (!CheckProtection() || !CRunCheck(m_operator, m_strWorkBook, "年度更新処理を中断します")
                                        .CanReadTemplate(templ))
        return m_nResult = 0;
    if (!ReplaceBookWithTemplate(bookPath, backupPath, templ, bookPath,
                                 "更新するブックを閉じてください。"))
        return m_nResult = 0;
    m_strBackupFile = m_operator.GetFileNamePart(backupPath);
    RunYearMacros();
    return m_nResult;
}

// A failed check (Excel unreachable) reads as not protected: the macros
// then report their own failure.
int CYearUpdateDlg::CheckProtection() {
    return m_nResult = m_operator.CheckUnprotected(
               m_strWorkBook, m_strBookFile,
               "更新するブックにはパスワード保護がかかっています。\n更新を行うにはパスワード保護を"
               "はずす必要があります。");
}

// The company information with the target year, the year itself, and the
// employees without those who have left (mode 1).  All three always run;
// once one fails the book has failed.
void CYearUpdateDlg::RunYearMacros() {
    const CString& source = m_strBackupFile;
    const CString& target = m_strBookFile;
    m_nResult = FoldResult(m_nResult,
                           m_operator.MacroCompanyInfo(m_strWorkBook, source, m_strYear, target));
    m_nResult = FoldResult(m_nResult, m_operator.MacroYearUpdate(m_strWorkBook, source, target));
    m_nResult =
        FoldResult(m_nResult, m_operator.MacroEmployeeList(m_strWorkBook, source, 1, target));
}
