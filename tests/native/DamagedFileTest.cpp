// Damaged and hostile structure: found, located, and never allowed to
// exhaust memory or the stack.
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

// A chain of directories, each the only child of the one before.
std::string Chain(int levels) {
    std::string bytes = Header(1);
    for (int i = 0; i < levels; ++i)
        bytes += Record(4, 0, "", "", "", i + 1 < levels ? 1 : 0);
    return bytes;
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

TEST(DamagedFile, EachFaultIsReportedAtItsField) {
    const std::string top = Le32(4) + Le32(0) + Str("") + Str("Excel"); // 4 + 4 + 1 + 6 bytes
    const struct {
        const char* what;
        std::string bytes;
        uint64_t offset;
        const char* fault;
    } cases[] = {
        {"product byte", Bytes({1, 0, 5, 0}) + top, 2, "the product byte is not that of Morvane"},
        {"root 5", Header(1) + Le32(4) + Le32(5), 8, "root index 5 is outside 0 to 4"},
        {"root -1", Header(1) + Le32(4) + Le32(-1), 8, "root index -1 is outside 0 to 4"},
        {"size past the end", Header(1) + top + Le64(1000) + "abc", 19,
         "the content (1000 bytes) runs past the end of the file"},
        {"name past the end",
         Header(1) + Le32(4) + Le32(0) + Str("") +
             "\xC8"
             "abc",
         13, "the name (200 bytes) runs past the end of the file"},
        {"name longer than a path",
         Header(1) + Le32(4) + Le32(0) + Str("") + Bytes({0xFF, 0xA0, 0x8C}) +
             std::string(36000, 'n') + Le64(0) + Le32(0),
         13, "the name (36000 bytes) is longer than any path"},
        {"other string encoding", Header(1) + Le32(4) + Le32(0) + Bytes({0xFF, 0xFE, 0xFF, 0}), 12,
         "the relative directory has an unknown length encoding"},
        {"huge child count", Header(1) + top + Le64(0) + Le32(0x7FFFFFFF), 27,
         "2147483647 children cannot fit in the rest of the file"},
        {"child count one too many",
         Header(1) + top + Le64(0) + Le32(2) + Record(4, 0, "", "", "", 0), 27,
         "2 children cannot fit in the rest of the file"},
        {"bytes after the last entry", Header(1) + top + Le64(0) + Le32(0) + "x", 31,
         "1 entries end here, but the file goes on"},
        {"header cut", Bytes({1, 0, 4}), 0, "the file ends inside the header"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CMigrationFileException e = CheckFault(c.bytes);
        EXPECT_EQ(c.offset, e.m_nOffset);
        EXPECT_EQ(c.fault, e.m_strFault);
    }
}

TEST(DamagedFile, NestingIsLimitedToWhatAPathCanHold) {
    const int limit = CEntryRecordReader::kMaxDepth + 1; // levels 0 to kMaxDepth
    EXPECT_NO_THROW(Check(Chain(limit - 1)));
    EXPECT_NO_THROW(Check(Chain(limit)));
    const CMigrationFileException e = CheckFault(Chain(limit + 1));
    EXPECT_EQ("the entries nest deeper than 2048 levels", e.m_strFault);
    // The record of the deepest allowed level, up to its child count.
    EXPECT_EQ(4 + (limit - 1) * CEntryRecordReader::kMinRecordSize + 18, e.m_nOffset);
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
