#include "QuimbexE2e.h"
#include "SampleProduct.h"
#include "TempDir.h"

using uidriver::IconKind;

namespace {

const char kBadParameter[] = "ﾊﾟﾗﾒｰﾀが不正です。";
const char kDone[] = "Excelブックのコンバートが完了しました。\nExcelブックの起動は "
                     "メイン画面【Excel】ボタンから行ってください。";

class QuimbexCommandLine : public QuimbexE2e {};

// How another program names Quimbex on the command line it passes.
enum class ProgramName { quoted, unquoted, none };

uidriver::StartInfo StartWith(const std::string& exe, ProgramName form, const char* tail) {
    uidriver::StartInfo start;
    start.application = exe;
    switch (form) {
    case ProgramName::quoted:
        start.commandLine = "\"" + exe + "\" " + tail;
        break;
    case ProgramName::unquoted:
        start.commandLine = exe + " " + tail;
        break;
    case ProgramName::none: // the line begins with the blank before the switches
        start.commandLine = std::string(" ") + tail;
        break;
    }
    return start;
}

} // namespace

TEST_F(QuimbexCommandLine, CodesOutsideFiveToTwelveAreRefused) {
    for (const char* tail : {"/K:4", "/K:13", "/k:-1"}) {
        SCOPED_TRACE(tail);
        const QuimbexRun run = RunToEnd(QuimbexStart(tail), 60000, "quimbex-bad-parameter");
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ("Quimbex", run.boxes[0].caption);
        EXPECT_EQ(kBadParameter, run.boxes[0].text);
        EXPECT_EQ(IconKind::Exclamation, run.boxes[0].icon);
        EXPECT_EQ(1u, run.exitCode);
        EXPECT_TRUE(run.otherWindows.empty());
    }
    EXPECT_EQ(0, ServerStarts());
}

// A workbook name that climbs out of the Excel folder, names a folder or a
// drive, or a new book's name that is no file name, is refused before
// anything is read or changed: the book list and the templates stay where
// they are.
TEST_F(QuimbexCommandLine, BookNamesThatLeaveTheExcelFolderAreRefused) {
    const auto before = FolderContents(ProductDir());
    for (const char* tail :
         {"/K:5 /F:..\\Data\\MyData\\BookMNG.dat", "/K:5 /O:..\\Data\\Org\\Kyuyo.xls",
          "/F:C:\\kyuyo.xls", "/F:..", "/K:6 /O:kyuyo.xls /N:..\\Data\\MyData\\BookMNG.dat",
          "/K:6 /O:..\\Data\\Org\\Kyuyo.xls /N:kyuyo2.xls",
          // The new book's name must be one the system makes as it stands.
          "/K:6 /O:kyuyo.xls /N:kyuyo2.xls.", "/K:6 /O:kyuyo.xls /N:con.xls",
          "/K:6 /O:kyuyo.xls /N:*.xls"}) {
        SCOPED_TRACE(tail);
        const QuimbexRun run = Run(tail);
        EXPECT_EQ(std::vector<std::string>{kBadParameter}, Texts(run));
        EXPECT_EQ(1u, run.exitCode);
        EXPECT_EQ(before, FolderContents(ProductDir()));
    }
    EXPECT_EQ(0, ServerStarts());
    // The trail byte 0x5C of ソ is no "\": the name is looked for.
    EXPECT_EQ(
        std::vector<std::string>{"コンバート対象の給与計算ブックが見つかりません。コンバート処"
                                 "理を中断します"},
        Texts(Run("/F:ソフト.xls")));
}

TEST_F(QuimbexCommandLine, NoCommandEndsWithoutAnyWindow) {
    for (const char* tail : {"", "/K:0", "K:5", "/X:1", "/K:abc"}) {
        SCOPED_TRACE(tail);
        uidriver::Process process(QuimbexStart(tail));
        EXPECT_TRUE(process.Windows().NoWindowWithin(30000));
        EXPECT_EQ(0u, process.WaitForExit(30000));
    }
}

// The program, its two DLLs and the product lie below a folder whose name
// holds 表 and ソ (both end in the byte of "\"), and it is started the ways
// other programs start it: its path quoted or not, or no name at all before
// the blank (as the migration tool passes " /K:12").  Every form reaches the
// switches.
TEST_F(QuimbexCommandLine, SwitchesFollowAProgramPathWithJapaneseNames) {
    const struct {
        ProgramName form;
        const char* tail;
        const char* message; // nullptr: none
        bool converts;
    } cases[] = {
        {ProgramName::quoted, "/K:4", kBadParameter, false},
        {ProgramName::unquoted, "/K:4", kBadParameter, false},
        {ProgramName::quoted, "/K:9", kDone, true},
        {ProgramName::unquoted, "/K:9", kDone, true},
        {ProgramName::none, "/K:12", nullptr, true},
    };
    const char* const kForms[] = {"quoted", "unquoted", "no name"};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(kForms[static_cast<int>(c.form)]) + " " + c.tail);
        TempDir folder;
        const CString product = folder / "給与表ソフト";
        SampleProductOptions options;
        options.strExeSourceDir = BinDir();
        ASSERT_TRUE(LaidSample(product, options));
        const std::string exe = (product + "\\Exe\\Quimbex.exe").str();
        ASSERT_EQ(std::string::npos, exe.find(' ')) << exe;

        const QuimbexRun run = Run(StartWith(exe, c.form, c.tail));
        EXPECT_EQ(c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{},
                  Texts(run));
        EXPECT_EQ(c.converts, FileExists(product + "\\Data\\MyData\\ExMng.dat"));
        bool backedUp = false;
        for (const std::string& date : m_dates)
            backedUp = backedUp || FileExists(product + "\\Excel\\kyuyo" + date.c_str() + ".xls");
        EXPECT_EQ(c.converts, backedUp);
    }
}

TEST_F(QuimbexCommandLine, RunGoesOnWithoutARegisteredExcelVersion) {
    ASSERT_TRUE(ExcelStandin::RemoveCurVer());
    const NothingLost kept(ExcelDir());
    const QuimbexRun run = RunToEnd(QuimbexStart("/K:9"));
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ("Excelブックのコンバート", run.boxes[0].caption);
    EXPECT_EQ(
        "Excelブックのコンバートを行うには、\nMicrosoft Excelがｲﾝｽﾄｰﾙされている必要があります",
        run.boxes[0].text);
}
