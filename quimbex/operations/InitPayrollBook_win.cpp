#include "BookFiles.h"
#include "BookInitDlg_win.h"
#include "DornEnv.h"
#include "ExcelVersionCheck.h"
#include "ProductPaths.h"
#include "RunCheck.h"
#include "WinApp_win.h"

namespace {
const char kCaption[] = "ブックの初期化";
} // namespace

// Command 8: the initialisation of one payroll book, from its dialog.  2
// when Excel is missing or older than Excel 97, otherwise the dialog's
// result.
int CBookOperator::InitPayrollBook(const CString& workFile) {
    if (!HasExcelVersion(
            m_nExcelVersion, 8, kCaption,
            "ブックの初期化を行うには、Microsoft Excelがｲﾝｽﾄｰﾙされている必要があります",
            "ブックの初期化を行うには、Microsoft Excel(97以上)がｲﾝｽﾄｰﾙされている必要があります"))
        return 2;
    CBookInitDlg dlg(workFile);
    return static_cast<int>(dlg.DoModal());
}

// The book becomes a dated backup (when it exists) and the template takes
// its place.  Keeping the settings needs Excel, an unprotected book that
// exists, and the macros; the initial state needs none of them.  Only an
// explicit choice of the initial state skips the macros.  The template is
// found readable before the book is renamed, and a copy that still fails
// gives the book its name back.
int CBookInitDlg::InitOneBook(const CString& bookPath, int exists) {
    m_nResult = 0;
    m_operator.ReadExcelVersion(); // Excel may have gone since the command started
    const bool keepSettings = m_nInitMode != 1;
    if (keepSettings && !HasExcelVersion(m_operator.m_nExcelVersion, 8, kCaption,
                                         "データを残して初期化を行うには、Microsoft "
                                         "Excelがｲﾝｽﾄｰﾙされている必要があります",
                                         "データを残して初期化を行うには、Microsoft "
                                         "Excel(97以上)がｲﾝｽﾄｰﾙされている必要があります"))
        return 0;
    CDornEnv env;
    const CProductPaths paths(env);
    const CString backupPath = m_operator.MakeUniquePath(
        paths.ExcelFile(m_strBookKey + BackupDateText() + env.m_strExcelExt));
    const CString templ = paths.PayrollTemplate(env.m_strExcelExt);
    if (keepSettings && !CanKeepSettings(exists != 0))
        return 0;
    if (!CRunCheck(m_operator, m_strWorkBook, "初期化処理を中断します").CanReadTemplate(templ))
        return m_nResult = 0;
    const bool replaced = exists ? ReplaceBookWithTemplate(bookPath, backupPath, templ, bookPath,
                                                           "初期化するブックを閉じてください。")
                                 : CopyTemplate(templ, bookPath);
    if (!replaced)
        return m_nResult = 0;
    m_strBackupFile = m_operator.GetFileNamePart(backupPath);
    if (!keepSettings)
        return m_nResult = 1;
    RunKeepSettingsMacros();
    return m_nResult;
}

// The protection check comes before the existence test, so a missing book
// is checked too (and reads as not protected).
bool CBookInitDlg::CanKeepSettings(bool exists) {
    if (!CheckProtection())
        return false;
    if (!exists) {
        AfxMessageBox("初期化対象の給与計算ブックが見つかりません。初期化処理を中断します");
        m_nResult = 0;
        return false;
    }
    return true;
}

// A failed check (Excel unreachable) reads as not protected: the macros
// then report their own failure.
int CBookInitDlg::CheckProtection() {
    return m_nResult = m_operator.CheckUnprotected(
               m_strWorkBook, m_strBookFile,
               "初期化するブックにはパスワード保護がかかっています。\n初期化を行うにはパスワード保"
               "護をはずす必要があります。");
}

// The company information, each ticked sheet in a fixed order, and the
// recalculation of the tax, which always runs.  Every macro runs even after
// a failure; once one fails the book has failed.
void CBookInitDlg::RunKeepSettingsMacros() {
    const CString& w = m_strWorkBook;
    const CString& source = m_strBackupFile;
    const CString& target = m_strBookFile;
    m_nResult = m_operator.MacroCompanyInfo(w, source, "", target);
    if (m_bEmployeeList)
        m_nResult = FoldResult(m_nResult, m_operator.MacroEmployeeList(w, source, 0, target));
    if (m_bWageLedger)
        m_nResult = FoldResult(m_nResult, m_operator.MacroPayData(w, source, target));
    if (m_bPayslipInput)
        m_nResult = FoldResult(m_nResult, m_operator.MacroPayslip(w, source, target));
    if (m_bBonusInput)
        m_nResult = FoldResult(m_nResult, m_operator.MacroBonusSlip(w, source, target));
    if (m_bWithholding)
        m_nResult = FoldResult(m_nResult, m_operator.MacroWithholdingSlip(w, source, target));
    m_nResult = FoldResult(m_nResult, m_operator.MacroTaxRecalc(w, source, target));
}
