#include "BookChecks.h"
#include "File.h"
#include "ProductFixture.h"
#include "QuimbexRun.h"
#include "TempDir.h"

#include <windows.h>

#include <algorithm>

using uidriver::IconKind;

namespace {

const char kCaption[] = "データコンバート";
const char kDone[] = "Excelブックのコンバートが完了しました。\nExcelブックの起動は "
                     "メイン画面【Excel】ボタンから行ってください。";
const char kFailed[] =
    "Excelブックのコンバートに失敗しました。パソコンを再起動し、各ブックの初期化を行ってください。";
const char kNothing[] = "コンバートが必要なExcelブックはありませんでした。";

const char* const kDataMacros[] = {
    "会社情報コンバート", "社員名簿コンバート",   "給与データコンバート", "給与明細コンバート",
    "賞与明細コンバート", "源泉徴収票コンバート", "差引徴収税額再計算"};

class ConvertAllBooks : public ProductFixture {
protected:
    void SetUp() override {
        ProductFixture::SetUp();
        WriteFileBytes(ExConv(), "");
    }
    CString ExConv() const { return MyDataDir() + "\\ExConv.dat"; }
    CString ExMng() const { return MyDataDir() + "\\ExMng.dat"; }
    CString Excel(const std::string& name) const { return ExcelDir() + "\\" + name.c_str(); }

    // Runs Quimbex; the backup date is today's before or after the run.
    QuimbexRun Run(const char* tail, const char* shot = nullptr) {
        m_dates = {TodayText()};
        QuimbexRun run = RunToEnd(QuimbexStart(tail), 120000, shot);
        if (TodayText() != m_dates[0])
            m_dates.push_back(TodayText());
        return run;
    }
    // The backup that a run made: the name with one of the run's dates.
    CString Backup(const std::string& before, const std::string& after = "") const {
        for (const std::string& date : m_dates)
            if (FileExists(Excel(before + date + after)))
                return Excel(before + date + after);
        return Excel(before + m_dates[0] + after);
    }
    void ExpectMarkersUntouched() {
        EXPECT_TRUE(FileExists(ExConv()));
        EXPECT_FALSE(FileExists(ExMng()));
    }
    std::vector<std::string> Macros() const {
        std::vector<std::string> names;
        for (const std::string& line : RunLines())
            names.push_back(line.substr(4, line.find('\t', 4) - 4));
        return names;
    }
    void Protect(const char* name) {
        CStandinWorkbook book;
        ASSERT_TRUE(book.Load(Excel(name)));
        book.SetValue("Book", "Protected", "1");
        ASSERT_TRUE(book.Save(Excel(name)));
    }

    std::vector<std::string> m_dates;
};

} // namespace

TEST_F(ConvertAllBooks, EveryBookIsRebuiltAndTheMarkersRecordSuccess) {
    const std::string oldKyuyo = ReadFileBytes(Excel("kyuyo.xls"));
    const QuimbexRun run = Run("/K:9", "quimbex-convert-done");
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(kCaption, run.boxes[0].caption);
    EXPECT_EQ(kDone, run.boxes[0].text);
    EXPECT_EQ(IconKind::Information, run.boxes[0].icon);

    EXPECT_EQ(oldKyuyo, ReadFileBytes(Backup("kyuyo", ".xls")));
    EXPECT_TRUE(IsRebuiltFrom(Excel("kyuyo.xls"), Backup("kyuyo", ".xls"), kPayrollSections));
    EXPECT_TRUE(
        IsRebuiltFrom(Excel("勤怠_kyuyo.xls"), Backup("勤怠_kyuyo_", ".xls"), kAttendanceSections));
    EXPECT_TRUE(IsRebuiltFrom(Excel("表参道店.xls"), Backup("表参道店", ".xls"), kPayrollSections));
    // The book without an attendance workbook gets none.
    EXPECT_FALSE(FileExists(Excel("勤怠_表参道店.xls")));

    EXPECT_FALSE(FileExists(ExConv()));
    ASSERT_TRUE(FileExists(ExMng()));
    EXPECT_EQ("", ReadFileBytes(ExMng()));
    // Per book: the protection check, seven macros; the attendance book its own.
    EXPECT_EQ(2 + 2 * 7 + 2, static_cast<int>(RunLines().size()));
    EXPECT_EQ(1, ServerStarts());
    // The wait dialog is the only other window.
    ASSERT_EQ(1u, run.otherWindows.size());
    EXPECT_EQ("#32770|", run.otherWindows[0]);
}

TEST_F(ConvertAllBooks, CodeTwelveShowsNoFinalMessageButLeavesTheMarker) {
    const QuimbexRun run = Run("/K:12");
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_TRUE(FileExists(ExMng()));
    EXPECT_FALSE(FileExists(ExConv()));
    EXPECT_TRUE(FileExists(Backup("kyuyo", ".xls")));
}

TEST_F(ConvertAllBooks, NothingToConvertTouchesNoMarker) {
    const struct {
        const char* what;
        bool removeFile;
        const char* tail;
    } cases[] = {
        {"empty map, code 12", false, "/K:12"},
        {"empty map, code 9", false, "/K:9"},
        {"no BookMNG.dat", true, "/K:12"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.removeFile)
            ::DeleteFileA(MyDataDir() + "\\BookMNG.dat");
        else
            WriteFileBytes(MyDataDir() + "\\BookMNG.dat", std::string(2, '\0'));
        const QuimbexRun run = Run(c.tail);
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ(kCaption, run.boxes[0].caption);
        EXPECT_EQ(kNothing, run.boxes[0].text);
        EXPECT_EQ(IconKind::Information, run.boxes[0].icon);
        ExpectMarkersUntouched();
    }
    EXPECT_EQ(0, ServerStarts());
}

TEST_F(ConvertAllBooks, ProtectedBookFailsTheRunButTheOthersAreRebuilt) {
    Protect("表参道店.xls");
    const std::string protectedBook = ReadFileBytes(Excel("表参道店.xls"));
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
    const std::string before = ReadFileBytes(Excel("kyuyo.xls"));
    // As Excel holds an open workbook: no delete sharing.
    const HANDLE held =
        ::CreateFileA(Excel("kyuyo.xls"), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    const QuimbexRun run = Run("/K:9");
    ::CloseHandle(held);

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
        if (c.version)
            ASSERT_TRUE(ExcelStandin::SetCurVer(c.version));
        else
            ASSERT_TRUE(ExcelStandin::RemoveCurVer());
        const QuimbexRun run = Run("/K:9");
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ("Excelブックのコンバート", run.boxes[0].caption);
        EXPECT_EQ(c.text, run.boxes[0].text);
        EXPECT_EQ(IconKind::Information, run.boxes[0].icon);
        ExpectMarkersUntouched();
        EXPECT_FALSE(FileExists(Backup("kyuyo", ".xls")));
    }
}

TEST_F(ConvertAllBooks, TakenBackupNameGetsTheTimeOfDay) {
    const CString taken = Excel("kyuyo" + TodayText() + ".xls");
    WriteFileBytes(taken, "an earlier backup");
    const QuimbexRun run = Run("/K:12");
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ("an earlier backup", ReadFileBytes(taken));
    // kyuyo<date><HHMMSS>.xls
    int withTime = 0;
    WIN32_FIND_DATAA fd;
    const HANDLE h = ::FindFirstFileA(Excel("kyuyo" + m_dates[0] + "*.xls"), &fd);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    do {
        const std::string name = fd.cFileName;
        const std::string stem = "kyuyo" + m_dates[0];
        if (name.size() == stem.size() + 6 + 4 &&
            std::all_of(name.begin() + stem.size(), name.end() - 4, ::isdigit))
            ++withTime;
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
    EXPECT_EQ(m_dates.size() == 1 ? 1 : withTime, withTime);
    EXPECT_TRUE(FileExists(ExMng()));
}

TEST_F(ConvertAllBooks, FailingMacroFailsItsBookButEveryMacroRuns) {
    CStandinFaults faults;
    faults.SetReturn("給与データコンバート", CStandinFaults::resultFalse);
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    const QuimbexRun run = Run("/K:9");
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(kFailed, run.boxes[0].text);
    EXPECT_FALSE(FileExists(ExMng()));
    EXPECT_FALSE(FileExists(ExConv()));
    const std::vector<std::string> macros = Macros();
    for (const char* macro : kDataMacros)
        EXPECT_EQ(2, std::count(macros.begin(), macros.end(), macro)) << macro;
    EXPECT_EQ(1, std::count(macros.begin(), macros.end(), "勤怠コンバート"));
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
