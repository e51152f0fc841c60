// The bytes of a migration file, written and read back.
#include "Archive.h"
#include "MemFile.h"
#include "MigrationEntry.h"
#include "MigrationReader.h"
#include "MigrationTestSupport.h"
#include "MigrationWriter.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// The one top-level entry "Data\MyData" holding the file "a.dat" ("abc").
const std::string kWorkedExample = Bytes({0x01, 0x00, 0x04, 0x00}) // one entry, product 0x04, 0x00
                                   + Bytes({0x04, 0, 0, 0})        // format 4
                                   + Bytes({0x00, 0, 0, 0})        // root 0
                                   + Bytes({0x00})                 // relative directory: empty
                                   + "\x0B"
                                     "Data\\MyData"         // name, 11 bytes
                                   + std::string(8, '\0')   // size 0
                                   + Bytes({0x01, 0, 0, 0}) // one child
                                   + Bytes({0x04, 0, 0, 0}) // child: format 4
                                   + Bytes({0x00, 0, 0, 0}) // root 0
                                   + "\x0C"
                                     "\\Data\\MyData" // relative directory, 12 bytes
                                   + "\x05"
                                     "a.dat"                            // name
                                   + Bytes({0x03, 0, 0, 0, 0, 0, 0, 0}) // size 3
                                   + "abc"                              // content
                                   + Bytes({0x00, 0, 0, 0});            // no children

// Relative directory and name of every record, in file order.
std::vector<std::pair<std::string, std::string>> RecordNames(const std::string& bytes) {
    std::vector<std::pair<std::string, std::string>> names;
    CMemFileSystem fs;
    CMigrationContext context(fs);
    context.m_onEntry = [&](const CMigrationEntry& e) {
        names.emplace_back(e.m_strRelDir.str(), e.m_strName.str());
    };
    Check(bytes, &context);
    return names;
}

// The same, as the writer names each record it writes.
std::vector<std::pair<std::string, std::string>> WrittenRecordNames(CMemFileSystem& fs) {
    std::vector<std::pair<std::string, std::string>> names;
    CMigrationContext context(fs);
    context.m_onEntry = [&](const CMigrationEntry& e) {
        names.emplace_back(e.m_strRelDir.str(), e.m_strName.str());
    };
    CMigrationWriter writer(context, SourceRoots());
    EXPECT_TRUE(writer.BuildList());
    CMemFile mem;
    CArchive ar(&mem, CArchive::store);
    writer.Write(ar);
    return names;
}

} // namespace

TEST(MigrationFile, WorkedExampleIsWrittenByteForByte) {
    CMemFileSystem fs;
    fs.AddFile("src0\\Data\\MyData\\a.dat", "abc");
    EXPECT_EQ(kWorkedExample, WriteMigration(fs, SourceRoots(), ".xlsm"));
}

TEST(MigrationFile, WorkedExampleIsRestoredBelowTheTargetRoot) {
    CMemFileSystem fs;
    fs.AddDirectory("dst0");
    ReadResult result(fs);
    Restore(kWorkedExample, fs, TargetRoots(), result);
    EXPECT_TRUE(result.bOurs);
    EXPECT_EQ("abc", fs.FileBytes("dst0\\Data\\MyData\\a.dat"));
    EXPECT_TRUE(result.context.m_skipped.empty());
}

TEST(MigrationFile, FormatCodeFollowsTheBookExtensionExactly) {
    const struct {
        const char* ext;
        char format;
    } cases[] = {{".xls", 3}, {".xlsm", 4}, {".XLS", 4}, {"", 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ext);
        CMemFileSystem fs;
        fs.AddFile("src0\\Data\\MyData\\a.dat", "abc");
        const std::string bytes = WriteMigration(fs, SourceRoots(), c.ext);
        EXPECT_EQ(c.format, bytes[4]);  // top-level entry
        EXPECT_EQ(c.format, bytes[37]); // its child
    }
}

TEST(MigrationFile, GrandchildrenCarryOneMoreLeadingBackslashAndLandInOtherRoots) {
    CMemFileSystem src;
    src.AddFile("src0\\Data\\MyData\\Sub\\Deep\\g.dat", "grand");
    src.AddFile("src0\\Data\\MyData\\表\\b.dat", "trail byte 5C");
    src.AddFile("src1\\Excel\\給与.xls", "book");
    src.AddFile("src2\\CodeShain2.dat", "common");
    const std::string bytes = WriteMigration(src, SourceRoots());
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"", "Data\\MyData"},
        {"\\Data\\MyData", "Sub"},
        {"\\\\Data\\MyData\\Sub", "Deep"},
        {"\\\\\\Data\\MyData\\Sub\\Deep", "g.dat"},
        {"\\Data\\MyData", "表"},
        {"\\\\Data\\MyData\\表", "b.dat"},
        {"", "Excel"},
        {"\\Excel", "給与.xls"},
        {"", "CodeShain2.dat"},
    };
    EXPECT_EQ(expected, RecordNames(bytes));
    EXPECT_EQ(expected, WrittenRecordNames(src));

    CMemFileSystem dst;
    for (const char* root : {"dst0", "dst1", "dst2"})
        dst.AddDirectory(root);
    ReadResult result(dst);
    Restore(bytes, dst, TargetRoots(), result);
    EXPECT_EQ("grand", dst.FileBytes("dst0\\Data\\MyData\\Sub\\Deep\\g.dat"));
    EXPECT_EQ("trail byte 5C", dst.FileBytes("dst0\\Data\\MyData\\表\\b.dat"));
    EXPECT_EQ("book", dst.FileBytes("dst1\\Excel\\給与.xls"));
    EXPECT_EQ("common", dst.FileBytes("dst2\\CodeShain2.dat"));
    EXPECT_TRUE(result.context.m_skipped.empty());
}

TEST(MigrationFile, TopLevelItemsKeepTheirOrderWhenOneIsMissing) {
    const std::vector<std::pair<std::string, std::string>> all = {
        {"", "Data\\DefEru"},     {"", "Data\\MyData"},   {"", "Data\\Org"},
        {"", "Data\\Other"},      {"", "Data\\MsgMemo"},  {"", "Excel"},
        {"", "SettingShain.dat"}, {"", "CodeShain2.dat"}, {"", "CodeShain2_B.dat"}};
    for (bool bWithOrg : {true, false}) {
        SCOPED_TRACE(bWithOrg);
        CMemFileSystem fs;
        for (int i = 0; i < CMigrationWriter::kItemCount; ++i) {
            const CMigrationWriter::Item& item = CMigrationWriter::kItems[i];
            const CString path = SourceRoots()[item.nRoot] + "\\" + item.pszName;
            if (item.nRoot == CMigrationRoots::common)
                fs.AddFile(path, "x");
            else if (bWithOrg || CString(item.pszName) != "Data\\Org")
                fs.AddDirectory(path);
        }
        const std::string bytes = WriteMigration(fs, SourceRoots());
        std::vector<std::pair<std::string, std::string>> expected = all;
        if (!bWithOrg)
            expected.erase(expected.begin() + 2);
        EXPECT_EQ(static_cast<char>(expected.size()), bytes[0]);
        EXPECT_EQ(expected, RecordNames(bytes));
    }
}

TEST(MigrationFile, NothingToWriteCreatesNoFile) {
    CMemFileSystem fs;
    fs.AddDirectory("src0\\Data"); // none of the nine items below it
    CMigrationContext context(fs);
    CMigrationWriter writer(context, SourceRoots());
    EXPECT_FALSE(writer.BuildList());
    EXPECT_FALSE(fs.IsFile("out.iko"));
}

TEST(MigrationFile, ZeroLengthFilesAndEmptyDirectoriesAreWrittenButNotRestored) {
    CMemFileSystem src;
    src.AddFile("src0\\Data\\MyData\\zero.dat", "");
    src.AddDirectory("src0\\Data\\MyData\\Empty");
    const std::string bytes = WriteMigration(src, SourceRoots());
    EXPECT_NE(std::string::npos,
              bytes.find(Str("zero.dat") + Le64(0) + Le32(0))); // no content, no children

    CMemFileSystem dst;
    dst.AddFile("dst0\\Data\\MyData\\zero.dat", "kept");
    ReadResult result(dst);
    Restore(bytes, dst, TargetRoots(), result);
    EXPECT_EQ("kept", dst.FileBytes("dst0\\Data\\MyData\\zero.dat"));
    EXPECT_FALSE(dst.IsDirectory("dst0\\Data\\MyData\\Empty"));
}

TEST(MigrationFile, FormatPeekGivesTheFirstEntrysCode) {
    CMemFileSystem fs;
    CMigrationContext context(fs);
    for (int format : {3, 4, 5}) {
        SCOPED_TRACE(format);
        CMemFile mem(Header(1) + Record(format, 0, "", "Excel", "", 0));
        CArchive ar(&mem, CArchive::load);
        EXPECT_EQ(format, CMigrationReader(context, TargetRoots(), 100).PeekFormat(ar));
    }
    CMemFile other(Bytes({0x01, 0x00, 0x05, 0x00}) + Le32(4));
    CArchive ar(&other, CArchive::load);
    EXPECT_EQ(-1, CMigrationReader(context, TargetRoots(), 8).PeekFormat(ar));
}

TEST(MigrationFile, WriteFileReplacesTheOldFileOnlyWhenComplete) {
    CMemFileSystem fs;
    fs.AddFile("src0\\Data\\MyData\\a.dat", std::string(100000, 'a'));
    fs.AddFile("out.iko", "old");
    {
        CMigrationContext context(fs);
        CMigrationWriter writer(context, SourceRoots());
        ASSERT_TRUE(writer.BuildList());
        fs.SetFreeSpace(50000); // full before the file is complete
        EXPECT_THROW(writer.WriteFile("out.iko"), CFileException);
    }
    EXPECT_EQ("old", fs.FileBytes("out.iko"));
    EXPECT_FALSE(fs.IsFile(CString("out.iko") + CMigrationWriter::kTempSuffix));

    fs.SetFreeSpace(INT64_MAX);
    CMigrationContext context(fs);
    CMigrationWriter writer(context, SourceRoots());
    ASSERT_TRUE(writer.BuildList());
    EXPECT_TRUE(writer.WriteFile("out.iko"));
    EXPECT_EQ(WriteMigration(fs, SourceRoots()), fs.FileBytes("out.iko"));
    EXPECT_FALSE(fs.IsFile(CString("out.iko") + CMigrationWriter::kTempSuffix));
}

// A file or folder that bears the writer's temporary name is the user's or
// another run's: it keeps its bytes, the next free name is taken, and when
// every name is taken the older file stays as it was.
TEST(MigrationFile, WriteFileNeverTouchesWhatBearsItsTemporaryName) {
    struct Case {
        const char* what;
        int nTakenFiles;
        int nTakenFolders;
        bool bWritten;
    };
    const Case cases[] = {
        {"the usual name taken by a file", 1, 0, true},
        {"three names taken by files", 3, 0, true},
        {"the usual name taken by a folder", 0, 1, true},
        {"every name taken", CMigrationWriter::kTemporaryNames - 2, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CMemFileSystem fs;
        fs.AddFile("src0\\Data\\MyData\\a.dat", "abc");
        fs.AddFile("out\\m.iko", "old");
        std::vector<CString> taken;
        for (int i = 0; i < c.nTakenFiles + c.nTakenFolders; ++i) {
            const CString path = CMigrationWriter::TemporaryPath("out\\m.iko", i);
            if (i < c.nTakenFiles)
                fs.AddFile(path, "the user's own " + std::to_string(i));
            else
                fs.AddDirectory(path);
            taken.push_back(path);
        }
        const std::vector<CString> before = fs.Paths();
        CMigrationContext context(fs);
        CMigrationWriter writer(context, SourceRoots());
        ASSERT_TRUE(writer.BuildList());
        EXPECT_EQ(c.bWritten, writer.WriteFile("out\\m.iko")) << writer.m_strError.GetString();
        EXPECT_EQ(before, fs.Paths());
        for (int i = 0; i < c.nTakenFiles; ++i)
            EXPECT_EQ("the user's own " + std::to_string(i), fs.FileBytes(taken[i]));
        if (c.bWritten) {
            EXPECT_EQ(WriteMigration(fs, SourceRoots()), fs.FileBytes("out\\m.iko"));
        } else {
            EXPECT_EQ("old", fs.FileBytes("out\\m.iko"));
            EXPECT_NE(-1, writer.m_strError.Find("out\\m.iko.~tmp9) is taken"))
                << writer.m_strError.GetString();
        }
    }
}
