#include "BookChecks.h"
#include "MsgBox.h"
#include "QuimbexE2e.h"
#include "TempDir.h"

#include <windows.h>

#include <algorithm>
#include <optional>

using uidriver::IconKind;

namespace {

const char kMissing[] =
    "コンバート対象の給与計算ブックが見つかりません。コンバート処理を中断します";

class ConvertSingleBook : public QuimbexE2e {
protected:
    // The backup of the last run: <date>給与計算.xls
    CString SingleBackup() const { return Backup("", "給与計算.xls"); }
};

} // namespace

TEST_F(ConvertSingleBook, RebuildsTheNamedBookWithTheSevenMacrosInOrder) {
    const std::string attendance = ReadFileBytes(Excel("勤怠_kyuyo.xls"));
    const std::string original = ReadFileBytes(Excel("kyuyo.xls"));
    const QuimbexRun run = Run("/F:kyuyo.xls");
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(original, ReadFileBytes(SingleBackup()));
    EXPECT_TRUE(IsRebuiltFrom(Excel("kyuyo.xls"), SingleBackup(), kPayrollSections));
    EXPECT_EQ(attendance, ReadFileBytes(Excel("勤怠_kyuyo.xls")));
    EXPECT_FALSE(FileExists(MyDataDir() + "\\ExMng.dat"));
    EXPECT_EQ(PayrollRebuildRuns("kyuyo.xls", BackupFile("", "給与計算.xls"), "kyuyo.xls"),
              RunLines());
}

// Only a file is a workbook: no name, a folder, a device or a pattern is
// reported as missing.  A
// name with a "\" (a folder's name, even where the file system would take
// it for the file) is no name of the Excel folder at all.  Nothing in the
// Excel folder changes.
TEST_F(ConvertSingleBook, NoWorkbookOfThatNameIsReportedAndNothingChanges) {
    ASSERT_TRUE(::CreateDirectoryA(Excel("sub"), nullptr));
    WriteFileBytes(Excel("sub\\inside.xls"), "kept");
    const auto before = FolderContents(ExcelDir());
    const NothingLost kept(ExcelDir());
    const struct {
        const char* tail;
        const char* text;
    } cases[] = {
        {"/F:none.xls", kMissing},
        {"/F:", kMissing},
        {"/K:5", kMissing},
        {"/K:5 /O:", kMissing},
        {"/F:sub", kMissing},
        {"/F:sub.", kMissing},
        {"/F:con.xls", kMissing},
        {"/F:NUL", kMissing},
        {"/F:*.xls", kMissing},
        {"/F:kyuyo.xl?", kMissing},
        {"/F:sub\\", "ﾊﾟﾗﾒｰﾀが不正です。"},
        {"/F:kyuyo.xls\\", "ﾊﾟﾗﾒｰﾀが不正です。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail);
        const QuimbexRun run = Run(c.tail);
        EXPECT_EQ(std::vector<std::string>{c.text}, Texts(run));
        EXPECT_EQ(1u, run.exitCode);
        for (const QuimbexRun::Box& box : run.boxes) {
            EXPECT_EQ("Quimbex", box.caption);
            EXPECT_EQ(IconKind::Exclamation, box.icon);
        }
        EXPECT_EQ(before, FolderContents(ExcelDir()));
    }
    EXPECT_EQ(0, ServerStarts());
}

// A failure before the macros leaves the workbook under its own name: a
// template that cannot be read is found before the rename.
TEST_F(ConvertSingleBook, FailureBeforeTheMacrosLosesNoWorkbook) {
    enum Setup { protectedBook, heldOpen, noTemplate };
    const struct {
        const char* what;
        Setup setup;
        std::string message;
        const char* checkResult;
    } cases[] = {
        {"protected", protectedBook,
         "kyuyo.xls\nにはパスワード保護がかかっています。\nパスワード保護をはずす必要があります。",
         "BOOL:-1"},
        {"open in Excel", heldOpen, "給与計算Excelブックを閉じてください。", "BOOL:0"},
        {"no template", noTemplate,
         "ひな形のブック\n" + OrgDir().str() +
             "\\Kyuyo.xls\nが見つからないか、読み込めません。\nコンバート処理を中断します",
         "BOOL:0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RelayProduct();
        ClearLog();
        if (c.setup == protectedBook)
            Protect("kyuyo.xls");
        if (c.setup == noTemplate) {
            ASSERT_TRUE(::DeleteFileA(OrgDir() + "\\Kyuyo.xls"));
        }
        const NothingLost kept(ExcelDir());
        const std::string original = ReadFileBytes(Excel("kyuyo.xls"));
        std::optional<HeldFile> held;
        if (c.setup == heldOpen) {
            held.emplace(Excel("kyuyo.xls"));
            ASSERT_TRUE(held->IsHeld());
        }
        const QuimbexRun run = Run("/F:kyuyo.xls");
        held.reset();
        EXPECT_EQ(std::vector<std::string>{c.message}, Texts(run));
        EXPECT_EQ(1u, run.exitCode);
        EXPECT_EQ(c.setup == heldOpen ? "ERROR: accessDenied\r\n" : "", run.stdoutText);
        EXPECT_FALSE(FileExists(SingleBackup()));
        EXPECT_EQ(original, ReadFileBytes(Excel("kyuyo.xls")));
        EXPECT_EQ(std::vector<std::string>{"Run\tCheckProtect\tBSTR:kyuyo.xls\t=> " +
                                           std::string(c.checkResult)},
                  RunLines());
    }
}

TEST_F(ConvertSingleBook, TakenBackupNameGetsTheTimeOfDay) {
    const CString taken = Excel(TodayText() + "給与計算.xls");
    WriteFileBytes(taken, "an earlier backup");
    const std::string original = ReadFileBytes(Excel("kyuyo.xls"));
    const QuimbexRun run = Run("/F:kyuyo.xls");
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ("an earlier backup", ReadFileBytes(taken));
    // <date>給与計算<HHMMSS>.xls holds the old workbook.
    std::vector<std::string> backups;
    for (const auto& entry : FolderContents(ExcelDir()))
        if (entry.second == original)
            backups.push_back(entry.first);
    ASSERT_EQ(1u, backups.size());
    const std::string stem = m_dates[0] + "給与計算";
    const std::string& name = backups[0];
    ASSERT_EQ(stem.size() + 6 + 4, name.size()) << name;
    EXPECT_EQ(0u, name.find(stem)) << name;
    EXPECT_TRUE(std::all_of(name.begin() + stem.size(), name.end() - 4, ::isdigit)) << name;
    EXPECT_TRUE(IsRebuiltFrom(Excel("kyuyo.xls"), Excel(name), kPayrollSections));
}

// The product may name the workbook by another spelling of its name (its
// short name, the case of its letters, a trailing dot), which the system
// opens all the same.  The book is rebuilt under its own name, the one the
// book list holds: the template never takes the spelling as a new name of
// its own (a short name would leave the list naming a file that is gone).
TEST_F(ConvertSingleBook, OtherSpellingOfTheNameRebuildsTheBookUnderItsOwnName) {
    RelayProduct(".xlsm");
    char shortPath[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetShortPathNameA(Excel("kyuyo.xlsm"), shortPath, MAX_PATH));
    const std::string shortName =
        CString(shortPath).Mid(CString(shortPath).ReverseFind('\\') + 1).str();
    ASSERT_NE("kyuyo.xlsm", shortName) << "no short name of its own";
    for (const std::string& spelling :
         {shortName, std::string("KYUYO.XLSM"), std::string("kyuyo.xlsm.")}) {
        SCOPED_TRACE(spelling);
        RelayProduct(".xlsm");
        ClearLog();
        const NothingLost kept(ExcelDir());
        auto expected = FolderContents(ExcelDir());
        const QuimbexRun run = Run(("/F:" + spelling).c_str());
        EXPECT_TRUE(run.boxes.empty());
        const CString backup = Backup("", "給与計算.xlsm");
        EXPECT_EQ(expected["kyuyo.xlsm"], ReadFileBytes(backup));
        EXPECT_TRUE(IsRebuiltFrom(Excel("kyuyo.xlsm"), backup, kPayrollSections));
        expected[BackupFile("", "給与計算.xlsm")] = ReadFileBytes(backup);
        expected["kyuyo.xlsm"] = ReadFileBytes(Excel("kyuyo.xlsm"));
        EXPECT_EQ(expected, FolderContents(ExcelDir())) << "no file under another name";
        EXPECT_EQ(PayrollRebuildRuns("kyuyo.xlsm", BackupFile("", "給与計算.xlsm"), "kyuyo.xlsm"),
                  RunLines());
    }
}

// Excel may sit in one macro for longer than the program's message-pending
// delay (10 s) while the user presses keys in the program's window: neither
// a busy nor a not-responding dialog may appear, only the wait dialog.  The
// framework's filter shows the not-responding dialog in this situation
// unless the program has switched it off.
TEST_F(ConvertSingleBook, KeysDuringALongMacroBringNoDialog) {
    CStandinFaults faults;
    faults.SetDelay("給与データコンバート", 11000);
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    int keys = 0;
    const QuimbexRun run = Run(QuimbexStart("/F:kyuyo.xls"), [&keys](const auto& windows) {
        for (const uidriver::WindowInfo& w : windows.List())
            if (w.visible && !uidriver::MsgBox::IsMsgBox(w.hwnd) &&
                ::PostMessageA(w.hwnd, WM_KEYDOWN, VK_SHIFT, 0))
                ++keys;
    });
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(std::vector<std::string>{"#32770|"}, run.otherWindows);
    EXPECT_EQ(8u, RunLines().size());
    EXPECT_LT(100, keys);
}

// The command rebuilds a payroll book of the list with the payroll
// template.  A workbook of the folder that the list does not name as a book
// (an attendance workbook, a dated backup, a stray workbook) is no payroll
// book: rebuilt as one, its data would be left in a payroll-style backup.
// It is refused as missing, before Excel is asked anything.
TEST_F(ConvertSingleBook, WorkbookTheListDoesNotNameIsRefusedAndNothingChanges) {
    const std::string backup = "kyuyo" + TodayText() + ".xls";
    WriteFileBytes(Excel(backup), ReadFileBytes(Excel("kyuyo.xls")));
    WriteFileBytes(Excel("stray.xls"), ReadFileBytes(Excel("kyuyo.xls")));
    const auto before = FolderContents(ExcelDir());
    const NothingLost kept(ExcelDir());
    for (const std::string& name : {std::string("勤怠_kyuyo.xls"), std::string("勤怠_KYUYO.XLS"),
                                    backup, std::string("stray.xls")}) {
        SCOPED_TRACE(name);
        const QuimbexRun run = Run(("/F:" + name).c_str());
        EXPECT_EQ(std::vector<std::string>{kMissing}, Texts(run));
        EXPECT_EQ(1u, run.exitCode);
        EXPECT_EQ(before, FolderContents(ExcelDir()));
    }
    EXPECT_EQ(0, ServerStarts());
}

// When no book can be read from the list (there is none, it holds none, or
// the product holds it open), a workbook is taken as the product names it,
// but an attendance workbook never is a payroll book.
TEST_F(ConvertSingleBook, ListWithoutBooksToReadRefusesOnlyAttendanceWorkbooks) {
    enum List { none, empty, held };
    for (const List list : {none, empty, held}) {
        SCOPED_TRACE(list == held ? "list held open" : list == empty ? "empty list" : "no list");
        RelayProduct();
        ClearLog();
        std::optional<HeldFile> holder;
        if (list == held) {
            holder.emplace(BookMngPath());
            ASSERT_TRUE(holder->IsHeld());
        } else if (list == empty) {
            WriteFileBytes(BookMngPath(), std::string(2, '\0'));
        } else {
            ASSERT_TRUE(::DeleteFileA(BookMngPath()));
        }
        const auto before = FolderContents(ExcelDir());
        const QuimbexRun refused = Run("/F:勤怠_kyuyo.xls");
        EXPECT_EQ(std::vector<std::string>{kMissing}, Texts(refused));
        EXPECT_EQ(1u, refused.exitCode);
        EXPECT_EQ(before, FolderContents(ExcelDir()));
        const QuimbexRun run = Run("/F:kyuyo.xls");
        EXPECT_TRUE(run.boxes.empty());
        EXPECT_EQ(0u, run.exitCode);
        EXPECT_TRUE(IsRebuiltFrom(Excel("kyuyo.xls"), SingleBackup(), kPayrollSections));
    }
}

// A damaged list may have lost the record that tells whether the workbook
// is a payroll book: the command stops before Excel is asked anything, as
// every command stops on a list it cannot read whole.
TEST_F(ConvertSingleBook, DamagedListStopsTheCommandBeforeAnyChange) {
    const std::string whole = ReadFileBytes(BookMngPath());
    for (const std::string& bytes : {std::string(), whole.substr(0, 5)}) {
        SCOPED_TRACE(std::to_string(bytes.size()) + " bytes");
        RelayProduct();
        ClearLog();
        WriteFileBytes(BookMngPath(), bytes);
        const auto before = FolderContents(ExcelDir());
        const NothingLost kept(ExcelDir());
        const QuimbexRun run = Run("/F:kyuyo.xls");
        EXPECT_EQ((std::vector<std::string>{"ブック管理データファイルが壊れています。",
                                            "コンバートを実行できません。"}),
                  Texts(run));
        EXPECT_EQ(1u, run.exitCode);
        EXPECT_EQ(before, FolderContents(ExcelDir()));
        EXPECT_EQ(bytes, ReadFileBytes(BookMngPath()));
        EXPECT_TRUE(RunLines().empty());
    }
}
