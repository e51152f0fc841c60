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

TEST(BookNames, ExtensionAtTheEndIgnoresCaseButNotTrailBytes) {
    const struct {
        const char* text;
        const char* suffix;
        bool ends;
    } cases[] = {
        {"勤怠_kyuyo.xls", ".xls", true},
        {"勤怠_kyuyo.XLS", ".xls", true},
        {"勤怠_kyuyo.xlsm", ".xls", false},
        {"勤怠_kyuyo", ".xlsm", false},
        {"xls", ".xls", false},
        {"", ".xls", false},
        {"abc", "", true},
        // ス (83 58) and Ａ (82 60) end in the bytes of "X" and "`": those
        // trail bytes must not be taken for the start of the suffix.
        {"スls", "xls", false},
        {"Ａb", "`b", false},
        {"表.xls", ".XLS", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.suffix);
        EXPECT_EQ(c.ends, EndsWithNoCase(c.text, c.suffix));
    }
}

TEST(BookNames, StemDropsOnlyATrailingExtension) {
    EXPECT_EQ("勤怠_kyuyo", StripExtensionNoCase("勤怠_kyuyo.xls", ".xls"));
    EXPECT_EQ("勤怠_kyuyo", StripExtensionNoCase("勤怠_kyuyo.XLS", ".xls"));
    EXPECT_EQ("勤怠_a.xls", StripExtensionNoCase("勤怠_a.xls.xls", ".xls"));
    EXPECT_EQ("勤怠_kyuyo", StripExtensionNoCase("勤怠_kyuyo", ".xlsm"));
    EXPECT_EQ("勤怠_kyuyo.xlsm", StripExtensionNoCase("勤怠_kyuyo.xlsm", ".xls"));
}

TEST(BookNames, AttendancePathGetsTheExtensionWhenItLacksIt) {
    const struct {
        const char* ext;
        const char* name;
        const char* path;
    } cases[] = {
        {".xls", "勤怠_kyuyo.xls", "C:\\data\\Excel\\勤怠_kyuyo.xls"},
        {".xls", "勤怠_kyuyo.XLS", "C:\\data\\Excel\\勤怠_kyuyo.XLS"},
        {".xlsm", "勤怠_kyuyo", "C:\\data\\Excel\\勤怠_kyuyo.xlsm"},
        {".xlsm", "勤怠_kyuyo.xls", "C:\\data\\Excel\\勤怠_kyuyo.xls.xlsm"},
        {".xls", "勤怠_表参道店", "C:\\data\\Excel\\勤怠_表参道店.xls"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.path, AttendanceBookPathIn("C:\\data", c.ext, c.name));
    }
}

// Every occurrence of the whole extension, in any case, and never the
// ".xls" inside ".xlsm"; names whose trail bytes look like its letters or
// like a backslash keep them.
TEST(BookNames, ExtensionIsReplacedWholeAndInAnyCase) {
    const struct {
        const char* name;
        const char* ext;
        const char* target;
        const char* result;
    } cases[] = {
        {"kyuyo.xls", ".xls", ".xlsm", "kyuyo.xlsm"},
        {"a.xls.xls", ".xls", ".xlsm", "a.xlsm.xlsm"},
        {"KYUYO.XLS", ".xls", ".xlsm", "KYUYO.xlsm"},
        {"Kyuyo.Xls", ".xls", ".xlsm", "Kyuyo.xlsm"},
        {"kyuyo.xlsm", ".xls", ".xlsm", "kyuyo.xlsm"},
        {"a.xlsm.xls", ".xls", ".xlsm", "a.xlsm.xlsm"},
        {"kyuyo.xlsx", ".xls", ".xlsm", "kyuyo.xlsx"},
        {"kyuyo.xls_old", ".xls", ".xlsm", "kyuyo.xls_old"},
        {"kyuyo.xls.bak", ".xls", ".xlsm", "kyuyo.xlsm.bak"},
        {"kyuyo", ".xls", ".xlsm", "kyuyo"},
        {"表参道店.xls", ".xls", ".xlsm", "表参道店.xlsm"},
        {"ソフト表.XLS", ".xls", ".xlsm", "ソフト表.xlsm"},
        {"kyuyo.xlsm", ".xlsm", ".xls", "kyuyo.xls"},
        {"KYUYO.XLSM.xlsm", ".xlsm", ".xls", "KYUYO.xls.xls"},
        {"kyuyo.xls", ".xlsm", ".xls", "kyuyo.xls"},
        {"kyuyo.xls", ".xls", ".xls", "kyuyo.xls"},
        {"", ".xls", ".xlsm", ""},
        // ス is 83 58 ("X" as its trail byte); Ｌ 82 6B, Ｓ 82 72.
        {"ス.xls", ".xls", ".xlsm", "ス.xlsm"},
        {"a.スＬＳ", ".xls", ".xlsm", "a.スＬＳ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.ext + " -> " + c.target);
        EXPECT_EQ(c.result, WithExtensionReplaced(c.name, c.ext, c.target));
    }
    // A lead byte takes the "." after it as its trail byte: no extension
    // starts there.
    EXPECT_EQ(CString("a\x81.xls"), WithExtensionReplaced("a\x81.xls", ".xls", ".xlsm"));
}

// A record's name that the system would open as another name, as a device
// or as a pattern names no workbook of its own.
TEST(BookNames, BookFileNameIsOneTheSystemOpensAsItStands) {
    const struct {
        const char* name;
        bool ok;
    } cases[] = {
        {"kyuyo.xls", true},
        {"KYUYO.XLS", true},
        {"表参道店.xls", true},
        {"ソ.xls", true}, // trail byte 0x5C
        {"a b.xls", true},
        {"console.xls", true},
        {"com10.xls", true},
        {"kyuyo", true},
        {"", false},
        {"kyuyo.xls.", false},
        {"kyuyo.xls ", false},
        {"kyuyo.xls. .", false},
        {"ソ.", false},
        {"con.xls", false},
        {"CON", false},
        {"nul", false},
        {"Nul .xls", false},
        {"aux.xlsm", false},
        {"prn", false},
        {"com1.xls", false},
        {"LPT9", false},
        {"*.xls", false},
        {"kyuyo.xl?", false},
        {"a<b.xls", false},
        {"a|b.xls", false},
        {"a\"b.xls", false},
        {"a\tb.xls", false},
        {"..\\Org\\Kyuyo.xls", false},
        {"a/b.xls", false},
        {"C:kyuyo.xls", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("[") + c.name + "]");
        EXPECT_EQ(c.ok, IsBookFileName(c.name));
    }
}

// A record names a workbook only with a workbook's extension; a key only
// starts a backup name of the Excel folder when it leads nowhere else.
TEST(BookNames, RecordNamesAWorkbookAndKeyStartsAPlainBackupName) {
    const struct {
        const char* name;
        bool record;
    } records[] = {
        {"kyuyo.xls", true},   {"KYUYO.XLS", true},   {"b.xlsm", true},    {"a.xls.xls", true},
        {"表.Xlsm", true},     {"kyuyo", false},      {"kyuyo.xl", false}, {"kyuyo.bak", false},
        {"kyuyo.xlsx", false}, {"kyuyo.xls.", false}, {"con.xls", false},  {"..\\a.xls", false},
        {"ソ.xls", true}, // trail byte 0x5C
    };
    for (const auto& c : records) {
        SCOPED_TRACE(std::string("[") + c.name + "]");
        EXPECT_EQ(c.record, IsBookRecordName(c.name));
    }
    const struct {
        const char* key;
        bool ok;
    } keys[] = {
        {"kyuyo", true}, {"表参道店", true}, {"ソ", true},     {"", true},      {"con", true},
        {"a.", true},    {"a ", true},       {"..\\z", false}, {"../z", false}, {"..", false},
        {"d:z", false},  {"a\\b", false},    {"*", false},     {"a?", false},   {"a|b", false},
    };
    for (const auto& c : keys) {
        SCOPED_TRACE(std::string("[") + c.key + "]");
        EXPECT_EQ(c.ok, IsBookKey("C:\\P\\Excel\\", c.key));
    }
}

// A file name may be 255 bytes as Wine keeps it (a character beyond ASCII
// as three), a path 259 characters; a key or a record's name is damaged
// when one of the names made from it would be longer, in the deepest
// folder as well.
TEST(BookNames, NamesLongerThanTheSystemTakesAreRefused) {
    const CString folder = "C:\\P\\Excel\\"; // 11 characters
    EXPECT_TRUE(FitsInFolder(folder, CString(std::string(248, 'a').c_str())));
    EXPECT_FALSE(FitsInFolder(folder, CString(std::string(249, 'a').c_str())));
    EXPECT_TRUE(FitsInFolder("C:\\", CString(std::string(255, 'a').c_str())));
    EXPECT_FALSE(FitsInFolder("C:\\", CString(std::string(256, 'a').c_str())));
    // 85 double-byte characters: 170 bytes here, 255 in UTF-8.
    CString kanji;
    for (int i = 0; i < 85; ++i)
        kanji += "表";
    EXPECT_TRUE(FitsInFolder("C:\\", kanji));
    EXPECT_FALSE(FitsInFolder("C:\\", kanji + "a"));

    // "勤怠_" + key + "_2000年01月01日000000.xlsm": 7 + 24 + 5 bytes
    // around the key in UTF-8, 26 characters (and the folder's 11).
    EXPECT_TRUE(IsBookKey(folder, CString(std::string(219, 'k').c_str())));
    EXPECT_FALSE(IsBookKey(folder, CString(std::string(220, 'k').c_str())));
    const CString deep = CString("C:\\") + std::string(180, 'd').c_str() + "\\";
    EXPECT_TRUE(IsBookKey(deep, CString(std::string(49, 'k').c_str())));
    EXPECT_FALSE(IsBookKey(deep, CString(std::string(50, 'k').c_str())));

    // "勤怠_" + name in ".xlsm" + "_2000年01月01日000000".
    EXPECT_TRUE(BookNamesFit(folder, CString(std::string(219, 'n').c_str()) + ".xls"));
    EXPECT_FALSE(BookNamesFit(folder, CString(std::string(220, 'n').c_str()) + ".xls"));
    EXPECT_TRUE(BookNamesFit(folder, CString(std::string(219, 'n').c_str()) + ".XLSM"));
    EXPECT_FALSE(BookNamesFit(folder, CString(std::string(220, 'n').c_str()) + ".XLSM"));
}
