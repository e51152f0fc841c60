#include "BookChanges.h"
#include "BookChecks.h"
#include "BookOperator_win.h"
#include "MsgBoxAnswerer.h"
#include "ProductFixture.h"
#include "StandinWorkbook.h"
#include "TempDir.h"

namespace {

class RebuildBook : public ProductFixture {
protected:
    // The one file of the Excel folder that holds these bytes; "" if none or several.
    std::string FileHolding(const std::string& bytes) const {
        std::string found;
        int count = 0;
        for (const auto& entry : FolderContents(ExcelDir()))
            if (entry.second == bytes) {
                found = entry.first;
                ++count;
            }
        return count == 1 ? found : "";
    }

    MsgBoxAnswerer m_answers;
};

} // namespace

// A rebuild into the other format (as the format change asks for): the
// workbook gets the target's extension and is made from that format's
// template, while its backup keeps the extension it had.
TEST_F(RebuildBook, OtherTargetExtensionMakesTheBookFromThatFormatsTemplate) {
    const struct {
        const char* what;
        bool payroll;
        const char* book;
        const char* templ;
        const char* newBook;
        const char* backupStem;
    } cases[] = {
        {"payroll", true, "kyuyo.xls", "Kyuyo.xlsm", "kyuyo.xlsm", "kyuyo"},
        {"attendance", false, "勤怠_kyuyo.xls", "勤怠_kyuyo.xlsm", "勤怠_kyuyo.xlsm",
         "勤怠_kyuyo_"},
    };
    // Made after SetUp: the environment library then finds this product.
    CBookOperator op;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLog();
        // The template of the target format says where a workbook came from.
        CStandinWorkbook templ;
        ASSERT_TRUE(templ.Load(OrgDir() + "\\" + c.templ));
        templ.SetValue("Book", "Format", "xlsm");
        ASSERT_TRUE(templ.Save(OrgDir() + "\\" + c.templ));
        const std::string original = ReadFileBytes(ExcelDir() + "\\" + c.book);
        const std::string dateBefore = TodayText();

        const int result =
            c.payroll ? op.RebuildPayrollBook(WorkFile(), "kyuyo.xls", "kyuyo", ".xlsm")
                      : op.RebuildAttendanceBook(WorkFile(), "kyuyo.xls", "kyuyo", ".xlsm");
        EXPECT_EQ(1, result);

        const std::string backup = FileHolding(original);
        EXPECT_TRUE(backup == c.backupStem + dateBefore + ".xls" ||
                    backup == c.backupStem + TodayText() + ".xls")
            << backup;
        EXPECT_FALSE(FileExists(ExcelDir() + "\\" + c.book));
        const CString newBook = ExcelDir() + "\\" + c.newBook;
        EXPECT_TRUE(IsRebuiltFrom(newBook, ExcelDir() + "\\" + backup.c_str(),
                                  c.payroll ? kPayrollSections : kAttendanceSections));
        CStandinWorkbook rebuilt;
        ASSERT_TRUE(rebuilt.Load(newBook));
        EXPECT_EQ(CString("xlsm"), rebuilt.GetValue("Book", "Format"));
        EXPECT_EQ(c.payroll ? PayrollRebuildRuns(c.book, backup, c.newBook)
                            : AttendanceRebuildRuns(c.book, backup, c.newBook),
                  RunLines());
    }
    EXPECT_TRUE(m_answers.Boxes().empty());
}

// What a failed format change puts back, file by file: the template's copy
// goes (or the file it replaced comes back from the safety folder), and the
// workbook takes its name again from its backup, or from its safety copy
// when the backup is gone; a workbook that kept its name loses the copy
// that was its backup.
TEST_F(RebuildBook, PutBackGivesEveryWorkbookItsNameAndBytesAgain) {
    const CString excel = ExcelDir();
    const CString safety = excel + "\\20260401120000";
    ASSERT_TRUE(::CreateDirectoryA(safety, nullptr));
    const auto write = [](const CString& path, const char* bytes) { WriteFileBytes(path, bytes); };
    // a.xls was renamed to its backup and replaced by a.xlsm, a new name.
    write(excel + "\\a2026年04月01日.xls", "book a");
    write(excel + "\\a.xlsm", "template");
    // 表.xls likewise, but a 表.xlsm of an earlier change was replaced.
    write(excel + "\\表2026年04月01日.xls", "book 表");
    write(excel + "\\表.xlsm", "template");
    write(safety + "\\表.xls", "book 表");
    write(safety + "\\表.xlsm", "older 表.xlsm");
    // c.xls kept its name (no extension to change); its backup is gone.
    write(excel + "\\c.xls", "template");
    write(safety + "\\c.xls", "book c");
    // k.xls kept its name: its backup is a copy, k.xlsm the template.
    write(excel + "\\k.xls", "book k");
    write(excel + "\\k2026年04月01日.xls", "book k");
    write(excel + "\\k.xlsm", "template");
    CBookChanges changes(excel, safety);
    changes.NoteCopied(excel + "\\k.xls", excel + "\\k2026年04月01日.xls", excel + "\\k.xlsm",
                       false);
    changes.NoteReplaced(excel + "\\a.xls", excel + "\\a2026年04月01日.xls", excel + "\\a.xlsm",
                         false);
    changes.NoteReplaced(excel + "\\表.xls", excel + "\\表2026年04月01日.xls", excel + "\\表.xlsm",
                         true);
    changes.NoteReplaced(excel + "\\c.xls", excel + "\\c2026年04月01日.xls", excel + "\\c.xls",
                         false);
    EXPECT_EQ("", changes.PutBack());
    const auto files = FolderContents(excel);
    const std::map<std::string, std::string> expected = {
        {"a.xls", "book a"},
        {"c.xls", "book c"},
        {"k.xls", "book k"},
        {"表.xls", "book 表"},
        {"表.xlsm", "older 表.xlsm"},
        {"20260401120000\\", ""},
        {"20260401120000\\c.xls", "book c"},
        {"20260401120000\\表.xls", "book 表"},
        {"20260401120000\\表.xlsm", "older 表.xlsm"},
    };
    for (const auto& [name, bytes] : expected)
        EXPECT_EQ(bytes, files.count(name) ? files.at(name) : "(missing)") << name;
    EXPECT_EQ(expected.size(), files.size() - 3); // and the sample's own three workbooks
    EXPECT_EQ("", changes.PutBack());             // nothing is put back twice
}

// A workbook that can be put back neither way is named.
TEST_F(RebuildBook, WorkbookThatCannotBePutBackIsNamed) {
    const CString excel = ExcelDir();
    CBookChanges changes(excel, excel + "\\none");
    WriteFileBytes(excel + "\\d.xlsm", "template");
    changes.NoteReplaced(excel + "\\d.xls", excel + "\\gone.xls", excel + "\\d.xlsm", false);
    EXPECT_EQ("\nd.xls", changes.PutBack());
    EXPECT_FALSE(FileExists(excel + "\\d.xlsm"));
}

// A run that is done: the workbooks that kept their names while it worked
// give them up, their backups and the new workbooks stay, and nothing is
// put back any more.
TEST_F(RebuildBook, DoneRunRemovesTheOldNamesOfTheBooksItCopied) {
    const CString excel = ExcelDir();
    WriteFileBytes(excel + "\\k.xls", "book k");
    WriteFileBytes(excel + "\\k2026年04月01日.xls", "book k");
    WriteFileBytes(excel + "\\k.xlsm", "rebuilt k");
    WriteFileBytes(excel + "\\c.xls", "rebuilt c");
    WriteFileBytes(excel + "\\c2026年04月01日.xls", "book c");
    CBookChanges changes(excel, excel + "\\none");
    changes.NoteCopied(excel + "\\k.xls", excel + "\\k2026年04月01日.xls", excel + "\\k.xlsm",
                       false);
    changes.NoteReplaced(excel + "\\c.xls", excel + "\\c2026年04月01日.xls", excel + "\\c.xls",
                         false);
    changes.RemoveOldNames();
    EXPECT_FALSE(FileExists(excel + "\\k.xls"));
    for (const auto& [name, bytes] :
         std::map<std::string, std::string>{{"k2026年04月01日.xls", "book k"},
                                            {"k.xlsm", "rebuilt k"},
                                            {"c.xls", "rebuilt c"},
                                            {"c2026年04月01日.xls", "book c"}})
        EXPECT_EQ(bytes, ReadFileBytes(excel + "\\" + name.c_str())) << name;
    EXPECT_EQ("", changes.PutBack());
    EXPECT_EQ("rebuilt k", ReadFileBytes(excel + "\\k.xlsm"));
}
