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
    const std::string text = faults.Format();
    EXPECT_EQ("Return=*:Long:65537\r\n"
              "Return=CheckProtect:Integer:-2\r\n"
              "Return=給与データコンバート:False\r\n"
              "Raise=勤怠コンバート\r\n"
              "DelayMs=CheckProtect:1500\r\n"
              "DieAfterRuns=3\r\n"
              "OpenFails=1\r\n"
              "RetryLaterCalls=4\r\n",
              text);
    CStandinFaults read;
    EXPECT_TRUE(read.Parse(text).empty());
    EXPECT_EQ(text, read.Format());
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
