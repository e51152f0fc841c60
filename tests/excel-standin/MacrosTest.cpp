// The macros on real files, without the server: what they refuse and what
// they leave alone.
#include "ScopedHandle_win.h"
#include "StandinMacros.h"
#include "StandinWorkbook.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

MacroArg Text(const char* text) {
    MacroArg a;
    a.type = MacroArg::typeText;
    a.text = text;
    a.typeName = "BSTR";
    return a;
}

MacroArg Long(long value) {
    MacroArg a;
    a.type = MacroArg::typeLong;
    a.value = value;
    a.typeName = "I4";
    return a;
}

MacroArg Other(const char* typeName) {
    MacroArg a;
    a.typeName = typeName;
    return a;
}

CStandinWorkbook Book(const std::string& text) {
    CStandinWorkbook book;
    book.Parse(text);
    return book;
}

class MacrosTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(::CreateDirectoryA(m_dir / "Excel", nullptr)); }
    CString Path(const char* name) const { return m_dir.Path() + "\\Excel\\" + name; }
    void Save(const char* name, const std::string& text) {
        ASSERT_TRUE(Book(text).Save(Path(name)));
    }
    MacroOutcome Run(const char* macro, const std::vector<MacroArg>& args) const {
        return CStandinMacros(CBookLocator(m_dir.Path())).Run(macro, args);
    }

    TempDir m_dir;
};

} // namespace

TEST_F(MacrosTest, ConversionsFailWithAReasonAndLeaveTheTarget) {
    const std::string target = "[Book]\r\nKind=Payroll\r\n[PayData]\r\nold\r\n";
    const struct {
        const char* macro;
        const char* source;
        MacroArg middle;
        const char* reason;
    } cases[] = {
        {"年度更新コンバート", "[Book]\r\nKind=Payroll\r\n", Text("KARVINE"),
         "the source has no valid Year"},
        {"年度更新コンバート", "[Book]\r\nYear=令和8\r\n", Text("KARVINE"),
         "the source has no valid Year"},
        {"会社情報コンバート", "[Company]\r\nName=x\r\n", Text(""), "source is not a workbook: "},
        {"会社情報コンバート", "[Book]\r\n", Other("I4"), "argument 2 is I4, not BSTR"},
        {"給与データコンバート", "[Book]\r\n", Text("KARVINE "), "wrong protection text: KARVINE "},
        {"社員名簿コンバート", "[Book]\r\n", Long(-1), "employee list mode -1 is neither 0 nor 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.macro << " " << c.reason);
        Save("src.xls", c.source);
        Save("dst.xls", target);
        const MacroOutcome outcome = Run(c.macro, {Text("src.xls"), c.middle, Text("dst.xls")});
        EXPECT_EQ(MacroOutcome::returnedFalse, outcome.kind);
        ASSERT_EQ(1u, outcome.reasons.size());
        EXPECT_EQ(0, outcome.reasons[0].Find(c.reason)) << outcome.reasons[0].GetString();
        EXPECT_EQ(target, ReadFileBytes(Path("dst.xls")));
    }
}

TEST_F(MacrosTest, ASectionTheSourceLacksIsEmptiedInTheTarget) {
    Save("src.xls", "[Book]\r\nKind=Payroll\r\n");
    Save("dst.xls", "[Book]\r\nKind=Payroll\r\nTemplate=2026.1\r\n[Payslips]\r\nsample\r\n");
    EXPECT_EQ(MacroOutcome::returnedTrue,
              Run("給与明細コンバート", {Text("src.xls"), Text("KARVINE"), Text("dst.xls")}).kind);
    EXPECT_EQ("[Book]\r\nKind=Payroll\r\nTemplate=2026.1\r\n[Payslips]\r\n",
              ReadFileBytes(Path("dst.xls")));
}

TEST_F(MacrosTest, TheYearUpdateKeepsWhatItDoesNotCarry) {
    Save("src.xls", "[Book]\r\nKind=Payroll\r\nTemplate=2025.1\r\nYear=2026\r\n"
                    "[Company]\r\nName=表\r\n[Employees]\r\n1,a,0\r\n2,b,1\r\n"
                    "[PayData]\r\np\r\n[Withholding]\r\nw\r\n");
    Save("dst.xls", "[Book]\r\nKind=Payroll\r\nTemplate=2026.1\r\nYear=2020\r\n"
                    "[PayData]\r\nt\r\n[Withholding]\r\ntw\r\n[Attendance]\r\nta\r\n");
    EXPECT_EQ(MacroOutcome::returnedTrue,
              Run("年度更新コンバート", {Text("src.xls"), Text("KARVINE"), Text("dst.xls")}).kind);
    EXPECT_EQ("[Book]\r\nKind=Payroll\r\nTemplate=2026.1\r\nYear=2027\r\n"
              "[PayData]\r\n[Withholding]\r\ntw\r\n[Attendance]\r\nta\r\n"
              "[Company]\r\nName=表\r\n[Employees]\r\n1,a,0\r\n[Payslips]\r\n[BonusSlips]\r\n",
              ReadFileBytes(Path("dst.xls")));
}

TEST_F(MacrosTest, ATargetThatCannotBeWrittenGivesFalse) {
    Save("src.xls", "[Book]\r\n[Attendance]\r\nx\r\n");
    Save("dst.xls", "[Book]\r\n");
    CFileHandle held(::CreateFileA(Path("dst.xls"), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    const MacroOutcome outcome =
        Run("勤怠コンバート", {Text("src.xls"), Text("KARVINE"), Text("dst.xls")});
    held.Close();
    EXPECT_EQ(MacroOutcome::returnedFalse, outcome.kind);
    ASSERT_EQ(1u, outcome.reasons.size());
    EXPECT_EQ(CString("cannot write the target: ") + Path("dst.xls"), outcome.reasons[0]);
    EXPECT_EQ("[Book]\r\n", ReadFileBytes(Path("dst.xls")));
}

TEST_F(MacrosTest, ArgumentCountsAndNamesAreChecked) {
    Save("a.xls", "[Book]\r\nProtected=1\r\n");
    const struct {
        const char* macro;
        std::vector<MacroArg> args;
        MacroOutcome::Kind kind;
    } cases[] = {
        {"CheckProtect", {Text("a.xls")}, MacroOutcome::returnedTrue},
        {"CheckProtect", {Other("I4")}, MacroOutcome::returnedFalse},
        {"CheckProtect", {}, MacroOutcome::badArgumentCount},
        {"CheckProtect", {Text("a.xls"), Text("a.xls")}, MacroOutcome::badArgumentCount},
        {"勤怠コンバート", {Text("a.xls"), Text("KARVINE")}, MacroOutcome::badArgumentCount},
        {"checkprotect", {Text("a.xls")}, MacroOutcome::notFound},
        {"勤怠", {Text("a.xls")}, MacroOutcome::notFound},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.macro);
        EXPECT_EQ(c.kind, Run(c.macro, c.args).kind);
        EXPECT_EQ(c.kind != MacroOutcome::notFound, CStandinMacros::Exists(c.macro));
    }
}
