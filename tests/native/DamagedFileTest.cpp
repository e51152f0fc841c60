// Damaged structure: found, located, and nothing written past the fault.
// Each kind of fault, with its offset and words, is in the table of hostile
// files (HostileFileTest).
#include "Archive.h"
#include "EntryRecordReader.h"
#include "MemFile.h"
#include "MigrationFileException.h"
#include "MigrationReader.h"
#include "MigrationTestSupport.h"
#include "MigrationWriter.h"

#include <gtest/gtest.h>

namespace {

// "Data\MyData" holding "a.dat" ("abc"), as written for roots src0..src2.
std::string SmallExample() {
    return Header(1) + Record(4, 0, "", "Data\\MyData", "", 1) +
           Record(4, 0, "\\Data\\MyData", "a.dat", "abc", 0);
}

CMigrationFileException CheckFault(const std::string& bytes) {
    try {
        Check(bytes);
    } catch (const CMigrationFileException& e) {
        return e;
    }
    ADD_FAILURE() << "no fault found";
    return CMigrationFileException(CArchiveException::none, 0, "");
}

} // namespace

TEST(DamagedFile, FileCutAnywhereIsFoundWithinWhatIsThere) {
    const std::string whole = SmallExample();
    ASSERT_NO_THROW(Check(whole));
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        const std::string bytes = whole.substr(0, cut);
        const CMigrationFileException e = CheckFault(bytes);
        EXPECT_LE(e.m_nOffset, cut);
        CMemFileSystem dst;
        dst.AddDirectory("dst0");
        ReadResult result(dst);
        EXPECT_THROW(Restore(bytes, dst, TargetRoots(), result), CArchiveException);
        if (cut < whole.size() - 4) { // before the child count, its size is refused first
            EXPECT_FALSE(dst.IsFile("dst0\\Data\\MyData\\a.dat"));
        }
    }
}

TEST(DamagedFile, SizeBeyondTheEndCreatesNoTargetFile) {
    const std::string bytes =
        Header(1) + Le32(4) + Le32(0) + Str("") + Str("a.dat") + Le64(1000) + "abc";
    CMemFileSystem dst;
    dst.AddFile("dst0\\a.dat", "old");
    ReadResult result(dst);
    EXPECT_THROW(Restore(bytes, dst, TargetRoots(), result), CMigrationFileException);
    EXPECT_EQ("old", dst.FileBytes("dst0\\a.dat"));
}

// No writer makes a file without entries: the check and the format peek
// refuse one alike, so that Tessaro and ikotool give the same verdict.
TEST(DamagedFile, FileWithoutEntriesIsDamagedForTheCheckAndThePeek) {
    const CMigrationFileException e = CheckFault(Header(0));
    EXPECT_EQ(4u, e.m_nOffset);
    EXPECT_EQ("the file holds no entries after its header", e.m_strFault);
    CMemFileSystem fs;
    CMigrationContext context(fs);
    CMemFile mem(Header(0));
    CArchive ar(&mem, CArchive::load);
    EXPECT_THROW(CMigrationReader(context, TargetRoots(), 4).PeekFormat(ar),
                 CMigrationFileException);
}

// A folder whose entries cannot be listed is carried empty and named.
TEST(DamagedFile, FolderThatCannotBeListedIsCarriedEmptyAndNamed) {
    CMemFileSystem src;
    src.AddFile("src0\\Data\\MyData\\a.dat", "a");
    src.AddFile("src0\\Data\\MyData\\Locked\\b.dat", "b");
    src.SetLocked("src0\\Data\\MyData\\Locked");
    CMigrationContext context(src);
    CMigrationWriter writer(context, SourceRoots());
    ASSERT_TRUE(writer.BuildList());
    ASSERT_EQ(1u, context.m_skipped.size());
    EXPECT_EQ(CSkipReason::cannotList, context.m_skipped[0].nReason);
    EXPECT_EQ("\\Data\\MyData\\Locked", context.m_skipped[0].strPath);
}
