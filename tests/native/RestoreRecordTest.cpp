#include "MigrationTestSupport.h"
#include "RestoreRecord.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const CMigrationRoots kRoots("C:\\製品", "D:\\データ", "");

std::vector<CString> Lines(const std::vector<CSkippedEntry>& skipped) {
    std::vector<CString> lines;
    CRestoreRecord record(kRoots, [&lines](const CString& line) { lines.push_back(line); });
    for (const CSkippedEntry& entry : skipped)
        record.NoteSkipped(entry);
    return lines;
}

} // namespace

// One line for each outcome: its label, the full path as the system shows
// it (a tab between them), and the reason where there is one.  The trail
// byte 0x5C of "表" and "ソ" is no separator.
TEST(CRestoreRecord, EachOutcomeHasItsLine) {
    const struct {
        CSkippedEntry entry;
        const char* line;
    } cases[] = {
        {{0, "\\Data\\Org\\kyuyo.xls", CSkipReason::filtered, ""},
         "除外\tC:\\製品\\Data\\Org\\kyuyo.xls\t復元の対象外です"},
        {{0, "\\Data\\MyData\\a.dat", CSkipReason::filtered, "format 5 is newer than this program"},
         "除外\tC:\\製品\\Data\\MyData\\a.dat\t復元の対象外です（format 5 is newer than this "
         "program）"},
        {{2, "\\SettingShain.dat", CSkipReason::emptyRoot, ""},
         "除外\tSettingShain.dat\t復元先のフォルダがこのパソコンに設定されていません"},
        {{0, "\\..\\evil.txt", CSkipReason::refusedPath, "a \"..\" component (\"..\")"},
         "拒否\tC:\\製品\\..\\evil.txt\t復元先のパスとして使えない名前です（a \"..\" component "
         "(\"..\")）"},
        {{1, "\\\\Excel\\\\表\\ソ.xls", CSkipReason::cannotWrite,
          "D:\\データ\\Excel\\表\\ソ.xls "
          "へのアクセスが拒否されました。"},
         "書込失敗\tD:\\データ\\Excel\\表\\ソ.xls\tD:\\データ\\Excel\\表\\ソ.xls "
         "へのアクセスが拒否されました。"},
        {{1, "\\Excel\\b.xls", CSkipReason::cannotWrite, ""},
         "書込失敗\tD:\\データ\\Excel\\b.xls\t書き込めません"},
        {{0, "\\Data\\MyData\\x?.dat", CSkipReason::unconvertibleName, "not representable"},
         "書込失敗\tC:\\製品\\Data\\MyData\\x?.dat\tこのパソコンでは使えない名前です（not "
         "representable）"},
        // A tab or a line break of a stored name opens no field or line.
        {{0, "\\Data\\MyData\\a\tb\n拒否\tc.dat", CSkipReason::refusedPath, "bad\nname"},
         "拒否\tC:\\製品\\Data\\MyData\\a^Ib^J拒否^Ic.dat\t復元先のパスとして使えない名前です（bad^Jname）"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(std::vector<CString>{c.line}, Lines({c.entry}));
    }
    std::vector<CString> lines;
    CRestoreRecord record(kRoots, [&lines](const CString& line) { lines.push_back(line); });
    record.NoteRestored(0, "\\\\Data\\MyData\\\\表示.dat");
    EXPECT_EQ(std::vector<CString>{"復元\tC:\\製品\\Data\\MyData\\表示.dat"}, lines);
}

// The summary counts each outcome; a restore cut short says so with its
// cause, so that its counts are not taken for the whole file's.
TEST(CRestoreRecord, SummaryCountsEachOutcomeAndTellsAnInterruption) {
    std::vector<CString> lines;
    CRestoreRecord record(kRoots, [&lines](const CString& line) { lines.push_back(line); });
    for (int i = 0; i < 3; ++i)
        record.NoteRestored(0, "\\a.dat");
    record.NoteSkipped({0, "\\b", CSkipReason::filtered, ""});
    record.NoteSkipped({2, "\\c", CSkipReason::emptyRoot, ""});
    record.NoteSkipped({0, "\\d", CSkipReason::cannotWrite, ""});
    EXPECT_EQ(3, record.Count(CRestoreRecord::restored));
    EXPECT_EQ(2, record.Count(CRestoreRecord::keptOut));
    EXPECT_EQ(0, record.Count(CRestoreRecord::refused));
    EXPECT_EQ(1, record.Count(CRestoreRecord::notWritten));
    EXPECT_EQ(CString("合計\t復元 3 件、除外 2 件、拒否 0 件、書込失敗 1 件、空 0 件"),
              record.Summary(""));
    record.Finish("ディスクがいっぱいです。");
    EXPECT_EQ(CString("合計\t復元 3 件、除外 2 件、拒否 0 件、書込失敗 1 件、空 0 件\t"
                      "復元は完了していません（ディスクがいっぱいです。）"),
              lines.back());
}

// The record's file: code page 932, every line ended by CR LF.
TEST(CRestoreRecord, FileTextIsCodePage932WithCrLf) {
    std::string text;
    CRestoreRecord record(CMigrationRoots("C:", "C:", ""), CRestoreRecord::AppendTo(text));
    record.NoteRestored(0, "\\a");
    record.Finish();
    const std::string expected =
        "\x95\x9c\x8c\xb3" // 復元
        "\tC:\\a\r\n"
        "\x8d\x87\x8c\x76"                                    // 合計
        "\t\x95\x9c\x8c\xb3 1 \x8c\x8f\x81\x41"               // 復元 1 件、
        "\x8f\x9c\x8a\x4f 0 \x8c\x8f\x81\x41"                 // 除外 0 件、
        "\x8b\x91\x94\xdb 0 \x8c\x8f\x81\x41"                 // 拒否 0 件、
        "\x8f\x91\x8d\x9e\x8e\xb8\x94\x73 0 \x8c\x8f\x81\x41" // 書込失敗 0 件、
        "\x8b\xf3 0 \x8c\x8f\r\n";                            // 空 0 件
    EXPECT_EQ(expected, text);
}

// A restore through the engine notes every file in the order of the
// migration file, and its counts are the context's: what was written, and
// what the user is told was not.
TEST(CRestoreRecord, RestoreNotesEveryFileInFileOrder) {
    CMemFileSystem fs;
    for (const char* dir : {"dst0\\Data\\MyData", "dst1\\Excel"})
        fs.AddDirectory(dir);
    fs.AddFile("dst1\\Excel\\held.xls", "older");
    fs.SetLocked("dst1\\Excel\\held.xls");
    const std::string bytes =
        Header(4) + Record(3, 0, "", "Data\\MyData", "", 2) +
        Record(3, 0, "\\Data\\MyData", "a.dat", "abc", 0) +
        Record(3, 0, "\\Data\\MyData", "Company.dat", "co", 0) + Record(3, 1, "", "Excel", "", 2) +
        Record(3, 1, "\\Excel", "held.xls", "new", 0) +
        Record(3, 1, "\\Excel", "empty.xls", "", 0) + Record(3, 0, "", "..\\out.dat", "x", 0) +
        Record(3, 2, "", "SettingShain.dat", "s", 0);
    ReadResult result(fs);
    std::string text;
    CRestoreRecord record(TargetRoots(false), CRestoreRecord::AppendTo(text));
    result.context.m_pRecord = &record;
    Restore(bytes, fs, TargetRoots(false), result);
    record.Finish();
    ASSERT_TRUE(result.bOurs);
    EXPECT_EQ(
        "復元\tdst0\\Data\\MyData\\a.dat\r\n"
        "除外\tdst0\\Data\\MyData\\Company.dat\t復元の対象外です\r\n"
        "書込失敗\tdst1\\Excel\\held.xls\tcannot be renamed\r\n"
        "空\tdst1\\Excel\\empty.xls\t中身がないため書き込みません（空のファイルまたはフォルダ）\r\n"
        "拒否\tdst0\\..\\out.dat\t復元先のパスとして使えない名前です（a \"..\" component "
        "(\"..\")）\r\n"
        "除外\tSettingShain.dat\t復元先のフォルダがこのパソコンに設定されていません\r\n"
        "合計\t復元 1 件、除外 2 件、拒否 1 件、書込失敗 1 件、空 1 件\r\n",
        text);
    EXPECT_EQ(result.context.m_nWritten, record.Count(CRestoreRecord::restored));
    EXPECT_EQ("abc", fs.FileBytes("dst0\\Data\\MyData\\a.dat"));
}
