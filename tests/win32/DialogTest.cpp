#include "Dialog_win.h"
#include "FileDialog_win.h"
#include "FwTestRes.h"
#include "MsgBoxAnswerer.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// The test dialog with hooks: what its handlers do is up to each test.
class CTestDlg : public CDialog {
public:
    CTestDlg() : CDialog(IDD_FW_TEST) {}
    std::function<void()> onInit;
    std::function<void()> onCheckClicked;
    std::function<bool(UINT, LRESULT*)> onMessage;
    int m_bCheck = 0;
    int m_nRadio = 0;
    CString m_strEdit;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (onInit)
            onInit();
        return TRUE;
    }
    BOOL OnCommand(UINT nID, UINT nCode) override {
        if (nID == IDC_TEST_CHECK && onCheckClicked) {
            onCheckClicked();
            return TRUE;
        }
        return CDialog::OnCommand(nID, nCode);
    }
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        if (onMessage && onMessage(msg, pResult))
            return true;
        return CDialog::OnMessage(msg, wParam, lParam, pResult);
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Check(pDX, IDC_TEST_CHECK, m_bCheck);
        DDX_Radio(pDX, IDC_TEST_RADIO1, m_nRadio);
        DDX_Text(pDX, IDC_TEST_EDIT, m_strEdit);
        DDV_MaxChars(pDX, m_strEdit, 4);
    }
};

[[noreturn]] void ThrowFileError() {
    throw CFileException(CFileException::diskFull, ERROR_DISK_FULL, "Q:\\a.iko");
}

int CheckOf(const CDialog& dlg, int id) {
    return static_cast<int>(::SendMessageA(dlg.GetDlgItem(id), BM_GETCHECK, 0, 0));
}

} // namespace

TEST(CDialog, DataExchangeMovesChecksRadiosAndLimitedTexts) {
    CTestDlg dlg;
    dlg.m_bCheck = 1;
    dlg.m_nRadio = 2;
    dlg.m_strEdit = "2024";
    ASSERT_TRUE(dlg.Create(IDD_FW_TEST));
    EXPECT_EQ(BST_CHECKED, CheckOf(dlg, IDC_TEST_CHECK));
    EXPECT_EQ(BST_UNCHECKED, CheckOf(dlg, IDC_TEST_RADIO1));
    EXPECT_EQ(BST_CHECKED, CheckOf(dlg, IDC_TEST_RADIO3));
    EXPECT_EQ(4, ::SendMessageA(dlg.GetDlgItem(IDC_TEST_EDIT), EM_GETLIMITTEXT, 0, 0));

    ::SendMessageA(dlg.GetDlgItem(IDC_TEST_RADIO3), BM_SETCHECK, BST_UNCHECKED, 0);
    ::SendMessageA(dlg.GetDlgItem(IDC_TEST_RADIO2), BM_SETCHECK, BST_CHECKED, 0);
    ::SendMessageA(dlg.GetDlgItem(IDC_TEST_AFTER), BM_SETCHECK, BST_CHECKED, 0); // another group
    ::SendMessageA(dlg.GetDlgItem(IDC_TEST_CHECK), BM_SETCHECK, BST_UNCHECKED, 0);
    ::SetDlgItemTextA(dlg.m_hWnd, IDC_TEST_EDIT, "");
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(0, dlg.m_bCheck);
    EXPECT_EQ(1, dlg.m_nRadio);
    EXPECT_EQ("", dlg.m_strEdit);

    ::SendMessageA(dlg.GetDlgItem(IDC_TEST_RADIO2), BM_SETCHECK, BST_UNCHECKED, 0);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(-1, dlg.m_nRadio); // none of its group is checked
    dlg.DestroyWindow();
}

// WM_SETTEXT passes the edit's limit; the transfer then refuses the text.
TEST(CDialog, TooLongTextFailsTheTransferWithAMessage) {
    MsgBoxAnswerer boxes;
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_FW_TEST));
    ::SetDlgItemTextA(dlg.m_hWnd, IDC_TEST_EDIT, "20245");
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("4 文字以内で入力してください。", boxes.Boxes()[0].text);
    dlg.DestroyWindow();
}

TEST(CDialog, ExceptionInAModalHandlerEndsItAndLeavesDoModal) {
    CTestDlg dlg;
    dlg.onInit = [] { ThrowFileError(); };
    try {
        dlg.DoModal();
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(CFileException::diskFull, e.m_cause);
    }
    EXPECT_FALSE(dlg.IsWindow());
}

TEST(CDialog, ExceptionWhileAModelessDialogIsCreatedLeavesCreate) {
    CTestDlg dlg;
    dlg.onInit = [] { ThrowFileError(); };
    EXPECT_THROW(dlg.Create(IDD_FW_TEST), CFileException);
}

// A modeless dialog's handler runs long after Create returned: its
// exception is reported there and then, and no later dialog inherits it.
TEST(CDialog, ExceptionInALiveModelessDialogIsReportedWhereItHappened) {
    MsgBoxAnswerer boxes;
    CTestDlg modeless;
    modeless.onCheckClicked = [] { ThrowFileError(); };
    ASSERT_TRUE(modeless.Create(IDD_FW_TEST));
    ::SendMessageA(modeless.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_TEST_CHECK, BN_CLICKED), 0);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("Q:\\a.iko の書き込み中にディスクがいっぱいになりました。", boxes.Boxes()[0].text);

    CTestDlg unrelated;
    unrelated.onInit = [&unrelated] { unrelated.EndDialog(IDCANCEL); };
    EXPECT_EQ(IDCANCEL, unrelated.DoModal());
    modeless.DestroyWindow();
}

// Most results travel in DWLP_MSGRESULT; a few messages, such as the drag
// icon query and the colour queries, take the procedure's return value.
TEST(CDialog, HandlerResultReachesTheSenderForEitherKindOfMessage) {
    const HICON icon = ::LoadIcon(nullptr, IDI_ASTERISK);
    const HBRUSH brush = ::GetSysColorBrush(COLOR_WINDOW);
    CTestDlg dlg;
    dlg.onMessage = [&](UINT msg, LRESULT* pResult) {
        switch (msg) {
        case WM_QUERYDRAGICON:
            *pResult = reinterpret_cast<LRESULT>(icon);
            return true;
        case WM_CTLCOLORSTATIC:
            *pResult = reinterpret_cast<LRESULT>(brush);
            return true;
        case WM_APP:
            *pResult = 0x1234;
            return true;
        default:
            return false;
        }
    };
    ASSERT_TRUE(dlg.Create(IDD_FW_TEST));
    EXPECT_EQ(reinterpret_cast<LRESULT>(icon), dlg.SendMessage(WM_QUERYDRAGICON));
    EXPECT_EQ(reinterpret_cast<LRESULT>(brush),
              dlg.SendMessage(WM_CTLCOLORSTATIC, 0,
                              reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_TEST_CHECK))));
    EXPECT_EQ(0x1234, dlg.SendMessage(WM_APP));
    dlg.DestroyWindow();
}

TEST(CFileDialog, FilterBarsBecomeTerminatorsButTrailBytesStay) {
    // "ポ" is 83 7C: its trail byte is "|".
    EXPECT_EQ(std::string("ポ(*.iko)\0*.iko\0\0", 17), FilterWithTerminators("ポ(*.iko)|*.iko||"));
    EXPECT_EQ(std::string("a\0b\0", 4), FilterWithTerminators("a|b|"));
}
