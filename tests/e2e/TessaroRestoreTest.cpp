#include "BookChecks.h"
#include "FullDisk.h"
#include "HostileFiles.h"
#include "MigrationBytes.h"
#include "MigrationFiles.h"
#include "ProtectedInstallation.h"
#include "SampleProduct.h"
#include "ScopedHandle_win.h"
#include "StandinWorkbook.h"
#include "QuimbexRun.h"
#include "TessaroFixture.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <map>
#include <stdexcept>

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

// The user counts bytes from 1: the fault at offset 131 is the 132nd byte.
std::string Damaged(const CString& file, int64_t offset) {
    std::string where;
    if (offset >= 0)
        where = "（" + std::to_string(offset + 1) + " バイト目に異常があります）";
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
        ASSERT_TRUE(LaidSample(m_source.Path(), UnregisteredSample()));
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
        CString path = m_files.Path() + "\\" + name + ".iko";
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
            CString path = ExcelDir() + "\\" + (stem + date + ext).c_str();
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
enum class InstalledExcel { version16, version11, none };

} // namespace

// Each refusal comes before anything is written, each "いいえ" ends the
// restore there.  A marker renamed after "はい" to the format question is
// renamed back when the conversion is declined: the books are still in the
// old format.  "App.tmp" ends hidden as it was, its time untouched.
TEST_F(TessaroRestore, RefusedOrDeclinedRestoreWritesNothing) {
    const std::function<void(const CString&)> asWritten = [](const CString&) {};
    const struct {
        const char* name;
        const char* productExt;
        int32_t format;
        std::function<void(const CString&)> bend;
        InstalledExcel excel;
        Markers markers;
        std::vector<ExpectedBox> boxes;
    } cases[] = {
        {"product-byte-5",
         ".xls",
         3,
         [](const CString& f) { migration_files::Patch(f, 2, "\x05"); },
         InstalledExcel::version16,
         Markers::sample,
         {{kForeign, IconKind::Information, nullptr, kTessaroCaption, "tessaro-restore-foreign"}}},
        {"format-5",
         ".xls",
         3,
         [](const CString& f) { migration_files::Patch(f, 4, std::string("\x05\0\0\0", 4)); },
         InstalledExcel::version16,
         Markers::sample,
         {{kNewer, IconKind::Exclamation, nullptr, kTessaroCaption, "tessaro-restore-newer"}}},
        {"xlsm-file-on-excel-11",
         ".xls",
         4,
         asWritten,
         InstalledExcel::version11,
         Markers::sample,
         {{kXlsmRefused, IconKind::Error, nullptr, kTessaroCaption, "tessaro-restore-excel-11"}}},
        {"xlsm-file-without-excel",
         ".xls",
         4,
         asWritten,
         InstalledExcel::none,
         Markers::sample,
         {{kToXlsm, IconKind::Question, kNo, kTessaroCaption, "tessaro-restore-to-xlsm"}}},
        {"xls-file-on-xlsm-books",
         ".xlsm",
         3,
         asWritten,
         InstalledExcel::version16,
         Markers::sample,
         {{kToXls, IconKind::Question, kNo, kTessaroCaption, "tessaro-restore-to-xls"}}},
        {"equal-formats",
         ".xls",
         3,
         asWritten,
         InstalledExcel::version16,
         Markers::sample,
         {{kConvert, IconKind::Question, kNo, kTessaroCaption, "tessaro-restore-convert"}}},
        {"xlsm-file-conversion-declined",
         ".xls",
         4,
         asWritten,
         InstalledExcel::version16,
         Markers::sample,
         {Ask(kToXlsm, kYes), Ask(kConvert, kNo)}},
        {"xls-file-conversion-declined",
         ".xlsm",
         3,
         asWritten,
         InstalledExcel::version16,
         Markers::sample,
         {Ask(kToXls, kYes), Ask(kConvert, kNo)}},
        {"marker-missing",
         ".xls",
         4,
         asWritten,
         InstalledExcel::version16,
         Markers::withoutType1,
         {Ask(kToXlsm, kYes),
          {kRenameFailed, IconKind::Exclamation, nullptr, kTessaroCaption,
           "tessaro-restore-rename-failed"}}},
        {"marker-target-exists",
         ".xls",
         4,
         asWritten,
         InstalledExcel::version16,
         Markers::bothTypes,
         {Ask(kToXlsm, kYes), {kRenameFailed, IconKind::Exclamation}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RelayProduct(c.productExt);
        if (c.markers == Markers::withoutType1)
            ::DeleteFileA(MyDataDir() + "\\ExType1.dat");
        if (c.markers == Markers::bothTypes)
            WriteFileBytes(MyDataDir() + "\\ExType2.dat", "");
        if (c.excel == InstalledExcel::version11) {
            ASSERT_TRUE(ExcelStandin::SetCurVer(11));
        } else if (c.excel == InstalledExcel::none) {
            ASSERT_TRUE(ExcelStandin::Unregister());
        }
        const CString file = SourceFile(c.name, c.format);
        c.bend(file);
        const std::map<std::string, std::string> expected = Snapshot();
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
        {"only-a-header",
         [](const CString& f) { WriteFileBytes(f, std::string("\x00\x00\x04\x00", 4)); }, true},
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

// A full disk half-way: the files written so far stay, the file being
// written keeps its older bytes (no cut file takes its place), the user
// learns what failed and that the restore is incomplete, "App.tmp" is
// hidden again, and Quimbex is not started on the half-restored books.
TEST_F(TessaroRestore, ErrorDuringTheExtractionLeavesTheBooksUnconverted) {
    FullDisk disk(4);
    if (!disk.IsMounted())
        GTEST_SKIP() << FullDisk::kNoDisk;
    ASSERT_TRUE(WriteEnvRegistry(ProductDir(), disk.Path()));
    for (const char* book : {"kyuyo.xls", "勤怠_kyuyo.xls", "表参道店.xls"})
        ASSERT_TRUE(::DeleteFileA(Source((std::string("Excel\\") + book).c_str())));
    WriteFileBytes(Source("Excel\\大きい表.xls"), std::string(size_t{64} * 1024, 'x'));
    const CString file = SourceFile("with-book-map", 3);
    const CString older = disk.Path() + "\\Excel\\大きい表.xls";
    ASSERT_TRUE(::CreateDirectoryA(disk.Path() + "\\Excel", nullptr));
    WriteFileBytes(older, "the older book");
    // Quimbex deletes the product's request for a conversion whatever it
    // converts: the request staying shows that it never ran.
    const CString request = MyDataDir() + "\\ExConv.dat";
    WriteFileBytes(request, "");
    const std::string text = "ファイル名：" + file.str() +
                             "\nデータの復元中にエラーが発生しました。\n" + disk.Path().str() +
                             "\\Excel\\大きい表.xls の書き込み中にディスクがいっぱいになりました。"
                             "\n\n復元は完了していません。原因を取り除いてから、もう一度復元して"
                             "ください。";
    NoteDate();
    uidriver::Process tessaro(TessaroStart());
    const uidriver::DialogWindow dlg = WaitForMainDialog(tessaro);
    ChooseFile(tessaro, dlg, kRestoreButton, file);
    AnswerBoxes(tessaro, {Ask(kConvert, kYes)});
    // The record says what was written before the disk was full.
    const CString record = WaitForRecord(m_files.Path(), "with-book-map");
    AnswerBoxes(tessaro, {{text + "\n\n記録ファイル：" + record.str(), IconKind::Exclamation,
                           nullptr, kTessaroCaption, "tessaro-restore-incomplete"}});
    CloseExpectingNoMoreBoxes(tessaro, dlg);
    const std::string lines = ReadFileBytes(record);
    EXPECT_NE(std::string::npos, lines.find("\t復元は完了していません（" + disk.Path().str() +
                                            "\\Excel\\大きい表.xls の書き込み中にディスクが"
                                            "いっぱいになりました。）\r\n"))
        << lines;
    ExpectSourceDataRestored();
    EXPECT_EQ(ReadFileBytes(Source("Data\\MyData\\BookMNG.dat")), ReadFileBytes(BookMngPath()));
    EXPECT_EQ("the older book", ReadFileBytes(older));
    EXPECT_FALSE(FileExists(disk.Path() + "\\Excel\\~TESSARO.TMP"));
    EXPECT_TRUE(FileExists(request));
    EXPECT_EQ(0, ServerStarts());
    EXPECT_TRUE(IsHidden(AppTmpPath()));
}

// Targets the system refuses (a file nobody may write, one held open, a
// hidden or system file) are named after the extraction, the first five
// with the count of the rest, and the last message does not claim a
// complete migration.  Everything else is restored.  One target in each of
// six items, so that the order of the names is the order of the items.
TEST_F(TessaroRestore, FilesThatCouldNotBeWrittenAreNamed) {
    const struct {
        const char* rel;
        DWORD attributes; // 0: nobody may write it; 1: held open
    } targets[] = {
        {"Data\\DefEru\\帳票設定.dat", 0},
        {"Data\\MyData\\メモ帳.dat", FILE_ATTRIBUTE_HIDDEN},
        {"Data\\Org\\様式.dat", FILE_ATTRIBUTE_SYSTEM},
        {"Data\\Other\\ソフト\\表.frm", 1},
        {"Data\\MsgMemo\\非表示.txt", FILE_ATTRIBUTE_HIDDEN},
        {"Excel\\表参道店.xls", FILE_ATTRIBUTE_HIDDEN},
    };
    for (const auto& t : targets)
        WriteFileBytes(Source(t.rel), std::string("source of ") + t.rel);
    const CString file = SourceFile("without-book-map", 3, false);
    ASSERT_TRUE(::CreateDirectoryA(Target("Data\\Other\\ソフト"), nullptr));
    std::vector<Holding> holds;
    std::string names;
    for (const auto& t : targets) {
        const CString target = Target(t.rel);
        WriteFileBytes(target, "kept");
        if (t.attributes == 0)
            holds.push_back(HoldReadOnly(target));
        else if (t.attributes == 1)
            holds.push_back(std::make_shared<HeldFile>(target));
        else
            ASSERT_TRUE(::SetFileAttributesA(target, t.attributes));
        if (&t - targets < 5)
            names += "\n" + target.str();
    }
    const std::string list =
        "ファイル名：" + file.str() +
        "\n次のファイルは書き込めなかったため、復元されていません（全 6 件）。" + names +
        "\nほか 1 件\n\n読み取り専用や隠しファイル、他のアプリケーションで使用中のファイルは上"
        "書きできません。";
    const std::string partly = "ファイル名：" + file.str() +
                               "\nMorvaneデータを移行しましたが、復元されていないファイルが 6 "
                               "件あります。";
    uidriver::Process tessaro(TessaroStart());
    const uidriver::DialogWindow dlg = WaitForMainDialog(tessaro);
    ChooseFile(tessaro, dlg, kRestoreButton, file);
    AnswerBoxes(tessaro, {Ask(kConvert, kYes)});
    const CString record = WaitForRecord(m_files.Path(), "without-book-map");
    AnswerBoxes(tessaro, {{list + "\n\n記録ファイル：" + record.str(), IconKind::Exclamation,
                           nullptr, kTessaroCaption, "tessaro-restore-unwritten"},
                          {partly, IconKind::Exclamation}});
    CloseExpectingNoMoreBoxes(tessaro, dlg);
    holds.clear();
    for (const auto& t : targets) {
        SCOPED_TRACE(t.rel);
        EXPECT_EQ("kept", ReadFileBytes(Target(t.rel)));
    }
    EXPECT_EQ(ReadFileBytes(Source("Data\\MsgMemo\\メモ.txt")),
              ReadFileBytes(Target("Data\\MsgMemo\\メモ.txt")));
    EXPECT_EQ(ReadFileBytes(Source("Excel\\kyuyo.xls")), ReadFileBytes(ExcelDir() + "\\kyuyo.xls"));
    EXPECT_TRUE(IsHidden(AppTmpPath()));
}

// Every other spelling of each protected file of the installation, Wine's
// short names among them, in one file through "復元": none of them is
// written, and the restore of the rest is a whole one.
TEST_F(TessaroRestore, EveryOtherSpellingOfAProtectedFileIsKeptOut) {
    const ProtectedInstallation target(ProductDir(), DataDir());
    target.Lay("the target's own");
    const std::map<std::string, std::string> before = target.Contents();
    const CString file = m_files.Path() + "\\every-spelling.iko";
    WriteFileBytes(file, FileOfEverySpelling(target.SystemShortNames(), "restored"));
    Restore(file, {Ask(kConvert, kYes), {Migrated(file), IconKind::Information}});
    EXPECT_EQ(before, target.Contents());
    EXPECT_EQ(0, ServerStarts());
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

// Nobody may write "Data\\MyData" any more (the folder and its files, as
// when its permissions deny this user): "App.tmp" cannot be made visible, so
// the restore does not start; the cause is named and nothing changes.
TEST_F(TessaroRestore, UnwritableMyDataStopsTheRestoreBeforeAnyQuestion) {
    const CString file = SourceFile("with-book-map", 3);
    const std::map<std::string, std::string> before = Snapshot();
    uidriver::Process tessaro(TessaroStart());
    const uidriver::DialogWindow dlg = WaitForMainDialog(tessaro); // past its write probe
    Holding locked = HoldFolderReadOnly(MyDataDir());
    ChooseFile(tessaro, dlg, kRestoreButton, file);
    AnswerBoxes(tessaro,
                {{(AppTmpPath() + " へのアクセスが拒否されました。").str(), IconKind::Exclamation,
                  nullptr, kTessaroCaption, "tessaro-restore-mydata-locked"}});
    CloseExpectingNoMoreBoxes(tessaro, dlg);
    locked.reset();
    EXPECT_EQ(before, Snapshot());
    EXPECT_TRUE(IsHidden(AppTmpPath()));
}

namespace {

const HostileFile& Hostile(const std::string& name) {
    for (const HostileFile& f : HostileMigrationFiles())
        if (f.name == name)
            return f;
    throw std::runtime_error("no hostile file " + name);
}

// Every escaping entry of the hostile files is named "hostile" or carries
// that name below it: where one would land if it got out, nothing of that
// name may be.  (The folder beside the product holds other programs' files
// too, so only these names are looked for.)
std::vector<std::string> EscapedBeside(const CString& productDir) {
    std::vector<std::string> found;
    const CString parent = productDir.Left(productDir.ReverseFind('\\'));
    for (const CString& dir : {parent, CString("C:"), CString("C:\\Windows")}) {
        WIN32_FIND_DATAA fd;
        const CFindHandle h(::FindFirstFileA(dir + "\\hostile*", &fd));
        if (!h)
            continue;
        do
            found.push_back((dir + "\\" + fd.cFileName).str());
        while (::FindNextFileA(h.Get(), &fd));
    }
    return found;
}

class TessaroHostileFile : public TessaroRestore {
protected:
    CString WriteHostile(const std::string& name, const std::string& bytes) {
        CString path = m_files.Path() + "\\" + name.c_str() + ".iko";
        WriteFileBytes(path, bytes);
        return path;
    }
    void ExpectNothingOutside() {
        EXPECT_EQ(std::vector<std::string>{}, EscapedBeside(ProductDir()));
    }
};

} // namespace

// Files that fail the structure check, a newer format code and a foreign
// product byte are refused before anything changes, each with its reason
// (a damaged one with the offset of its fault); deep nesting up to the
// reader's limit is read to the end without exhausting the stack.
TEST_F(TessaroHostileFile, RefusedOrReadWithoutAnyChange) {
    const struct {
        const char* name;
        const char* box; // null: the damaged message
        IconKind icon;
    } cases[] = {
        {"root-5", nullptr, IconKind::Exclamation},
        {"size-max", nullptr, IconKind::Exclamation},
        {"name-2-gib", nullptr, IconKind::Exclamation},
        {"reldir-other-encoding", nullptr, IconKind::Exclamation},
        {"children-2-gib", nullptr, IconKind::Exclamation},
        {"entries-more-than-written", nullptr, IconKind::Exclamation},
        {"nesting-too-deep", nullptr, IconKind::Exclamation},
        {"cut-at-59", nullptr, IconKind::Exclamation},
        {"format-max", kNewer, IconKind::Exclamation},
        {"product-byte-5", kForeign, IconKind::Information},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HostileFile& f = Hostile(c.name);
        const CString file = WriteHostile(f.name, f.bytes);
        const std::map<std::string, std::string> before = Snapshot();
        const std::string text = c.box ? c.box : Damaged(file, static_cast<int64_t>(f.faultOffset));
        Restore(file, {{text, c.icon}});
        EXPECT_EQ(before, Snapshot());
        ExpectNothingOutside();
    }
    const CString deep =
        WriteHostile("nesting-at-the-limit", Hostile("nesting-at-the-limit").bytes);
    Restore(deep, {Ask(kConvert, kYes), {Migrated(deep), IconKind::Information}});
    ExpectNothingOutside();
}

// Every way out of the roots in one file: each is refused and named (the
// first five, then how many more), the restore goes on, and the forms that
// only look absolute or end in the byte 0x5C land below their root.
TEST_F(TessaroHostileFile, EscapingEntriesAreRefusedAndNamedAndTheRestStaysInside) {
    const char* const inside[] = {"inside-posix-absolute-folder", "inside-unc-folder",
                                  "dbcs-5c-name", "dbcs-5c-folder-and-name", "roots-3-and-4"};
    std::string records;
    int entries = 0, refused = 0;
    for (const HostileFile& f : HostileMigrationFiles()) {
        const bool take =
            f.name.rfind("escape-", 0) == 0 ||
            std::find(std::begin(inside), std::end(inside), f.name) != std::end(inside);
        if (!take)
            continue;
        records += f.bytes.substr(4); // without the header
        entries += static_cast<unsigned char>(f.bytes[0]) | static_cast<unsigned char>(f.bytes[1])
                                                                << 8;
        refused += f.refused;
    }
    const CString file =
        WriteHostile("every-escape", Header(static_cast<uint16_t>(entries)) + records);
    NoteDate();
    uidriver::Process tessaro(TessaroStart());
    const uidriver::DialogWindow dlg = WaitForMainDialog(tessaro);
    ChooseFile(tessaro, dlg, kRestoreButton, file);
    AnswerBoxes(tessaro, {Ask(kConvert, kYes)});
    const QuimbexRun::Box list = AnswerNextBox(tessaro.Windows());
    const std::string head = "ファイル名：" + file.str() +
                             "\n次のファイルは書き込めなかったため、復元されていません（全 " +
                             std::to_string(refused) + " 件）。\n" + ProductDir().str() + "\\";
    EXPECT_EQ(0u, list.text.find(head)) << list.text;
    EXPECT_NE(std::string::npos,
              list.text.find("\nほか " + std::to_string(refused - 5) + " 件\n\n"))
        << list.text;
    AnswerBoxes(tessaro, {{"ファイル名：" + file.str() +
                               "\nMorvaneデータを移行しましたが、復元されていないファイルが " +
                               std::to_string(refused) + " 件あります。",
                           IconKind::Exclamation}});
    CloseExpectingNoMoreBoxes(tessaro, dlg);
    ExpectNothingOutside();
    const std::pair<const char*, const char*> written[] = {
        {"ok.dat", "fine"}, {"etc\\hostile", "x"}, {"server\\share\\hostile", "x"},
        {"表", "hyo"},      {"能\\ソ", "so"},      {"three.dat", "3"},
        {"four.dat", "4"}};
    for (const auto& [rel, bytes] : written)
        EXPECT_EQ(bytes, ReadFileBytes(Target(rel))) << rel;
}
