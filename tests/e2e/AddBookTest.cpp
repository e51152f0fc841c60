#include "DialogChecks.h"
#include "Poll.h"
#include "NothingLost.h"
#include "ProductFixture.h"
#include "QuimbexRun.h"
#include "SampleWorkbooks.h"
#include "ScopedHandle_win.h"
#include "StandinWorkbook.h"
#include "TempDir.h"

#include <windows.h>

using uidriver::IconKind;

namespace {

class AddBook : public ProductFixture {
protected:
    std::vector<std::string> Temporaries() const {
        return FilesStartingWith(ExcelDir(), "Backup_Kyuyo");
    }
};

// The new workbook is the template with the source's company information
// and nothing else of the source.
testing::AssertionResult IsNewBookOf(const CString& book, const CString& source) {
    CStandinWorkbook newBook, oldBook;
    if (!newBook.Load(book) || !oldBook.Load(source))
        return testing::AssertionFailure() << "missing workbook";
    if (newBook.GetValue("Book", "Template") != kCurrentTemplateVersion)
        return testing::AssertionFailure() << "not from the template";
    const auto* company = newBook.FindSection("Company");
    const auto* want = oldBook.FindSection("Company");
    if (!company || !want || company->lines.empty() || company->lines != want->lines)
        return testing::AssertionFailure() << "company information not carried over";
    const auto* employees = newBook.FindSection("Employees");
    if (employees && !employees->lines.empty())
        return testing::AssertionFailure() << "employees carried over";
    return testing::AssertionSuccess();
}

} // namespace

TEST_F(AddBook, NewBookTakesTheCompanyOfTheSource) {
    const std::string source = ReadFileBytes(Excel("kyuyo.xls"));
    const QuimbexRun run = RunToEnd(QuimbexStart("/K:6 /O:kyuyo.xls /N:kyuyo2.xls"));
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_TRUE(IsNewBookOf(Excel("kyuyo2.xls"), Excel("kyuyo.xls")));
    EXPECT_EQ(source, ReadFileBytes(Excel("kyuyo.xls")));
    EXPECT_TRUE(Temporaries().empty());
    const std::vector<std::string> expected = {
        "Run\tCheckProtect\tBSTR:kyuyo.xls\t=> BOOL:0",
        "Run\t会社情報コンバート\tBSTR:Backup_Kyuyo.xls\tBSTR:\tBSTR:kyuyo2.xls\t=> BOOL:-1"};
    EXPECT_EQ(expected, RunLines());
}

// A Backup_Kyuyo.xls left from an earlier run stays; the run's own copy
// gets the time of day and is the only one removed.
TEST_F(AddBook, TakenTemporaryNameGetsTheTimeAndTheOlderFileStays) {
    WriteFileBytes(Excel("Backup_Kyuyo.xls"), ReadFileBytes(Excel("表参道店.xls")));
    const std::string older = ReadFileBytes(Excel("Backup_Kyuyo.xls"));
    const QuimbexRun run = RunToEnd(QuimbexStart("/K:6 /O:kyuyo.xls /N:kyuyo2.xls"));
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(std::vector<std::string>{"Backup_Kyuyo.xls"}, Temporaries());
    EXPECT_EQ(older, ReadFileBytes(Excel("Backup_Kyuyo.xls")));
    EXPECT_TRUE(IsNewBookOf(Excel("kyuyo2.xls"), Excel("kyuyo.xls")));
    const std::vector<std::string> runs = RunLines();
    ASSERT_EQ(2u, runs.size());
    const std::string prefix = "Run\t会社情報コンバート\tBSTR:Backup_Kyuyo";
    ASSERT_EQ(prefix, runs[1].substr(0, prefix.size()));
    const std::string timed = runs[1].substr(prefix.size(), 16);
    EXPECT_EQ(std::string::npos, timed.substr(0, 6).find_first_not_of("0123456789")) << timed;
    EXPECT_EQ(".xls\tBSTR:", timed.substr(6));
}

TEST_F(AddBook, ProtectedSourceStopsBeforeAnythingIsCopied) {
    Protect("kyuyo.xls");
    const auto before = Snapshot(ExcelDir());
    const NothingLost kept(ExcelDir());
    const QuimbexRun run = RunToEnd(QuimbexStart("/K:6 /O:kyuyo.xls /N:kyuyo2.xls"));
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ("Quimbex", run.boxes[0].caption);
    EXPECT_EQ(
        "kyuyo.xls\nにはパスワード保護がかかっています。\nパスワード保護をはずす必要があります。",
        run.boxes[0].text);
    EXPECT_EQ(before, Snapshot(ExcelDir()));
    EXPECT_EQ(1u, RunLines().size());
}

TEST_F(AddBook, FailingMacroRemovesTheNewBook) {
    CStandinFaults faults;
    faults.SetReturn("会社情報コンバート", CStandinFaults::resultFalse);
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    const auto before = Snapshot(ExcelDir());
    const NothingLost kept(ExcelDir());
    const QuimbexRun run = RunToEnd(QuimbexStart("/K:6 /O:kyuyo.xls /N:kyuyo2.xls"));
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(before, Snapshot(ExcelDir()));
    EXPECT_EQ(2u, RunLines().size());
}

// Without a template nothing can be added: the run ends without a message
// and leaves neither a new workbook nor its temporary copy behind.
TEST_F(AddBook, MissingTemplateLeavesNothingBehind) {
    ASSERT_TRUE(::DeleteFileA(OrgDir() + "\\Kyuyo.xls"));
    const auto before = Snapshot(ExcelDir());
    const NothingLost kept(ExcelDir());
    const QuimbexRun run = RunToEnd(QuimbexStart("/K:6 /O:kyuyo.xls /N:kyuyo2.xls"));
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(before, Snapshot(ExcelDir()));
    EXPECT_EQ(1u, RunLines().size()); // the protection check only
}

// The template must never be copied onto an existing workbook: a new name
// that the folder holds already, whatever the case of its letters, is
// refused before anything is copied and before Excel starts.
TEST_F(AddBook, NameOfAnExistingFileIsRefused) {
    const struct {
        const char* args;
        const char* text;
    } cases[] = {
        {"/K:6 /O:kyuyo.xls /N:kyuyo.xls", "追加するブックと同じ名前のファイル「kyuyo."
                                           "xls」がすでにあります。\nブックの追加処理を中断します"},
        {"/K:6 /O:kyuyo.xls /N:KYUYO.XLS", "追加するブックと同じ名前のファイル「KYUYO."
                                           "XLS」がすでにあります。\nブックの追加処理を中断します"},
        {"/K:6 /O:kyuyo.xls /N:表参道店.XLS",
         "追加するブックと同じ名前のファイル「表参道店."
         "XLS」がすでにあります。\nブックの追加処理を中断します"},
        {"/K:6 /O:kyuyo.xls /N:勤怠_Kyuyo.xls",
         "追加するブックと同じ名前のファイル「勤怠_Kyuyo."
         "xls」がすでにあります。\nブックの追加処理を中断します"},
        {"/K:6 /O:none.xls /N:kyuyo2.xls",
         "元になる給与計算ブックが見つかりません。ブックの追加処理を中断します"},
    };
    const auto before = Snapshot(ExcelDir());
    for (const auto& c : cases) {
        const NothingLost kept(ExcelDir());
        SCOPED_TRACE(c.args);
        const QuimbexRun run = RunToEnd(QuimbexStart(c.args));
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ("Quimbex", run.boxes[0].caption);
        EXPECT_EQ(c.text, run.boxes[0].text);
        EXPECT_EQ(IconKind::Exclamation, run.boxes[0].icon);
        EXPECT_EQ(before, Snapshot(ExcelDir()));
        EXPECT_EQ(0, ServerStarts());
    }
}

// The temporary copy is held open when it is to be removed: the run says
// so on standard output and asks for the workbook to be closed.
TEST_F(AddBook, TemporaryCopyHeldOpenIsReported) {
    CStandinFaults faults;
    faults.SetDelay("会社情報コンバート", 8000);
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    const NothingLost kept(ExcelDir());
    uidriver::Process quimbex(QuimbexStart("/K:6 /O:kyuyo.xls /N:kyuyo2.xls"));
    CFileHandle held;
    ASSERT_TRUE(uidriver::PollUntil(
        [&] {
            held.Attach(::CreateFileA(Excel("Backup_Kyuyo.xls"), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
            return static_cast<bool>(held);
        },
        60000));
    QuimbexRun run;
    run.boxes.push_back(AnswerNextBox(quimbex.Windows()));
    held.Close();
    FinishRun(quimbex, run);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ("給与計算Excelブックを閉じてください。", run.boxes[0].text);
    EXPECT_EQ("ERROR: accessDenied\r\n", run.stdoutText);
    EXPECT_TRUE(IsNewBookOf(Excel("kyuyo2.xls"), Excel("kyuyo.xls")));
}
