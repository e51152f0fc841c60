#include "YearUpdateDlg_win.h"

#include "BookFiles.h"
#include "BookListOrder_win.h"
#include "BookNames.h"
#include "DialogAtWork_win.h"
#include "DornEnv.h"
#include "ProductPaths.h"
#include "RunCheck.h"
#include "RunOutcome.h"
#include "ScopedHandle_win.h"
#include "Time.h"
#include "WinApp_win.h"
#include "YearUpdateDlgRes.h"

#include <algorithm>
#include <cstring>

namespace {

const char kCaption[] = "年度更新";
const char kBrokenMap[] = "年度更新を実行できません。ブック管理データファイルが壊れています。";
const char kStopLine[] = "年度更新処理を中断します";

// A device context of a control with the control's own font selected: the
// default font of a fresh context is not the one the list box draws with.
class CControlTextMeasure {
public:
    explicit CControlTextMeasure(HWND hCtl)
        : m_dc(hCtl),
          m_font(m_dc.Get(), reinterpret_cast<HFONT>(::SendMessageA(hCtl, WM_GETFONT, 0, 0))) {}

    // The text as the control shows it: up to its first NUL byte.
    int Width(const char* text) const {
        SIZE size{};
        if (m_dc)
            ::GetTextExtentPoint32A(m_dc.Get(), text, static_cast<int>(std::strlen(text)), &size);
        return size.cx;
    }

private:
    CClientDC m_dc;
    CObjectSelection m_font;
};

} // namespace

CYearUpdateDlg::CYearUpdateDlg(const CString& workBook, CWnd* pParent)
    : CWorkDialog(IDD_YEAR_UPDATE, pParent), m_strWorkBook(workBook) {}

void CYearUpdateDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_YEAR_ALL_BOOKS, m_chkAllBooks);
    DDX_Control(pDX, IDC_YEAR_BOOK_LIST, m_bookList);
    DDX_Text(pDX, IDC_YEAR_TARGET, m_strYear);
    DDV_MaxChars(pDX, m_strYear, 4);
    DDX_Check(pDX, IDC_YEAR_ALL_BOOKS, m_bAllBooks);
}

BOOL CYearUpdateDlg::OnEnabledCommand(UINT nID, UINT nCode) {
    if (nID == IDC_YEAR_ALL_BOOKS && nCode == BN_CLICKED) {
        OnAllBooks();
        return TRUE;
    }
    return CWorkDialog::OnEnabledCommand(nID, nCode);
}

// The target year starts as this calendar year.
BOOL CYearUpdateDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (!CRunCheck(m_operator, m_strWorkBook, kStopLine)
             .ReadsList("年度更新を実行できません。", false)) {
        CRunOutcome::NoteFailed();
        EndDialog(IDCANCEL);
        return TRUE;
    }
    FillBookList();
    m_strYear = CTime::GetCurrentTime().Format("%Y");
    UpdateData(FALSE);
    return TRUE;
}

// The horizontal extent lets the list scroll to the end of its widest name.
void CYearUpdateDlg::FillBookList() {
    m_bookList.ResetContent();
    const CControlTextMeasure measure(m_bookList.GetSafeHwnd());
    int widest = 0;
    for (POSITION pos = m_operator.m_bookMap.m_mapBooks.GetStartPosition(); pos;) {
        CString key;
        CDataForExMap book;
        m_operator.m_bookMap.m_mapBooks.GetNextAssoc(pos, key, book);
        InsertBookByOrder(m_bookList, key, book.m_nOrder);
        widest = std::max(widest, measure.Width(key));
    }
    if (m_bookList.GetCount() == 0) {
        AfxMessageBox("年度更新を実行することができません。［ブックの管理］メニューより【復元】を試"
                      "みてください。");
        CRunOutcome::NoteFailed();
        EndDialog(IDCANCEL);
        return;
    }
    m_chkAllBooks.EnableWindow(m_bookList.GetCount() > 1);
    m_bookList.SetCurSel(0);
    m_bookList.SetHorizontalExtent(widest);
}

void CYearUpdateDlg::OnAllBooks() {
    UpdateData(TRUE);
    if (m_bAllBooks == 1) {
        m_bookList.SetCurSel(-1);
        m_bookList.EnableWindow(FALSE);
    } else {
        m_bookList.SetCurSel(0);
        m_bookList.EnableWindow(TRUE);
    }
}

// A year that the exchange refused has been reported there; the update
// does not go on with a text the user was just told is wrong.  The dialog
// takes no input from the click on until the run's last box has closed.
void CYearUpdateDlg::OnOK() {
    const CDialogInputLock lock(*this);
    if (!UpdateData(TRUE))
        return;
    CDialogAtWork work(*this);
    m_nResult = 1;
    if (m_bAllBooks == 0)
        UpdateSelectedBook(work);
    else
        UpdateAllBooks(work);
}

// The list text is the book's key; false when the map does not hold it,
// the key could not start a backup's name, or its record names no workbook
// of the Excel folder as the system opens it (a folder, a "/" or a ".."
// would lead elsewhere, a short name or a trailing dot opens another
// workbook, a name without a workbook's extension is none: the list is
// damaged).  The record's name is taken as it stands: its file-name part
// alone would be a workbook the record does not name.
bool CYearUpdateDlg::LookUpBook(const CString& key) {
    m_strBookKey = key;
    CDataForExMap book;
    CDornEnv env;
    const CString excelDir = CProductPaths(env).ExcelFolder() + "\\";
    if (!m_operator.m_bookMap.m_mapBooks.Lookup(m_strBookKey, book) || !IsBackupKeyText(key))
        return false;
    m_strBookFile = book.m_strFileName;
    return NamesWorkbookInFolder(excelDir, m_strBookFile);
}

// A looked-up book whose backups' or attendance workbook's names would be
// too long in the Excel folder (a deep data folder) is told as that.
bool CYearUpdateDlg::NamesFit(const CRunCheck& check) const {
    return check.IsBackupKey(m_strBookKey) && check.IsBookName(m_strBookFile);
}

// A failed book ends the dialog without a further message: its cause has
// been told where it was found.
void CYearUpdateDlg::UpdateSelectedBook(CDialogAtWork& work) {
    const int selected = m_bookList.GetCurSel();
    if (selected < 0) {
        work.EndWait();
        AfxMessageBox("更新するブックを選択してください");
        return;
    }
    const CString key = m_bookList.GetText(selected);
    if (!LookUpBook(key)) {
        work.EndWait();
        AfxMessageBox(kBrokenMap);
        CRunOutcome::NoteFailed();
        EndDialog(IDCANCEL);
        return;
    }
    const CRunCheck check(m_operator, m_strWorkBook, kStopLine);
    if (!NamesFit(check) || !check.AreDistinctFromEveryBook({key})) {
        work.EndWait();
        CRunOutcome::NoteFailed();
        EndDialog(IDCANCEL);
        return;
    }
    m_nResult = UpdateOneBook();
    work.EndWait();
    if (m_nResult == 0) {
        CRunOutcome::NoteFailed();
        EndDialog(IDCANCEL);
        return;
    }
    CRunOutcome::NoteDone();
    CDornEnv env;
    CString text;
    text.Format(
        "処理が完了しました。\n以前の給与計算ブックは %s として保存されています｡\n保存場所は "
        "%sです。",
        m_strBackupFile.GetString(), CProductPaths(env).ExcelFolder().GetString());
    ShowResult(text);
}

// Every book is checked before the first is touched; a run that cannot
// begin changes nothing and leaves the dialog open (a run that fails unless
// the user tries again).  Then every book is tried, also after a failure.
void CYearUpdateDlg::UpdateAllBooks(CDialogAtWork& work) {
    if (!CheckAllBooks(work)) {
        CRunOutcome::NoteFailed();
        return;
    }
    m_bBooksChecked = true;
    for (int i = 0; i < m_bookList.GetCount(); ++i) {
        LookUpBook(m_bookList.GetText(i));
        m_nResult = UpdateOneBook();
        if (m_nResult == 1)
            m_strDoneList += "\n" + m_strBackupFile;
        else
            m_strFailedList += "\n" + m_strBookFile;
    }
    work.EndWait();
    if (m_strFailedList.IsEmpty())
        CRunOutcome::NoteDone();
    else
        CRunOutcome::NoteFailed();
    ShowResult(AllBooksSummary());
}

// A damaged record is told as the damaged list it is, names too long for
// the Excel folder as that; then the template, each book's file, that no
// two of the books' workbooks (payroll and attendance) are one, and last
// each book's protection (Excel).
bool CYearUpdateDlg::CheckAllBooks(CDialogAtWork& work) {
    std::vector<CString> keys;
    for (int i = 0; i < m_bookList.GetCount(); ++i) {
        keys.push_back(m_bookList.GetText(i));
        if (!LookUpBook(keys.back())) {
            work.EndWait();
            AfxMessageBox(kBrokenMap);
            return false;
        }
    }
    CDornEnv env;
    const CProductPaths paths(env);
    const CRunCheck check(m_operator, m_strWorkBook, kStopLine);
    for (const CString& key : keys) {
        LookUpBook(key);
        if (!NamesFit(check))
            return false;
    }
    if (!check.CanReadTemplate(paths.PayrollTemplate(env.m_strExcelExt)))
        return false;
    for (const CString& key : keys) {
        LookUpBook(key);
        const CString path = paths.ExcelFile(m_strBookFile);
        if (!check.Exists(path, m_strBookFile) || !check.CanChange(path, m_strBookFile, false))
            return false;
    }
    if (!check.AreDistinctFromEveryBook(keys))
        return false;
    for (int i = 0; i < m_bookList.GetCount(); ++i) {
        LookUpBook(m_bookList.GetText(i));
        if (!check.IsUnprotected(m_strBookFile))
            return false;
    }
    return true;
}

// The backups' folder as every path of the Excel folder is built, whether
// the data directory ends in a separator or not.
CString CYearUpdateDlg::AllBooksSummary() const {
    CDornEnv env;
    const CString excelFolder = CProductPaths(env).ExcelFolder();
    CString text;
    if (m_strFailedList.IsEmpty())
        text.Format("処理が完了しました。\n以前の給与計算ブックは %s \nとして保存されています｡\n保"
                    "存場所は %sです。",
                    m_strDoneList.GetString(), excelFolder.GetString());
    else if (m_strDoneList.IsEmpty())
        text.Format("年度更新処理に失敗しました。\n %s ", m_strFailedList.GetString());
    else
        text.Format("いくつかのブックは年度更新処理に失敗しました。\n %s "
                    "\n\n年度更新処理が完了したブックについては、\n以前の給与計算ブックを \n %s "
                    "\n\nとして保存しています｡\n保存場所は %sです。",
                    m_strFailedList.GetString(), m_strDoneList.GetString(),
                    excelFolder.GetString());
    return text;
}

// The result comes from the dialog itself; the dialog ends with IDOK after
// it, also when every book of an all-books run failed.
void CYearUpdateDlg::ShowResult(const CString& text) {
    ::MessageBoxA(m_hWnd, text, kCaption, MB_OK | MB_ICONINFORMATION);
    EndDialog(IDOK);
}
