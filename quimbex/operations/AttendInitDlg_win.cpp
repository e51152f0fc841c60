#include "AttendInitDlg_win.h"

#include "AttendInitDlgRes.h"
#include "BookFiles.h"
#include "BookNames.h"
#include "DialogInputLock_win.h"
#include "DornEnv.h"
#include "ProductPaths.h"
#include "WinApp_win.h"

namespace {
const char kAttendancePrefix[] = "勤怠_";
const char kNotCreated[] = "(未作成)";

// The item data holds the book's m_nOrder, sign-extended as an int is.
int32_t ItemOrder(const CComboBox& combo, int index) {
    return static_cast<int32_t>(static_cast<intptr_t>(combo.GetItemData(index)));
}

} // namespace

CAttendInitDlg::CAttendInitDlg(CExcelFileMap* pBookMap, CWnd* pParent)
    : CWorkDialog(IDD_ATTEND_INIT, pParent), m_pBookMap(pBookMap) {}

void CAttendInitDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_ATTEND_BOOKS, m_cboBooks);
    DDX_Radio(pDX, IDC_ATTEND_KEEP_DATA, m_nInitMode);
}

BOOL CAttendInitDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    FillBookCombo();
    return TRUE;
}

// The list shows the books in ascending m_nOrder, each item carrying it;
// books of equal order keep the map's order.  Without any book only Cancel
// is left.
void CAttendInitDlg::FillBookCombo() {
    for (POSITION pos = m_pBookMap->m_mapBooks.GetStartPosition(); pos;) {
        CString key;
        CDataForExMap book;
        m_pBookMap->m_mapBooks.GetNextAssoc(pos, key, book);
        int at = 0;
        const int count = m_cboBooks.GetCount();
        while (at < count && ItemOrder(m_cboBooks, at) <= book.m_nOrder)
            ++at;
        const int index =
            m_cboBooks.InsertString(at == count ? -1 : at, MakeComboText(key, book.m_strFileName));
        m_cboBooks.SetItemData(index, static_cast<DWORD_PTR>(static_cast<intptr_t>(book.m_nOrder)));
    }
    if (m_cboBooks.GetCount() > 0)
        m_cboBooks.SetCurSel(0);
    else
        ::EnableWindow(GetDlgItem(IDOK), FALSE);
}

// The text names the book by its key; whether the workbook exists is asked
// of its file name.  A damaged record is not called uncreated: its name may
// open another workbook or none, and choosing it is refused as the damaged
// list it is, not as a book to be made first.
CString CAttendInitDlg::MakeComboText(const CString& key, const CString& fileName) {
    CString text = kAttendancePrefix + key;
    if (IsUsableRecord(key, fileName) &&
        !BookFileExists(AttendanceBookPath(kAttendancePrefix + fileName)))
        text += kNotCreated;
    return text;
}

// The record names its workbooks in the Excel folder as the system opens
// them, and its key makes the backup names there, as every other command
// of one book asks of it.
bool CAttendInitDlg::IsUsableRecord(const CString& key, const CString& fileName) {
    CDornEnv env;
    const CString excelDir = CProductPaths(env).ExcelFolder() + "\\";
    return IsBookKey(excelDir, key) && NamesBookInFolder(excelDir, fileName);
}

CString CAttendInitDlg::AttendanceBookPath(const CString& name) {
    CDornEnv env;
    return AttendanceBookPathIn(env.m_strDataDir, env.m_strExcelExt, name);
}

// A book without an attendance workbook cannot be initialised: the dialog
// stays open, taking no input until the box has gone.  Otherwise the key
// behind the item names the workbook.
void CAttendInitDlg::OnOK() {
    const CDialogInputLock lock(*this);
    const int sel = m_cboBooks.GetCurSel();
    const CString text = sel >= 0 ? m_cboBooks.GetLBText(sel) : CString();
    if (text.Find(kNotCreated) >= 0) {
        AfxMessageBox("未作成の勤怠ブックは初期化できません。");
        return;
    }
    const CString key = text.Mid(CString(kAttendancePrefix).GetLength());
    CDataForExMap book;
    if (m_pBookMap->m_mapBooks.Lookup(key, book)) {
        m_strSelected = kAttendancePrefix + book.m_strFileName;
        m_strSelectedKey = key;
        m_bSelectedDamaged = !IsUsableRecord(key, book.m_strFileName);
    }
    CDialog::OnOK();
}
