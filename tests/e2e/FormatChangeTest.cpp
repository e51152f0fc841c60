#include "BookChecks.h"
#include "DialogChecks.h"
#include "DialogWindow.h"
#include "FormatChangeDlgRes.h"
#include "NothingLost.h"
#include "ProductFixture.h"
#include "QuimbexRun.h"
#include "SampleProduct.h"
#include "SampleWorkbooks.h"
#include "ScopedHandle_win.h"
#include "Screenshot.h"
#include "FullDisk.h"
#include "HeldFiles.h"
#include "Poll.h"
#include "StandinWorkbook.h"
#include "TempDir.h"

#include <windows.h>

#include <algorithm>

using uidriver::IconKind;

namespace {

const char kDialogCaption[] = "Excelﾌﾞｯｸの形式変更";
const char kToXlsm[] =
    "使用するExcelﾌﾞｯｸの形式をExcel2007/2010形式(.xlsm)に変更します。\r\nよろしいですか？";
const char kToXls[] =
    "使用するExcelﾌﾞｯｸの形式をExcel97-2003形式(.xls)に変更します。\r\nよろしいですか？";
const char kResultCaption[] = "Excel拡張子の変更";
const char kDone[] = "ﾌｧｲﾙ形式の変換が完了しました。";
const char kNothing[] = "コンバートが必要なExcelブックはありませんでした。";

// The data sections of a workbook equal those of the original book.
testing::AssertionResult HoldsDataOf(const CString& book, const std::string& originalBytes,
                                     const char* const* sections) {
    CStandinWorkbook newBook, original;
    if (!newBook.Load(book))
        return testing::AssertionFailure() << book.GetString() << " is missing";
    original.Parse(originalBytes);
    if (newBook.GetValue("Book", "Template") != kCurrentTemplateVersion)
        return testing::AssertionFailure() << book.GetString() << " is not from the template";
    for (; *sections; ++sections) {
        const auto* got = newBook.FindSection(*sections);
        const auto* want = original.FindSection(*sections);
        if (!got || !want || got->lines != want->lines)
            return testing::AssertionFailure() << "section " << *sections << " differs";
    }
    return testing::AssertionSuccess();
}

class FormatChange : public ProductFixture {
protected:
    CString BookMng() const { return MyDataDir() + "\\BookMNG.dat"; }
    CString Marker(int n) const {
        return MyDataDir() + (n == 1 ? "\\ExType1.dat" : "\\ExType2.dat");
    }

    // Starts command 11 and waits for its question.
    uidriver::DialogWindow Start() {
        m_dates = {TodayText()};
        m_process = std::make_unique<uidriver::Process>(QuimbexStart("/K:11"));
        return uidriver::DialogWindow::WaitFor(m_process->Windows(), kDialogCaption, 60000);
    }
    QuimbexRun Answer(const uidriver::DialogWindow& dlg, int button) {
        dlg.Click(button);
        QuimbexRun run;
        FinishRun(*m_process, run);
        if (TodayText() != m_dates[0])
            m_dates.push_back(TodayText());
        return run;
    }
    QuimbexRun Change() { return Answer(Start(), IDOK); }
    // The payroll backup of a book that the run made.
    CString Backup(const std::string& stem, const std::string& ext) const {
        for (const std::string& date : m_dates)
            if (FileExists(Excel(stem + date + ext)))
                return Excel(stem + date + ext);
        return Excel(stem + m_dates[0] + ext);
    }
    // The time-stamped safety folders of the Excel folder.
    std::vector<std::string> SafetyFolders() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA fd;
        const CFindHandle h(::FindFirstFileA(ExcelDir() + "\\*", &fd));
        if (!h)
            return names;
        do {
            const std::string name = fd.cFileName;
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name.size() == 14 &&
                name.find_first_not_of("0123456789") == std::string::npos)
                names.push_back(name);
        } while (::FindNextFileA(h.Get(), &fd));
        return names;
    }
    std::vector<std::string> ConverterOpens() const {
        std::vector<std::string> opens;
        for (const std::string& line : LogLines())
            if (line.rfind("Open\t", 0) == 0)
                opens.push_back(line.substr(5));
        return opens;
    }
    void ExpectDone(const QuimbexRun& run, size_t index = 0) {
        ASSERT_LT(index, run.boxes.size());
        EXPECT_EQ(kResultCaption, run.boxes[index].caption);
        EXPECT_EQ(kDone, run.boxes[index].text);
        EXPECT_EQ(IconKind::Information, run.boxes[index].icon);
    }
    // The message of a change that failed and put every book back.
    void ExpectPutBack(const QuimbexRun::Box& box, const std::string& safetyFolder) const {
        EXPECT_EQ("Quimbex", box.caption);
        EXPECT_EQ("ﾌｧｲﾙ形式の変換に失敗しました。\nすべてのブックを変換前の状態に戻しました。\n"
                  "変換前のブックの控えは\n" +
                      ExcelDir().str() + "\\" + safetyFolder + "\nにあります。",
                  box.text);
        EXPECT_EQ(IconKind::Exclamation, box.icon);
    }
    // The files of the Excel folder without its safety folders.
    std::map<std::string, std::string>
    WithoutSafetyFolders(std::map<std::string, std::string> files) const {
        for (const std::string& folder : SafetyFolders())
            for (auto it = files.begin(); it != files.end();)
                it = it->first.rfind(folder + "\\", 0) == 0 ? files.erase(it) : std::next(it);
        return files;
    }
    std::unique_ptr<uidriver::Process> m_process;
    std::vector<std::string> m_dates;
};

} // namespace

const ExpectedDialog kTemplate131 = {
    kDialogCaption,
    {187, 83},
    IDOK,
    {
        {IDC_FORMAT_QUESTION,
         "Edit",
         ES_MULTILINE | ES_READONLY | ES_WANTRETURN,
         WS_BORDER,
         nullptr,
         {7, 7, 173, 37}},
        {IDOK, "Button", BS_DEFPUSHBUTTON, 0, "はい", {39, 57, 50, 19}},
        {IDCANCEL, "Button", 0, BS_DEFPUSHBUTTON, "いいえ", {96, 57, 50, 19}},
    }};

// "いいえ" leaves everything as it was.
TEST_F(FormatChange, QuestionMatchesTemplate131AndNoChangesNothing) {
    ExpectTemplate((BinDir() + "\\Quimbex.exe").str(), IDD_FORMAT_CHANGE, kTemplate131);
    const uidriver::DialogWindow dlg = Start();
    EXPECT_TRUE(SaveDialogShot(dlg.Handle(), IDOK, "quimbex-format-change-dialog"));
    ExpectDialog(dlg.Handle(), kTemplate131);
    EXPECT_EQ(kToXlsm, dlg.Text(IDC_FORMAT_QUESTION));
    EXPECT_FALSE(::GetWindowLongA(dlg.Control(IDC_FORMAT_QUESTION), GWL_EXSTYLE) &
                 WS_EX_CLIENTEDGE);
    const auto before = Snapshot(ProductDir());
    EXPECT_TRUE(Answer(dlg, IDCANCEL).boxes.empty());
    EXPECT_EQ(before, Snapshot(ProductDir()));
    EXPECT_EQ(0, ServerStarts());
}

// There and back on one installation: the question, the converter of the
// target format, the books, the book list and the marker follow each way.
TEST_F(FormatChange, XlsToXlsmAndBackAgain) {
    WriteBookMap(BookMng(),
                 {{"kyuyo", 0, "kyuyo.xls", "メモ"}, {"表参道店", 1, "表参道店.xls", ""}});
    const std::map<std::string, std::string> original = Snapshot(ExcelDir());
    const struct {
        const char* question;
        const char* from;
        const char* to;
        int marker;
    } ways[] = {{kToXlsm, ".xls", ".xlsm", 2}, {kToXls, ".xlsm", ".xls", 1}};
    for (const auto& w : ways) {
        SCOPED_TRACE(w.to);
        const std::string from = w.from, to = w.to;
        ExcelStandin::ClearLog();
        const uidriver::DialogWindow dlg = Start();
        EXPECT_EQ(w.question, dlg.Text(IDC_FORMAT_QUESTION));
        const QuimbexRun run = Answer(dlg, IDOK);
        ASSERT_EQ(1u, run.boxes.size());
        ExpectDone(run);
        for (const std::string& open : ConverterOpens())
            EXPECT_EQ(OrgDir().str() + "\\xlConv2" + to, open);
        // Per workbook a protection check, then 7 payroll macros or 1 attendance macro.
        EXPECT_EQ(18u, RunLines().size());
        for (const char* stem : {"kyuyo", "表参道店"}) {
            EXPECT_TRUE(HoldsDataOf(Excel(stem + to), original.at(stem + std::string(".xls")),
                                    kPayrollSections))
                << stem;
            EXPECT_FALSE(FileExists(Excel(stem + from))) << stem;
            EXPECT_TRUE(FileExists(Backup(stem, from))) << stem;
        }
        EXPECT_TRUE(HoldsDataOf(Excel("勤怠_kyuyo" + to), original.at("勤怠_kyuyo.xls"),
                                kAttendanceSections));
        const auto books = ReadBookMap(BookMng());
        ASSERT_EQ(2u, books.size());
        EXPECT_EQ("kyuyo" + to, books.at("kyuyo").fileName);
        EXPECT_EQ(0, books.at("kyuyo").order);
        EXPECT_EQ("メモ", books.at("kyuyo").note);
        EXPECT_EQ("表参道店" + to, books.at("表参道店").fileName);
        EXPECT_EQ(1, books.at("表参道店").order);
        EXPECT_TRUE(FileExists(Marker(w.marker)));
        EXPECT_FALSE(FileExists(Marker(3 - w.marker)));
    }
    // The first run's safety folder holds the books as they were.
    std::vector<std::string> folders = SafetyFolders();
    ASSERT_FALSE(folders.empty());
    std::sort(folders.begin(), folders.end());
    const auto safe = Snapshot(ExcelDir() + "\\" + folders.front().c_str());
    for (const char* name : {"kyuyo.xls", "勤怠_kyuyo.xls", "表参道店.xls"})
        EXPECT_EQ(original.at(name), safe.at(name)) << name;
}

// Each record names its workbook in its own way: the extension twice, in
// capitals, or already in the target format.  Every whole extension is
// replaced in any case, never the ".xls" inside ".xlsm".
TEST_F(FormatChange, ExtensionsAreReplacedWholeAndInAnyCase) {
    const struct {
        const char* key;
        const char* record;
        const char* file;
        const char* rebuilt;
    } books[] = {
        {"a", "a.xls.xls", "a.xls.xls", "a.xlsm.xlsm"},
        {"kyuyo", "KYUYO.XLS", "kyuyo.xls", "KYUYO.xlsm"},
        {"b", "b.xlsm", "b.xlsm", "b.xlsm"},
    };
    std::vector<BookEntry> entries;
    std::map<std::string, std::string> originals;
    for (const auto& b : books) {
        entries.push_back({b.key, 0, b.record, ""});
        if (!FileExists(Excel(b.file)))
            WriteFileBytes(Excel(b.file), ReadFileBytes(Excel("表参道店.xls")));
        originals[b.key] = ReadFileBytes(Excel(b.file));
    }
    const std::string attendance = ReadFileBytes(Excel("勤怠_kyuyo.xls"));
    WriteBookMap(BookMng(), entries);
    const QuimbexRun run = Change();
    ASSERT_EQ(1u, run.boxes.size());
    ExpectDone(run);
    const auto list = ReadBookMap(BookMng());
    for (const auto& b : books) {
        SCOPED_TRACE(b.record);
        EXPECT_EQ(b.rebuilt, list.at(b.key).fileName);
        EXPECT_TRUE(HoldsDataOf(Excel(b.rebuilt), originals.at(b.key), kPayrollSections));
        EXPECT_EQ(originals.at(b.key), ReadFileBytes(Backup(b.key, ".xls")));
    }
    EXPECT_TRUE(HoldsDataOf(Excel("勤怠_KYUYO.xlsm"), attendance, kAttendanceSections));
    EXPECT_TRUE(FilesStartingWith(ExcelDir(), "b.xlsmm").empty());
}

// A workbook of the target format that exists already is overwritten by
// the rebuild: the safety folder keeps it beside the book of the old format.
TEST_F(FormatChange, BothFormatsOfABookGoIntoTheSafetyFolder) {
    WriteFileBytes(Excel("kyuyo.xlsm"), ReadFileBytes(Excel("表参道店.xls")));
    const auto before = Snapshot(ExcelDir());
    const QuimbexRun run = Change();
    ExpectDone(run);
    const std::vector<std::string> folders = SafetyFolders();
    ASSERT_EQ(1u, folders.size());
    const auto safe = Snapshot(ExcelDir() + "\\" + folders[0].c_str());
    for (const char* name : {"kyuyo.xls", "kyuyo.xlsm", "勤怠_kyuyo.xls", "表参道店.xls"})
        EXPECT_EQ(before.at(name), safe.at(name)) << name;
    EXPECT_EQ(4u, safe.size());
}

TEST_F(FormatChange, EmptyBookListStillSwitchesTheMarker) {
    const struct {
        const char* what;
        bool fileExists;
    } cases[] = {{"no book in the file", true}, {"no file", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.fileExists)
            WriteBookMap(BookMng(), {});
        else
            ::DeleteFileA(BookMng());
        const QuimbexRun run = Change();
        ASSERT_EQ(2u, run.boxes.size());
        EXPECT_EQ(kResultCaption, run.boxes[0].caption);
        EXPECT_EQ(kNothing, run.boxes[0].text);
        EXPECT_EQ(IconKind::Information, run.boxes[0].icon);
        ExpectDone(run, 1);
        EXPECT_TRUE(FileExists(Marker(2)));
        EXPECT_FALSE(FileExists(Marker(1)));
        EXPECT_EQ(0, ServerStarts());
        ASSERT_TRUE(::MoveFileA(Marker(2), Marker(1)));
    }
}

// Whatever would stop the change half-way is found before the first book
// changes: a protected or missing book, one that another program holds (a
// book, the file of the other format a template would replace, the book
// list, the marker), a missing template or marker.  The message names the
// file and why; the books, the list and the marker stay as they were, and
// no safety folder is made.
TEST_F(FormatChange, AnythingThatWouldStopTheChangeIsFoundBeforeABookChanges) {
    enum class Trouble {
        protectedBook,
        protectedAttendance,
        missingBook,
        heldBook,
        heldTarget,
        missingTemplate,
        missingAttendanceTemplate,
        heldList,
        missingMarker,
        heldMarker,
        bothMarkers
    };
    const std::string org = OrgDir().str(), mydata = MyDataDir().str();
    const struct {
        Trouble trouble;
        std::string text;
        const char* stdoutText;
    } cases[] = {
        {Trouble::protectedBook,
         "表参道店."
         "xls\nにはパスワード保護がかかっています。\nパスワード保護をはずす必要があります。",
         ""},
        {Trouble::protectedAttendance,
         "勤怠_kyuyo.xls\nにはパスワード保護がかかっています。\nパスワード保護をはずす必要があり"
         "ます。",
         ""},
        {Trouble::missingBook, "表参道店.xls\nが見つかりません。", ""},
        {Trouble::heldBook,
         "表参道店.xls\nは他のアプリケーションで開かれています。\nブックを閉じてください。",
         "ERROR: accessDenied\r\n"},
        {Trouble::heldTarget,
         "kyuyo.xlsm\nは他のアプリケーションで開かれています。\nブックを閉じてください。",
         "ERROR: accessDenied\r\n"},
        {Trouble::missingTemplate,
         "ひな形のブック\n" + org + "\\Kyuyo.xlsm\nが見つからないか、読み込めません。", ""},
        {Trouble::missingAttendanceTemplate,
         "ひな形のブック\n" + org + "\\勤怠_kyuyo.xlsm\nが見つからないか、読み込めません。", ""},
        {Trouble::heldList,
         "ブック管理データファイル\n" + mydata + "\\BookMNG.dat\nに書き込めません。", ""},
        {Trouble::missingMarker,
         "ブックの形式を示すファイル\n" + mydata + "\\ExType1.dat\nが見つかりません。",
         "ERROR: fileNotFound\r\n"},
        {Trouble::heldMarker,
         "ブックの形式を示すファイル\n" + mydata + "\\ExType1.dat\nの名前を変更できません。",
         "ERROR: accessDenied\r\n"},
        {Trouble::bothMarkers,
         "ブックの形式を示すファイル\n" + mydata + "\\ExType1.dat\nの名前を変更できません。", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        RelayProduct();
        ClearLog();
        Holding held;
        switch (c.trouble) {
        case Trouble::protectedBook:
            Protect("表参道店.xls");
            break;
        case Trouble::protectedAttendance:
            Protect("勤怠_kyuyo.xls");
            break;
        case Trouble::missingBook:
            ASSERT_TRUE(::DeleteFileA(Excel("表参道店.xls")));
            break;
        case Trouble::heldBook:
            held = std::make_shared<HeldFile>(Excel("表参道店.xls"));
            break;
        case Trouble::heldTarget:
            WriteFileBytes(Excel("kyuyo.xlsm"), "an older book");
            held = std::make_shared<HeldFile>(Excel("kyuyo.xlsm"));
            break;
        case Trouble::missingTemplate:
            ASSERT_TRUE(::DeleteFileA(OrgDir() + "\\Kyuyo.xlsm"));
            break;
        case Trouble::missingAttendanceTemplate:
            ASSERT_TRUE(::DeleteFileA(OrgDir() + "\\勤怠_kyuyo.xlsm"));
            break;
        case Trouble::heldList:
            held = std::make_shared<HeldFile>(BookMng());
            break;
        case Trouble::missingMarker:
            ASSERT_TRUE(::DeleteFileA(Marker(1)));
            break;
        case Trouble::heldMarker:
            held = std::make_shared<HeldFile>(Marker(1));
            break;
        case Trouble::bothMarkers:
            WriteFileBytes(Marker(2), "");
            break;
        }
        const auto books = Snapshot(ExcelDir());
        const auto myData = Snapshot(MyDataDir());
        const NothingLost kept(ExcelDir());
        const QuimbexRun run = Change();
        held.reset();
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ("Quimbex", run.boxes[0].caption);
        EXPECT_EQ(c.text + "\nﾌｧｲﾙ形式の変換を中断します", run.boxes[0].text);
        EXPECT_EQ(IconKind::Exclamation, run.boxes[0].icon);
        EXPECT_EQ(c.stdoutText, run.stdoutText);
        EXPECT_EQ(books, Snapshot(ExcelDir()));
        EXPECT_EQ(myData, Snapshot(MyDataDir()));
        EXPECT_TRUE(SafetyFolders().empty());
        for (const std::string& line : RunLines())
            EXPECT_EQ(0u, line.find("Run\tCheckProtect\t")) << line;
    }
}

// A list that cannot be read whole would lose the records after the damage
// (and a file of no bytes is no list): nothing changes, and the change does
// not report itself complete.
TEST_F(FormatChange, DamagedBookListChangesNothing) {
    const std::string whole = ReadFileBytes(BookMng());
    for (const std::string& damaged : {std::string(), whole.substr(0, whole.size() - 3)}) {
        SCOPED_TRACE(damaged.size());
        WriteFileBytes(BookMng(), damaged);
        const auto before = Snapshot(ProductDir());
        const QuimbexRun run = Change();
        std::vector<std::string> texts;
        for (const QuimbexRun::Box& box : run.boxes)
            texts.push_back(box.text);
        EXPECT_EQ((std::vector<std::string>{"ブック管理データファイルが壊れています。",
                                            "ﾌｧｲﾙ形式の変換を実行できません。"}),
                  texts);
        EXPECT_EQ(before, Snapshot(ProductDir()));
        EXPECT_EQ(0, ServerStarts());
    }
}

TEST_F(FormatChange, ExcelBefore2007IsRefusedWithoutADialog) {
    const struct {
        int version; // 0: not registered
        const char* text;
    } cases[] = {
        {11, "ﾌｧｲﾙ形式の変換を行うには、Microsoft Excel(2007以上)がｲﾝｽﾄｰﾙされている必要があります"},
        {0, "ﾌｧｲﾙ形式の変換を行うには、Microsoft Excelがｲﾝｽﾄｰﾙされている必要があります"},
    };
    const auto before = Snapshot(ProductDir());
    const NothingLost kept(ExcelDir());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        if (c.version)
            ASSERT_TRUE(ExcelStandin::Register(ExcelStandin::ServerPathBeside(), c.version));
        else
            ASSERT_TRUE(ExcelStandin::Unregister());
        const QuimbexRun run = RunToEnd(QuimbexStart("/K:11"));
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ("ﾌｧｲﾙ形式の変換", run.boxes[0].caption);
        EXPECT_EQ(c.text, run.boxes[0].text);
        EXPECT_EQ(IconKind::Information, run.boxes[0].icon);
        EXPECT_TRUE(run.otherWindows.empty());
        EXPECT_EQ(before, Snapshot(ProductDir()));
    }
}

// Excel ends in the middle of the first book: that macro is reported, the
// book's other macros run in one new Excel, and the run stops there.  The
// books are put back as they were, the list and the marker stay, and the
// message says where the safety folder is.
TEST_F(FormatChange, ExcelDyingInTheMiddlePutsEveryBookBack) {
    const auto before = Snapshot(ExcelDir());
    const auto myData = Snapshot(MyDataDir());
    const NothingLost kept(ExcelDir());
    CStandinFaults faults;
    faults.SetDieAfterRuns(5); // three protection checks, the company, then the employees
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    const uidriver::DialogWindow dlg = Start();
    dlg.Click(IDOK);
    // Every new Excel would die in its fifth call too: the fault goes once
    // the first has died, while the program's message waits.
    ASSERT_TRUE(uidriver::PollUntil([this] { return ExcelHasDied(); }, 60000));
    ExcelStandin::ClearFaults();
    QuimbexRun run;
    FinishRun(*m_process, run);
    ASSERT_EQ(2u, run.boxes.size());
    EXPECT_EQ("コンバート処理を中断しました。", run.boxes[0].text);
    const std::vector<std::string> folders = SafetyFolders();
    ASSERT_EQ(1u, folders.size());
    ExpectPutBack(run.boxes[1], folders[0]);
    EXPECT_EQ(2, ServerStarts());
    EXPECT_EQ(3u + 7u, RunLines().size()); // the checks, then the first book's macros
    EXPECT_EQ(myData, Snapshot(MyDataDir()));
    EXPECT_EQ(before, WithoutSafetyFolders(Snapshot(ExcelDir())));
    const auto safe = Snapshot(ExcelDir() + "\\" + folders[0].c_str());
    for (const char* name : {"kyuyo.xls", "勤怠_kyuyo.xls", "表参道店.xls"})
        EXPECT_EQ(before.at(name), safe.at(name)) << name;
}

// The program ends half-way (it is killed, the computer goes down), in the
// first book, between the books, in the last: every workbook still lies
// under the name the list gives it, with its data, and the marker agrees
// with the list.  A second run converts every book, over the new workbooks
// the first one left.
TEST_F(FormatChange, RunEndedHalfWayLeavesEveryBookWhereTheListSays) {
    const auto original = Snapshot(ExcelDir());
    const struct {
        const char* macro;
        int count;
    } ends[] = {{"会社情報コンバート", 1}, {"会社情報コンバート", 2}, {"源泉徴収票コンバート", 2}};
    for (const auto& e : ends) {
        SCOPED_TRACE(std::string(e.macro) + " " + std::to_string(e.count));
        RelayProduct();
        ClearLog();
        const NothingLost kept(ExcelDir());
        CStandinFaults faults;
        faults.SetDelay("*", 200);
        ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
        Start().Click(IDOK);
        ASSERT_TRUE(uidriver::PollUntil(
            [&] {
                const auto lines = RunLines();
                return std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
                           return line.find(e.macro) != std::string::npos;
                       }) >= e.count;
            },
            60000));
        m_process->Terminate();
        ExcelStandin::KillStrayServers();
        ExcelStandin::ClearFaults();
        for (const auto& book : ReadBookMap(BookMng())) {
            for (const std::string& name : {book.second.fileName, "勤怠_" + book.second.fileName}) {
                if (original.count(name)) {
                    EXPECT_EQ(original.at(name), ReadFileBytes(Excel(name))) << name;
                }
            }
        }
        EXPECT_TRUE(FileExists(Marker(1)));
        EXPECT_FALSE(FileExists(Marker(2)));

        ClearLog();
        ExpectDone(Change());
        const auto list = ReadBookMap(BookMng());
        EXPECT_EQ("kyuyo.xlsm", list.at("kyuyo").fileName);
        EXPECT_EQ("表参道店.xlsm", list.at("表参道店").fileName);
        for (const char* stem : {"kyuyo", "表参道店"}) {
            EXPECT_TRUE(HoldsDataOf(Excel(stem + std::string(".xlsm")),
                                    original.at(stem + std::string(".xls")), kPayrollSections))
                << stem;
            EXPECT_FALSE(FileExists(Excel(stem + std::string(".xls")))) << stem;
        }
        EXPECT_TRUE(HoldsDataOf(Excel("勤怠_kyuyo.xlsm"), original.at("勤怠_kyuyo.xls"),
                                kAttendanceSections));
        EXPECT_FALSE(FileExists(Excel("勤怠_kyuyo.xls")));
        EXPECT_TRUE(FileExists(Marker(2)));
    }
}

// Two books whose workbooks would take one name in the new format (a list
// that holds a book of each format, "kyuyo.xls" and "kyuyo.xlsm"): the
// first would be converted over the second, whose data would then be
// carried from the first.  The change is refused before any book changes.
TEST_F(FormatChange, BooksThatWouldTakeOneNameAreRefusedBeforeAnyChange) {
    CStandinWorkbook other;
    ASSERT_TRUE(other.Load(Excel("表参道店.xls")));
    other.SetLines("Company", {"Name=株式会社本店", "Code=9"});
    ASSERT_TRUE(other.Save(Excel("kyuyo.xlsm")));
    WriteBookMap(BookMng(), {{"kyuyo", 0, "kyuyo.xls", ""},
                             {"本店", 1, "kyuyo.xlsm", ""},
                             {"表参道店", 2, "表参道店.xls", ""}});
    const auto before = Snapshot(ProductDir());
    const NothingLost kept(ExcelDir());
    const QuimbexRun run = Change();
    ASSERT_EQ(1u, run.boxes.size());
    const std::string& text = run.boxes[0].text;
    EXPECT_TRUE(text == "kyuyo.xls\nと\nkyuyo.xlsm\nは変換後に同じ名前\nkyuyo.xlsm\nになります。\n"
                        "ﾌｧｲﾙ形式の変換を中断します" ||
                text == "kyuyo.xlsm\nと\nkyuyo.xls\nは変換後に同じ名前\nkyuyo.xlsm\nになります。\n"
                        "ﾌｧｲﾙ形式の変換を中断します")
        << text;
    EXPECT_EQ(before, Snapshot(ProductDir()));
    EXPECT_TRUE(SafetyFolders().empty());
    EXPECT_EQ(0, ServerStarts());
}

namespace {

// The product directory (with "BookMNG.dat") on the small drive, the data
// directory with the books on the ordinary one.
class FormatChangeOnFullDisk : public FormatChange {
protected:
    void SetUp() override {
        FormatChange::SetUp();
        m_small = std::make_unique<FullDisk>(1024);
        if (!m_small->IsMounted())
            GTEST_SKIP() << FullDisk::kNoDisk;
        SampleProductOptions options;
        options.strDataDir = ProductDir();
        ASSERT_TRUE(LaidSample(m_small->Path(), options));
    }
    CString SmallMyData() const { return m_small->Path() + "\\Data\\MyData"; }

    std::unique_ptr<FullDisk> m_small;
};

} // namespace

// The disk fills up while the new book list is written, after every book
// has been converted: the old list stays byte for byte, no temporary file
// is left, the marker takes its old name again and every book is put back.
// The old list fills exactly two blocks of the drive and the new one, with
// its longer names, needs a third: rewriting the file in place would cut it.
TEST_F(FormatChangeOnFullDisk, FullDiskLeavesTheOldBookListAndPutsTheBooksBack) {
    const CString list = SmallMyData() + "\\BookMNG.dat";
    WriteBookMap(list, {{"kyuyo", 0, "kyuyo.xls", std::string(8140, 'n')},
                        {"表参道店", 1, "表参道店.xls", ""}});
    const std::string old = ReadFileBytes(list);
    ASSERT_EQ(8192u, old.size());
    const auto before = Snapshot(ExcelDir());
    const NothingLost kept(ExcelDir());
    const uidriver::DialogWindow dlg = Start();
    ASSERT_TRUE(m_small->Fill());
    const QuimbexRun run = Answer(dlg, IDOK);
    ASSERT_EQ(2u, run.boxes.size());
    // The list is written beside itself first: the file error names that file.
    EXPECT_EQ(list.str() + ".tmp の書き込み中にディスクがいっぱいになりました。",
              run.boxes[0].text);
    const std::vector<std::string> folders = SafetyFolders();
    ASSERT_EQ(1u, folders.size());
    ExpectPutBack(run.boxes[1], folders[0]);
    const std::string now = ReadFileBytes(list);
    EXPECT_TRUE(old == now) << "the list is now " << now.size() << " bytes";
    EXPECT_FALSE(FileExists(list + ".tmp"));
    EXPECT_TRUE(FileExists(SmallMyData() + "\\ExType1.dat"));
    EXPECT_FALSE(FileExists(SmallMyData() + "\\ExType2.dat"));
    EXPECT_EQ(before, WithoutSafetyFolders(Snapshot(ExcelDir())));
}
