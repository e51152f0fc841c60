// What a restore writes, creates and leaves out.
#include "MigrationEntry.h"
#include "MigrationTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A file written from root 0 or 1 at relPath and restored into empty roots.
struct Restored {
    CMemFileSystem dst;
    ReadResult result{dst};
    bool bWritten = false;
};

// A locked target refuses to be replaced.
void RestoreOneFile(int root, const CString& relPath, Restored& out, int format = 4,
                    bool bLocked = false) {
    CMemFileSystem src;
    const CMigrationRoots roots = SourceRoots();
    src.AddFile(roots[root] + "\\" + relPath, "content");
    const std::string bytes = WriteMigration(src, roots, format);
    out.dst.AddDirectory("dst0\\Data");
    out.dst.AddDirectory("dst1");
    if (bLocked)
        out.dst.SetLocked(TargetRoots()[root] + "\\" + relPath);
    Restore(bytes, out.dst, TargetRoots(), out.result);
    out.bWritten = out.dst.FileBytes(TargetRoots()[root] + "\\" + relPath) == "content";
}

} // namespace

TEST(RestoreFilter, KeepsOutTargetOwnFilesTemplatesAndOldBooks) {
    const struct {
        int root;
        const char* relPath;
        bool restored;
    } cases[] = {
        {0, "Data\\Org\\kyuyo.xls", false},
        {0, "Data\\Org\\KYUYO.XLS", false},
        {0, "Data\\Org\\勤怠_kyuyo.xlsm", false},
        {0, "Data\\Org\\kyuyo.xlsm", false},
        {0, "Data\\Org\\勤怠_kyuyo.xls", false},
        {0, "Data\\Org\\XLCONV2.XLSM", false},
        {0, "Data\\Org\\Sub\\xlConv2.xls", false},         // anywhere below Data\Org
        {0, "Data\\Org\\kyuyo.xlsx", true},                // not a format of the product
        {0, "Data\\MyData\\Data\\Organ\\kyuyo.xls", true}, // a whole folder part
        {1, "Excel\\kyuyo.xls", true},                     // a template's name elsewhere
        {0, "Data\\MyData\\Company.dat", false},
        {0, "Data\\MyData\\company.DAT", false},
        {1, "Excel\\x\\TMBFILEMAP.dat", false},
        {0, "Data\\Other\\CompURL.dat", false},
        {1, "Excel\\Excel_Old\\2019.xls", false},
        {1, "Excel\\EXCEL_OLD\\sub\\2019.xls", false},
        {1, "Excel\\Excel_Older\\2019.xls", true},
        {1, "Excel\\ソexcel_old\\2019.xls", true}, // the 0x5C of ソ is no backslash
        {0, "Data\\MyData\\ソdata\\org\\kyuyo.xls", true},
        {0, "Data\\MyData\\ＫＹＵＹＯ.xls", true}, // double-byte letters do not fold
        {0, "Data\\MyData\\Company.dat.bak", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.relPath);
        Restored r;
        RestoreOneFile(c.root, c.relPath, r);
        EXPECT_EQ(c.restored, r.bWritten);
        if (!c.restored) {
            ASSERT_EQ(1u, r.result.context.m_skipped.size());
            EXPECT_EQ(CSkipReason::filtered, r.result.context.m_skipped[0].nReason);
        }
    }
}

TEST(RestoreFilter, OldBooksFolderIsCreatedButItsFilesAreNotWritten) {
    Restored r;
    RestoreOneFile(1, "Excel\\Excel_Old\\2019.xls", r);
    EXPECT_TRUE(r.dst.IsDirectory("dst1\\Excel\\Excel_Old"));
    EXPECT_FALSE(r.bWritten);
}

TEST(RestoreFilter, BookManagementFileSetsTheFlagOnlyWhenWritten) {
    const struct {
        const char* relPath;
        int format;
        bool locked, written, flag, mapWritten;
    } cases[] = {
        {"Data\\MyData\\BookMNG.dat", 4, false, true, true, true},
        {"Data\\MyData\\bookmng.DAT", 3, false, true, true, true},
        {"Data\\MyData\\BookMNG.dat", 5, false, false, false, false}, // newer format: read past
        {"Data\\MyData\\BookMNG.dat.old", 4, false, true, false, false},
        {"Data\\MyData\\BookMNG.dat", 4, true, false, true, false}, // let through, not written
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.relPath);
        Restored r;
        RestoreOneFile(0, c.relPath, r, c.format, c.locked);
        EXPECT_EQ(c.flag, r.result.context.m_bBookRestored);
        EXPECT_EQ(c.mapWritten, r.result.context.m_bBookMapWritten);
        EXPECT_EQ(c.written, r.bWritten);
    }
}

TEST(RestoreFilter, NewerFormatIsReadPastAndTheRestoreGoesOn) {
    const std::string bytes = Header(2) + Record(5, 0, "", "new.dat", "newer", 0) +
                              Record(4, 0, "", "next.dat", "next", 0);
    CMemFileSystem dst;
    dst.AddDirectory("dst0");
    ReadResult result(dst);
    Restore(bytes, dst, TargetRoots(), result);
    EXPECT_FALSE(dst.IsFile("dst0\\new.dat"));
    EXPECT_EQ("next", dst.FileBytes("dst0\\next.dat"));
    ASSERT_EQ(1u, result.context.m_skipped.size());
    EXPECT_EQ("format 5 is newer than this program", result.context.m_skipped[0].strCause);
}

TEST(RestoreFilter, CommonFilesAreReadPastWhenTheCommonRootIsNotSet) {
    CMemFileSystem src;
    src.AddFile("src2\\SettingShain.dat", "s");
    src.AddFile("src1\\Excel\\a.xls", "a");
    const std::string bytes = WriteMigration(src, SourceRoots());
    CMemFileSystem dst;
    dst.AddDirectory("dst1");
    ReadResult result(dst);
    Restore(bytes, dst, TargetRoots(false), result);
    EXPECT_EQ("a", dst.FileBytes("dst1\\Excel\\a.xls"));
    ASSERT_EQ(1u, result.context.m_skipped.size());
    EXPECT_EQ(CSkipReason::emptyRoot, result.context.m_skipped[0].nReason);
    EXPECT_EQ("\\SettingShain.dat", result.context.m_skipped[0].strPath);
}

TEST(RestoreFilter, UnwritableTargetIsSkippedAndReported) {
    CMemFileSystem src;
    src.AddFile("src0\\Data\\MyData\\locked.dat", "new");
    src.AddFile("src0\\Data\\MyData\\other.dat", "other");
    const std::string bytes = WriteMigration(src, SourceRoots());
    CMemFileSystem dst;
    dst.AddFile("dst0\\Data\\MyData\\locked.dat", "old");
    dst.SetLocked("dst0\\Data\\MyData\\locked.dat");
    ReadResult result(dst);
    Restore(bytes, dst, TargetRoots(), result);
    EXPECT_EQ("old", dst.FileBytes("dst0\\Data\\MyData\\locked.dat"));
    EXPECT_EQ("other", dst.FileBytes("dst0\\Data\\MyData\\other.dat"));
    ASSERT_EQ(1u, result.context.m_skipped.size());
    EXPECT_EQ(CSkipReason::cannotWrite, result.context.m_skipped[0].nReason);
}

TEST(RestoreFilter, DiskFullWhileWritingEndsTheRestoreWithTheFileError) {
    CMemFileSystem src;
    src.AddFile("src0\\Data\\MyData\\big.dat", std::string(200000, 'b'));
    const std::string bytes = WriteMigration(src, SourceRoots());
    CMemFileSystem dst;
    dst.AddDirectory("dst0\\Data");
    dst.SetFreeSpace(100000);
    ReadResult result(dst);
    try {
        Restore(bytes, dst, TargetRoots(), result);
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(CFileException::diskFull, e.m_cause);
        EXPECT_EQ("dst0\\Data\\MyData\\big.dat", e.m_strFileName);
    }
}
