// The product may start Quimbex twice (a double click, a second command
// while one works).  Two runs on the same books would rename and rebuild
// each other's workbooks: a start while another run works ends at once,
// before anything changes, with a message and exit code 1.
#include "BookChecks.h"
#include "ExcelStandinControl.h"
#include "MsgBox.h"
#include "Poll.h"
#include "QuimbexE2e.h"
#include "ScopedHandle_win.h"
#include "StandinFaults.h"
#include "TempDir.h"

#include <windows.h>

using uidriver::IconKind;

namespace {

const char kBusy[] = "他のExcelブックの処理が実行中です。\n"
                     "その処理が終了してから、もう一度実行してください。";

class SecondStart : public QuimbexE2e {
protected:
    void ExpectRefused(const QuimbexRun& run) {
        EXPECT_EQ(std::vector<std::string>{kBusy}, Texts(run));
        for (const QuimbexRun::Box& box : run.boxes) {
            EXPECT_EQ("Quimbex", box.caption);
            EXPECT_EQ(IconKind::Exclamation, box.icon);
        }
        EXPECT_EQ(1u, run.exitCode);
    }
};

} // namespace

// A run holds the guard (here the test, as a run of another Quimbex would):
// every command is refused, those with a dialog before it shows; nothing in
// the Excel folder or the product's data changes and Excel never starts.
TEST_F(SecondStart, EveryCommandIsRefusedWhileAnotherRunHoldsTheBooks) {
    WriteFileBytes(ExConv(), "");
    CHandle other(::CreateMutexA(nullptr, FALSE, "Global\\hQuimbex"));
    ASSERT_TRUE(other);
    const auto excel = FolderContents(ExcelDir());
    const auto myData = FolderContents(MyDataDir());
    const NothingLost kept(ExcelDir());
    for (const char* tail : {"/K:9", "/K:12", "/F:kyuyo.xls", "/K:6 /O:kyuyo.xls /N:new.xls",
                             "/K:7", "/K:8", "/K:10", "/K:11"}) {
        SCOPED_TRACE(tail);
        ExpectRefused(Run(tail));
        EXPECT_EQ(excel, FolderContents(ExcelDir()));
        EXPECT_EQ(myData, FolderContents(MyDataDir()));
    }
    EXPECT_EQ(0, ServerStarts());
    other.Close();
    // The guard is the run's only while it runs.
    const QuimbexRun after = Run("/F:kyuyo.xls");
    EXPECT_TRUE(after.boxes.empty());
    EXPECT_EQ(0u, after.exitCode);
}

// Two real starts of the conversion of every book: the second, made while
// the first works, is refused; the first rebuilds each book once, with one
// backup each, and reports its success.
TEST_F(SecondStart, TheSecondOfTwoConversionsIsRefusedAndTheFirstFinishes) {
    CStandinFaults faults;
    faults.SetDelay("会社情報コンバート", 1500);
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    m_dates = {TodayText()};
    const auto before = FolderContents(ExcelDir());
    uidriver::Process first(QuimbexStart("/K:9"));
    ASSERT_TRUE(uidriver::PollUntil(
        [&first] {
            for (const uidriver::WindowInfo& w : first.Windows().List())
                if (w.visible)
                    return true;
            return false;
        },
        60000))
        << "the first run shows its wait dialog";
    const QuimbexRun second = RunToEnd(QuimbexStart("/K:9"));
    ExpectRefused(second);
    QuimbexRun firstRun;
    FinishRun(first, firstRun);
    EXPECT_EQ(0u, firstRun.exitCode);
    EXPECT_EQ(
        std::vector<std::string>{"Excelブックのコンバートが完了しました。\nExcelブックの起動は "
                                 "メイン画面【Excel】ボタンから行ってください。"},
        Texts(firstRun));
    // Three books with two attendance workbooks: each rebuilt once, so one
    // backup of each beside it and nothing else.
    EXPECT_EQ(before.size() * 2, FolderContents(ExcelDir()).size());
    EXPECT_EQ(before.at("kyuyo.xls"), ReadFileBytes(Backup("kyuyo", ".xls")));
    EXPECT_TRUE(IsRebuiltFrom(Excel("kyuyo.xls"), Backup("kyuyo", ".xls"), kPayrollSections));
}
