#include "BookChecks.h"
#include "ProductFixture.h"
#include "QuimbexRun.h"
#include "TempDir.h"

namespace {

class ConvertSingleBook : public ProductFixture {
protected:
    CString Excel(const std::string& name) const { return ExcelDir() + "\\" + name.c_str(); }
};

} // namespace

TEST_F(ConvertSingleBook, RebuildsTheNamedBookOnly) {
    const std::string attendance = ReadFileBytes(Excel("勤怠_kyuyo.xls"));
    const std::string date = TodayText();
    const QuimbexRun run = RunToEnd(QuimbexStart("/F:kyuyo.xls"));
    const std::string dateAfter = TodayText();
    EXPECT_TRUE(run.boxes.empty());
    CString backup = Excel(date + "給与計算.xls");
    if (!FileExists(backup))
        backup = Excel(dateAfter + "給与計算.xls");
    EXPECT_TRUE(IsRebuiltFrom(Excel("kyuyo.xls"), backup, kPayrollSections));
    EXPECT_EQ(attendance, ReadFileBytes(Excel("勤怠_kyuyo.xls")));
    EXPECT_FALSE(FileExists(MyDataDir() + "\\ExMng.dat"));
    const std::vector<std::string> runs = RunLines();
    ASSERT_EQ(8u, runs.size());
    EXPECT_EQ("Run\tCheckProtect\tBSTR:kyuyo.xls\t=> BOOL:0", runs[0]);
    const std::string backupFile = backup.Mid(backup.ReverseFind('\\') + 1).str();
    EXPECT_EQ("Run\t会社情報コンバート\tBSTR:" + backupFile + "\tBSTR:\tBSTR:kyuyo.xls\t=> BOOL:-1",
              runs[1]);
    EXPECT_EQ("Run\t差引徴収税額再計算\tBSTR:" + backupFile +
                  "\tBSTR:KARVINE\tBSTR:kyuyo.xls\t=> BOOL:-1",
              runs[7]);
}

TEST_F(ConvertSingleBook, MissingBookIsReported) {
    const QuimbexRun run = RunToEnd(QuimbexStart("/F:none.xls"));
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ("Quimbex", run.boxes[0].caption);
    EXPECT_EQ("コンバート対象の給与計算ブックが見つかりません。コンバート処理を中断します",
              run.boxes[0].text);
    EXPECT_EQ(0, ServerStarts());
}

// Excel may sit in one macro for a long time: no busy or not-responding
// dialog may appear meanwhile, only the wait dialog.
TEST_F(ConvertSingleBook, LongMacroShowsNoBusyDialog) {
    CStandinFaults faults;
    faults.SetDelay("給与データコンバート", 6000);
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    const QuimbexRun run = RunToEnd(QuimbexStart("/F:kyuyo.xls"));
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(std::vector<std::string>{"#32770|"}, run.otherWindows);
    EXPECT_EQ(8u, RunLines().size());
}
