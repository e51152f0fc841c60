#include "FormatChangeDlg_win.h"

#include "DialogInputLock_win.h"
#include "DornEnv.h"
#include "FormatChangeDlgRes.h"
#include "RunOutcome.h"
#include "WinApp_win.h"

CFormatChangeDlg::CFormatChangeDlg(const CString& workBook, CWnd* pParent)
    : CWorkDialog(IDD_FORMAT_CHANGE, pParent), m_strWorkBook(workBook) {}

void CFormatChangeDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_FORMAT_QUESTION, m_strConfirmText);
}

// The question names the format the books will have.  Its line break is the
// edit control's "\r\n".
BOOL CFormatChangeDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CDornEnv env;
    if (env.m_strExcelExt == ".xls")
        m_strConfirmText = "使用するExcelﾌﾞｯｸの形式をExcel2007/2010形式(.xlsm)に変更します。\r\n"
                           "よろしいですか？";
    else
        m_strConfirmText = "使用するExcelﾌﾞｯｸの形式をExcel97-2003形式(.xls)に変更します。\r\n"
                           "よろしいですか？";
    UpdateData(FALSE);
    return TRUE;
}

// "はい": every book changes format together with the book list and the
// marker, or none does (the run has told why).  The dialog takes no input
// until the last box is gone, and hides before the completion is told.
void CFormatChangeDlg::OnOK() {
    const CDialogInputLock lock(*this);
    const int result = m_operator.SwitchAllBooksFormat(m_strWorkBook);
    ShowWindow(SW_HIDE);
    if (result == 1)
        ::MessageBoxA(nullptr, "ﾌｧｲﾙ形式の変換が完了しました。", "Excel拡張子の変更",
                      MB_OK | MB_ICONINFORMATION);
    else
        CRunOutcome::NoteFailed(); // told by the run, which put every book back
    EndDialog(IDOK);
}
