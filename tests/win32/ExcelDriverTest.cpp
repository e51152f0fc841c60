#include "BookOperator.h"
#include "MsgBoxAnswerer.h"
#include "ProductFixture.h"
#include "StandinWorkbook.h"

namespace {

const char kAborted[] = "コンバート処理を中断しました。";
const char kNotInstalled[] = "Microsoft Excel がｲﾝｽﾄｰﾙされている必要があります\n処理を中断します";

class ExcelDriver : public ProductFixture {
protected:
    void SetFaults(const CStandinFaults& faults) { ASSERT_TRUE(ExcelStandin::WriteFaults(faults)); }
    int CheckProtect(const char* book = "kyuyo.xls") {
        return m_op.MacroCheckProtect(WorkFile(), book);
    }
    std::vector<std::string> Texts() {
        std::vector<std::string> texts;
        for (const auto& box : m_answers.Boxes())
            texts.push_back(box.text);
        return texts;
    }
    // The log from "Workbooks" on, less what a macro's own file work adds.
    std::vector<std::string> Calls() {
        std::vector<std::string> calls;
        for (const std::string& line : LogLines())
            if (line != "Start")
                calls.push_back(line.substr(0, line.find('\t')));
        return calls;
    }

    MsgBoxAnswerer m_answers;
    CBookOperator m_op;
};

} // namespace

TEST_F(ExcelDriver, ResultIsTheLowWordOfTheReturnedVariant) {
    const struct {
        const char* what;
        CStandinFaults::ResultKind kind;
        long value;
        bool fault;
        int result;
    } cases[] = {
        {"False", CStandinFaults::resultFalse, 0, false, 0},
        {"Integer 2", CStandinFaults::resultInteger, 2, true, 2},
        {"Integer -1 reads as True", CStandinFaults::resultInteger, -1, true, 1},
        {"Long 0x00010001", CStandinFaults::resultLong, 0x00010001, true, 1},
        {"Long 0x00020000", CStandinFaults::resultLong, 0x00020000, true, 0},
        {"False by fault", CStandinFaults::resultFalse, 0, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CStandinFaults faults;
        if (c.fault)
            faults.SetReturn("CheckProtect", c.kind, c.value);
        SetFaults(faults);
        EXPECT_EQ(c.result, CheckProtect());
    }
    // A protected book makes the macro itself answer True.
    ExcelStandin::ClearFaults();
    CStandinWorkbook book;
    ASSERT_TRUE(book.Load(ExcelDir() + "\\kyuyo.xls"));
    book.SetValue("Book", "Protected", "1");
    ASSERT_TRUE(book.Save(ExcelDir() + "\\kyuyo.xls"));
    EXPECT_EQ(1, CheckProtect());
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(1, ServerStarts());
}

TEST_F(ExcelDriver, OneInstancePerRunUntilItsWindowIsGone) {
    EXPECT_EQ(0, CheckProtect());
    EXPECT_EQ(0, CheckProtect("表参道店.xls"));
    EXPECT_EQ(1, ServerStarts());
    EXPECT_TRUE(m_op.m_excel.IsConnected());

    ASSERT_EQ(1, ExcelStandin::KillStrayServers());
    EXPECT_FALSE(m_op.m_excel.IsExcelWindowPresent());
    EXPECT_FALSE(m_op.m_excel.IsConnected());
    EXPECT_EQ(0, CheckProtect());
    EXPECT_EQ(2, ServerStarts());
    EXPECT_TRUE(Texts().empty());
}

TEST_F(ExcelDriver, MissingExcelIsReportedOncePerRun) {
    ASSERT_TRUE(ExcelStandin::Unregister());
    EXPECT_EQ(0, CheckProtect());
    EXPECT_EQ(0, m_op.MacroPayData(WorkFile(), "a.xls", "b.xls"));
    EXPECT_EQ(std::vector<std::string>{kNotInstalled}, Texts());
    EXPECT_EQ("Quimbex", m_answers.Boxes().at(0).caption);
    EXPECT_EQ(0, m_op.m_excel.m_bCanCreate);
    EXPECT_EQ(0, ServerStarts());
}

TEST_F(ExcelDriver, AutomationErrorsAbortTheCallAndCloseEveryWorkbook) {
    const struct {
        const char* what;
        bool missingBook;
        bool raise;
        std::vector<std::string> calls;
    } cases[] = {
        {"converter missing", true, false, {"Workbooks", "Open", "WorkbooksClose"}},
        {"error inside the macro", false, true, {"Workbooks", "Open", "Run", "WorkbooksClose"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLog();
        m_answers.Clear();
        CStandinFaults faults;
        if (c.raise)
            faults.SetRaise("給与明細コンバート");
        SetFaults(faults);
        const CString bookPath = c.missingBook ? OrgDir() + "\\none.xls" : WorkFile();
        EXPECT_EQ(0, m_op.MacroPayslip(bookPath, "kyuyo.xls", "kyuyo.xls"));
        EXPECT_EQ(std::vector<std::string>{kAborted}, Texts());
        EXPECT_EQ(c.calls, Calls());
    }
    // The next call opens its own workbook and goes through.
    m_answers.Clear();
    ExcelStandin::ClearFaults();
    ClearLog();
    EXPECT_EQ(1, m_op.MacroPayslip(WorkFile(), "kyuyo.xls", "表参道店.xls"));
    EXPECT_EQ((std::vector<std::string>{"Workbooks", "Open", "Run", "BookClose", "WorkbooksClose"}),
              Calls());
    EXPECT_TRUE(Texts().empty());
}

TEST_F(ExcelDriver, ArgumentVariantsAreClearedOnEveryPath) {
    for (bool fails : {false, true}) {
        SCOPED_TRACE(fails);
        CStandinFaults faults;
        if (fails)
            faults.SetRaise("CheckProtect");
        SetFaults(faults);
        COleVariant arg("kyuyo.xls");
        m_op.m_excel.RunMacro(WorkFile(), "CheckProtect", arg, 0);
        EXPECT_EQ(VT_EMPTY, arg.vt);
        COleVariant a1("x"), a2(7L), a3("y");
        m_op.m_excel.RunMacro3(OrgDir() + "\\none.xls", "給与明細コンバート", a1, a2, a3, 0);
        EXPECT_EQ(VT_EMPTY, a1.vt);
        EXPECT_EQ(VT_EMPTY, a2.vt);
        EXPECT_EQ(VT_EMPTY, a3.vt);
    }
    ASSERT_TRUE(ExcelStandin::Unregister());
    COleVariant arg("kyuyo.xls");
    m_op.m_excel.RunMacro(WorkFile(), "CheckProtect", arg, 0);
    EXPECT_EQ(VT_EMPTY, arg.vt);
}
