#include "BookChecks.h"
#include "ExcelFileMap.h"
#include "QuimbexE2e.h"
#include "TempDir.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>

using uidriver::IconKind;

namespace {

const char kCaption[] = "データコンバート";
const char kDone[] = "Excelブックのコンバートが完了しました。\nExcelブックの起動は "
                     "メイン画面【Excel】ボタンから行ってください。";
const char kFailed[] =
    "Excelブックのコンバートに失敗しました。パソコンを再起動し、各ブックの初期化を行ってください。";
const char kNothing[] = "コンバートが必要なExcelブックはありませんでした。";
const char kDamaged[] = "ブック管理データファイルが壊れています。";
const char kAborted[] = "コンバート処理を中断しました。";
const char kEarlierMarker[] = "from an earlier run";

const char* const kDataMacros[] = {
    "会社情報コンバート", "社員名簿コンバート",   "給与データコンバート", "給与明細コンバート",
    "賞与明細コンバート", "源泉徴収票コンバート", "差引徴収税額再計算"};

class ConvertAllBooks : public QuimbexE2e {
protected:
    void SetUp() override {
        QuimbexE2e::SetUp();
        WriteFileBytes(ExConv(), "");
    }
    // A fresh sample for the next case of a table, "ExConv.dat" included.
    void Relay() {
        RelayProduct();
        ClearLog();
        WriteFileBytes(ExConv(), "");
    }
    void ExpectMarkersUntouched() {
        EXPECT_TRUE(FileExists(ExConv()));
        EXPECT_FALSE(FileExists(ExMng()));
    }
    void ExpectSampleBooksRebuilt(const char* const* payrollSections = kPayrollSections) {
        EXPECT_TRUE(IsRebuiltFrom(Excel("kyuyo.xls"), Backup("kyuyo", ".xls"), payrollSections));
        EXPECT_TRUE(IsRebuiltFrom(Excel("勤怠_kyuyo.xls"), Backup("勤怠_kyuyo_", ".xls"),
                                  kAttendanceSections));
        EXPECT_TRUE(
            IsRebuiltFrom(Excel("表参道店.xls"), Backup("表参道店", ".xls"), payrollSections));
    }
    void SetFaults(const CStandinFaults& faults) { ASSERT_TRUE(ExcelStandin::WriteFaults(faults)); }
    // The list exists, but nothing of it could be read.
    std::string Unreadable() const {
        return "ブック管理データファイル\n" + BookMngPath().str() +
               "\nを読み込めません。\nコンバート処理を中断します";
    }
    // The Run lines of a run that rebuilt every book of the sample: the books
    // in the order of the book map, each with its payroll workbook and then
    // its attendance workbook, if it has one.
    std::vector<std::string> ExpectedRuns() const {
        CExcelFileMap map(BookMngPath());
        map.Load();
        std::vector<std::string> runs;
        for (POSITION pos = map.m_mapBooks.GetStartPosition(); pos;) {
            CString key;
            CDataForExMap book;
            map.m_mapBooks.GetNextAssoc(pos, key, book);
            const std::string k = key.str(), name = book.m_strFileName.str();
            const auto payroll = PayrollRebuildRuns(name, BackupFile(k, ".xls"), name);
            runs.insert(runs.end(), payroll.begin(), payroll.end());
            if (FileExists(Excel("勤怠_" + name))) {
                const auto attendance = AttendanceRebuildRuns(
                    "勤怠_" + name, BackupFile("勤怠_" + k + "_", ".xls"), "勤怠_" + name);
                runs.insert(runs.end(), attendance.begin(), attendance.end());
            }
        }
        return runs;
    }
};

} // namespace

TEST_F(ConvertAllBooks, EveryBookIsRebuiltAndTheMarkersRecordSuccess) {
    const std::string oldKyuyo = ReadFileBytes(Excel("kyuyo.xls"));
    WriteFileBytes(ExMng(), kEarlierMarker);
    const QuimbexRun run = Run("/K:9", "quimbex-convert-done");
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(kCaption, run.boxes[0].caption);
    EXPECT_EQ(kDone, run.boxes[0].text);
    EXPECT_EQ(IconKind::Information, run.boxes[0].icon);
    EXPECT_EQ(0u, run.exitCode);

    EXPECT_EQ(oldKyuyo, ReadFileBytes(Backup("kyuyo", ".xls")));
    ExpectSampleBooksRebuilt();
    // The book without an attendance workbook gets none.
    EXPECT_FALSE(FileExists(Excel("勤怠_表参道店.xls")));

    EXPECT_FALSE(FileExists(ExConv()));
    ASSERT_TRUE(FileExists(ExMng()));
    EXPECT_EQ("", ReadFileBytes(ExMng())); // truncated
    EXPECT_EQ(ExpectedRuns(), RunLines());
    EXPECT_EQ(1, ServerStarts());
    // The wait dialog is the only other window.
    ASSERT_EQ(1u, run.otherWindows.size());
    EXPECT_EQ("#32770|", run.otherWindows[0]);
}

TEST_F(ConvertAllBooks, CodeTwelveShowsNoFinalMessageButLeavesTheMarker) {
    const QuimbexRun run = Run("/K:12");
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_TRUE(FileExists(ExMng()));
    EXPECT_FALSE(FileExists(ExConv()));
    EXPECT_TRUE(FileExists(Backup("kyuyo", ".xls")));
}

TEST_F(ConvertAllBooks, NothingToConvertTouchesNoMarker) {
    enum MapFile { emptyMap, noFile, folder };
    const struct {
        const char* what;
        MapFile file;
        bool noExcel;
        const char* tail;
    } cases[] = {
        {"empty map, code 12", emptyMap, false, "/K:12"},
        {"empty map, code 9", emptyMap, false, "/K:9"},
        {"no BookMNG.dat", noFile, false, "/K:12"},
        {"BookMNG.dat is a folder", folder, false, "/K:9"},
        // The map is looked at before the version of Excel.
        {"empty map, no Excel registered", emptyMap, true, "/K:9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ::DeleteFileA(BookMngPath());
        ::RemoveDirectoryA(BookMngPath());
        if (c.file == emptyMap)
            WriteFileBytes(BookMngPath(), std::string(2, '\0'));
        if (c.file == folder) {
            ASSERT_TRUE(::CreateDirectoryA(BookMngPath(), nullptr));
        }
        if (c.noExcel) {
            ASSERT_TRUE(ExcelStandin::RemoveCurVer());
        }
        const QuimbexRun run = Run(c.tail);
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ(kCaption, run.boxes[0].caption);
        EXPECT_EQ(kNothing, run.boxes[0].text);
        EXPECT_EQ(IconKind::Information, run.boxes[0].icon);
        EXPECT_EQ(0u, run.exitCode) << "nothing to do is no failure";
        ExpectMarkersUntouched();
    }
    EXPECT_EQ(0, ServerStarts());
}

TEST_F(ConvertAllBooks, ProtectedBookFailsTheRunButTheOthersAreRebuilt) {
    Protect("表参道店.xls");
    const std::string protectedBook = ReadFileBytes(Excel("表参道店.xls"));
    const NothingLost kept(ExcelDir());
    const QuimbexRun run = Run("/K:9");
    ASSERT_EQ(2u, run.boxes.size());
    EXPECT_EQ("Quimbex", run.boxes[0].caption);
    EXPECT_EQ("表参道店."
              "xls\nにはパスワード保護がかかっています。\nパスワード保護をはずす必要があります。",
              run.boxes[0].text);
    EXPECT_EQ(IconKind::Exclamation, run.boxes[0].icon);
    EXPECT_EQ(kCaption, run.boxes[1].caption);
    EXPECT_EQ(kFailed, run.boxes[1].text);
    EXPECT_EQ(IconKind::Exclamation, run.boxes[1].icon);

    EXPECT_EQ(protectedBook, ReadFileBytes(Excel("表参道店.xls")));
    EXPECT_FALSE(FileExists(Backup("表参道店", ".xls")));
    EXPECT_TRUE(IsRebuiltFrom(Excel("kyuyo.xls"), Backup("kyuyo", ".xls"), kPayrollSections));
    EXPECT_FALSE(FileExists(ExConv()));
    EXPECT_FALSE(FileExists(ExMng()));
}

TEST_F(ConvertAllBooks, BookOpenElsewhereIsLeftAloneAndReported) {
    const NothingLost kept(ExcelDir());
    const std::string before = ReadFileBytes(Excel("kyuyo.xls"));
    std::optional<HeldFile> held(std::in_place, Excel("kyuyo.xls"));
    ASSERT_TRUE(held->IsHeld());
    const QuimbexRun run = Run("/K:9");
    held.reset();

    EXPECT_NE(std::string::npos, run.stdoutText.find("ERROR: accessDenied")) << run.stdoutText;
    ASSERT_EQ(2u, run.boxes.size());
    EXPECT_EQ("Quimbex", run.boxes[0].caption);
    EXPECT_EQ("初期化するブックを閉じてください。", run.boxes[0].text);
    EXPECT_EQ(kFailed, run.boxes[1].text);
    EXPECT_EQ(before, ReadFileBytes(Excel("kyuyo.xls")));
    EXPECT_FALSE(FileExists(Backup("kyuyo", ".xls")));
    EXPECT_TRUE(FileExists(Backup("表参道店", ".xls")));
    EXPECT_FALSE(FileExists(ExMng()));
}

TEST_F(ConvertAllBooks, TooOldOrMissingExcelIsRefusedBeforeAnyChange) {
    const struct {
        int version; // 0: no CurVer
        const char* text;
    } cases[] = {
        {0, "Excelブックのコンバートを行うには、\nMicrosoft Excelがｲﾝｽﾄｰﾙされている必要があります"},
        {7, "Excelブックのコンバートを行うには、\nMicrosoft "
            "Excel(97以上)がｲﾝｽﾄｰﾙされている必要があります"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        if (c.version) {
            ASSERT_TRUE(ExcelStandin::SetCurVer(c.version));
        } else
            ASSERT_TRUE(ExcelStandin::RemoveCurVer());
        const NothingLost kept(ExcelDir());
        const QuimbexRun run = Run("/K:9");
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ("Excelブックのコンバート", run.boxes[0].caption);
        EXPECT_EQ(c.text, run.boxes[0].text);
        EXPECT_EQ(IconKind::Information, run.boxes[0].icon);
        EXPECT_EQ(1u, run.exitCode);
        ExpectMarkersUntouched();
        EXPECT_FALSE(FileExists(Backup("kyuyo", ".xls")));
    }
}

TEST_F(ConvertAllBooks, TakenBackupNameGetsTheTimeOfDay) {
    const CString taken = Excel("kyuyo" + TodayText() + ".xls");
    WriteFileBytes(taken, "an earlier backup");
    const std::string original = ReadFileBytes(Excel("kyuyo.xls"));
    const QuimbexRun run = Run("/K:12");
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ("an earlier backup", ReadFileBytes(taken));
    // kyuyo<date><HHMMSS>.xls holds the old workbook.
    std::vector<std::string> backups;
    for (const auto& entry : FolderContents(ExcelDir()))
        if (entry.second == original)
            backups.push_back(entry.first);
    ASSERT_EQ(1u, backups.size());
    const std::string stem = "kyuyo" + m_dates[0];
    const std::string& name = backups[0];
    ASSERT_EQ(stem.size() + 6 + 4, name.size()) << name;
    EXPECT_EQ(0u, name.find(stem)) << name;
    EXPECT_TRUE(std::all_of(name.begin() + stem.size(), name.end() - 4, ::isdigit)) << name;
    EXPECT_TRUE(FileExists(ExMng()));
}

// A step that fails makes the run fail, whatever later steps answer, and
// leaves an earlier "ExMng.dat" as it was; every book is still tried.  Only
// a file is a workbook: a book whose name is empty or names a folder is
// named as a damaged record and fails, and the folder stays where it is.
TEST_F(ConvertAllBooks, FailedStepFailsTheRunButEveryBookIsTried) {
    enum Fault { none, payDataFalse, taxIntegerTwo };
    const struct {
        const char* what;
        Fault fault;
        const char* extraKey;  // a book added to the map
        const char* extraName; // its file name
        bool refused;          // the record is named as damaged
    } cases[] = {
        {"a macro answers False", payDataFalse, nullptr, nullptr, false},
        {"the last macro answers the Integer 2", taxIntegerTwo, nullptr, nullptr, false},
        {"a book's workbook is missing", none, "閉店", "閉店.xls", false},
        {"a book without a file name", none, "名無し", "", true},
        {"a book that names a folder", none, "sub", "sub", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Relay();
        WriteFileBytes(ExMng(), kEarlierMarker);
        ASSERT_TRUE(::CreateDirectoryA(Excel("sub"), nullptr));
        WriteFileBytes(Excel("sub\\inside.xls"), "kept");
        if (c.extraKey)
            SetBookEntry(c.extraKey, c.extraName);
        CStandinFaults faults;
        if (c.fault == payDataFalse)
            faults.SetReturn("給与データコンバート", CStandinFaults::resultFalse);
        if (c.fault == taxIntegerTwo)
            faults.SetReturn("差引徴収税額再計算", CStandinFaults::resultInteger, 2);
        const NothingLost kept(ExcelDir());
        SetFaults(faults);

        const QuimbexRun run = Run("/K:9");
        std::vector<std::string> texts{kFailed};
        if (c.refused)
            texts.insert(texts.begin(), std::string("ブック管理データファイルが壊れています。\n") +
                                            c.extraName +
                                            "\nはExcelフォルダのブックを指していません。\n"
                                            "このブックはコンバートしません。");
        EXPECT_EQ(texts, Texts(run));
        ASSERT_FALSE(run.boxes.empty());
        EXPECT_EQ(kCaption, run.boxes.back().caption);
        EXPECT_EQ(IconKind::Exclamation, run.boxes.back().icon);
        EXPECT_EQ(1u, run.exitCode);
        EXPECT_EQ(kEarlierMarker, ReadFileBytes(ExMng()));
        EXPECT_FALSE(FileExists(ExConv()));
        // A macro that answers False without running carries nothing over.
        static const char* const kAllButPayData[] = {"Company",    "Employees",   "Payslips",
                                                     "BonusSlips", "Withholding", nullptr};
        ExpectSampleBooksRebuilt(c.fault == payDataFalse ? kAllButPayData : kPayrollSections);
        EXPECT_EQ("kept", ReadFileBytes(Excel("sub\\inside.xls")));
        const std::vector<std::string> macros = Macros();
        for (const char* macro : kDataMacros)
            EXPECT_EQ(2, std::count(macros.begin(), macros.end(), macro)) << macro;
        EXPECT_EQ(1, std::count(macros.begin(), macros.end(), "勤怠コンバート"));
    }
}

// A damaged file has been reported; what was read before the damage is
// converted, but the run cannot claim that every book was.  A list of
// which nothing could be read (no bytes, or another program holds it for
// itself) says nothing of the books: the run says it cannot read it, never
// that no book needed converting.
TEST_F(ConvertAllBooks, DamagedBookManagementFileIsReportedAndFailsTheRun) {
    const std::string whole = ReadFileBytes(BookMngPath());
    // count (2), key (1 + L), order (4), file name (1 + M), note (1)
    const size_t keyLength = static_cast<unsigned char>(whole.at(2));
    const std::string firstKey = whole.substr(3, keyLength);
    const size_t nameAt = 3 + keyLength + 4;
    const std::string firstName =
        whole.substr(nameAt + 1, static_cast<unsigned char>(whole.at(nameAt)));
    const size_t firstEnd = nameAt + 1 + firstName.size() + 1;
    const std::string secondName = firstName == "kyuyo.xls" ? "表参道店.xls" : "kyuyo.xls";

    const struct {
        const char* what;
        std::string bytes;
        std::vector<std::string> texts;
        bool firstConverted;
        bool heldAlone;
    } cases[] = {
        {"cut inside the second entry",
         whole.substr(0, firstEnd + 3),
         {kDamaged, kFailed},
         true,
         false},
        {"no bytes at all", "", {kDamaged, Unreadable()}, false, false},
        {"held by another program alone", whole, {Unreadable()}, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Relay();
        WriteFileBytes(BookMngPath(), c.bytes);
        const NothingLost kept(ExcelDir());
        const std::string second = ReadFileBytes(Excel(secondName));
        Holding held;
        if (c.heldAlone)
            held = HoldHandle(
                ::CreateFileA(BookMngPath(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        const QuimbexRun run = Run("/K:9");
        held.reset();
        EXPECT_EQ(c.texts, Texts(run));
        EXPECT_EQ("Quimbex", run.boxes.at(0).caption);
        EXPECT_EQ(1u, run.exitCode);
        EXPECT_FALSE(FileExists(ExMng()));
        EXPECT_EQ(!c.firstConverted, FileExists(ExConv()));
        EXPECT_EQ(second, ReadFileBytes(Excel(secondName)));
        if (c.firstConverted)
            EXPECT_TRUE(
                IsRebuiltFrom(Excel(firstName), Backup(firstKey, ".xls"), kPayrollSections));
        else
            EXPECT_TRUE(RunLines().empty());
    }
}

// "ExConv.dat" only asks for a conversion; when it cannot be deleted the
// conversion has still been done, and says so.
TEST_F(ConvertAllBooks, ConversionMarkerThatCannotBeDeletedDoesNotSpoilASuccess) {
    for (const bool readOnly : {true, false}) {
        SCOPED_TRACE(readOnly ? "read-only" : "held open");
        Relay();
        std::optional<HeldFile> held;
        if (readOnly) {
            ASSERT_TRUE(::SetFileAttributesA(ExConv(), FILE_ATTRIBUTE_READONLY));
        } else
            held.emplace(ExConv());
        const QuimbexRun run = Run("/K:9");
        held.reset();
        EXPECT_EQ(std::vector<std::string>{kDone}, Texts(run));
        EXPECT_TRUE(FileExists(ExMng()));
        EXPECT_TRUE(FileExists(ExConv()));
        ExpectSampleBooksRebuilt();
    }
}

// Excel ends in the middle of a macro: that macro is reported, the next one
// starts a new Excel, and every workbook of the user is still there, either
// rebuilt or as its backup.
TEST_F(ConvertAllBooks, ExcelDyingInTheMiddleLosesNoWorkbook) {
    const NothingLost kept(ExcelDir());
    const auto originals = FolderContents(ExcelDir());
    CStandinFaults faults;
    faults.SetDieAfterRuns(3); // the check, the company, then the employees
    SetFaults(faults);
    // Every new server would die in its third call too: the fault goes once
    // the first has died, before the program is told (its message waits).
    const QuimbexRun run = Run(QuimbexStart("/K:9"), [](const uidriver::WindowFinder&) {
        for (const ExcelStandin::LogLine& line : ExcelStandin::ReadLog())
            if (line.text.Find("\t=> DIE") >= 0)
                ExcelStandin::ClearFaults();
    });
    EXPECT_EQ((std::vector<std::string>{kAborted, kFailed}), Texts(run));
    EXPECT_EQ("Quimbex", run.boxes.at(0).caption);
    EXPECT_EQ(2, ServerStarts());
    const std::vector<std::string> runs = RunLines();
    ASSERT_LE(3u, runs.size());
    EXPECT_EQ("Run\t社員名簿コンバート", runs[2].substr(0, runs[2].find('\t', 4)));
    EXPECT_EQ("=> DIE", runs[2].substr(runs[2].rfind('\t') + 1));

    const std::pair<const char*, const char*> backups[] = {
        {"kyuyo.xls", "kyuyo"}, {"勤怠_kyuyo.xls", "勤怠_kyuyo_"}, {"表参道店.xls", "表参道店"}};
    for (const auto& [book, stem] : backups) {
        SCOPED_TRACE(book);
        EXPECT_EQ(originals.at(book), ReadFileBytes(Backup(stem, ".xls")));
        EXPECT_TRUE(FileExists(Excel(book)));
    }
    // The book taken second is rebuilt whole by the new Excel.
    const bool kyuyoFirst = runs[0].find("BSTR:kyuyo.xls") != std::string::npos;
    if (kyuyoFirst)
        EXPECT_TRUE(
            IsRebuiltFrom(Excel("表参道店.xls"), Backup("表参道店", ".xls"), kPayrollSections));
    else
        EXPECT_TRUE(IsRebuiltFrom(Excel("kyuyo.xls"), Backup("kyuyo", ".xls"), kPayrollSections));
    EXPECT_FALSE(FileExists(ExMng()));
}

TEST_F(ConvertAllBooks, BooksOfTheNewFormatKeepTheirExtension) {
    LayProduct(".xlsm");
    ::DeleteFileA(MyDataDir() + "\\ExType1.dat"); // a fresh tree over the old one
    const QuimbexRun run = Run("/K:12");
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_TRUE(IsRebuiltFrom(Excel("kyuyo.xlsm"), Backup("kyuyo", ".xlsm"), kPayrollSections));
    EXPECT_TRUE(IsRebuiltFrom(Excel("勤怠_kyuyo.xlsm"), Backup("勤怠_kyuyo_", ".xlsm"),
                              kAttendanceSections));
    for (const std::string& line : LogLines()) {
        if (line.rfind("Open\t", 0) == 0) {
            EXPECT_EQ("Open\t" + OrgDir().str() + "\\xlConv2.xlsm", line);
        }
    }
}

// The benchmarks' split of Quimbex's time needs its own view of each call:
// asked for through the environment, every call and release is timed.
TEST_F(ConvertAllBooks, CallTimingListsEveryAutomationCallWhenAsked) {
    TempDir dir;
    const CString timing = dir / "client.log";
    ASSERT_TRUE(::SetEnvironmentVariableA("MORVANE_CALL_TIMING", timing));
    const QuimbexRun run = Run("/K:9");
    ::SetEnvironmentVariableA("MORVANE_CALL_TIMING", nullptr);
    ASSERT_EQ(1u, run.boxes.size());
    size_t invokes = 0;
    for (const std::string& line : LogLines()) {
        const std::string kind = line.substr(0, line.find('\t'));
        for (const char* call :
             {"DisplayAlerts", "Workbooks", "Open", "Run", "BookClose", "WorkbooksClose"})
            invokes += kind == call;
    }
    size_t timed = 0, releases = 0;
    const std::string text = ReadFileBytes(timing);
    for (size_t pos = 0, end; (end = text.find("\r\n", pos)) != std::string::npos; pos = end + 2) {
        const std::string line = text.substr(pos, end - pos);
        SCOPED_TRACE(line);
        long long begin = 0, finish = 0;
        char kind[16] = {};
        // NOLINTNEXTLINE(cert-err34-c): the count is checked; the driver writes the numbers
        ASSERT_EQ(3,
                  std::sscanf(line.c_str(), "%*u\t%15[A-Za-z]\t%lld\t%lld", kind, &begin, &finish));
        EXPECT_LE(begin, finish);
        timed += std::string(kind) == "Invoke";
        releases += std::string(kind) == "Release";
    }
    EXPECT_EQ(invokes, timed);
    EXPECT_LT(0u, releases);
}
