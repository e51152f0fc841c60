#include "BookNames.h"

#include <gtest/gtest.h>

TEST(BookNames, TimeSuffixGoesBeforeTheExtension) {
    const struct {
        const char* path;
        const char* result;
    } cases[] = {
        {"C:\\Excel\\kyuyo2024年04月01日.xls", "C:\\Excel\\kyuyo2024年04月01日153012.xls"},
        {"C:\\Excel\\勤怠_kyuyo_2024年04月01日.xlsm",
         "C:\\Excel\\勤怠_kyuyo_2024年04月01日153012.xlsm"},
        {"C:\\ソフト\\表.xls", "C:\\ソフト\\表153012.xls"},
        {"C:\\Excel\\a.b.xls", "C:\\Excel\\a.b153012.xls"},
        // No extension in the file name: the folder's "." is left alone.
        {"C:\\my.dir\\kyuyo", "C:\\my.dir\\kyuyo153012"},
        {"kyuyo", "kyuyo153012"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.result, InsertBeforeExtension(c.path, "153012"));
    }
}

TEST(BookNames, FileNamePartSkipsTrailByteBackslashes) {
    EXPECT_EQ("x.xls", FileNamePart("C:\\A\\B\\x.xls"));
    EXPECT_EQ("x.xls", FileNamePart("x.xls"));
    EXPECT_EQ("表.xls", FileNamePart("C:\\A\\表.xls"));
    EXPECT_EQ("ソ表.xls", FileNamePart("ソ表.xls"));
    EXPECT_EQ("", FileNamePart("C:\\A\\"));
}
