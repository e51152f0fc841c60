#pragma once
#include "BookOperator_win.h"
#include "WorkDialog_win.h"

// Dialog 131: asks before every workbook changes to the other file format,
// and on "はい" carries the change out with an operation context of its own.
class CFormatChangeDlg : public CWorkDialog {
public:
    explicit CFormatChangeDlg(const CString& workBook, CWnd* pParent = nullptr);

    CBookOperator m_operator;
    CString m_strWorkBook; // the converter workbook of the target format
    CString m_strConfirmText;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
};
