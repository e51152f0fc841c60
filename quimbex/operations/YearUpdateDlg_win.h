#pragma once
#include "BookOperator_win.h"
#include "Button_win.h"
#include "WorkDialog_win.h"
#include "ListBox_win.h"

class CDialogAtWork;
class CRunCheck;

// The year-update dialog (command 7): the user picks one book from the
// list, or ticks the all-books box, and may change the target year.
class CYearUpdateDlg : public CWorkDialog {
public:
    explicit CYearUpdateDlg(const CString& workBook, CWnd* pParent = nullptr);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnEnabledCommand(UINT nID, UINT nCode) override;
    void OnOK() override;

    void FillBookList();
    void OnAllBooks();
    int UpdateOneBook();
    int CheckProtection();

    CString m_strBookKey;
    CString m_strBookFile;
    CString m_strDoneList;   // "\n" + backup file name per updated book
    CString m_strFailedList; // "\n" + book file name per failed book
    CBookOperator m_operator;
    CString m_strWorkBook;
    CString m_strBackupFile;
    CButton m_chkAllBooks;
    CListBox m_bookList;
    CString m_strYear;
    int m_bAllBooks = 0;
    int m_nResult = 0;
    bool m_bBooksChecked = false; // the all-books run checked every book before it began

private:
    bool LookUpBook(const CString& key);
    bool NamesFit(const CRunCheck& check) const;
    void UpdateSelectedBook(CDialogAtWork& work);
    void UpdateAllBooks(CDialogAtWork& work);
    bool CheckAllBooks(CDialogAtWork& work);
    void RunYearMacros();
    CString AllBooksSummary() const;
    void ShowResult(const CString& text);
};
