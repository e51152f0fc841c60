#include "BookChecks.h"
#include "BookOperator.h"
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
