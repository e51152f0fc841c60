// Book lists whose records a command must not take at their word: a file
// name that leads out of the Excel folder, a key that would put a backup
// there, two records of one workbook, a list that is not read to its end
// or cannot be read at all.  Every command that works from the list
// refuses such a record, or lets its book fail, before it changes a file,
// and loses nothing.
#include "BookChecks.h"
#include "BookNames.h"
#include "DialogChecks.h"
#include "DialogWindow.h"
#include "HeldFiles.h"
#include "NothingLost.h"
#include "Poll.h"
#include "ProductFixture.h"
#include "QuimbexRun.h"
#include "TempDir.h"
#include "YearUpdateDlgRes.h"

#include <windows.h>

namespace {

// A command as the product starts it and the dialog it asks with
// (answered with its OK button, the first book chosen).
struct Command {
    const char* tail;
    const char* dialog; // null: none
};

const Command kYear = {"/K:7", "年度更新"};
const Command kInit = {"/K:8", "ブックの初期化"};
const Command kAll = {"/K:9", nullptr};
const Command kAttendance = {"/K:10", "ブックの初期化"};
const Command kFormat = {"/K:11", "Excelﾌﾞｯｸの形式変更"};
const Command kFromMigration = {"/K:12", nullptr};

const char kYearBroken[] = "年度更新を実行できません。ブック管理データファイルが壊れています。";
const char kInitBroken[] =
    "ブックの初期化を実行できません。ブック管理データファイルが壊れています。";
const char kConvertFailed[] = "Excelブックのコンバートに失敗しました。パソコンを再起動し、各ブ"
                              "ックの初期化を行ってください。";
const char kDamaged[] = "ブック管理データファイルが壊れています。";

// The commands as they start when the list itself is unusable: the year
// update, the initialisations and the conversions end before a dialog shows.
const Command kYearStart = {"/K:7", nullptr};
const Command kInitStart = {"/K:8", nullptr};
const Command kAttendanceStart = {"/K:10", nullptr};
const Command kSingle = {"/F:kyuyo.xls", nullptr};

// A record named as damaged: the format change stops on it, the
// conversions of every book go on without its book.
std::string RecordRefusal(const std::string& what, const Command& command) {
    return "ブック管理データファイルが壊れています。\n" + what + "\n" +
           (&command == &kFormat ? "ﾌｧｲﾙ形式の変換を中断します"
                                 : "このブックはコンバートしません。");
}

std::string FormatRefusal(const std::string& name, const Command& command = kFormat) {
    return RecordRefusal(name + "\nはExcelフォルダのブックを指していません。", command);
}

class DamagedBookList : public ProductFixture {
protected:
    QuimbexRun RunCommand(const Command& command) {
        return RunPressingOk(QuimbexStart(command.tail), command.dialog);
    }

    // The product's own files: the list, the markers, templates and converters.
    std::map<std::string, std::string> ProductFiles() const {
        return FolderContents(ProductDir() + "\\Data");
    }
    // Every file of the installation but the Excel folder's (and the
    // stand-in's log).
    std::map<std::string, std::string> OutsideExcelFolder() const {
        auto files = FolderContents(ProductDir());
        for (auto it = files.begin(); it != files.end();) {
            const bool inside =
                it->first.rfind("Excel\\", 0) == 0 || it->first.rfind("standin\\", 0) == 0;
            it = inside ? files.erase(it) : std::next(it);
        }
        return files;
    }
};

// The names of the files that are new, gone or changed.
std::vector<std::string> ChangedFiles(const std::map<std::string, std::string>& before,
                                      const std::map<std::string, std::string>& after) {
    std::vector<std::string> names;
    for (const auto& file : before) {
        const auto now = after.find(file.first);
        if (now == after.end() || now->second != file.second)
            names.push_back(file.first);
    }
    for (const auto& file : after)
        if (before.count(file.first) == 0)
            names.push_back(file.first);
    return names;
}

std::string KeyRefusal(const std::string& key, const Command& command = kFormat) {
    return RecordRefusal("ブック名\n" + key + "\nは控えのファイル名に使えません。", command);
}

// The entry count of a written list (its first two bytes) set to n.
std::string WithCount(std::string bytes, unsigned char n) {
    bytes.at(0) = static_cast<char>(n);
    bytes.at(1) = '\0';
    return bytes;
}

std::vector<std::string> Texts(const QuimbexRun& run) {
    std::vector<std::string> texts;
    for (const QuimbexRun::Box& box : run.boxes)
        texts.push_back(box.text);
    return texts;
}

} // namespace

// The record comes first in every list (its order is the lowest), so that
// the commands of one book choose it.  A file name with a folder, a parent
// or a "/" never reaches a file outside the Excel folder: the list, the
// templates and the markers stay as they were, and so does every workbook.
// Nor does it reach the workbook of the Excel folder that its file-name
// part names, which the record does not name.  The year update and the
// initialisation refuse the list as damaged, the others name the record;
// converting every book, its book fails and the other books go on.
TEST_F(DamagedBookList, RecordLeadingOutOfTheExcelFolderTouchesNothing) {
    const std::string slashes = "../Data/MyData/BookMNG.dat";
    const std::string parents = "..\\Data\\MyData\\BookMNG.dat";
    // The attendance workbook "勤怠_" + name: its first ".." goes back
    // over "勤怠_..", and the name ends as a workbook's.
    const std::string deep = "..\\..\\..\\Data\\Org\\Kyuyo.xls";
    const std::string deepSlashes = "../../../Data/Org/Kyuyo.xls";
    const std::string folder = "sub\\kyuyo.xls";
    const std::string intoExcel = "..\\Excel\\kyuyo.xls";
    const struct {
        const std::string& fileName;
        const Command& command;
        std::vector<std::string> texts;
    } cases[] = {
        {slashes, kYear, {kYearBroken}},
        {parents, kYear, {kYearBroken}},
        {slashes, kInit, {kInitBroken}},
        {parents, kInit, {kInitBroken}},
        {folder, kYear, {kYearBroken}},
        {intoExcel, kYear, {kYearBroken}},
        {folder, kInit, {kInitBroken}},
        {intoExcel, kInit, {kInitBroken}},
        {slashes, kAll, {FormatRefusal(slashes, kAll), kConvertFailed}},
        {parents, kAll, {FormatRefusal(parents, kAll), kConvertFailed}},
        {deepSlashes, kAttendance, {kInitBroken}},
        {deep, kAttendance, {kInitBroken}},
        {slashes, kFormat, {FormatRefusal(slashes)}},
        {parents, kFormat, {FormatRefusal(parents)}},
        {parents, kFromMigration, {FormatRefusal(parents, kFromMigration)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName + ", " + c.command.tail);
        RelayProduct();
        WriteBookMap(BookMngPath(), {{"kyuyo", 0, "kyuyo.xls", ""},
                                     {"表参道店", 1, "表参道店.xls", ""},
                                     {"外", -1, c.fileName, ""}});
        ClearLog();
        const auto product = ProductFiles();
        const auto books = FolderContents(ExcelDir());
        const NothingLost kept(ExcelDir());
        const QuimbexRun run = RunCommand(c.command);
        EXPECT_EQ(c.texts, Texts(run));
        EXPECT_EQ(1u, run.exitCode);
        EXPECT_EQ(std::vector<std::string>{}, ChangedFiles(product, ProductFiles()));
        EXPECT_FALSE(FileExists(ProductDir() + "\\Data\\MyData\\ExMng.dat"));
        if (c.command.dialog) {
            EXPECT_EQ(books, FolderContents(ExcelDir()));
        }
    }
}

// A record that names no workbook of the Excel folder as the system opens
// it: trailing dots or blanks and the short name of another workbook open
// that one, a device name opens the device, a pattern or an empty name no
// file, a folder is no workbook, and neither is a name without a
// workbook's extension, nor one whose attendance workbook or backups would
// be longer than a name may be.  The commands that rename, copy or
// convert a workbook refuse it before any book changes (the attendance
// initialisation lists it as it stands, never as a workbook still to be
// made); converting every book names it and lets its book fail, and no
// file takes the record's name.
TEST_F(DamagedBookList, RecordNamingNoWorkbookAsOpenedTouchesNothing) {
    char shortPath[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetShortPathNameA(ExcelDir() + "\\表参道店.xls", shortPath, MAX_PATH));
    const std::string shortName = FileNamePart(shortPath).str();
    ASSERT_NE("表参道店.xls", shortName);
    const std::string folder = "古い.xls";
    // "kyuyo" has no workbook's extension: no command guesses one (the
    // attendance initialisation is in AttendanceInit).
    const std::string tooLong = std::string(230, 'n') + ".xls";
    const std::vector<std::string> names = {"kyuyo.xls.", "kyuyo.xls ", shortName,   "con.xls",
                                            "NUL",        "*.xls",      "kyuyo.xl?", "",
                                            folder,       "kyuyo",      "kyuyo.bak", tooLong};
    const struct {
        const Command& command;
        bool refuses; // before anything changes; else its book fails
        bool namesRecord;
        std::vector<std::string> texts; // after the box that names the record
    } commands[] = {
        {kYear, true, false, {kYearBroken}},
        {kInit, true, false, {kInitBroken}},
        {kAll, false, true, {kConvertFailed}},
        {kAttendance, true, false, {kInitBroken}},
        {kFormat, true, true, {}},
        {kFromMigration, false, true, {}},
    };
    for (const std::string& name : names) {
        for (const auto& c : commands) {
            SCOPED_TRACE("[" + name + "], " + c.command.tail);
            RelayProduct();
            ASSERT_TRUE(::CreateDirectoryA(ExcelDir() + "\\" + folder.c_str(), nullptr));
            WriteBookMap(BookMngPath(), {{"kyuyo", 0, "kyuyo.xls", ""}, {"外", -1, name, ""}});
            ClearLog();
            const auto product = ProductFiles();
            const auto books = FolderContents(ExcelDir());
            const NothingLost kept(ExcelDir());
            const QuimbexRun run = RunCommand(c.command);
            std::vector<std::string> texts = c.texts;
            if (c.namesRecord)
                texts.insert(texts.begin(), FormatRefusal(name, c.command));
            EXPECT_EQ(texts, Texts(run));
            EXPECT_EQ(1u, run.exitCode);
            EXPECT_EQ(std::vector<std::string>{}, ChangedFiles(product, ProductFiles()));
            EXPECT_FALSE(FileExists(ProductDir() + "\\Data\\MyData\\ExMng.dat"));
            const auto after = FolderContents(ExcelDir());
            if (c.refuses) {
                EXPECT_EQ(books, after);
                continue;
            }
            // Only the listed book was converted: its new workbook and its
            // dated backups are the only new names, and the others are as
            // they were.
            for (const auto& file : after) {
                if (books.count(file.first) == 0) {
                    EXPECT_NE(std::string::npos, file.first.find(TodayText())) << file.first;
                }
            }
            EXPECT_EQ(books.at("表参道店.xls"), after.at("表参道店.xls"));
        }
    }
}

// Only the attendance workbook's name ("勤怠_" + the record's) names no
// workbook (a folder has it): converting every book names it and fails
// that step alone; the payroll workbook of the record is rebuilt as the
// others are.
TEST_F(DamagedBookList, AttendanceNameOfNoWorkbookFailsOnlyTheAttendanceStep) {
    const std::string folder = "勤怠_表参道店.xls";
    ASSERT_TRUE(::CreateDirectoryA(ExcelDir() + "\\" + folder.c_str(), nullptr));
    const std::string original = ReadFileBytes(Excel("表参道店.xls"));
    const NothingLost kept(ExcelDir());
    const QuimbexRun run = RunCommand(kAll);
    EXPECT_EQ((std::vector<std::string>{FormatRefusal(folder, kAll), kConvertFailed}), Texts(run));
    EXPECT_EQ(1u, run.exitCode);
    const CString backup = Excel("表参道店" + TodayText() + ".xls");
    EXPECT_EQ(original, ReadFileBytes(backup));
    EXPECT_TRUE(IsRebuiltFrom(Excel("表参道店.xls"), backup, kPayrollSections));
    EXPECT_FALSE(FileExists(ProductDir() + "\\Data\\MyData\\ExMng.dat"));
}

// Two records of one workbook, by another spelling of its name (the case of
// its letters, a trailing dot, its short name), or a record of another
// book's attendance workbook: the year update of every book would update
// it twice (two years on, its data carried from the once-updated book),
// the conversions would rebuild it twice, the format change would convert
// it and then fail on the name that is gone.  They find it before any book
// changes: a record in another case as a second record of the workbook,
// one that the system opens as another name as a damaged record (which
// converting every book lets fail on its own, as RecordNamingNoWorkbook...
// shows).
TEST_F(DamagedBookList, TwoRecordsOfOneWorkbookAreRefusedBeforeAnyChange) {
    char shortPath[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetShortPathNameA(ExcelDir() + "\\表参道店.xls", shortPath, MAX_PATH));
    const CString shortName = FileNamePart(shortPath);
    const struct {
        const char* original;
        CString spelling;
        bool sameBook; // told as the same workbook, else as a damaged record
    } spellings[] = {
        {"kyuyo.xls", "KYUYO.XLS", true},
        {"kyuyo.xls", "kyuyo.xls.", false},
        {"表参道店.xls", shortName, false},
        {"勤怠_kyuyo.xls", "勤怠_kyuyo.xls", true},
    };
    const struct {
        const Command& command;
        const char* stopLine;
    } commands[] = {
        {kYear, "年度更新処理を中断します"},
        {kFormat, "ﾌｧｲﾙ形式の変換を中断します"},
        {kAll, "コンバート処理を中断します"},
        {kFromMigration, "コンバート処理を中断します"},
    };
    for (const auto& s : spellings) {
        for (const auto& c : commands) {
            if (!c.command.dialog && !s.sameBook)
                continue;
            SCOPED_TRACE(s.spelling.str() + ", " + c.command.tail);
            RelayProduct();
            WriteBookMap(BookMngPath(), {{"kyuyo", 0, "kyuyo.xls", ""},
                                         {"表参道店", 1, "表参道店.xls", ""},
                                         {"控え", 2, s.spelling.str(), ""}});
            ClearLog();
            const auto product = ProductFiles();
            const auto books = FolderContents(ExcelDir());
            const std::string sameBook = std::string(s.original) + "\nと\n" + s.spelling.str() +
                                         "\nは同じブックです。\nブック管理データファイルが壊れて"
                                         "います。\n" +
                                         c.stopLine;
            if (!c.command.dialog) {
                const NothingLost kept(ExcelDir());
                const QuimbexRun run = RunCommand(c.command);
                EXPECT_EQ(std::vector<std::string>{sameBook}, Texts(run));
                EXPECT_EQ(1u, run.exitCode);
                EXPECT_EQ(books, FolderContents(ExcelDir()));
                EXPECT_EQ(std::vector<std::string>{}, ChangedFiles(product, ProductFiles()));
                EXPECT_EQ(std::vector<std::string>{}, RunLines()) << "no book was asked of Excel";
                continue;
            }
            uidriver::Process quimbex(QuimbexStart(c.command.tail));
            const uidriver::DialogWindow dialog =
                uidriver::DialogWindow::WaitFor(quimbex.Windows(), c.command.dialog, 60000);
            if (&c.command == &kYear)
                dialog.SetCheck(IDC_YEAR_ALL_BOOKS, true);
            dialog.Click(IDOK);
            const QuimbexRun::Box box = AnswerNextBox(quimbex.Windows());
            const std::string refusal = s.sameBook             ? sameBook
                                        : &c.command == &kYear ? std::string(kYearBroken)
                                                               : FormatRefusal(s.spelling.str());
            EXPECT_EQ(refusal, box.text);
            if (&c.command == &kYear) {
                // The year update's dialog stays open for another try.
                ASSERT_TRUE(uidriver::PollUntil(
                    [&] { return ::IsWindowEnabled(dialog.Handle()) != FALSE; }, 10000));
                dialog.Click(IDCANCEL);
            }
            QuimbexRun run;
            FinishRun(quimbex, run);
            EXPECT_EQ(books, FolderContents(ExcelDir()));
            EXPECT_EQ(std::vector<std::string>{}, ChangedFiles(product, ProductFiles()));
            EXPECT_EQ(std::vector<std::string>{}, RunLines()) << "no book was asked of Excel";
        }
    }
    // One book chosen: the year update and the initialisation would copy the
    // payroll template over kyuyo's attendance workbook, whether the record
    // of it is the chosen book (first) or another one (last); the attendance
    // initialisation of kyuyo (first) would copy the attendance template over
    // the other record's workbook.
    for (const int order : {-1, 2}) {
        for (const auto& c : {std::make_pair(&kYear, "年度更新処理を中断します"),
                              std::make_pair(&kInit, "初期化処理を中断します"),
                              std::make_pair(&kAttendance, "初期化処理を中断します")}) {
            if (c.first == &kAttendance && order < 0)
                continue; // the chosen record's attendance workbook is not made yet
            SCOPED_TRACE(std::to_string(order) + ", " + c.first->tail);
            RelayProduct();
            WriteBookMap(BookMngPath(), {{"kyuyo", 0, "kyuyo.xls", ""},
                                         {"表参道店", 1, "表参道店.xls", ""},
                                         {"控え", order, "勤怠_kyuyo.xls", ""}});
            ClearLog();
            const auto product = ProductFiles();
            const auto books = FolderContents(ExcelDir());
            const QuimbexRun run = RunCommand(*c.first);
            EXPECT_EQ(std::vector<std::string>{"勤怠_kyuyo.xls\nと\n勤怠_kyuyo.xls\nは同じブックで"
                                               "す。\nブック管理データファイルが壊れています。\n" +
                                               std::string(c.second)},
                      Texts(run));
            EXPECT_EQ(1u, run.exitCode);
            EXPECT_EQ(books, FolderContents(ExcelDir()));
            EXPECT_EQ(std::vector<std::string>{}, ChangedFiles(product, ProductFiles()));
            EXPECT_EQ(std::vector<std::string>{}, RunLines()) << "no book was asked of Excel";
        }
    }
}

// A key starts the names of its book's backups (key + date + extension):
// one with a parent, a folder, a drive or a pattern would rename the
// workbook out of the Excel folder, where the product never finds its
// data, and one too long for a file name there, or for a path, would have
// the system cut the backup's name or refuse it.  The commands of one book
// refuse it as a damaged list (the attendance initialisation too, which
// names no backup after the key), the format change before any book
// changes, and converting every book names it and lets that book fail; no
// workbook leaves the Excel folder or loses its name.  A key that is a
// name but too long for its backups there (a deep product folder) is told
// as that, not as a damaged list, and so is a record's workbook that
// exists but whose attendance workbook's or backups' names would be.
TEST_F(DamagedBookList, KeyThatWouldPutTheBackupOutsideTheExcelFolderMovesNothing) {
    // key + "2026年12月09日.xls": 255 characters; the path: the Excel
    // folder's, a separator and 15 characters beside the key.
    const std::string longName(240, 'a');
    const std::string longPath(262 - ExcelDir().GetLength() - 16, 'p');
    ASSERT_LE(longPath.size(), 234u) << "its backup's name alone fits";
    const std::vector<std::string> keys = {"..\\z", "../z", "d:z", "*", longName, longPath};
    const struct {
        const Command& command;
        bool refuses;
        bool namesKey;
        std::vector<std::string> texts; // after the box that names the key
        const char* stopLine;           // after a name too long; null: as damaged
    } commands[] = {
        {kYear, true, false, {kYearBroken}, "年度更新処理を中断します"},
        {kInit, true, false, {kInitBroken}, "初期化処理を中断します"},
        {kAll, false, true, {kConvertFailed}, "このブックはコンバートしません。"},
        {kAttendance, true, false, {kInitBroken}, nullptr},
        {kFormat, true, true, {}, "ﾌｧｲﾙ形式の変換を中断します"},
        {kFromMigration, false, true, {}, "このブックはコンバートしません。"},
    };
    const auto tooLongTexts = [&](const std::string& told, const auto& c) {
        std::vector<std::string> texts{told + "\n" + c.stopLine};
        if (&c.command == &kAll)
            texts.push_back(kConvertFailed);
        return texts;
    };
    for (const std::string& key : keys) {
        for (const auto& c : commands) {
            SCOPED_TRACE("[" + key + "] (" + std::to_string(key.size()) + "), " + c.command.tail);
            RelayProduct();
            WriteBookMap(BookMngPath(),
                         {{key, -1, "kyuyo.xls", ""}, {"表参道店", 1, "表参道店.xls", ""}});
            ClearLog();
            const auto product = ProductFiles();
            const auto books = FolderContents(ExcelDir());
            const auto outside = OutsideExcelFolder();
            {
                const NothingLost kept(ExcelDir());
                const QuimbexRun run = RunCommand(c.command);
                std::vector<std::string> texts = c.texts;
                if (c.namesKey)
                    texts.insert(texts.begin(), KeyRefusal(key, c.command));
                if ((key == longName || key == longPath) && c.stopLine)
                    texts =
                        tooLongTexts("ブック名\n" + key + "\nの控えのファイル名が長すぎます。", c);
                EXPECT_EQ(texts, Texts(run));
                EXPECT_EQ(1u, run.exitCode);
            }
            EXPECT_EQ(std::vector<std::string>{}, ChangedFiles(product, ProductFiles()));
            EXPECT_EQ(std::vector<std::string>{}, ChangedFiles(outside, OutsideExcelFolder()));
            EXPECT_FALSE(FileExists(ProductDir() + "\\Data\\MyData\\ExMng.dat"));
            EXPECT_EQ(books.at("kyuyo.xls"), FolderContents(ExcelDir()).at("kyuyo.xls"));
            if (c.refuses) {
                EXPECT_EQ(books, FolderContents(ExcelDir()));
            }
        }
    }
    // The longest name that fits in the Excel folder: its attendance
    // workbook's name does not.
    const std::string longBook(255 - ExcelDir().GetLength() - 4, 'b');
    const std::string name = longBook + ".xls";
    for (const auto& c : commands) {
        if (!c.stopLine)
            continue;
        SCOPED_TRACE(std::string("long name, ") + c.command.tail);
        RelayProduct();
        ASSERT_TRUE(::CopyFileA(Excel("kyuyo.xls"), Excel(name), TRUE));
        WriteBookMap(BookMngPath(), {{"長い", -1, name, ""}, {"表参道店", 1, "表参道店.xls", ""}});
        ClearLog();
        const auto product = ProductFiles();
        const auto books = FolderContents(ExcelDir());
        {
            const NothingLost kept(ExcelDir());
            const QuimbexRun run = RunCommand(c.command);
            EXPECT_EQ(tooLongTexts(name + "\nの勤怠ブックまたは控えのファイル名が長すぎます。", c),
                      Texts(run));
            EXPECT_EQ(1u, run.exitCode);
        }
        EXPECT_EQ(std::vector<std::string>{}, ChangedFiles(product, ProductFiles()));
        EXPECT_EQ(books.at(name), FolderContents(ExcelDir()).at(name));
        if (c.refuses) {
            EXPECT_EQ(books, FolderContents(ExcelDir()));
        }
    }
}

// A list whose count ends before its records (count 1, two records), or
// with any byte after its last record, is damaged: it is not read to its
// end.  Every command says so as it does for a cut list; none rewrites the
// list (the record behind the count would be lost) or switches the marker,
// and no conversion claims success.  The conversions rebuild the book read
// and fail; the others change no workbook.
TEST_F(DamagedBookList, ListWithBytesAfterItsLastRecordIsDamagedForEveryCommand) {
    WriteBookMap(BookMngPath(),
                 {{"kyuyo", 0, "kyuyo.xls", ""}, {"表参道店", 1, "表参道店.xls", ""}});
    const std::string two = ReadFileBytes(BookMngPath());
    const std::string tails[] = {WithCount(two, 1), two + std::string(1, '\0')};
    const struct {
        const Command& command;
        bool changesBooks;
        std::vector<std::string> texts;
    } commands[] = {
        {kYearStart, false, {kDamaged, "年度更新を実行できません。"}},
        {kInitStart, false, {kDamaged, "ブックの初期化を実行できません。"}},
        {kAll, true, {kDamaged, kConvertFailed}},
        {kAttendanceStart, false, {kDamaged, "ブックの初期化を実行できません。"}},
        {kFormat, false, {kDamaged, "ﾌｧｲﾙ形式の変換を実行できません。"}},
        {kFromMigration, true, {kDamaged}},
        {kSingle, false, {kDamaged, "コンバートを実行できません。"}},
    };
    for (const std::string& bytes : tails) {
        for (const auto& c : commands) {
            SCOPED_TRACE(std::string(c.command.tail) + ", " + std::to_string(bytes.size()) +
                         " bytes");
            RelayProduct();
            WriteFileBytes(BookMngPath(), bytes);
            ClearLog();
            const auto product = ProductFiles();
            const auto books = FolderContents(ExcelDir());
            {
                const NothingLost kept(ExcelDir());
                const QuimbexRun run = RunCommand(c.command);
                EXPECT_EQ(c.texts, Texts(run));
                EXPECT_EQ(1u, run.exitCode);
            }
            EXPECT_EQ(std::vector<std::string>{}, ChangedFiles(product, ProductFiles()));
            EXPECT_EQ(bytes, ReadFileBytes(BookMngPath()));
            EXPECT_FALSE(FileExists(ProductDir() + "\\Data\\MyData\\ExMng.dat"));
            if (!c.changesBooks) {
                EXPECT_EQ(books, FolderContents(ExcelDir()));
            }
        }
    }
}

// A list that another program holds for itself, or that this user may not
// read: every command names the file it cannot read, as the conversions
// do (ConvertAllBooks), with its own stop line, and changes nothing.
TEST_F(DamagedBookList, UnreadableListIsNamedByEveryCommand) {
    const struct {
        const Command& command;
        const char* stopLine;
    } commands[] = {
        {kYearStart, "年度更新処理を中断します"},
        {kInitStart, "初期化処理を中断します"},
        {kAttendanceStart, "初期化処理を中断します"},
        {kFormat, "ﾌｧｲﾙ形式の変換を中断します"},
    };
    for (const bool denied : {false, true}) {
        for (const auto& c : commands) {
            SCOPED_TRACE(std::string(c.command.tail) + (denied ? ", denied" : ", held alone"));
            RelayProduct();
            ClearLog();
            const auto product = ProductFiles();
            const auto books = FolderContents(ExcelDir());
            QuimbexRun run;
            {
                const NothingLost kept(ExcelDir());
                const Holding held =
                    denied ? HoldUnreadable(BookMngPath())
                           : HoldHandle(::CreateFileA(BookMngPath(), GENERIC_READ, 0, nullptr,
                                                      OPEN_EXISTING, 0, nullptr));
                run = RunCommand(c.command);
            }
            EXPECT_EQ(std::vector<std::string>{"ブック管理データファイル\n" + BookMngPath().str() +
                                               "\nを読み込めません。\n" + c.stopLine},
                      Texts(run));
            ASSERT_FALSE(run.boxes.empty());
            EXPECT_EQ("Quimbex", run.boxes[0].caption);
            EXPECT_EQ(1u, run.exitCode);
            EXPECT_EQ(std::vector<std::string>{}, ChangedFiles(product, ProductFiles()));
            EXPECT_EQ(books, FolderContents(ExcelDir()));
        }
    }
}
