// The patterns of --only: wildcards, separators and letter case, character
// by character in code page 932.
#include "IkoPattern.h"

#include <gtest/gtest.h>

TEST(IkoPattern, MatchesAsDocumented) {
    const struct {
        const char* pattern;
        const char* path;
        bool bMatches;
    } cases[] = {
        {"Data\\MyData\\a.dat", "Data\\MyData\\a.dat", true},
        {"data/mydata/A.DAT", "Data\\MyData\\a.dat", true},
        {"/Data//MyData/a.dat", "Data\\MyData\\a.dat", true},
        {"*.dat", "Data\\MyData\\sub\\a.dat", true},
        {"*.dat", "Data\\MyData\\a.dat.bak", false},
        {"Data\\*\\a.dat", "Data\\MyData\\sub\\a.dat", true},
        {"?.dat", "a.dat", true},
        {"?.dat", "ab.dat", false},
        // "表" ends in 0x5C, which is no separator, and "?" takes it whole.
        {"?\\x.dat", "表\\x.dat", true},
        {"表\\*", "表\\x.dat", true},
        {"*\\*", "表x.dat", false},
        {"表", "表", true},
        {"ｱ*", "ｱｲ.dat", true},
        // Double-byte letters are compared as they are.
        {"Ａ.dat", "ａ.dat", false},
        {"*", "", true},
        {"a*b*c", "axxbyyc", true},
        {"a*b*c", "axxbyy", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " on " + c.path);
        EXPECT_EQ(c.bMatches, CIkoPattern(c.pattern).Matches(c.path));
    }
}
