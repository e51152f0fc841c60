// Each command that renames or copies a workbook, with that workbook
// read-only, hidden, or held open by another program as Excel holds one:
// the command does what Windows lets it do, says so, and loses nothing.
#include "DialogChecks.h"
#include "DialogWindow.h"
#include "HeldFiles.h"
#include "NothingLost.h"
#include "ProductFixture.h"
#include "QuimbexRun.h"
#include "TempDir.h"

#include <windows.h>

#include <optional>

namespace {

enum class Access { readOnly, hidden, heldOpen };

const char* AccessName(Access access) {
    switch (access) {
    case Access::readOnly:
        return "read-only";
    case Access::hidden:
        return "hidden";
    default:
        return "held open";
    }
}

// A command as the product starts it, the workbook it renames or copies
// first, and the dialog it asks with (answered with its OK button).
struct Command {
    const char* tail;
    const char* dialog; // null: none
    const char* book;
};

const Command kSingle = {"/F:kyuyo.xls", nullptr, "kyuyo.xls"};
const Command kAdd = {"/K:6 /O:kyuyo.xls /N:kyuyo2.xls", nullptr, "kyuyo.xls"};
const Command kYear = {"/K:7", "年度更新", "kyuyo.xls"};
const Command kInit = {"/K:8", "ブックの初期化", "kyuyo.xls"};
const Command kAll = {"/K:9", nullptr, "kyuyo.xls"};
const Command kAttendance = {"/K:10", "ブックの初期化", "勤怠_kyuyo.xls"};
const Command kFormat = {"/K:11", "Excelﾌﾞｯｸの形式変更", "kyuyo.xls"};

const char kConvertDone[] = "Excelブックのコンバートが完了しました。";
const char kConvertFailed[] = "Excelブックのコンバートに失敗しました。";
const char kYearDone[] = "処理が完了しました。";
const char kInitDone[] = "ブックの初期化が完了しました。";
const char kAttendanceDone[] = "初期化が完了しました。";
const char kFormatDone[] = "ﾌｧｲﾙ形式の変換が完了しました。";
const char kCloseBook[] = "初期化するブックを閉じてください。";
// Found before anything changes, by the commands that check every book first.
const char kAttendanceWriteProtected[] =
    "勤怠_kyuyo.xls\nは書き込みが禁止されているため、変更できません。\n初期化処理を中断します";
const char kAttendanceHeld[] =
    "勤怠_kyuyo.xls\nは他のアプリケーションで開かれています。\nブックを閉"
    "じてください。\n初期化処理を中断します";
const char kFormatHeld[] = "kyuyo.xls\nは他のアプリケーションで開かれています。\nブックを閉じてくだ"
                           "さい。\nﾌｧｲﾙ形式の変換を中断します";

class WorkbookAccess : public ProductFixture {
protected:
    // Read-only is the attribute: Windows lets a program rename such a file
    // and copy it, and so does Wine.  Where a command copies over the
    // workbook, the file is also held open (HoldReadOnly): Wine, unlike
    // Windows, lets a rename replace a read-only file.
    Holding Restrict(Access access, const Command& command) {
        const CString book = Excel(command.book);
        if (access == Access::heldOpen)
            return std::make_shared<HeldFile>(book);
        if (access == Access::readOnly && &command == &kAttendance)
            return HoldReadOnly(book);
        EXPECT_TRUE(::SetFileAttributesA(book, access == Access::hidden ? FILE_ATTRIBUTE_HIDDEN
                                                                        : FILE_ATTRIBUTE_READONLY));
        return Holding();
    }

    QuimbexRun RunCommand(const Command& command) {
        return RunPressingOk(QuimbexStart(command.tail), command.dialog);
    }
};

// Each message begins with its text; the texts naming a backup go on.
void ExpectTexts(const std::vector<const char*>& starts, const QuimbexRun& run) {
    std::vector<std::string> texts;
    for (const QuimbexRun::Box& box : run.boxes)
        texts.push_back(box.text);
    ASSERT_EQ(starts.size(), texts.size()) << testing::PrintToString(texts);
    for (size_t i = 0; i < starts.size(); ++i)
        EXPECT_EQ(0u, texts[i].find(starts[i])) << texts[i];
}

} // namespace

// A read-only or hidden workbook is renamed to its backup as Windows allows,
// and rebuilt; one held open cannot be renamed and is reported.  Copying
// over a workbook (command 10) cannot be done when it is read-only or held
// open: the command finds that before it makes the backup copy, as the
// format change finds a book held open before any book changes.  (Windows
// refuses to copy over a hidden file too; Wine copies, so the hidden case
// of command 10 shows Wine's way.)
TEST_F(WorkbookAccess, EachCommandDoesWhatTheSystemAllowsAndLosesNothing) {
    const struct {
        Access access;
        const Command& command;
        std::vector<const char*> texts;
        bool accessDenied; // "ERROR: accessDenied" on standard output
    } cases[] = {
        {Access::readOnly, kSingle, {}, false},
        {Access::readOnly, kAdd, {}, false},
        {Access::readOnly, kYear, {kYearDone}, false},
        {Access::readOnly, kInit, {kInitDone}, false},
        {Access::readOnly, kAll, {kConvertDone}, false},
        {Access::readOnly, kAttendance, {kAttendanceWriteProtected}, true},
        {Access::readOnly, kFormat, {kFormatDone}, false},
        {Access::hidden, kSingle, {}, false},
        {Access::hidden, kAdd, {}, false},
        {Access::hidden, kYear, {kYearDone}, false},
        {Access::hidden, kInit, {kInitDone}, false},
        {Access::hidden, kAll, {kConvertDone}, false},
        {Access::hidden, kAttendance, {kAttendanceDone}, false},
        {Access::hidden, kFormat, {kFormatDone}, false},
        {Access::heldOpen, kSingle, {"給与計算Excelブックを閉じてください。"}, true},
        {Access::heldOpen, kAdd, {}, false},
        {Access::heldOpen, kYear, {"更新するブックを閉じてください。"}, true},
        {Access::heldOpen, kInit, {kCloseBook}, true},
        {Access::heldOpen, kAll, {kCloseBook, kConvertFailed}, true},
        {Access::heldOpen, kAttendance, {kAttendanceHeld}, true},
        {Access::heldOpen, kFormat, {kFormatHeld}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(AccessName(c.access)) + ", " + c.command.tail);
        RelayProduct();
        ClearLog();
        const NothingLost kept(ExcelDir());
        const std::string before = ReadFileBytes(Excel(c.command.book));
        QuimbexRun run;
        {
            const Holding restricted = Restrict(c.access, c.command);
            run = RunCommand(c.command);
        }
        ExpectTexts(c.texts, run);
        EXPECT_EQ(c.accessDenied, run.stdoutText.find("ERROR: accessDenied") != std::string::npos)
            << run.stdoutText;
        // The converted book replaces the old one as a rebuild replaces it
        // in the other commands: its name is gone, its bytes in the backup.
        if (&c.command == &kFormat && c.access != Access::heldOpen) {
            EXPECT_FALSE(FileExists(Excel("kyuyo.xls")));
        }
        if (&c.command == &kAdd) {
            EXPECT_TRUE(FileExists(Excel("kyuyo2.xls")));
            EXPECT_TRUE(FilesStartingWith(ExcelDir(), "Backup_Kyuyo").empty());
            EXPECT_EQ(before, ReadFileBytes(Excel(c.command.book)));
        }
    }
}

// A template that is missing, that another program holds for itself alone,
// or that this user may not read, is found before the workbook is renamed: the command
// says which template and stops, with exit code 1, and every workbook keeps
// its name.  Tessaro's conversion after a restore leaves no success marker.
TEST_F(WorkbookAccess, UnreadableTemplateIsFoundBeforeTheBookIsRenamed) {
    const Command kFromMigration = {"/K:12", nullptr, "kyuyo.xls"};
    const struct {
        const Command& command;
        const char* templ;
        const char* stopLine;
    } commands[] = {
        {kSingle, "Kyuyo.xls", "コンバート処理を中断します"},
        {kYear, "Kyuyo.xls", "年度更新処理を中断します"},
        {kInit, "Kyuyo.xls", "初期化処理を中断します"},
        {kAll, "Kyuyo.xls", "コンバート処理を中断します"},
        {kAll, "勤怠_kyuyo.xls", "コンバート処理を中断します"},
        {kFromMigration, "Kyuyo.xls", "コンバート処理を中断します"},
        {kFromMigration, "勤怠_kyuyo.xls", "コンバート処理を中断します"},
        {kAttendance, "勤怠_kyuyo.xls", "初期化処理を中断します"},
        {kFormat, "Kyuyo.xlsm", "ﾌｧｲﾙ形式の変換を中断します"},
        {kFormat, "勤怠_kyuyo.xlsm", "ﾌｧｲﾙ形式の変換を中断します"},
    };
    enum class Fault { missing, heldAlone, denied };
    const struct {
        Fault fault;
        const char* name;
    } faults[] = {{Fault::missing, "missing"},
                  {Fault::heldAlone, "held for itself"},
                  {Fault::denied, "denied"}};
    for (const auto& f : faults) {
        for (const auto& c : commands) {
            SCOPED_TRACE(std::string(f.name) + " " + c.templ + ", " + c.command.tail);
            RelayProduct();
            ClearLog();
            const CString templ = ProductDir() + "\\Data\\Org\\" + c.templ;
            Holding held;
            switch (f.fault) {
            case Fault::missing:
                ASSERT_TRUE(::DeleteFileA(templ));
                break;
            case Fault::heldAlone:
                held = HoldHandle(
                    ::CreateFileA(templ, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
                break;
            case Fault::denied:
                held = HoldUnreadable(templ);
                break;
            }
            const auto before = FolderContents(ExcelDir());
            const auto product = FolderContents(ProductDir() + "\\Data\\MyData");
            const NothingLost kept(ExcelDir());
            const QuimbexRun run = RunCommand(c.command);
            std::vector<std::string> texts;
            for (const QuimbexRun::Box& box : run.boxes)
                texts.push_back(box.text);
            ASSERT_EQ(1u, texts.size()) << testing::PrintToString(texts);
            EXPECT_EQ("ひな形のブック\n" + templ.str() + "\nが見つからないか、読み込めません。\n" +
                          c.stopLine,
                      run.boxes[0].text);
            EXPECT_EQ(1u, run.exitCode);
            EXPECT_EQ(before, FolderContents(ExcelDir()));
            EXPECT_EQ(product, FolderContents(ProductDir() + "\\Data\\MyData"));
            EXPECT_FALSE(FileExists(ProductDir() + "\\Data\\MyData\\ExMng.dat"));
            EXPECT_TRUE(ListAgreesWithBooks(ProductDir(), ExcelDir()));
        }
    }
}
