#include "BookChecks.h"
#include "BookDialogFixture.h"
#include "DialogUnits.h"
#include "Poll.h"
#include "TempDir.h"
#include "Time.h"
#include "YearUpdateDlgRes.h"

#include <windows.h>

#include <algorithm>

using uidriver::IconKind;

namespace {

const char kCaption[] = "年度更新";
const char kBrokenMap[] = "年度更新を実行できません。ブック管理データファイルが壊れています。";

class YearUpdate : public BookDialogFixture {
protected:
    // The single-book completion message names the backup; "" when the
    // text is another one.
    std::string BackupOfSingleRun(const Box& box) {
        std::string name = Between(box.text, "以前の給与計算ブックは ", " として");
        EXPECT_EQ("処理が完了しました。\n以前の給与計算ブックは " + name +
                      " として保存されています｡\n保存場所は " + DataDir().str() + "\\Excelです。",
                  box.text);
        return name;
    }
    static std::string ThisYear() { return CTime::GetCurrentTime().Format("%Y").str(); }
};

} // namespace

// The books lie in a data directory apart from the product directory (its
// name ends in the byte 0x5C): the book and its backup come from there, the
// template and the converter from the product directory.
TEST_F(YearUpdate, SelectedBookGoesIntoTheNextYearAndTheOtherStays) {
    LayProduct(".xls", ProductDir() + "\\表データ");
    const std::string oldBook = ReadFileBytes(Excel("kyuyo.xls"));
    const std::string otherBook = ReadFileBytes(Excel("表参道店.xls"));
    const auto& dlg = Open("/K:7", kCaption);
    EXPECT_EQ((std::vector<std::string>{"kyuyo", "表参道店"}), dlg.ListItems(IDC_YEAR_BOOK_LIST));
    EXPECT_EQ(0, dlg.ListSelection(IDC_YEAR_BOOK_LIST));
    EXPECT_EQ(ThisYear(), dlg.Text(IDC_YEAR_TARGET));
    dlg.Click(IDOK);
    const Box box = NextBox();
    ExpectResultBox(box, kCaption);
    const std::string backup = BackupOfSingleRun(box);
    EXPECT_TRUE(IsTodaysBackupName(backup, "kyuyo")) << backup;
    ExpectEndsQuietly();

    EXPECT_EQ(oldBook, ReadFileBytes(Excel(backup)));
    EXPECT_TRUE(IsNextYearOf(Excel("kyuyo.xls"), Excel(backup)));
    EXPECT_EQ(otherBook, ReadFileBytes(Excel("表参道店.xls")));
    const std::string b = "BSTR:" + backup + "\t";
    const std::string t = "BSTR:kyuyo.xls\t=> BOOL:-1";
    const std::vector<std::string> expected = {
        "Run\tCheckProtect\tBSTR:kyuyo.xls\t=> BOOL:0",
        "Run\t会社情報コンバート\t" + b + "BSTR:" + ThisYear() + "\t" + t,
        "Run\t年度更新コンバート\t" + b + "BSTR:KARVINE\t" + t,
        "Run\t社員名簿コンバート\t" + b + "I4:1\t" + t,
    };
    EXPECT_EQ(expected, RunLines());
    for (const std::string& line : LogLines()) {
        if (line.rfind("Open\t", 0) == 0) {
            EXPECT_EQ("Open\t" + WorkFile().str(), line);
        }
    }
}

TEST_F(YearUpdate, AllBooksAreUpdatedAndTheirBackupsListed) {
    const auto& dlg = Open("/K:7", kCaption);
    dlg.SetCheck(IDC_YEAR_ALL_BOOKS, true);
    dlg.Click(IDOK);
    const Box box = NextBox();
    ExpectResultBox(box, kCaption);
    ExpectEndsQuietly();
    const std::string list = Between(box.text, "以前の給与計算ブックは ", " \nとして");
    const std::string kyuyo = Between(list, "\n", "\n");
    const std::string omotesando = list.substr(list.rfind('\n') + 1);
    EXPECT_TRUE(IsTodaysBackupName(kyuyo, "kyuyo")) << list;
    EXPECT_TRUE(IsTodaysBackupName(omotesando, "表参道店")) << list;
    EXPECT_EQ("処理が完了しました。\n以前の給与計算ブックは \n" + kyuyo + "\n" + omotesando +
                  " \nとして保存されています｡\n保存場所は " + DataDir().str() + "\\Excelです。",
              box.text);
    EXPECT_TRUE(IsNextYearOf(Excel("kyuyo.xls"), Excel(kyuyo)));
    EXPECT_TRUE(IsNextYearOf(Excel("表参道店.xls"), Excel(omotesando)));
    EXPECT_EQ(8u, RunLines().size());
    EXPECT_EQ(1, ServerStarts());
}

TEST_F(YearUpdate, AllBooksBoxIsOfferedOnlyForSeveralBooks) {
    const struct {
        const char* what;
        std::vector<Book> books;
        bool enabled;
    } cases[] = {
        {"one book", {{"kyuyo", 0, "kyuyo.xls"}}, false},
        {"two books", {{"kyuyo", 0, "kyuyo.xls"}, {"表参道店", 1, "表参道店.xls"}}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBookMap(c.books);
        const auto& dlg = Open("/K:7", kCaption);
        EXPECT_EQ(c.enabled, dlg.IsEnabled(IDC_YEAR_ALL_BOOKS));
        EXPECT_EQ(BST_UNCHECKED, dlg.CheckState(IDC_YEAR_ALL_BOOKS));
        EXPECT_EQ(0, dlg.ListSelection(IDC_YEAR_BOOK_LIST));
        dlg.Click(IDCANCEL);
        ExpectEndsQuietly();
    }
    EXPECT_EQ(0, ServerStarts());
}

// Orders 3, 1, 2, 1, -1 in the order the program meets the books: the list
// shows them ascending, the two 1s as met; it scrolls as far as the widest
// name measured in the dialog's own font.
TEST_F(YearUpdate, ListStandsByOrderAndFollowsTheAllBooksBox) {
    const char* keys[] = {"本社", "表参道店", "とても長い名前の給与計算ブック（第二工場）", "A",
                          "大阪支店"};
    std::vector<Book> books;
    for (const char* key : keys)
        books.push_back({key, 0, CString(key) + ".xls"});
    WriteBookMap(books);
    const std::vector<CString> met = MapOrder();
    ASSERT_EQ(5u, met.size());
    const int orders[] = {3, 1, 2, 1, -1};
    for (Book& book : books)
        book.order = orders[std::find(met.begin(), met.end(), book.key) - met.begin()];
    WriteBookMap(books);
    ASSERT_EQ(met, MapOrder());

    const auto& dlg = Open("/K:7", kCaption);
    const std::vector<std::string> expected = {met[4].str(), met[1].str(), met[3].str(),
                                               met[2].str(), met[0].str()};
    EXPECT_EQ(expected, dlg.ListItems(IDC_YEAR_BOOK_LIST));
    const LRESULT extent =
        ::SendMessageA(dlg.Control(IDC_YEAR_BOOK_LIST), LB_GETHORIZONTALEXTENT, 0, 0);
    EXPECT_EQ(TextWidthInFont("ＭＳ Ｐゴシック", 10, keys[2]), extent);

    dlg.SetCheck(IDC_YEAR_ALL_BOOKS, true);
    EXPECT_EQ(-1, dlg.ListSelection(IDC_YEAR_BOOK_LIST));
    EXPECT_FALSE(dlg.IsEnabled(IDC_YEAR_BOOK_LIST));
    dlg.SetCheck(IDC_YEAR_ALL_BOOKS, false);
    EXPECT_EQ(0, dlg.ListSelection(IDC_YEAR_BOOK_LIST));
    EXPECT_TRUE(dlg.IsEnabled(IDC_YEAR_BOOK_LIST));
    dlg.Click(IDCANCEL);
    ExpectEndsQuietly();
}

// The edit takes four characters; a longer text (set from outside, which
// the limit does not stop) is refused before anything runs, and an emptied
// edit passes the empty text on.
TEST_F(YearUpdate, YearTextReachesTheMacroAsTyped) {
    const NothingLost kept(ExcelDir());
    const auto& dlg = Open("/K:7", kCaption);
    EXPECT_EQ(4, ::SendMessageA(dlg.Control(IDC_YEAR_TARGET), EM_GETLIMITTEXT, 0, 0));
    dlg.TypeText(IDC_YEAR_TARGET, "20270");
    dlg.Click(IDOK);
    ExpectPlainBox(NextBox(), "4 文字以内で入力してください。");
    EXPECT_TRUE(DialogStaysOpen());
    EXPECT_EQ(0, ServerStarts());

    dlg.TypeText(IDC_YEAR_TARGET, "");
    dlg.Click(IDOK);
    const std::string backup = BackupOfSingleRun(NextBox());
    ExpectEndsQuietly();
    const std::vector<std::string> runs = RunLines();
    ASSERT_EQ(4u, runs.size());
    EXPECT_EQ("Run\t会社情報コンバート\tBSTR:" + backup + "\tBSTR:\tBSTR:kyuyo.xls\t=> BOOL:-1",
              runs[1]);
    EXPECT_TRUE(IsNextYearOf(Excel("kyuyo.xls"), Excel(backup)));
}

TEST_F(YearUpdate, TakenBackupNameGetsTheTimeOfDay) {
    const std::string taken = "kyuyo" + TodayText() + ".xls";
    WriteFileBytes(Excel(taken), "an earlier backup");
    Open("/K:7", kCaption).Click(IDOK);
    const std::string backup = BackupOfSingleRun(NextBox());
    ExpectEndsQuietly();
    EXPECT_EQ("an earlier backup", ReadFileBytes(Excel(taken)));
    // kyuyo<date><HHMMSS>.xls
    const std::string stem = "kyuyo" + TodayText();
    ASSERT_EQ(stem.size() + 6 + 4, backup.size()) << backup;
    EXPECT_EQ(stem, backup.substr(0, stem.size()));
    EXPECT_EQ(std::string::npos, backup.substr(stem.size(), 6).find_first_not_of("0123456789"));
    EXPECT_TRUE(IsNextYearOf(Excel("kyuyo.xls"), Excel(backup)));
}

// Each failure leaves the book as it was and ends the dialog without a
// result message: its cause has been told.
TEST_F(YearUpdate, BookThatCannotBeUpdatedIsLeftAlone) {
    enum class Trouble { Protected, HeldOpen, Missing };
    const struct {
        Trouble trouble;
        const char* message;
        size_t macros; // CheckProtect only, or none
    } cases[] = {
        {Trouble::Protected,
         "更新するブックにはパスワード保護がかかっています。\n更新を行うにはパスワード保護をはずす"
         "必要があります。",
         1},
        {Trouble::HeldOpen, "更新するブックを閉じてください。", 1},
        {Trouble::Missing, "年度更新対象の給与計算ブックが見つかりません。年度更新処理を中断します",
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        LayProduct(".xls");
        ExcelStandin::ClearLog();
        if (c.trouble == Trouble::Protected)
            Protect("kyuyo.xls");
        if (c.trouble == Trouble::Missing)
            ::DeleteFileA(Excel("kyuyo.xls"));
        const NothingLost kept(ExcelDir());
        const std::string before = ReadFileBytes(Excel("kyuyo.xls"));
        HeldFile held(c.trouble == Trouble::HeldOpen ? Excel("kyuyo.xls") : CString());
        Open("/K:7", kCaption).Click(IDOK);
        ExpectPlainBox(NextBox(), c.message);
        ExpectEndsQuietly();
        EXPECT_EQ(c.trouble == Trouble::HeldOpen,
                  Program().Stdout().find("ERROR: accessDenied") != std::string::npos)
            << Program().Stdout();
        EXPECT_EQ(c.trouble != Trouble::Missing, FileExists(Excel("kyuyo.xls")));
        EXPECT_EQ(before, ReadFileBytes(Excel("kyuyo.xls")));
        EXPECT_FALSE(FileExists(Excel("kyuyo" + TodayText() + ".xls")));
        EXPECT_EQ(c.macros, RunLines().size());
    }
}

// A name in the list that the map does not hold (the list shows a key only
// up to a NUL byte): one book ends the dialog; all books stop before any
// book is updated and leave the dialog open.
TEST_F(YearUpdate, ListTextMissingFromTheMapStopsTheRun) {
    const CString broken("壊れ\0た", 7);
    WriteBookMap(
        {{"kyuyo", 0, "kyuyo.xls"}, {broken, 1, "x.xls"}, {"表参道店", 2, "表参道店.xls"}});
    const NothingLost kept(ExcelDir());
    const auto before = FolderContents(ExcelDir());
    {
        SCOPED_TRACE("one book");
        const auto& dlg = Open("/K:7", kCaption);
        dlg.SelectListItem(IDC_YEAR_BOOK_LIST, "壊れ");
        dlg.Click(IDOK);
        ExpectPlainBox(NextBox(), kBrokenMap);
        ExpectEndsQuietly();
        EXPECT_EQ(0, ServerStarts());
    }
    {
        SCOPED_TRACE("all books");
        const auto& dlg = Open("/K:7", kCaption);
        dlg.SetCheck(IDC_YEAR_ALL_BOOKS, true);
        dlg.Click(IDOK);
        ExpectPlainBox(NextBox(), kBrokenMap);
        EXPECT_TRUE(DialogStaysOpen());
        EXPECT_EQ(before, FolderContents(ExcelDir()));
        EXPECT_EQ(0, ServerStarts());
        dlg.Click(IDCANCEL);
        ExpectEndsQuietly();
    }
}

TEST_F(YearUpdate, NoSelectedBookKeepsTheDialogOpen) {
    const NothingLost kept(ExcelDir());
    const auto& dlg = Open("/K:7", kCaption);
    ::SendMessageA(dlg.Control(IDC_YEAR_BOOK_LIST), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    dlg.Click(IDOK);
    ExpectPlainBox(NextBox(), "更新するブックを選択してください");
    EXPECT_TRUE(DialogStaysOpen());
    dlg.Click(IDCANCEL);
    ExpectEndsQuietly();
    EXPECT_EQ(0, ServerStarts());
}

// Every book failing still ends the dialog after the summary.
TEST_F(YearUpdate, AllBooksFailingAreListed) {
    CStandinFaults faults;
    faults.SetReturn("年度更新コンバート", CStandinFaults::resultFalse);
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    const auto& dlg = Open("/K:7", kCaption);
    const NothingLost kept(ExcelDir());
    dlg.SetCheck(IDC_YEAR_ALL_BOOKS, true);
    dlg.Click(IDOK);
    const Box box = NextBox();
    ExpectResultBox(box, kCaption);
    EXPECT_EQ("年度更新処理に失敗しました。\n \nkyuyo.xls\n表参道店.xls ", box.text);
    ExpectEndsQuietly();
    // Both books were checked before the first changed; then every macro
    // still ran for both.
    EXPECT_EQ(
        (std::vector<std::string>{"CheckProtect", "CheckProtect", "会社情報コンバート",
                                  "年度更新コンバート", "社員名簿コンバート", "会社情報コンバート",
                                  "年度更新コンバート", "社員名簿コンバート"}),
        Macros());
}

// A book whose year macro fails in the run (its year cannot be read) is
// listed as failed beside the one that was updated.
TEST_F(YearUpdate, SomeBooksFailingAreListedBesideTheUpdatedOnes) {
    CStandinWorkbook unreadableYear;
    ASSERT_TRUE(unreadableYear.Load(Excel("表参道店.xls")));
    unreadableYear.SetValue("Book", "Year", "x");
    ASSERT_TRUE(unreadableYear.Save(Excel("表参道店.xls")));
    const NothingLost kept(ExcelDir());
    const auto& dlg = Open("/K:7", kCaption);
    dlg.SetCheck(IDC_YEAR_ALL_BOOKS, true);
    dlg.Click(IDOK);
    const Box box = NextBox();
    ExpectResultBox(box, kCaption);
    ExpectEndsQuietly();
    const std::string kyuyo = Between(box.text, "以前の給与計算ブックを \n \n", " \n");
    EXPECT_TRUE(IsTodaysBackupName(kyuyo, "kyuyo")) << box.text;
    EXPECT_EQ("いくつかのブックは年度更新処理に失敗しました。\n \n表参道店.xls "
              "\n\n年度更新処理が完了したブックについては、\n以前の給与計算ブックを \n \n" +
                  kyuyo + " \n\nとして保存しています｡\n保存場所は " + DataDir().str() +
                  "\\Excelです。",
              box.text);
    EXPECT_TRUE(IsNextYearOf(Excel("kyuyo.xls"), Excel(kyuyo)));
    // Both books were checked before the first changed, each once.
    EXPECT_EQ(
        (std::vector<std::string>{"CheckProtect", "CheckProtect", "会社情報コンバート",
                                  "年度更新コンバート", "社員名簿コンバート", "会社情報コンバート",
                                  "年度更新コンバート", "社員名簿コンバート"}),
        Macros());
}

// Whatever would stop the all-books run is found before the first book is
// updated: a protected, missing or held book, a missing template.  The
// message names it; no book changes and the dialog stays open.
TEST_F(YearUpdate, AllBooksRunChecksEveryBookFirst) {
    enum class Trouble { protectedBook, missingBook, heldBook, missingTemplate };
    const struct {
        Trouble trouble;
        std::string text;
    } cases[] = {
        {Trouble::protectedBook,
         "表参道店."
         "xls\nにはパスワード保護がかかっています。\nパスワード保護をはずす必要があります。"},
        {Trouble::missingBook, "表参道店.xls\nが見つかりません。"},
        {Trouble::heldBook,
         "表参道店.xls\nは他のアプリケーションで開かれています。\nブックを閉じてください。"},
        {Trouble::missingTemplate,
         "ひな形のブック\n" + OrgDir().str() + "\\Kyuyo.xls\nが見つからないか、読み込めません。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        LayProduct(".xls");
        ExcelStandin::ClearLog();
        if (c.trouble == Trouble::protectedBook)
            Protect("表参道店.xls");
        if (c.trouble == Trouble::missingBook)
            ::DeleteFileA(Excel("表参道店.xls"));
        if (c.trouble == Trouble::missingTemplate)
            ::DeleteFileA(OrgDir() + "\\Kyuyo.xls");
        HeldFile held(c.trouble == Trouble::heldBook ? Excel("表参道店.xls") : CString());
        const auto before = FolderContents(ExcelDir());
        const NothingLost kept(ExcelDir());
        const auto& dlg = Open("/K:7", kCaption);
        dlg.SetCheck(IDC_YEAR_ALL_BOOKS, true);
        dlg.Click(IDOK);
        ExpectPlainBox(NextBox(), (c.text + "\n年度更新処理を中断します").c_str());
        EXPECT_TRUE(DialogStaysOpen());
        EXPECT_EQ(before, FolderContents(ExcelDir()));
        for (const std::string& macro : Macros())
            EXPECT_EQ("CheckProtect", macro);
        dlg.Click(IDCANCEL);
        ExpectEndsQuietly();
    }
}

// Excel ends in the middle of the year macros: that macro is reported, the
// macro after it runs in one new Excel, the book fails without a result
// message, and the old book lives on as its backup.
TEST_F(YearUpdate, ExcelDyingInTheMiddleLosesNoBook) {
    const std::string oldBook = ReadFileBytes(Excel("kyuyo.xls"));
    const NothingLost kept(ExcelDir());
    CStandinFaults faults;
    faults.SetDieAfterRuns(3); // the check, the company, then the year
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    Open("/K:7", kCaption).Click(IDOK);
    // Every new Excel would die in its third call too: the fault goes once
    // the first has died, while the program's message waits.
    ASSERT_TRUE(uidriver::PollUntil([this] { return ExcelHasDied(); }, 60000));
    ExcelStandin::ClearFaults();
    ExpectPlainBox(NextBox(), "コンバート処理を中断しました。");
    ExpectEndsQuietly();
    EXPECT_EQ(2, ServerStarts());
    EXPECT_EQ((std::vector<std::string>{"CheckProtect", "会社情報コンバート", "年度更新コンバート",
                                        "社員名簿コンバート"}),
              Macros());
    EXPECT_EQ(oldBook, ReadFileBytes(Excel("kyuyo" + TodayText() + ".xls")));
    EXPECT_TRUE(FileExists(Excel("kyuyo.xls")));
}
