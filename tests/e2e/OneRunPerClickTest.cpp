// A user clicks a command's button again while its run works, and while
// one of the run's message boxes is up, with the mouse and only where a
// click can land (on a dialog that takes input).  Each dialog runs its
// command once per click: the dialog takes no input until the run's last
// box has gone, and a click that came before it stopped taking input is
// dropped.
#include "AttendInitDlgRes.h"
#include "BookDialogFixture.h"
#include "BookInitDlgRes.h"
#include "DialogChecks.h"
#include "Error.h"
#include "MsgBox.h"
#include "Poll.h"
#include "TempDir.h"
#include "YearUpdateDlgRes.h"

#include <windows.h>

#include <map>
#include <string>

namespace {

const char kFormatCaption[] = "Excelﾌﾞｯｸの形式変更";
const char kYearCaption[] = "年度更新";
const char kInitCaption[] = "ブックの初期化";

class OneRunPerClick : public BookDialogFixture {
protected:
    // The boxes and the wait dialog show in the middle of the screen: in
    // its top left corner the dialog is clear of them, and a click aimed at
    // it lands on it whenever it takes one.
    void MoveDialogAside() const {
        ::SetWindowPos(Dialog().Handle(), nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(uidriver::PollUntil(
            [this] {
                RECT rect;
                return ::GetWindowRect(Dialog().Handle(), &rect) && rect.left == 0 && rect.top == 0;
            },
            10000));
    }

    // The dialog could take a click now: it shows and is enabled.
    bool TakesClicks(int button) const {
        const HWND dialog = Dialog().Handle();
        return ::IsWindow(dialog) && ::IsWindowVisible(dialog) && ::IsWindowEnabled(dialog) &&
               Dialog().IsEnabled(button);
    }

    // While the run works, clicks `button` whenever the dialog could take
    // the click, and again before answering each of the run's next `count`
    // boxes.  The clicks made while a box was up are counted.
    std::vector<Box> KeepClicking(int button, size_t count) {
        const uidriver::WindowFinder windows = Program().Windows();
        uidriver::WindowQuery boxQuery("#32770");
        boxQuery.accept = [](HWND hwnd) { return uidriver::MsgBox::IsMsgBox(hwnd); };
        std::vector<Box> boxes;
        const uidriver::Deadline deadline(120000);
        while (boxes.size() < count && Program().IsRunning() && !deadline.Passed()) {
            ClickIfTaken(button);
            if (windows.Find(boxQuery)) {
                if (ClickIfTaken(button))
                    ++m_nClicksWithBoxUp;
                boxes.push_back(NextBox());
            }
            ::Sleep(20);
        }
        EXPECT_EQ(count, boxes.size()) << windows.Describe();
        return boxes;
    }
    // The first click of the run, then the others.
    std::vector<Box> ClickAndKeepClicking(int button, size_t count) {
        Dialog().MouseClick(button);
        return KeepClicking(button, count);
    }

    // The dialog may stop taking input between the look and the click: a
    // user's click would then go nowhere too.
    bool ClickIfTaken(int button) const {
        if (!TakesClicks(button))
            return false;
        try {
            Dialog().MouseClick(button);
        } catch (const uidriver::Error&) {
            return false;
        }
        return true;
    }

    int m_nClicksWithBoxUp = 0;
};

// The files of the Excel folder, without the time-stamped safety folders.
std::map<std::string, std::string> WithoutSafetyFolders(std::map<std::string, std::string> files) {
    for (auto it = files.begin(); it != files.end();) {
        const std::string& name = it->first;
        const bool inSafetyFolder =
            name.size() > 15 && name[14] == '\\' && name.find_first_not_of("0123456789") == 14;
        it = inSafetyFolder ? files.erase(it) : std::next(it);
    }
    return files;
}

} // namespace

// A protected book stops the format change before any book changes; while
// its message is up the dialog takes no click, so no second change begins.
TEST_F(OneRunPerClick, FormatChangeRunsOnceWhileItsBoxIsUp) {
    Protect("表参道店.xls");
    const auto before = Snapshot(ExcelDir());
    const auto list = Snapshot(MyDataDir());
    const NothingLost kept(ExcelDir());
    Open("/K:11", kFormatCaption);
    MoveDialogAside();
    const std::vector<Box> boxes = ClickAndKeepClicking(IDOK, 1);
    ExpectEndsQuietly();
    EXPECT_EQ(0, m_nClicksWithBoxUp);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(0u, boxes[0].text.find("表参道店.xls\nにはパスワード保護")) << boxes[0].text;
    EXPECT_FALSE(boxes[0].dialogTakesInput);
    EXPECT_EQ(before, Snapshot(ExcelDir()));
    EXPECT_EQ(list, Snapshot(MyDataDir()));
}

// Excel dies in the middle of the first book: its message is up while the
// books are not yet put back.  A click then must not start the change
// again inside itself; the run puts every book back and says so.
TEST_F(OneRunPerClick, FormatChangeRunsOnceWhenExcelDies) {
    const auto before = Snapshot(ExcelDir());
    const auto list = Snapshot(MyDataDir());
    const NothingLost kept(ExcelDir());
    CStandinFaults faults;
    faults.SetDieAfterRuns(5); // three protection checks, the company, the employees
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    Open("/K:11", kFormatCaption);
    MoveDialogAside();
    Dialog().MouseClick(IDOK);
    // Every new Excel would die in its fifth call too: the fault goes once
    // the first has died, while the program's message waits.
    ASSERT_TRUE(uidriver::PollUntil([this] { return ExcelHasDied(); }, 60000));
    ExcelStandin::ClearFaults();
    const std::vector<Box> boxes = KeepClicking(IDOK, 2);
    ExpectEndsQuietly();
    EXPECT_EQ(0, m_nClicksWithBoxUp);
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("コンバート処理を中断しました。", boxes[0].text);
    EXPECT_FALSE(boxes[0].dialogTakesInput);
    EXPECT_EQ(0u, boxes[1].text.find("ﾌｧｲﾙ形式の変換に失敗しました。\nすべてのブックを変換前の"
                                     "状態に戻しました。"))
        << boxes[1].text;
    EXPECT_EQ(before, WithoutSafetyFolders(Snapshot(ExcelDir())));
    EXPECT_EQ(list, Snapshot(MyDataDir()));
}

// A name in the list that the book map does not hold stops the all-books
// year update before any book changes; the dialog stays open, and takes no
// click while the message is up (a click then had updated the first book
// twice, two years on).
TEST_F(OneRunPerClick, YearUpdateRunsOnceWhileItsBoxIsUp) {
    WriteBookMap({{"kyuyo", 0, "kyuyo.xls"},
                  {CString("壊れ\0た", 7), 1, "x.xls"},
                  {"表参道店", 2, "表参道店.xls"}});
    const auto before = Snapshot(ExcelDir());
    const NothingLost kept(ExcelDir());
    Open("/K:7", kYearCaption).SetCheck(IDC_YEAR_ALL_BOOKS, true);
    MoveDialogAside();
    const std::vector<Box> boxes = ClickAndKeepClicking(IDOK, 1);
    EXPECT_TRUE(DialogStaysOpen());
    EXPECT_EQ(0, m_nClicksWithBoxUp);
    ASSERT_EQ(1u, boxes.size());
    ExpectPlainBox(boxes[0], "年度更新を実行できません。ブック管理データファイルが壊れています。");
    EXPECT_FALSE(boxes[0].dialogTakesInput);
    EXPECT_EQ(before, Snapshot(ExcelDir()));
    Dialog().Click(IDCANCEL);
    ExpectEndsQuietly();
}

// A double click on "更新" without a chosen book: the second click is
// queued before the program takes the first, and is dropped; one message,
// and the dialog stays open.
TEST_F(OneRunPerClick, YearUpdateDoubleClickAsksOnce) {
    const NothingLost kept(ExcelDir());
    Open("/K:7", kYearCaption);
    ::SendMessageA(Dialog().Control(IDC_YEAR_BOOK_LIST), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    MoveDialogAside();
    Dialog().MouseClick(IDOK, 2);
    ExpectPlainBox(NextBox(), "更新するブックを選択してください");
    EXPECT_TRUE(DialogStaysOpen());
    Dialog().Click(IDCANCEL);
    ExpectEndsQuietly();
    EXPECT_EQ(0, ServerStarts());
}

// The payroll-book initialisation of a name the map does not hold: one
// message, then the dialog ends; a click while the message is up starts no
// second run.
TEST_F(OneRunPerClick, PayrollBookInitRunsOnceWhileItsBoxIsUp) {
    WriteBookMap({{"kyuyo", 0, "kyuyo.xls"}, {CString("壊れ\0た", 7), 1, "x.xls"}});
    const auto before = Snapshot(ExcelDir());
    const NothingLost kept(ExcelDir());
    Open("/K:8", kInitCaption).SelectComboItem(IDC_INIT_BOOK, "壊れ");
    MoveDialogAside();
    const std::vector<Box> boxes = ClickAndKeepClicking(IDOK, 1);
    ExpectEndsQuietly();
    EXPECT_EQ(0, m_nClicksWithBoxUp);
    ASSERT_EQ(1u, boxes.size());
    ExpectPlainBox(boxes[0],
                   "ブックの初期化を実行できません。ブック管理データファイルが壊れています。");
    EXPECT_FALSE(boxes[0].dialogTakesInput);
    EXPECT_EQ(before, Snapshot(ExcelDir()));
    EXPECT_EQ(0, ServerStarts());
}

// A book without an attendance workbook is refused with the dialog kept
// open; while the message is up the dialog takes no click.
TEST_F(OneRunPerClick, AttendanceInitRunsOnceWhileItsBoxIsUp) {
    const auto before = Snapshot(ExcelDir());
    const NothingLost kept(ExcelDir());
    Open("/K:10", kInitCaption).SelectComboItem(IDC_ATTEND_BOOKS, "勤怠_表参道店(未作成)");
    MoveDialogAside();
    const std::vector<Box> boxes = ClickAndKeepClicking(IDOK, 1);
    EXPECT_TRUE(DialogStaysOpen());
    EXPECT_EQ(0, m_nClicksWithBoxUp);
    ASSERT_EQ(1u, boxes.size());
    ExpectPlainBox(boxes[0], "未作成の勤怠ブックは初期化できません。");
    EXPECT_FALSE(boxes[0].dialogTakesInput);
    Dialog().Click(IDCANCEL);
    ExpectEndsQuietly();
    EXPECT_EQ(before, Snapshot(ExcelDir()));
}
