// Faults asked through faults.ini, read by the server at every call.
#include "ExcelStandinControl.h"
#include "Ole_win.h"
#include "ServerFixture.h"

namespace {

const char kPayData[] = "給与データコンバート";

CStandinFaults Faults(void (*set)(CStandinFaults&)) {
    CStandinFaults f;
    set(f);
    return f;
}

} // namespace

TEST_F(ServerTest, FaultsChangeWhatRunAnswers) {
    StartWithConverter();
    const struct {
        const char* name;
        CStandinFaults faults;
        HRESULT hr;
        VARTYPE vt;
        long value;       // of the result, as a 32-bit integer
        bool targetTaken; // the macro itself ran
        const char* logged;
    } cases[] = {
        {"False",
         Faults([](CStandinFaults& f) { f.SetReturn(kPayData, CStandinFaults::resultFalse); }),
         S_OK, VT_BOOL, 0, false, "BOOL:0"},
        {"Integer",
         Faults([](CStandinFaults& f) { f.SetReturn(kPayData, CStandinFaults::resultInteger, 2); }),
         S_OK, VT_I2, 2, false, "I2:2"},
        {"Long", Faults([](CStandinFaults& f) {
             f.SetReturn(kPayData, CStandinFaults::resultLong, 65537);
         }),
         S_OK, VT_I4, 65537, false, "I4:65537"},
        {"every macro",
         Faults([](CStandinFaults& f) { f.SetReturn("*", CStandinFaults::resultInteger, -1); }),
         S_OK, VT_I2, -1, false, "I2:-1"},
        {"another macro", Faults([](CStandinFaults& f) {
             f.SetReturn("勤怠コンバート", CStandinFaults::resultFalse);
         }),
         S_OK, VT_BOOL, -1, true, "BOOL:-1"},
        {"Raise", Faults([](CStandinFaults& f) { f.SetRaise(kPayData); }), DISP_E_EXCEPTION,
         VT_EMPTY, 0, false, "ERROR:アプリケーション定義またはオブジェクト定義のエラーです。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SaveBook(ExcelPath("old.xls"), SamplePayroll());
        SaveBook(ExcelPath("new.xls"), SampleTemplate());
        ASSERT_TRUE(ExcelStandin::WriteFaults(c.faults));
        const InvokeResult r = m_client.Run(kPayData, Args(ScopedVariant::Str("old.xls"),
                                                           ScopedVariant::Str("KARVINE"),
                                                           ScopedVariant::Str("new.xls")));
        EXPECT_EQ(c.hr, r.hr) << std::hex << r.hr;
        EXPECT_EQ(c.vt, r.value.v.vt);
        EXPECT_EQ(c.value, c.vt == VT_I4 ? r.value.v.lVal : r.value.v.iVal);
        EXPECT_EQ(c.targetTaken, SectionOf(LoadBook(ExcelPath("new.xls")), "PayData").size() == 1u);
        const CString line = LogTexts().back();
        EXPECT_EQ(CString("=> ") + c.logged, line.Mid(line.Find("=> ")));
    }
}

// The delay keeps the server's thread busy, as a long macro keeps Excel's.
TEST_F(ServerTest, DelayedMacroAnswersAfterItsDelay) {
    StartWithConverter();
    CStandinFaults faults;
    faults.SetDelay("CheckProtect", 400);
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    const DWORD start = ::GetTickCount();
    const InvokeResult r = m_client.Run("CheckProtect", Args(ScopedVariant::Str("a.xls")));
    const DWORD elapsed = ::GetTickCount() - start;
    EXPECT_EQ(S_OK, r.hr);
    EXPECT_EQ(VT_BOOL, r.value.v.vt);
    EXPECT_GE(elapsed, 380u);
    EXPECT_LT(elapsed, 3000u);
}

TEST_F(ServerTest, DieAfterRunsEndsTheServerInTheMiddleOfTheCall) {
    StartWithConverter();
    const DWORD pid = LastStartedServer();
    CStandinFaults faults;
    faults.SetDieAfterRuns(2);
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    EXPECT_EQ(S_OK, m_client.Run("CheckProtect", Args(ScopedVariant::Str("a.xls"))).hr);

    const InvokeResult dying = m_client.Run("CheckProtect", Args(ScopedVariant::Str("b.xls")));
    EXPECT_TRUE(FAILED(dying.hr));
    EXPECT_NE(DISP_E_EXCEPTION, dying.hr);
    EXPECT_TRUE(HRESULT_FACILITY(dying.hr) == FACILITY_RPC ||
                HRESULT_FACILITY(dying.hr) == FACILITY_WIN32)
        << std::hex << dying.hr;
    EXPECT_TRUE(WaitForProcessEnd(pid, 5000));
    EXPECT_FALSE(HasExcelWindow(pid));

    HRESULT next = S_OK;
    EXPECT_FALSE(m_client.Workbooks(&next));
    EXPECT_TRUE(FAILED(next)) << std::hex << next;
    EXPECT_EQ(CString("Run\tCheckProtect\tBSTR:b.xls\t=> DIE"), LogTexts().back());
}

TEST_F(ServerTest, FaultLinesNotUnderstoodAreLoggedAndTheRestApplies) {
    StartWithConverter();
    WriteFileBytes(ExcelStandin::ControlDir() + "\\faults.ini",
                   "; forced\r\nReturn=CheckProtect:Integer:7\r\nDieAfterRun=1\r\n");
    const InvokeResult r = m_client.Run("CheckProtect", Args(ScopedVariant::Str("a.xls")));
    EXPECT_EQ(VT_I2, r.value.v.vt);
    EXPECT_EQ(7, r.value.v.iVal);
    EXPECT_EQ(CString("Unexpected\tfaults.ini line 3 not understood: DieAfterRun=1"),
              LogTextsStartingWith("Unexpected").at(0));
}

// A busy Excel refuses calls with "retry later"; the caller's message filter
// decides when to try again (here one that retries without asking).  The
// refusals are logged with the number of the call, counted from the start
// of the server, and the calls are answered in the end.  Wine's COM carries
// a refused call out at once instead of returning the refusal, so there the
// client never retries: the log shows the refusals all the same.
TEST_F(ServerTest, RetryLaterFaultRefusesTheFirstCalls) {
    COleMessageFilter retrying;
    retrying.EnableBusyDialog(FALSE);
    retrying.EnableNotRespondingDialog(FALSE);
    ASSERT_TRUE(retrying.Register());
    CStandinFaults faults;
    faults.SetRetryLaterCalls(2);
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    StartWithConverter();
    const InvokeResult r = m_client.Run("CheckProtect", Args(ScopedVariant::Str("a.xls")));
    EXPECT_EQ(S_OK, r.hr) << std::hex << r.hr;
    EXPECT_EQ(VT_BOOL, r.value.v.vt);
    EXPECT_EQ((std::vector<CString>{"RetryLater\t1", "RetryLater\t2"}),
              LogTextsStartingWith("RetryLater"));
}
