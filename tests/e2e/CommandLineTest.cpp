#include "ProductFixture.h"
#include "QuimbexRun.h"
#include "TempDir.h"

using uidriver::IconKind;

namespace {

const char kBadParameter[] = "ﾊﾟﾗﾒｰﾀが不正です。";

class QuimbexCommandLine : public ProductFixture {};

} // namespace

TEST_F(QuimbexCommandLine, CodesOutsideFiveToTwelveAreRefused) {
    for (const char* tail : {"/K:4", "/K:13", "/k:-1"}) {
        SCOPED_TRACE(tail);
        const QuimbexRun run = RunToEnd(QuimbexStart(tail), 60000, "quimbex-bad-parameter");
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ("Quimbex", run.boxes[0].caption);
        EXPECT_EQ(kBadParameter, run.boxes[0].text);
        EXPECT_EQ(IconKind::Exclamation, run.boxes[0].icon);
        EXPECT_TRUE(run.otherWindows.empty());
    }
    EXPECT_EQ(0, ServerStarts());
}

TEST_F(QuimbexCommandLine, NoCommandEndsWithoutAnyWindow) {
    for (const char* tail : {"", "/K:0", "K:5", "/X:1", "/K:abc"}) {
        SCOPED_TRACE(tail);
        uidriver::Process process(QuimbexStart(tail));
        EXPECT_TRUE(process.Windows().NoWindowWithin(30000));
        EXPECT_EQ(0u, process.WaitForExit(30000));
    }
}

// Another program passes the tail " /K:12": the command line begins with a
// blank, so the program name is empty and the switches follow.
TEST_F(QuimbexCommandLine, TailWithLeadingBlankSelectsCodeTwelve) {
    ::DeleteFileA(MyDataDir() + "\\BookMNG.dat");
    uidriver::StartInfo start;
    start.application = (BinDir() + "\\Quimbex.exe").str();
    start.commandLine = " /K:12";
    const QuimbexRun run = RunToEnd(start);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ("データコンバート", run.boxes[0].caption);
    EXPECT_EQ("コンバートが必要なExcelブックはありませんでした。", run.boxes[0].text);
}

TEST_F(QuimbexCommandLine, RunGoesOnWithoutARegisteredExcelVersion) {
    ASSERT_TRUE(ExcelStandin::RemoveCurVer());
    const QuimbexRun run = RunToEnd(QuimbexStart("/K:9"));
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ("Excelブックのコンバート", run.boxes[0].caption);
    EXPECT_EQ(
        "Excelブックのコンバートを行うには、\nMicrosoft Excelがｲﾝｽﾄｰﾙされている必要があります",
        run.boxes[0].text);
}
