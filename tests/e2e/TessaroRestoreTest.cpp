#include "BookChecks.h"
#include "FullDisk.h"
#include "MigrationFiles.h"
#include "SampleProduct.h"
#include "StandinWorkbook.h"
#include "TessaroFixture.h"

#include <windows.h>

#include <functional>
#include <map>

using uidriver::IconKind;

namespace {

const char kForeign[] = "この移行データはMorvane用のものではありません。";
const char kNewer[] = "Morvane より新しいバージョンのバックアップファイルです。\n"
                      "このファイルでは復元ができません。\n\n復元を中止します。";
const char kXlsmRefused[] =
    "バックアップファイルに含まれるExcel管理ブックの形式がExcel2010/2007形式(.xlsm)です。\n"
    "このPCでは復元できません。\n"
    "Excel2007以上をインストールするか、バックアップを行ったPCでExcelブックの拡張子の変更を\n"
    "行って、再度バックアップを取って復元してください。\n\n復元を中止します。";
const char kToXlsm[] =
    "Excel管理ブックの形式がExcel2010/2007形式(.xlsm)に変更されますがよろしいですか？\n\n"
    "復元後、Excel97-2003形式(.xls)に戻したい場合は、\n"
    "メイン画面の [ExcelブックをExcel97-2003形式(.xls)に変更] を\n実行してください。\n";
const char kToXls[] =
    "Excel管理ブックの形式がExcel97-2003形式(.xls)に変更されますがよろしいですか？\n\n"
    "復元後、Excel2010/2007形式(.xlsm)に戻したい場合は、\n"
    "メイン画面の [ExcelブックをExcel2007/2010形式(.xlsm)に変更] を\n実行してください。\n";
const char kRenameFailed[] = "名前の変更ができませんでした。";
const char kConvert[] =
    "復元するデータにExcelブックが含まれている場合、データコンバートする必要があります。\n"
    "コンバートには時間がかかる可能性がありますが、開始してもよろしいですか？";
const char kConvertFailed[] =
    "Excelブックのコンバートに失敗しました。パソコンを再起動し、各ブックの初期化を行ってください。";
const char kConvertCaption[] = "データコンバート";
const char kYes[] = "はい";
const char kNo[] = "いいえ";

// The files of the source installation whose bytes differ from the
// target's sample, below the product directory.
const char* const kSourceData[] = {"Data\\DefEru\\帳票設定.dat", "Data\\Other\\ソフト\\表.frm",
                                   "Data\\MsgMemo\\メモ.txt"};

std::string Migrated(const CString& file) {
    return "ファイル名：" + file.str() + "\nMorvaneデータを移行しました。";
}

std::string Damaged(const CString& file, int64_t offset) {
    std::string where;
    if (offset >= 0)
        where = "（" + std::to_string(offset) + " バイト目に異常があります）";
    return "ファイル名：" + file.str() + "\nこの移行データは壊れているため、復元できません。" +
           where + "\n\n復元を中止します。このパソコンのデータは変更していません。";
}

ExpectedBox Ask(const char* text, const char* answer) {
    return {text, IconKind::Question, answer};
}

class TessaroRestore : public TessaroFixture {
protected:
    void SetUp() override {
        TessaroFixture::SetUp();
        CopyProgramsIntoProduct();
        LaySource();
    }
    // The installation the files come from: the sample with other data.
    void LaySource() {
        SampleProductOptions options;
        options.bWriteRegistry = false;
        CString error;
        ASSERT_TRUE(LaySampleProduct(m_source.Path(), options, error)) << error.GetString();
        WriteFileBytes(Source("Data\\DefEru\\帳票設定.dat"), "PaperSize=B5\r\nMargin=12\r\n");
        ASSERT_TRUE(::CreateDirectoryA(Source("Data\\Other\\ソフト"), nullptr));
        WriteFileBytes(Source("Data\\Other\\ソフト\\表.frm"), "Form=移行元の表\r\n");
        WriteFileBytes(Source("Data\\MsgMemo\\メモ.txt"), "移行元のメモ\r\n");
        for (const char* book : {"Excel\\kyuyo.xls", "Excel\\表参道店.xls"}) {
            CStandinWorkbook workbook;
            ASSERT_TRUE(workbook.Load(Source(book)));
            workbook.SetValue("Company", "Name", "移行元の会社");
            ASSERT_TRUE(workbook.Save(Source(book)));
        }
    }

    CString Source(const char* rel) const { return m_source.Path() + "\\" + rel; }
    CString Target(const char* rel) const { return ProductDir() + "\\" + rel; }
    CString ExMng() const { return MyDataDir() + "\\ExMng.dat"; }

    // A migration file of the source installation, with or without its
    // book map.
    CString SourceFile(const char* name, int32_t format, bool withBookMap = true) {
        const CString bookMap = Source("Data\\MyData\\BookMNG.dat");
        const std::string saved = ReadFileBytes(bookMap);
        if (!withBookMap)
            ::DeleteFileA(bookMap);
        const CString path = m_files.Path() + "\\" + name + ".iko";
        EXPECT_TRUE(migration_files::Write(m_source.Path(), format, path)) << name;
        WriteFileBytes(bookMap, saved);
        return path;
    }

    // Every file and folder of the product but the stand-in's log.
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> files = FolderContents(ProductDir());
        for (auto it = files.begin(); it != files.end();)
            it = it->first.rfind("standin\\", 0) == 0 ? files.erase(it) : std::next(it);
        return files;
    }

    void ExpectSourceDataRestored() const {
        for (const char* rel : kSourceData) {
            SCOPED_TRACE(rel);
            EXPECT_EQ(ReadFileBytes(Source(rel)), ReadFileBytes(Target(rel)));
        }
    }

    // The dated backup that a conversion made of `stem` + `ext`.
    CString BackupOf(const std::string& stem, const char* ext) const {
        for (const std::string& date : m_dates) {
            const CString path = ExcelDir() + "\\" + (stem + date + ext).c_str();
            if (FileExists(path))
                return path;
        }
        return ExcelDir() + "\\" + (stem + m_dates.at(0) + ext).c_str();
    }

    // The books of the source came over and were rebuilt from the
    // templates of this installation; their backups are the source's bytes.
    void ExpectSourceBooksConverted() const {
        const struct {
            const char* book;
            const char* stem;
            const char* const* sections;
        } books[] = {{"kyuyo.xls", "kyuyo", kPayrollSections},
                     {"勤怠_kyuyo.xls", "勤怠_kyuyo_", kAttendanceSections},
                     {"表参道店.xls", "表参道店", kPayrollSections}};
        for (const auto& b : books) {
            SCOPED_TRACE(b.book);
            const CString backup = BackupOf(b.stem, ".xls");
            EXPECT_EQ(ReadFileBytes(Source((std::string("Excel\\") + b.book).c_str())),
                      ReadFileBytes(backup));
            EXPECT_TRUE(IsRebuiltFrom(ExcelDir() + "\\" + b.book, backup, b.sections));
        }
    }

    void NoteDate() {
        if (m_dates.empty() || m_dates.back() != TodayText())
            m_dates.push_back(TodayText());
    }

    // One start of Tessaro that restores `file` with these boxes and ends.
    void Restore(const CString& file, const std::vector<ExpectedBox>& boxes) {
        NoteDate();
        uidriver::Process tessaro(TessaroStart());
        const uidriver::DialogWindow dlg = WaitForMainDialog(tessaro);
        ChooseFile(tessaro, dlg, kRestoreButton, file);
        AnswerBoxes(tessaro, boxes);
        CloseExpectingNoMoreBoxes(tessaro, dlg);
        NoteDate();
    }

    TempDir m_source;
    TempDir m_files;
    std::vector<std::string> m_dates;
};

enum class Markers { sample, withoutType1, bothTypes };
enum class Excel { version16, version11, none };

} // namespace

// Each refusal comes before anything is written, each "いいえ" ends the
// restore there; only a format question answered "はい" leaves its marker
// renamed.  "App.tmp" ends hidden as it was, its time untouched.
TEST_F(TessaroRestore, RefusedOrDeclinedRestoreWritesNothing) {
    const std::function<void(const CString&)> asWritten = [](const CString&) {};
    const struct {
        const char* name;
        const char* productExt;
        int32_t format;
        std::function<void(const CString&)> bend;
        Excel excel;
        Markers markers;
        std::vector<ExpectedBox> boxes;
        const char* renamedFrom; // a marker in Data\MyData, or null
        const char* renamedTo;
    } cases[] = {
        {"product-byte-5",
         ".xls",
         3,
         [](const CString& f) { migration_files::Patch(f, 2, "\x05"); },
         Excel::version16,
         Markers::sample,
         {{kForeign, IconKind::Information, nullptr, kTessaroCaption, "tessaro-restore-foreign"}},
         nullptr,
         nullptr},
        {"format-5",
         ".xls",
         3,
         [](const CString& f) { migration_files::Patch(f, 4, std::string("\x05\0\0\0", 4)); },
         Excel::version16,
         Markers::sample,
         {{kNewer, IconKind::Exclamation, nullptr, kTessaroCaption, "tessaro-restore-newer"}},
         nullptr,
         nullptr},
        {"xlsm-file-on-excel-11",
         ".xls",
         4,
         asWritten,
         Excel::version11,
         Markers::sample,
         {{kXlsmRefused, IconKind::Error, nullptr, kTessaroCaption, "tessaro-restore-excel-11"}},
         nullptr,
         nullptr},
        {"xlsm-file-without-excel",
         ".xls",
         4,
         asWritten,
         Excel::none,
         Markers::sample,
         {{kToXlsm, IconKind::Question, kNo, kTessaroCaption, "tessaro-restore-to-xlsm"}},
         nullptr,
         nullptr},
        {"xls-file-on-xlsm-books",
         ".xlsm",
         3,
         asWritten,
         Excel::version16,
         Markers::sample,
         {{kToXls, IconKind::Question, kNo, kTessaroCaption, "tessaro-restore-to-xls"}},
         nullptr,
         nullptr},
        {"equal-formats",
         ".xls",
         3,
         asWritten,
         Excel::version16,
         Markers::sample,
         {{kConvert, IconKind::Question, kNo, kTessaroCaption, "tessaro-restore-convert"}},
         nullptr,
         nullptr},
        {"xlsm-file-conversion-declined",
         ".xls",
         4,
         asWritten,
         Excel::version16,
         Markers::sample,
         {Ask(kToXlsm, kYes), Ask(kConvert, kNo)},
         "ExType1.dat",
         "ExType2.dat"},
        {"xls-file-conversion-declined",
         ".xlsm",
         3,
         asWritten,
         Excel::version16,
         Markers::sample,
         {Ask(kToXls, kYes), Ask(kConvert, kNo)},
         "ExType2.dat",
         "ExType1.dat"},
        {"marker-missing",
         ".xls",
         4,
         asWritten,
         Excel::version16,
         Markers::withoutType1,
         {Ask(kToXlsm, kYes),
          {kRenameFailed, IconKind::Exclamation, nullptr, kTessaroCaption,
           "tessaro-restore-rename-failed"}},
         nullptr,
         nullptr},
        {"marker-target-exists",
         ".xls",
         4,
         asWritten,
         Excel::version16,
         Markers::bothTypes,
         {Ask(kToXlsm, kYes), {kRenameFailed, IconKind::Exclamation}},
         nullptr,
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RelayProduct(c.productExt);
        if (c.markers == Markers::withoutType1)
            ::DeleteFileA(MyDataDir() + "\\ExType1.dat");
        if (c.markers == Markers::bothTypes)
            WriteFileBytes(MyDataDir() + "\\ExType2.dat", "");
        if (c.excel == Excel::version11) {
            ASSERT_TRUE(ExcelStandin::SetCurVer(11));
        } else if (c.excel == Excel::none) {
            ASSERT_TRUE(ExcelStandin::Unregister());
        }
        const CString file = SourceFile(c.name, c.format);
        c.bend(file);
        std::map<std::string, std::string> expected = Snapshot();
        if (c.renamedFrom) {
            const std::string from = std::string("Data\\MyData\\") + c.renamedFrom;
            expected[std::string("Data\\MyData\\") + c.renamedTo] = expected.at(from);
            expected.erase(from);
        }
        const ULONGLONG appTmpTime = WriteTime(AppTmpPath());

        Restore(file, c.boxes);
        EXPECT_EQ(expected, Snapshot());
        EXPECT_TRUE(IsHidden(AppTmpPath()));
        EXPECT_EQ(appTmpTime, WriteTime(AppTmpPath()));
        EXPECT_EQ(0, ServerStarts());
        ASSERT_TRUE(ExcelStandin::Register(ExcelStandin::ServerPathBeside(), 16));
    }
}

// The whole file is read before anything changes: a cut or malformed file
// is refused as damaged, with nothing renamed or written, also where the
// format question would have renamed a marker.
TEST_F(TessaroRestore, DamagedFileIsRefusedBeforeAnythingChanges) {
    const struct {
        const char* name;
        std::function<void(const CString&)> bend;
        bool withOffset; // the structure check names where the fault lies
    } cases[] = {
        {"cut-in-the-header", [](const CString& f) { migration_files::Cut(f, 3); }, false},
        {"cut-in-the-last-entry",
         [](const CString& f) { migration_files::Cut(f, ReadFileBytes(f).size() - 5); }, true},
        {"cut-in-the-middle",
         [](const CString& f) { migration_files::Cut(f, ReadFileBytes(f).size() / 2); }, true},
        {"bytes-after-the-last-entry",
         [](const CString& f) { WriteFileBytes(f, ReadFileBytes(f) + "x"); }, true},
        {"count-higher-than-the-entries",
         [](const CString& f) {
             const std::string bytes = ReadFileBytes(f);
             migration_files::Patch(f, 0, std::string(1, static_cast<char>(bytes[0] + 1)));
         },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CString file = SourceFile(c.name, 4); // ".xlsm" books on ".xls" books
        c.bend(file);
        const int64_t offset = c.withOffset ? migration_files::FaultOffset(file) : -1;
        ASSERT_TRUE(!c.withOffset || offset > 0);
        const std::map<std::string, std::string> before = Snapshot();
        const ULONGLONG appTmpTime = WriteTime(AppTmpPath());
        const std::string shot = std::string("tessaro-restore-damaged-") + c.name;
        Restore(file, {{Damaged(file, offset), IconKind::Exclamation, nullptr, kTessaroCaption,
                        shot.c_str()}});
        EXPECT_EQ(before, Snapshot());
        EXPECT_TRUE(IsHidden(AppTmpPath()));
        EXPECT_EQ(appTmpTime, WriteTime(AppTmpPath()));
    }
}

// A file without "BookMNG.dat" needs no conversion.  Once one with it came,
// every later restore of the same run converts the books again.
TEST_F(TessaroRestore, BookMapStartsTheConversionOfThisAndEveryLaterRestore) {
    const CString withoutMap = SourceFile("without-book-map", 3, false);
    const CString withMap = SourceFile("with-book-map", 3);
    const std::string targetBookMap = ReadFileBytes(BookMngPath());
    NoteDate();
    uidriver::Process tessaro(TessaroStart());
    const uidriver::DialogWindow dlg = WaitForMainDialog(tessaro);

    ChooseFile(tessaro, dlg, kRestoreButton, withoutMap);
    AnswerBoxes(tessaro, {Ask(kConvert, kYes), {Migrated(withoutMap), IconKind::Information}});
    EXPECT_EQ(0, ServerStarts());
    ExpectSourceDataRestored();
    EXPECT_EQ(ReadFileBytes(Source("Excel\\kyuyo.xls")), ReadFileBytes(ExcelDir() + "\\kyuyo.xls"));
    EXPECT_EQ(targetBookMap, ReadFileBytes(BookMngPath()));
    EXPECT_TRUE(IsHidden(AppTmpPath()));

    ChooseFile(tessaro, dlg, kRestoreButton, withMap);
    AnswerBoxes(tessaro, {Ask(kConvert, kYes),
                          {Migrated(withMap), IconKind::Information, nullptr, kTessaroCaption,
                           "tessaro-restore-migrated"}});
    NoteDate();
    EXPECT_EQ(1, ServerStarts());
    EXPECT_EQ(ReadFileBytes(Source("Data\\MyData\\BookMNG.dat")), ReadFileBytes(BookMngPath()));
    ExpectSourceBooksConverted();
    EXPECT_FALSE(FileExists(ExMng()));
    EXPECT_TRUE(IsHidden(AppTmpPath()));

    ChooseFile(tessaro, dlg, kRestoreButton, withoutMap);
    AnswerBoxes(tessaro, {Ask(kConvert, kYes), {Migrated(withoutMap), IconKind::Information}});
    EXPECT_EQ(2, ServerStarts());
    EXPECT_FALSE(FileExists(ExMng()));
    CloseExpectingNoMoreBoxes(tessaro, dlg);
}

// The data stay restored; the books wait for their conversion.
TEST_F(TessaroRestore, QuimbexThatCannotStartIsNamed) {
    const CString quimbex = ProductDir() + "\\Exe\\Quimbex.exe";
    ASSERT_TRUE(::DeleteFileA(quimbex));
    const CString file = SourceFile("with-book-map", 3);
    Restore(file, {Ask(kConvert, kYes),
                   {(quimbex + "を起動できません").str(), IconKind::Exclamation, nullptr,
                    kTessaroCaption, "tessaro-restore-no-quimbex"}});
    ExpectSourceDataRestored();
    EXPECT_EQ(ReadFileBytes(Source("Data\\MyData\\BookMNG.dat")), ReadFileBytes(BookMngPath()));
    EXPECT_EQ(0, ServerStarts());
    EXPECT_TRUE(IsHidden(AppTmpPath()));
}

// Without "ExMng.dat" after the run the conversion failed, and its own box
// says so instead of the success message.  A marker left by an earlier
// conversion does not pass for this one's success.
TEST_F(TessaroRestore, FailedConversionIsToldInItsOwnBox) {
    CStandinFaults faults;
    faults.SetReturn("給与データコンバート", CStandinFaults::resultFalse);
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    WriteFileBytes(ExMng(), "");
    const CString file = SourceFile("with-book-map", 3);
    Restore(file, {Ask(kConvert, kYes),
                   {kConvertFailed, IconKind::Exclamation, nullptr, kConvertCaption,
                    "tessaro-restore-conversion-failed"}});
    EXPECT_EQ(1, ServerStarts());
    EXPECT_FALSE(FileExists(ExMng()));
    ExpectSourceDataRestored();
    EXPECT_TRUE(IsHidden(AppTmpPath()));
}

// A full disk half-way: the files written so far stay, the user learns what
// failed and that the restore is incomplete, "App.tmp" is hidden again, and
// Quimbex is not started on the half-restored books.
TEST_F(TessaroRestore, ErrorDuringTheExtractionLeavesTheBooksUnconverted) {
    FullDisk disk(4);
    if (!disk.IsMounted())
        GTEST_SKIP() << "no tmpfs can be mounted here (the tests need root)";
    ASSERT_TRUE(WriteEnvRegistry(ProductDir(), disk.Path()));
    for (const char* book : {"kyuyo.xls", "勤怠_kyuyo.xls", "表参道店.xls"})
        ASSERT_TRUE(::DeleteFileA(Source((std::string("Excel\\") + book).c_str())));
    WriteFileBytes(Source("Excel\\大きい表.xls"), std::string(64 * 1024, 'x'));
    const CString file = SourceFile("with-book-map", 3);
    const std::string text = "ファイル名：" + file.str() +
                             "\nデータの復元中にエラーが発生しました。\n" + disk.Path().str() +
                             "\\Excel\\大きい表.xls の書き込み中にディスクがいっぱいになりました。"
                             "\n\n復元は完了していません。原因を取り除いてから、もう一度復元して"
                             "ください。";
    Restore(file, {Ask(kConvert, kYes),
                   {text, IconKind::Exclamation, nullptr, kTessaroCaption,
                    "tessaro-restore-incomplete"}});
    ExpectSourceDataRestored();
    EXPECT_EQ(ReadFileBytes(Source("Data\\MyData\\BookMNG.dat")), ReadFileBytes(BookMngPath()));
    EXPECT_EQ(0, ServerStarts());
    EXPECT_TRUE(IsHidden(AppTmpPath()));
}

// Targets the system refuses (a file nobody may write, one held open) are
// named after the extraction, and the last message does not claim a
// complete migration.  Everything else is restored.  (Windows refuses to
// replace a hidden file too; Wine replaces it, so the test cannot show it.)
TEST_F(TessaroRestore, FilesThatCouldNotBeWrittenAreNamed) {
    // chattr is given the name in code page 932: an ASCII name reaches it whole.
    WriteFileBytes(Source("Data\\DefEru\\layout.dat"), "Layout=2\r\n");
    const CString file = SourceFile("without-book-map", 3, false);
    const CString readOnly = Target("Data\\DefEru\\layout.dat");
    WriteFileBytes(readOnly, "Layout=1\r\n");
    const CString held = Target("Data\\Other\\ソフト\\表.frm");
    const std::string readOnlyBytes = ReadFileBytes(readOnly);
    ASSERT_TRUE(::CreateDirectoryA(Target("Data\\Other\\ソフト"), nullptr));
    WriteFileBytes(held, "held open");
    Holding holdReadOnly = HoldReadOnly(readOnly);
    Holding holdOpen = HoldHandle(::CreateFileA(held, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
    const std::string list =
        "ファイル名：" + file.str() +
        "\n次のファイルは書き込めなかったため、復元されていません（全 2 件）。\n" + readOnly.str() +
        "\n" + held.str() +
        "\n\n読み取り専用や隠しファイル、他のアプリケーションで使用中のファイルは上書きできません"
        "。";
    const std::string partly = "ファイル名：" + file.str() +
                               "\nMorvaneデータを移行しましたが、復元されていないファイルが 2 "
                               "件あります。";
    Restore(file,
            {Ask(kConvert, kYes),
             {list, IconKind::Exclamation, nullptr, kTessaroCaption, "tessaro-restore-unwritten"},
             {partly, IconKind::Exclamation}});
    holdOpen.reset();
    holdReadOnly.reset();
    EXPECT_EQ(readOnlyBytes, ReadFileBytes(readOnly));
    EXPECT_EQ("held open", ReadFileBytes(held));
    EXPECT_EQ(ReadFileBytes(Source("Data\\MsgMemo\\メモ.txt")),
              ReadFileBytes(Target("Data\\MsgMemo\\メモ.txt")));
    EXPECT_EQ(ReadFileBytes(Source("Excel\\kyuyo.xls")), ReadFileBytes(ExcelDir() + "\\kyuyo.xls"));
    EXPECT_TRUE(IsHidden(AppTmpPath()));
}

// Without "App.tmp" the framework reports the file error and the restore
// does not run; the dialog stays open.
TEST_F(TessaroRestore, MissingAppTmpStopsTheRestoreBeforeAnyQuestion) {
    ::SetFileAttributesA(AppTmpPath(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(::DeleteFileA(AppTmpPath()));
    const CString file = SourceFile("with-book-map", 3);
    const std::map<std::string, std::string> before = Snapshot();
    Restore(file, {{(AppTmpPath() + " が見つかりません。").str(), IconKind::Exclamation}});
    EXPECT_EQ(before, Snapshot());
}
