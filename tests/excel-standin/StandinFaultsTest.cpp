#include "StandinFaults.h"

#include <gtest/gtest.h>

TEST(StandinFaults, FormatsOneLinePerFaultThatParseReadsBack) {
    CStandinFaults faults;
    faults.SetReturn("給与データコンバート", CStandinFaults::resultFalse);
    faults.SetReturn("CheckProtect", CStandinFaults::resultInteger, -2);
    faults.SetReturn("*", CStandinFaults::resultLong, 65537);
    faults.SetRaise("勤怠コンバート");
    faults.SetDelay("CheckProtect", 1500);
    faults.SetDieAfterRuns(3);
    faults.SetOpenFails(true);
    faults.SetRetryLaterCalls(4);
    faults.SetReturn("会社情報コンバート", CStandinFaults::resultEmpty);
    faults.SetReturnDouble("社員名簿コンバート", 0.1);
    faults.SetReturnString("賞与明細コンバート", "表:ソ");
    faults.SetReturn("源泉徴収票コンバート", CStandinFaults::resultError, 2042);
    faults.SetLeaveChanged("差引徴収税額再計算");
    faults.SetAlertsFault(CStandinFaults::alertsRaise);
    const std::string text = faults.Format();
    EXPECT_EQ("Return=*:Long:65537\r\n"
              "Return=CheckProtect:Integer:-2\r\n"
              "Return=会社情報コンバート:Empty\r\n"
              "Return=給与データコンバート:False\r\n"
              "Return=源泉徴収票コンバート:Error:2042\r\n"
              "Return=社員名簿コンバート:Double:0.10000000000000001\r\n"
              "Return=賞与明細コンバート:String:表:ソ\r\n"
              "Raise=勤怠コンバート\r\n"
              "DelayMs=CheckProtect:1500\r\n"
              "DieAfterRuns=3\r\n"
              "OpenFails=1\r\n"
              "RetryLaterCalls=4\r\n"
              "LeaveChanged=差引徴収税額再計算\r\n"
              "DisplayAlertsFault=Raise\r\n",
              text);
    CStandinFaults read;
    EXPECT_TRUE(read.Parse(text).empty());
    EXPECT_EQ(text, read.Format());
    EXPECT_EQ(0.1, read.FindReturn("社員名簿コンバート")->dValue);
    EXPECT_EQ(CString("表:ソ"), read.FindReturn("賞与明細コンバート")->strText);
    EXPECT_TRUE(read.LeavesChanged("差引徴収税額再計算"));
    EXPECT_FALSE(read.LeavesChanged("CheckProtect"));
    EXPECT_EQ(CStandinFaults::alertsRaise, read.GetAlertsFault());
}

TEST(StandinFaults, AMacroOwnEntryComesBeforeTheWildcard) {
    CStandinFaults faults;
    EXPECT_TRUE(faults
                    .Parse("Return=*:False\nReturn=CheckProtect:Integer:2\nDelayMs=*:10\n"
                           "Raise=勤怠コンバート\n")
                    .empty());
    const CStandinFaults::Result* own = faults.FindReturn("CheckProtect");
    ASSERT_NE(nullptr, own);
    EXPECT_EQ(CStandinFaults::resultInteger, own->kind);
    EXPECT_EQ(2, own->value);
    const CStandinFaults::Result* other = faults.FindReturn("勤怠コンバート");
    ASSERT_NE(nullptr, other);
    EXPECT_EQ(CStandinFaults::resultFalse, other->kind);
    EXPECT_EQ(10u, faults.DelayMs("anything"));
    EXPECT_TRUE(faults.Raises("勤怠コンバート"));
    EXPECT_FALSE(faults.Raises("CheckProtect"));
    EXPECT_EQ(0, faults.DieAfterRuns());
    EXPECT_FALSE(faults.OpenFails());
}

TEST(StandinFaults, LinesNotUnderstoodAreReportedWithTheirNumbers) {
    const struct {
        const char* line;
        bool understood;
    } cases[] = {
        {"Return=CheckProtect:Integer:32767", true},
        {"Return=CheckProtect:Integer:32768", false},
        {"Return=CheckProtect:Integer:-32768", true},
        {"Return=CheckProtect:Long:2147483647", true},
        {"Return=CheckProtect:Long:2147483648", false},
        {"Return=CheckProtect:Integer:", false},
        {"Return=CheckProtect:Integer:1x", false},
        {"Return=CheckProtect:True", false},
        {"Return=:False", false},
        {"Return=CheckProtect", false},
        {"Raise=", false},
        {"DelayMs=CheckProtect", false},
        {"DelayMs=CheckProtect:-1", false},
        {"DieAfterRuns=0", false},
        {"DieAfterRuns=2", true},
        {"OpenFails=2", false},
        {"OpenFails=0", true},
        {"RetryLaterCalls=3", true},
        {"RetryLaterCalls=0", false},
        {"RetryLaterCalls=x", false},
        {"Return=CheckProtect:Empty", true},
        {"Return=CheckProtect:Double:-2.5e3", true},
        {"Return=CheckProtect:Double:1,5", false},
        {"Return=CheckProtect:Double:", false},
        {"Return=CheckProtect:String:", true},
        {"Return=CheckProtect:String", false},
        {"Return=CheckProtect:Error:2042", true},
        {"Return=CheckProtect:Error:65536", false},
        {"Return=CheckProtect:Error:-1", false},
        {"LeaveChanged=*", true},
        {"LeaveChanged=", false},
        {"DisplayAlertsFault=unknown", true},
        {"DisplayAlertsFault=Raise", true},
        {"DisplayAlertsFault=1", false},
        {"Unknown=1", false},
        {"no equals sign", false},
        {"  ; a comment", true},
        {"return = checkprotect : false", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CStandinFaults faults;
        const auto errors = faults.Parse(std::string("\r\n") + c.line + "\r\n");
        if (c.understood) {
            EXPECT_TRUE(errors.empty());
        } else {
            ASSERT_EQ(1u, errors.size());
            EXPECT_EQ(CString("faults.ini line 2 not understood: ") + CString(c.line).Trim(),
                      errors[0]);
        }
    }
}
