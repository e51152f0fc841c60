#include "Time.h"

#include <gtest/gtest.h>

TEST(CTime, FormatKeepsTwoByteTextBetweenDirectives) {
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 3;
    t.tm_mday = 1;
    t.tm_hour = 15;
    t.tm_min = 30;
    t.tm_sec = 12;
    t.tm_isdst = -1;
    const CTime time(std::mktime(&t));
    EXPECT_EQ("2024年04月01日", time.Format("%Y年%m月%d日"));
    EXPECT_EQ("153012", time.Format("%H%M%S"));
    EXPECT_EQ("表%", time.Format("表%"));
}
