#include "BookOperator_win.h"
#include "ProductFixture.h"

using ExcelVersion = ProductFixture;

TEST_F(ExcelVersion, ReadFromTheRegisteredCurVer) {
    const struct {
        int registered; // 0: no CurVer key
        int version;
    } cases[] = {{16, 16}, {11, 11}, {7, 7}, {0, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.registered);
        if (c.registered)
            ASSERT_TRUE(ExcelStandin::SetCurVer(c.registered));
        else
            ASSERT_TRUE(ExcelStandin::RemoveCurVer());
        CBookOperator op;
        op.m_nExcelVersion = 12345;
        op.ReadExcelVersion();
        EXPECT_EQ(c.version, op.m_nExcelVersion);
    }
}

TEST_F(ExcelVersion, NoExcelRegisteredGivesMinusOne) {
    ASSERT_TRUE(ExcelStandin::Unregister());
    CBookOperator op;
    op.ReadExcelVersion();
    EXPECT_EQ(-1, op.m_nExcelVersion);
}
