#pragma once
#include "BookOperator_win.h"
#include "Button_win.h"
#include "ComboBox_win.h"
#include "WorkDialog_win.h"

class CDialogAtWork;

// The payroll-book initialisation dialog (command 8): the user picks a book
// and either keeps its settings (with the ticked sheets' data) or returns
// it to the template's initial state.
class CBookInitDlg : public CWorkDialog {
public:
    explicit CBookInitDlg(const CString& workBook, CWnd* pParent = nullptr);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnEnabledCommand(UINT nID, UINT nCode) override;
    void OnOK() override;

    void FillBookCombo();
    void OnKeepSettings();
    void OnInitialState();
    int InitOneBook(const CString& bookPath, int exists);
    int CheckProtection();

    CString m_strBookKey;
    CString m_strBookFile;
    CBookOperator m_operator;
    CString m_strWorkBook;
    CString m_strBackupFile;
    CComboBox m_bookCombo;
    CButton m_chkEmployeeList;
    CButton m_chkWageLedger;
    CButton m_chkPayslipInput;
    CButton m_chkBonusInput;
    CButton m_chkWithholding;
    int m_bWageLedger = 1;
    int m_bEmployeeList = 1;
    int m_bPayslipInput = 1;
    int m_bBonusInput = 1;
    int m_bWithholding = 1;
    int m_nInitMode = 0; // 0 keep settings, 1 initial state
    int m_nResult = 0;

private:
    bool ChooseBook(CDialogAtWork& work);
    void EnableSheetBoxes(BOOL bEnable);
    bool CanKeepSettings(bool exists);
    void RunKeepSettingsMacros();
    void ShowCompletion(bool existed);
};
