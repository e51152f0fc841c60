#pragma once
#include "ComboBox_win.h"
#include "WorkDialog_win.h"
#include "ExcelFileMap.h"

// Dialog 130: the user picks the book whose attendance workbook is
// initialised, and whether its data are kept.
class CAttendInitDlg : public CWorkDialog {
public:
    explicit CAttendInitDlg(CExcelFileMap* pBookMap, CWnd* pParent = nullptr);

    CExcelFileMap* m_pBookMap; // the operator's, not owned
    CString m_strSelected;     // "勤怠_" + the chosen book's file name; empty until confirmed
    bool m_bSelectedDamaged = false; // the chosen record names no workbook (IsUsableRecord)
    CString m_strSelectedKey;        // the chosen record's key
    CComboBox m_cboBooks;
    int m_nInitMode = 0; // 0: keep the attendance data, 1: initial state

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void FillBookCombo();
    CString MakeComboText(const CString& key, const CString& fileName);
    CString AttendanceBookPath(const CString& name);
    static bool IsUsableRecord(const CString& key, const CString& fileName);
};
