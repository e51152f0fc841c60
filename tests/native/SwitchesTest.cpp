#include "CommandPlan.h"
#include "CommandSwitches.h"

#include <gtest/gtest.h>

TEST(ParseCommandSwitches, CommandLines) {
    const struct {
        const char* tail;
        bool result;
        int command;
        const char* argO;
        const char* argN;
    } cases[] = {
        {"/K:12", true, 12, "", ""},
        {"/k:7", true, 7, "", ""},
        {"/K: 9 /O:x", true, 9, "x", ""},
        {"/F:kyuyo.xls", true, 5, "kyuyo.xls", "kyuyo.xls"},
        {"/F:a:b", true, 5, "a:b", "a:b"},
        {"/K:6 /O:a/b", true, 6, "a", ""},
        {"/K:6 /O:kyuyo.xls /N:kyuyo2.xls", true, 6, "kyuyo.xls", "kyuyo2.xls"},
        {"", false, 0, "", ""},
        {"K:5", false, 0, "", ""},
        {" /K:5", false, 0, "", ""},
        {"/K:0", false, 0, "", ""},
        {"/K:abc", false, 0, "", ""},
        {"/K:4", true, 4, "", ""},
        {"/K:13", true, 13, "", ""},
        {"/K:5 /O: 給与ソフト表.xls ", true, 5, "給与ソフト表.xls", ""},
        {"/F:給与\\表.xls", true, 5, "給与\\表.xls", "給与\\表.xls"},
        {"/K:12/K:9", true, 9, "", ""}, // a later switch wins
        {"/X:1 /K:7", true, 7, "", ""}, // unknown keys are ignored
        {"/K:7 /:3", true, 7, "", ""},  // ":" first: the previous switch again
        {"/O:a /K:5", true, 5, "a", ""},
        {"/K:99999999999", true, 2147483647, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail);
        CommandSwitches sw;
        EXPECT_EQ(c.result, ParseCommandSwitches(c.tail, sw));
        EXPECT_EQ(c.command, sw.nCommand);
        EXPECT_EQ(c.argO, sw.strArgO);
        EXPECT_EQ(c.argN, sw.strArgN);
    }
}

TEST(ParseCommandSwitches, ExcelVersionFromCurVer) {
    EXPECT_EQ(16, ExcelVersionFromCurVer("Excel.Application.16"));
    EXPECT_EQ(11, ExcelVersionFromCurVer("Excel.Application.11"));
    EXPECT_EQ(8, ExcelVersionFromCurVer("XXXXXXXXXXXXXXXXXX8"));
    EXPECT_EQ(0, ExcelVersionFromCurVer("Excel.Application"));
}

TEST(PlanCommand, EachCodeChoosesItsOperationAndWorkFile) {
    CommandSwitches sw;
    sw.strArgO = "a.xls";
    sw.strArgN = "b.xls";
    const char* const dir = "C:\\Prod";
    const struct {
        int code;
        const char* ext;
        BookOperation op;
        const char* workFile;
        const char* arg1;
        const char* arg2;
        bool show;
    } cases[] = {
        {5, ".xls", BookOperation::ConvertSingleBook, "C:\\Prod\\Data\\Org\\xlConv2.xls", "a.xls",
         "", false},
        {6, ".xlsm", BookOperation::AddBook, "C:\\Prod\\Data\\Org\\xlConv2.xlsm", "a.xls", "b.xls",
         false},
        {7, ".xls", BookOperation::UpdateYear, "C:\\Prod\\Data\\Org\\xlConv2.xls", "", "", false},
        {8, ".xls", BookOperation::InitPayrollBook, "C:\\Prod\\Data\\Org\\xlConv2.xls", "", "",
         false},
        {9, ".xls", BookOperation::ConvertAllBooks, "C:\\Prod\\Data\\Org\\xlConv2.xls", "", "",
         true},
        {10, ".xls", BookOperation::InitAttendanceBook, "C:\\Prod\\Data\\Org\\xlConv2.xls", "", "",
         false},
        {11, ".xls", BookOperation::ChangeBookFormat, "C:\\Prod\\Data\\Org\\xlConv2.xlsm", "", "",
         false},
        {11, ".xlsm", BookOperation::ChangeBookFormat, "C:\\Prod\\Data\\Org\\xlConv2.xls", "", "",
         false},
        {11, ".XLS", BookOperation::ChangeBookFormat, "C:\\Prod\\Data\\Org\\xlConv2.xls", "", "",
         false},
        {12, ".xlsm", BookOperation::ConvertAllBooks, "C:\\Prod\\Data\\Org\\xlConv2.xlsm", "", "",
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.code << c.ext);
        sw.nCommand = c.code;
        CommandPlan plan;
        ASSERT_TRUE(PlanCommand(sw, dir, c.ext, plan));
        EXPECT_EQ(c.op, plan.operation);
        EXPECT_EQ(c.workFile, plan.strWorkFile);
        EXPECT_EQ(c.arg1, plan.strArg1);
        EXPECT_EQ(c.arg2, plan.strArg2);
        EXPECT_EQ(c.show, plan.bShowResult);
    }
    for (int code : {-1, 0, 1, 4, 13, 100}) {
        sw.nCommand = code;
        CommandPlan plan;
        EXPECT_FALSE(PlanCommand(sw, dir, ".xls", plan)) << code;
    }
}

// A workbook named on the command line stays inside the Excel folder: a
// value with a folder, a drive or a parent is refused for the command that
// uses it, and a trail byte 0x5C (ソ, 表) is no backslash.
TEST(PlanCommand, BookNamesThatLeaveTheExcelFolderAreRefused) {
    const struct {
        const char* tail;
        bool planned;
    } cases[] = {
        {"/F:kyuyo.xls", true},
        {"/F:ソフト.xls", true},
        {"/F:表示.xls", true},
        {"/F:kyuyo.xls.xls", true},
        {"/F:..\\Data\\MyData\\BookMNG.dat", false},
        {"/K:5 /O:..\\kyuyo.xls", false},
        {"/K:5 /O:sub\\kyuyo.xls", false},
        {"/K:5 /O:kyuyo.xls\\", false},
        {"/F:C:kyuyo.xls", false},
        {"/F:a:b", false},
        {"/F:..", false},
        {"/F:kyuyo..xls", false},
        {"/K:6 /O:kyuyo.xls /N:kyuyo2.xls", true},
        {"/K:6 /O:ソ.xls /N:表.xls", true},
        {"/K:6 /O:kyuyo.xls /N:..\\Data\\Org\\Kyuyo.xls", false},
        {"/K:6 /O:..\\Data\\Org\\Kyuyo.xls /N:kyuyo2.xls", false},
        {"/K:6 /O:kyuyo.xls /N:C:kyuyo2.xls", false},
        // The new workbook's name is one the system makes as it stands.
        {"/K:6 /O:kyuyo.xls /N:kyuyo2.xls.", false},
        {"/K:6 /O:kyuyo.xls /N:con.xls", false},
        {"/K:6 /O:kyuyo.xls /N:*.xls", false},
        // Commands that name no workbook do not look at the values.
        {"/K:9 /O:..\\x", true},
        {"/K:11 /N:C:x", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail);
        CommandSwitches sw;
        ASSERT_TRUE(ParseCommandSwitches(c.tail, sw));
        CommandPlan plan;
        EXPECT_EQ(c.planned, PlanCommand(sw, "C:\\Prod", ".xls", plan));
    }
    // "/" never reaches a value through the command line: it ends the switch.
    EXPECT_FALSE(IsPlainBookName("a/b.xls"));
}
