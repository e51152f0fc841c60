#include "BookOperator_win.h"
#include "MsgBoxAnswerer.h"
#include "ProductFixture.h"

namespace {

class MacroCalls : public ProductFixture {
protected:
    MsgBoxAnswerer m_answers;
    CBookOperator m_op;
};

} // namespace

// Every wrapper runs its macro in the converter workbook with the arguments
// in their order (name, source, middle, target), and closes the converter
// unsaved: one Open/Close cycle per macro.
TEST_F(MacroCalls, EveryWrapperCallsItsMacroExactly) {
    const CString w = WorkFile();
    const char* src = "kyuyo.xls";
    const char* tgt = "表参道店.xls";
    EXPECT_EQ(0, m_op.MacroCheckProtect(w, src));
    EXPECT_EQ(1, m_op.MacroYearUpdate(w, src, tgt));
    EXPECT_EQ(1, m_op.MacroEmployeeList(w, src, 1, tgt));
    EXPECT_EQ(1, m_op.MacroCompanyInfo(w, src, "令和8年", tgt));
    EXPECT_EQ(1, m_op.MacroWithholdingSlip(w, src, tgt));
    EXPECT_EQ(1, m_op.MacroPayData(w, src, tgt));
    EXPECT_EQ(1, m_op.MacroPayslip(w, src, tgt));
    EXPECT_EQ(1, m_op.MacroBonusSlip(w, src, tgt));
    EXPECT_EQ(1, m_op.MacroTaxRecalc(w, src, tgt));
    EXPECT_EQ(1, m_op.MacroAttendance(w, "勤怠_kyuyo.xls", "勤怠_kyuyo.xls"));

    const std::string s = "BSTR:kyuyo.xls\t";
    const std::string t = "BSTR:表参道店.xls\t=> BOOL:-1";
    const std::string k = "BSTR:KARVINE\t";
    const std::vector<std::string> expected = {
        "Run\tCheckProtect\tBSTR:kyuyo.xls\t=> BOOL:0",
        "Run\t年度更新コンバート\t" + s + k + t,
        "Run\t社員名簿コンバート\t" + s + "I4:1\t" + t,
        "Run\t会社情報コンバート\t" + s + "BSTR:令和8年\t" + t,
        "Run\t源泉徴収票コンバート\t" + s + k + t,
        "Run\t給与データコンバート\t" + s + k + t,
        "Run\t給与明細コンバート\t" + s + k + t,
        "Run\t賞与明細コンバート\t" + s + k + t,
        "Run\t差引徴収税額再計算\t" + s + k + t,
        "Run\t勤怠コンバート\tBSTR:勤怠_kyuyo.xls\t" + k + "BSTR:勤怠_kyuyo.xls\t=> BOOL:-1",
    };
    EXPECT_EQ(expected, RunLines());

    const std::string conv = "\t" + WorkFile().str();
    std::vector<std::string> cycle = {"Workbooks",
                                      "Open" + conv,
                                      "",
                                      "BookClose" + conv + "\tSaveChanges=I4:0",
                                      "DisplayAlerts\tput\tBOOL:0",
                                      "WorkbooksClose\t0"};
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(2 + 10 * cycle.size(), lines.size());
    EXPECT_EQ("Start", lines[0]);
    EXPECT_EQ("DisplayAlerts\tput\tBOOL:0", lines[1]);
    for (size_t m = 0; m < expected.size(); ++m) {
        SCOPED_TRACE(m);
        cycle[2] = expected[m];
        const auto first = lines.begin() + 2 + static_cast<std::ptrdiff_t>(m * cycle.size());
        EXPECT_EQ(cycle, std::vector<std::string>(first, first + cycle.size()));
    }
    EXPECT_TRUE(m_answers.Boxes().empty());
}
