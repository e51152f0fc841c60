#include "RecordPlace.h"

#include <gtest/gtest.h>

// The record carries the migration file's name and the time stamp; a
// later attempt in the same second gets a number of its own.
TEST(CRecordPlace, FileNameCarriesTheMigrationFileAndTheStamp) {
    const struct {
        const char* file;
        int attempt;
        const char* expected;
    } cases[] = {
        {"C:\\移行\\morvane.iko", 1, "morvane_復元記録20261209011530.txt"},
        {"C:\\移行\\morvane.iko", 2, "morvane_復元記録20261209011530_2.txt"},
        {"C:/移行/表.iko", 1, "表_復元記録20261209011530.txt"},
        {"C:\\ソ\\a.b.iko", 1, "a.b_復元記録20261209011530.txt"},
        {"C:\\data\\noext", 1, "noext_復元記録20261209011530.txt"},
        {"C:\\data.d\\.iko", 1, ".iko_復元記録20261209011530.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(CString(c.expected), CRecordPlace::FileName(c.file, "20261209011530", c.attempt));
    }
}

// A long name is cut so that the record's name with its temporary ending
// is one the system takes, also where it counts the name in UTF-8 (Wine
// on Linux); a double-byte character is never halved.
TEST(CRecordPlace, FileNameOfALongMigrationFileStaysANameTheSystemTakes) {
    const struct {
        std::string title;
        size_t kept; // bytes of the title kept
    } cases[] = {
        {std::string(235, 'x'), 218},
        {std::string(200, 'x'), 200},
        {"x" + std::string(120 * 2, '\0'), 145}, // filled below with "表": 72 of them
    };
    for (auto c : cases) {
        if (c.title[1] == '\0')
            for (size_t i = 1; i < c.title.size(); i += 2)
                c.title.replace(i, 2, "\x95\x5c"); // 表: a trail byte 0x5C
        SCOPED_TRACE(c.title.size());
        const CString name =
            CRecordPlace::FileName(("C:\\m\\" + c.title + ".iko").c_str(), "20261209011530", 9);
        EXPECT_LE(CRecordPlace::NameLength(name) + CRecordPlace::kTemporaryEndingLength,
                  CRecordPlace::kMaxNameLength);
        EXPECT_EQ(c.title.substr(0, c.kept) + "_復元記録20261209011530_9.txt", name.str());
    }
    // A long folder leaves less room; none at all gives no name.
    EXPECT_EQ("xxxx_復元記録20261209011530.txt",
              CRecordPlace::FileName("C:\\m\\xxxxxxxx.iko", "20261209011530", 1, 31).str());
    EXPECT_EQ("", CRecordPlace::FileName("C:\\m\\xxxxxxxx.iko", "20261209011530", 1, 27).str());
}

// The folder of "C:\ソ\x.iko" is "C:\ソ": the trail byte 0x5C of "ソ" is
// not the last separator.
TEST(CRecordPlace, FolderOfStopsAtTheLastSeparator) {
    EXPECT_EQ(CString("C:\\ソ"), CRecordPlace::FolderOf("C:\\ソ\\x.iko"));
    EXPECT_EQ(CString("C:\\a"), CRecordPlace::FolderOf("C:\\a/x.iko"));
    EXPECT_EQ(CString("C:"), CRecordPlace::FolderOf("C:\\x.iko"));
    EXPECT_EQ(CString(), CRecordPlace::FolderOf("x.iko"));
}

// A folder a migration carries, in every spelling the system takes for
// it, holds no record; a folder that only begins with the same letters is
// another one.
TEST(CRecordPlace, IsInsideReadsPathsAsTheSystemDoes) {
    const struct {
        const char* path;
        bool inside;
    } cases[] = {
        {"C:\\Morvane\\Data", true},
        {"C:\\Morvane\\Data\\Other", true},
        {"c:\\morvane\\DATA\\other", true},
        {"C:/Morvane//Data/", true},
        {"C:\\Morvane\\Data.\\Other", true},
        {"C:\\Morvane\\Data \\Other", true},
        {"C:\\Morvane", false},
        {"C:\\Morvane\\Database", false},
        {"C:\\Morvane\\Dat", false},
        {"D:\\Morvane\\Data", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.inside, CRecordPlace::IsInside(c.path, "C:\\Morvane\\Data"));
    }
    // "表" ends in the byte 0x5C, "ソ" too: neither splits its folder.
    EXPECT_TRUE(CRecordPlace::IsInside("C:\\表\\ソ\\x", "C:\\表\\ソ"));
    EXPECT_FALSE(CRecordPlace::IsInside("C:\\表\\ソ\\x", "C:\\表\\ソ\\x\\y"));
    EXPECT_FALSE(CRecordPlace::IsInside("C:\\表ソ", "C:\\表"));
    EXPECT_FALSE(CRecordPlace::IsInside("C:\\a", ""));
}
