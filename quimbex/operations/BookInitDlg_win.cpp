#include "BookInitDlg_win.h"

#include "BookFiles.h"
#include "BookInitDlgRes.h"
#include "BookListOrder_win.h"
#include "BookNames.h"
#include "DialogAtWork_win.h"
#include "DornEnv.h"
#include "ProductPaths.h"
#include "RunCheck.h"
#include "RunOutcome.h"
#include "WinApp_win.h"

CBookInitDlg::CBookInitDlg(const CString& workBook, CWnd* pParent)
    : CWorkDialog(IDD_BOOK_INIT, pParent), m_strWorkBook(workBook) {}

void CBookInitDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_INIT_WITHHOLDING, m_chkWithholding);
    DDX_Control(pDX, IDC_INIT_BONUS_INPUT, m_chkBonusInput);
    DDX_Control(pDX, IDC_INIT_PAYSLIP_INPUT, m_chkPayslipInput);
    DDX_Control(pDX, IDC_INIT_BOOK, m_bookCombo);
    DDX_Control(pDX, IDC_INIT_EMPLOYEE_LIST, m_chkEmployeeList);
    DDX_Control(pDX, IDC_INIT_WAGE_LEDGER, m_chkWageLedger);
    DDX_Check(pDX, IDC_INIT_WAGE_LEDGER, m_bWageLedger);
    DDX_Check(pDX, IDC_INIT_EMPLOYEE_LIST, m_bEmployeeList);
    DDX_Radio(pDX, IDC_INIT_KEEP_SETTINGS, m_nInitMode);
    DDX_Check(pDX, IDC_INIT_PAYSLIP_INPUT, m_bPayslipInput);
    DDX_Check(pDX, IDC_INIT_BONUS_INPUT, m_bBonusInput);
    DDX_Check(pDX, IDC_INIT_WITHHOLDING, m_bWithholding);
}

BOOL CBookInitDlg::OnEnabledCommand(UINT nID, UINT nCode) {
    if (nCode == BN_CLICKED && nID == IDC_INIT_KEEP_SETTINGS) {
        OnKeepSettings();
        return TRUE;
    }
    if (nCode == BN_CLICKED && nID == IDC_INIT_INITIAL_STATE) {
        OnInitialState();
        return TRUE;
    }
    return CWorkDialog::OnEnabledCommand(nID, nCode);
}

// The base transfer shows the starting values: keep settings, every sheet
// box ticked and enabled.
BOOL CBookInitDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (!CRunCheck(m_operator, m_strWorkBook, "初期化処理を中断します")
             .ReadsList("ブックの初期化を実行できません。", false)) {
        CRunOutcome::NoteFailed();
        EndDialog(IDCANCEL);
        return TRUE;
    }
    FillBookCombo();
    return TRUE;
}

void CBookInitDlg::FillBookCombo() {
    for (POSITION pos = m_operator.m_bookMap.m_mapBooks.GetStartPosition(); pos;) {
        CString key;
        CDataForExMap book;
        m_operator.m_bookMap.m_mapBooks.GetNextAssoc(pos, key, book);
        InsertBookByOrder(m_bookCombo, key, book.m_nOrder);
    }
    if (m_bookCombo.GetCount() == 0) {
        AfxMessageBox("ブックの初期化を実行することができません。［ブックの管理］メニューより【復"
                      "元】を試みてください。");
        CRunOutcome::NoteFailed();
        EndDialog(IDCANCEL);
        return;
    }
    m_bookCombo.SetCurSel(0);
}

// The sheet boxes only matter when the settings are kept; their ticks stay
// as they are in both modes.
void CBookInitDlg::OnKeepSettings() {
    EnableSheetBoxes(TRUE);
}

void CBookInitDlg::OnInitialState() {
    EnableSheetBoxes(FALSE);
}

void CBookInitDlg::EnableSheetBoxes(BOOL bEnable) {
    for (CButton* box : {&m_chkWageLedger, &m_chkEmployeeList, &m_chkPayslipInput, &m_chkBonusInput,
                         &m_chkWithholding})
        box->EnableWindow(bEnable);
}

// Every outcome but a missing choice ends the dialog: IDOK after the
// completion message, IDCANCEL after a failure, whose cause has been told
// where it was found.  The dialog takes no input until the last box is gone.
void CBookInitDlg::OnOK() {
    UpdateData(TRUE); // nothing in this exchange can be refused
    CDialogAtWork work(*this);
    if (!ChooseBook(work))
        return;
    CDornEnv env;
    const CString bookPath = CProductPaths(env).ExcelFile(m_strBookFile);
    const bool existed = BookFileExists(bookPath);
    m_nResult = InitOneBook(bookPath, existed ? 1 : 0);
    work.EndWait();
    if (m_nResult == 0) {
        CRunOutcome::NoteFailed();
        EndDialog(IDCANCEL);
        return;
    }
    ShowCompletion(existed);
    EndDialog(IDOK);
}

// The combo text is the book's key.  False when the run cannot start: no
// choice (the dialog stays), or a name the map does not hold, that could
// not start a backup's name, or whose record names no workbook of the Excel
// folder as it stands (the list is damaged); names too long for the folder,
// or a workbook of the book that is another book's (it ends).
bool CBookInitDlg::ChooseBook(CDialogAtWork& work) {
    const int selected = m_bookCombo.GetCurSel();
    if (selected < 0) {
        work.EndWait();
        AfxMessageBox("初期化するブックを選択してください");
        return false;
    }
    m_strBookKey = m_bookCombo.GetLBText(selected);
    CDataForExMap book;
    const bool found = m_operator.m_bookMap.m_mapBooks.Lookup(m_strBookKey, book);
    m_strBookFile = book.m_strFileName;
    CDornEnv env;
    const CString excelDir = CProductPaths(env).ExcelFolder() + "\\";
    if (!found || !IsBackupKeyText(m_strBookKey) ||
        !NamesWorkbookInFolder(excelDir, m_strBookFile)) {
        work.EndWait();
        AfxMessageBox("ブックの初期化を実行できません。ブック管理データファイルが壊れています。");
        CRunOutcome::NoteFailed();
        EndDialog(IDCANCEL);
        return false;
    }
    const CRunCheck check(m_operator, m_strWorkBook, "初期化処理を中断します");
    if (!check.IsBackupKey(m_strBookKey) || !check.IsBookName(m_strBookFile) ||
        !check.AreDistinctFromEveryBook({m_strBookKey})) {
        work.EndWait();
        CRunOutcome::NoteFailed();
        EndDialog(IDCANCEL);
        return false;
    }
    return true;
}

void CBookInitDlg::ShowCompletion(bool existed) {
    CString text = "ブックの初期化が完了しました。";
    if (existed) {
        CDornEnv env;
        text.Format("ブックの初期化が完了しました。\n以前の給与計算ブックは 「%s」 "
                    "として保存されています｡\n保存場所は %sです。",
                    m_strBackupFile.GetString(), CProductPaths(env).ExcelFolder().GetString());
    }
    ::MessageBoxA(m_hWnd, text, "ブックの初期化", MB_OK | MB_ICONINFORMATION);
}
