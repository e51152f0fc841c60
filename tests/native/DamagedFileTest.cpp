// Damaged structure: found, located, and nothing written past the fault.
// Each kind of fault, with its offset and words, is in the table of hostile
// files (HostileFileTest).
#include "EntryRecordReader.h"
#include "MigrationFileException.h"
#include "MigrationTestSupport.h"

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
