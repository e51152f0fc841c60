#include "BookLocator.h"

#include <gtest/gtest.h>

TEST(BookLocator, RelativeNamesLieInTheDataDirectorysExcelFolder) {
    const struct {
        const char* dataDir;
        const char* name;
        const char* expected;
    } cases[] = {
        {"C:\\Morvane", "表示.xls", "C:\\Morvane\\Excel\\表示.xls"},
        {"C:\\Morvane\\", "a.xls", "C:\\Morvane\\Excel\\a.xls"},
        {"C:\\Morvane\\\\", "a.xls", "C:\\Morvane\\Excel\\a.xls"},
        {"C:\\", "a.xls", "C:\\Excel\\a.xls"},
        // ソ ends in the byte 0x5C: it is no separator and stays.
        {"C:\\ソ", "a.xls", "C:\\ソ\\Excel\\a.xls"},
        {"C:\\ソ\\", "a.xls", "C:\\ソ\\Excel\\a.xls"},
        {"C:\\Morvane", "sub\\a.xls", "C:\\Morvane\\Excel\\sub\\a.xls"},
        {"C:\\Morvane", "D:\\other\\a.xls", "D:\\other\\a.xls"},
        {"C:\\Morvane", "d:a.xls", "d:a.xls"},
        {"C:\\Morvane", "\\root\\a.xls", "\\root\\a.xls"},
        {"C:\\Morvane", "\\\\server\\share\\a.xls", "\\\\server\\share\\a.xls"},
        {"C:\\Morvane", "/unix/a.xls", "/unix/a.xls"},
        {"C:\\Morvane", "表:a.xls", "C:\\Morvane\\Excel\\表:a.xls"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dataDir << " + " << c.name);
        EXPECT_EQ(CString(c.expected), CBookLocator(c.dataDir).Resolve(c.name));
    }
}

TEST(BookLocator, TheProductDirectoryLiesTwoLevelsAboveTheConvertersFolder) {
    const struct {
        const char* converter;
        const char* expected;
    } cases[] = {
        {"C:\\Morvane\\Data\\Org\\xlConv2.xls", "C:\\Morvane"},
        {"C:\\表ソ\\Data\\Org\\xlConv2.xlsm", "C:\\表ソ"},
        {"Z:\\tmp\\p\\Data\\Org\\xlConv2.xls", "Z:\\tmp\\p"},
        {"C:\\Org\\xlConv2.xls", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.converter);
        EXPECT_EQ(CString(c.expected), CBookLocator::ProductDirOf(c.converter));
    }
}
