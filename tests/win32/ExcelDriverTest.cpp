#include "BookOperator_win.h"
#include "MsgBoxAnswerer.h"
#include "Poll.h"
#include "ProductFixture.h"
#include "PromptDeadline.h"
#include "ScopedHandle_win.h"
#include "TempDir.h"

#include <map>

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
    void SetFaults(const char* line) {
        CStandinFaults faults;
        ASSERT_TRUE(faults.Parse(line).empty()) << line;
        SetFaults(faults);
    }
    // The kinds of the log's lines, less the start of an instance (its
    // "Start" and the alerts switched off).
    std::vector<std::string> Calls() {
        std::vector<std::string> calls;
        for (const std::string& line : LogLines()) {
            const std::string kind = line.substr(0, line.find('\t'));
            if (kind != "Start" && kind != "DisplayAlerts")
                calls.push_back(kind);
        }
        return calls;
    }
    // Every instance switched its alerts off before anything else, and again
    // after each macro before its books were closed.
    testing::AssertionResult AlertsOffAtStartAndBeforeClosing() {
        const std::vector<ExcelStandin::LogLine> log = ExcelStandin::ReadLog();
        const CString off("DisplayAlerts\tput\tBOOL:0");
        std::map<DWORD, bool> offSinceRun;
        size_t starts = 0;
        for (size_t i = 0; i < log.size(); ++i) {
            const ExcelStandin::LogLine& line = log[i];
            if (line.text == "Start") {
                ++starts;
                if (i + 1 >= log.size() || log[i + 1].pid != line.pid || log[i + 1].text != off)
                    return testing::AssertionFailure()
                           << "instance " << line.pid << " began without its alerts off";
            }
            if (line.text.Find("Run\t") == 0)
                offSinceRun[line.pid] = false;
            if (line.text == off)
                offSinceRun[line.pid] = true;
            if (line.text.Find("WorkbooksClose") == 0 && !offSinceRun[line.pid])
                return testing::AssertionFailure()
                       << "instance " << line.pid << " closed its books with alerts maybe on";
        }
        if (starts == 0)
            return testing::AssertionFailure() << "no instance started";
        return testing::AssertionSuccess();
    }

    MsgBoxAnswerer m_answers;
    CBookOperator m_op;
};

} // namespace

// A number or Boolean is read by its first two data bytes; an error value
// or a String is a failure, whatever those bytes hold.
TEST_F(ExcelDriver, ResultIsTheLowWordOfTheReturnedVariant) {
    const struct {
        const char* what;
        const char* fault;
        int result;
    } cases[] = {
        {"False", "", 0},
        {"Integer 2", "Return=CheckProtect:Integer:2", 2},
        {"Integer -1 reads as True", "Return=CheckProtect:Integer:-1", 1},
        {"Long 0x00010001", "Return=CheckProtect:Long:65537", 1},
        {"Long 0x00020000", "Return=CheckProtect:Long:131072", 0},
        {"False by fault", "Return=CheckProtect:False", 0},
        {"Empty, as a Sub answers", "Return=CheckProtect:Empty", 0},
        {"Double 1, bits 0x3FF0000000000000", "Return=CheckProtect:Double:1", 0},
        {"Double 0.1, bits 0x3FB999999999999A", "Return=CheckProtect:Double:0.1", -26214},
        {"error value #N/A, low word 2042", "Return=CheckProtect:Error:2042", 0},
        {"error value 1, low word 1", "Return=CheckProtect:Error:1", 0},
        {"error value 65535, low word -1", "Return=CheckProtect:Error:65535", 0},
        {"String True, a pointer's low word", "Return=CheckProtect:String:True", 0},
        {"empty String", "Return=CheckProtect:String:", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetFaults(c.fault);
        EXPECT_EQ(c.result, CheckProtect());
    }
    // A protected book makes the macro itself answer True.
    ExcelStandin::ClearFaults();
    Protect("kyuyo.xls");
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
    EXPECT_TRUE(AlertsOffAtStartAndBeforeClosing());
    EXPECT_TRUE(Texts().empty());
}

// A user's own Excel beside Quimbex's keeps an XLMAIN window on the desktop
// when Quimbex's instance dies: the dead instance still looks connected.
// The call that meets it fails; the next one makes a new instance.
TEST_F(ExcelDriver, InstanceThatDiedBesideAUsersExcelIsReplacedAfterOneFailure) {
    for (bool afterACall : {false, true}) {
        SCOPED_TRACE(afterACall ? "died after a call" : "died before its first call");
        ClearLog();
        m_answers.Clear();
        if (afterACall)
            EXPECT_EQ(0, CheckProtect());
        else
            EXPECT_EQ(1, m_op.m_excel.Connect());
        const DWORD quimbexExcel = ExcelStandin::ReadLog().at(0).pid;
        COleDispatchDriver usersExcel;
        ASSERT_TRUE(usersExcel.CreateDispatch("Excel.Application"));
        {
            const CHandle process(
                ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, quimbexExcel));
            ASSERT_TRUE(process);
            ::TerminateProcess(process.Get(), 1);
            EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(process.Get(), 10000));
        }
        ASSERT_TRUE(m_op.m_excel.IsExcelWindowPresent());

        EXPECT_EQ(0, CheckProtect());
        EXPECT_EQ(std::vector<std::string>{kAborted}, Texts());
        m_answers.Clear();
        ClearLog();
        EXPECT_EQ(0, CheckProtect("表参道店.xls"));
        EXPECT_TRUE(Texts().empty());
        EXPECT_EQ(1, ServerStarts());
        EXPECT_EQ(1u, RunLines().size());
        EXPECT_TRUE(AlertsOffAtStartAndBeforeClosing());
        ExcelStandin::KillStrayServers(); // the next case starts without an instance
    }
}

// An Excel whose alerts stay on could wait for ever on a question nobody
// sees: it is let go, the call fails as after any automation error, and the
// next call tries a new instance.
TEST_F(ExcelDriver, InstanceWhoseAlertsCannotBeSwitchedOffIsNotUsed) {
    const struct {
        const char* what;
        CStandinFaults::AlertsFault fault;
        const char* logged;
    } cases[] = {
        {"name unknown", CStandinFaults::alertsUnknown, "GetIDsOfNames\tDisplayAlerts\t=> unknown"},
        {"put refused", CStandinFaults::alertsRaise,
         "DisplayAlerts\tput\tBOOL:0\t=> ERROR:Application クラスの DisplayAlerts "
         "プロパティを設定できません。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLog();
        m_answers.Clear();
        CStandinFaults faults;
        faults.SetAlertsFault(c.fault);
        SetFaults(faults);
        EXPECT_EQ(0, m_op.MacroPayData(WorkFile(), "kyuyo.xls", "表参道店.xls"));
        EXPECT_EQ(std::vector<std::string>{kAborted}, Texts());
        EXPECT_TRUE(m_op.m_excel.m_app.IsEmpty());
        EXPECT_EQ(1, m_op.m_excel.m_bCanCreate);
        EXPECT_TRUE(uidriver::PollUntil([this] { return LogLines().back() == "Exit"; }, 10000))
            << "the instance let go still runs";
        EXPECT_EQ((std::vector<std::string>{"Start", c.logged, "Exit"}), LogLines());

        ExcelStandin::ClearFaults();
        m_answers.Clear();
        EXPECT_EQ(1, m_op.MacroPayData(WorkFile(), "kyuyo.xls", "表参道店.xls"));
        EXPECT_TRUE(Texts().empty());
        EXPECT_EQ(2, ServerStarts());
        EXPECT_TRUE(m_op.m_excel.IsConnected());
        ExcelStandin::KillStrayServers(); // the next case starts without an instance
    }
}

// A macro that leaves another workbook open and changed: closing the
// collection would ask whether to save it, in an Excel nobody sees.  With
// alerts off the book closes unsaved and the run goes on.
TEST_F(ExcelDriver, BookLeftChangedByAMacroClosesUnsavedWithoutAQuestion) {
    const std::string original = ReadFileBytes(ExcelDir() + "\\kyuyo.xls");
    SetFaults("LeaveChanged=給与データコンバート");
    {
        const CallDeadline deadline(30000);
        EXPECT_EQ(1, m_op.MacroPayData(WorkFile(), "kyuyo.xls", "表参道店.xls"));
        ASSERT_FALSE(deadline.Expired()) << deadline.Why();
    }
    EXPECT_EQ(1, m_op.MacroPayslip(WorkFile(), "kyuyo.xls", "表参道店.xls"));
    const std::string kyuyo = (ExcelDir() + "\\kyuyo.xls").str();
    const std::vector<std::string> expected = {"Workbooks",
                                               "Open",
                                               "LeftChanged\t" + kyuyo,
                                               "Run",
                                               "BookClose",
                                               "Discarded\t" + kyuyo,
                                               "WorkbooksClose\t1",
                                               "Workbooks",
                                               "Open",
                                               "Run",
                                               "BookClose",
                                               "WorkbooksClose\t0"};
    std::vector<std::string> calls;
    for (const std::string& line : LogLines()) {
        const std::string kind = line.substr(0, line.find('\t'));
        if (kind == "LeftChanged" || kind == "Discarded" || kind == "WorkbooksClose")
            calls.push_back(line);
        else if (kind != "Start" && kind != "DisplayAlerts")
            calls.push_back(kind);
    }
    EXPECT_EQ(expected, calls);
    EXPECT_EQ(original, ReadFileBytes(ExcelDir() + "\\kyuyo.xls"));
    EXPECT_TRUE(Texts().empty());
}

// A macro that switched the alerts off for its own work and on again at its
// end, as Excel's own example does (or that left them off, which Excel
// undoes when the macro ends), takes back what Quimbex set: they go off
// again before the collection closes, after a macro that failed too.
TEST_F(ExcelDriver, AlertsThatAMacroSwitchedOnAreOffAgainBeforeTheBooksClose) {
    const std::string original = ReadFileBytes(ExcelDir() + "\\kyuyo.xls");
    const struct {
        const char* what;
        const char* fault;
        int result;
        std::vector<std::string> texts;
    } cases[] = {
        {"the macro succeeds", "", 1, {}},
        {"the macro answers False", "Return=*:False", 0, {}},
        {"the macro raises", "Raise=*", 0, {kAborted}},
        // Closing would ask: the instance is let go unclosed.
        {"the alerts cannot be put again", "DisplayAlertsFault=Raise", 0, {kAborted}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_answers.Clear();
        SetFaults((std::string("LeaveChanged=*\nAlertsOnAfter=*\n") + c.fault).c_str());
        {
            const CallDeadline deadline(30000);
            EXPECT_EQ(c.result, m_op.MacroPayslip(WorkFile(), "kyuyo.xls", "表参道店.xls"));
            ASSERT_FALSE(deadline.Expired()) << deadline.Why();
        }
        EXPECT_EQ("", StandinPrompts());
        EXPECT_EQ(c.texts, Texts());
    }
    EXPECT_EQ(original, ReadFileBytes(ExcelDir() + "\\kyuyo.xls"));
    EXPECT_EQ(1, ServerStarts());
    EXPECT_TRUE(m_op.m_excel.m_app.IsEmpty());
    EXPECT_TRUE(m_op.m_excel.m_books.IsEmpty());
    // The next call makes an instance of its own.
    ExcelStandin::ClearFaults();
    m_answers.Clear();
    EXPECT_EQ(1, m_op.MacroPayslip(WorkFile(), "kyuyo.xls", "表参道店.xls"));
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(2, ServerStarts());
    EXPECT_TRUE(AlertsOffAtStartAndBeforeClosing());
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
