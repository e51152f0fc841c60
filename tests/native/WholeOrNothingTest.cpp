// A restored file replaces the older one whole or not at all.
#include "Archive.h"
#include "MemFile.h"
#include "MigrationReader.h"
#include "MigrationTestSupport.h"
#include "MigrationWriter.h"
#include "TargetFile.h"

#include <gtest/gtest.h>

namespace {

const CString kTarget = "dst0\\Data\\MyData\\BookMNG.dat";
const CString kTemporary = CString("dst0\\Data\\MyData\\") + CTargetFile::TemporaryName(0);

std::string BookMapFile(const std::string& content) {
    return Header(1) + Record(4, 0, "\\Data\\MyData", "BookMNG.dat", content, 0);
}

// Reads bytes that end before nLength, as a file cut after its check does.
void RestoreCut(const std::string& bytes, int64_t nLength, CMigrationContext& context) {
    CMemFile mem(bytes);
    CArchive ar(&mem, CArchive::load);
    CMigrationReader(context, TargetRoots(), nLength).Restore(ar);
}

} // namespace

// A disk that fills half-way, and a migration file cut inside the content
// (read without the check before it): the older file keeps its bytes, the
// temporary file is gone, and the error names the target.
TEST(WholeOrNothing, FailureHalfWayKeepsTheOlderFile) {
    const std::string whole = BookMapFile(std::string(200000, 'n'));
    const struct {
        const char* what;
        size_t length;
        int64_t freeSpace;
    } cases[] = {
        {"disk full", whole.size(), 100000},
        {"file cut", 150000, INT64_MAX},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CMemFileSystem dst;
        dst.AddFile(kTarget, "the old book map");
        dst.SetFreeSpace(c.freeSpace);
        ReadResult result(dst);
        try {
            RestoreCut(whole.substr(0, c.length), static_cast<int64_t>(whole.size()),
                       result.context);
            ADD_FAILURE() << "no error";
        } catch (const CFileException& e) {
            EXPECT_EQ(CFileException::diskFull, e.m_cause);
            EXPECT_EQ(kTarget, e.m_strFileName);
        } catch (const CArchiveException& e) {
            EXPECT_EQ(CArchiveException::endOfFile, e.m_cause);
        }
        EXPECT_EQ("the old book map", dst.FileBytes(kTarget));
        EXPECT_FALSE(dst.IsFile(kTemporary));
        EXPECT_EQ(0, result.context.m_nWritten);
    }
}

// A killed restore leaves its temporary file; the next restore into that
// folder removes it, whether it writes a file there or keeps every file of
// the folder out, and "作成" never carries it.
TEST(WholeOrNothing, TemporaryFileOfAKilledRunIsRemovedAndNeverCarried) {
    const CString commonTemporary = CString("dst2\\") + CTargetFile::TemporaryName(0);
    const struct {
        const char* what;
        std::string bytes;
        CString temporary;
        const char* bookMap; // after the restore
    } cases[] = {
        {"a file written into the folder", BookMapFile("the new book map"), kTemporary,
         "the new book map"},
        {"the folder's only file kept out",
         Header(1) + Record(4, 0, "", "Data\\MyData", "", 1) +
             Record(4, 0, "\\Data\\MyData", "Company.dat", "theirs", 0),
         kTemporary, "the old book map"},
        {"a file at a root kept out", Header(1) + Record(4, 2, "", "Company.dat", "theirs", 0),
         commonTemporary, "the old book map"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CMemFileSystem dst;
        dst.AddFile(kTarget, "the old book map");
        dst.AddFile(kTemporary, "half of a book map");
        dst.AddFile(commonTemporary, "half of the settings");
        ReadResult result(dst);
        Restore(c.bytes, dst, TargetRoots(), result);
        EXPECT_FALSE(dst.IsFile(c.temporary));
        EXPECT_EQ(c.bookMap, dst.FileBytes(kTarget));
    }
    CMemFileSystem src;
    src.AddFile("src0\\Data\\MyData\\BookMNG.dat", "books");
    src.AddFile(CString("src0\\Data\\MyData\\") + CTargetFile::TemporaryName(0), "half");
    CMigrationContext context(src);
    CMigrationWriter writer(context, SourceRoots());
    ASSERT_TRUE(writer.BuildList());
    EXPECT_EQ(std::string::npos, WriteMigration(src, SourceRoots()).find("half"));
    EXPECT_TRUE(context.m_skipped.empty());
}

// An entry of the temporary name itself would be emptied by its own copy:
// it is not written, and named.  The file of that name in the folder is a
// killed run's, and goes.
TEST(WholeOrNothing, EntryOfTheTemporaryNameIsNotWritten) {
    CMemFileSystem dst;
    dst.AddFile(kTemporary, "left by a killed run");
    ReadResult result(dst);
    Restore(Header(1) + Record(4, 0, "\\Data\\MyData", "~tessaro.tmp", "x", 0), dst, TargetRoots(),
            result);
    EXPECT_FALSE(dst.IsFile(kTemporary));
    ASSERT_EQ(1u, result.context.m_skipped.size());
    EXPECT_EQ(CSkipReason::cannotWrite, result.context.m_skipped[0].nReason);
}

// Another restore writing into the folder at the same time holds its
// temporary file open: the sweep leaves it, this restore takes a name of
// its own, and each file put in place is the one its restore wrote.
TEST(WholeOrNothing, RestoresIntoOneFolderAtOnceKeepToTheirOwnTemporaryFiles) {
    const struct {
        const char* what;
        int open; // temporary names the other restores hold open
        bool written;
    } cases[] = {
        {"no other restore", 0, true},
        {"one other restore", 1, true},
        {"every name taken", CTargetFile::kTemporaryNames, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CMemFileSystem dst;
        dst.AddFile(kTarget, "the old book map");
        dst.AddDirectory("dst0\\Data\\MyData");
        std::vector<std::unique_ptr<CFsFile>> others;
        for (int i = 0; i < c.open; ++i) {
            CFsError error;
            others.push_back(dst.CreateNew(
                CString("dst0\\Data\\MyData\\") + CTargetFile::TemporaryName(i), error));
            ASSERT_NE(nullptr, others.back());
            others.back()->Write("other", 5);
        }
        ReadResult result(dst);
        Restore(BookMapFile("the new book map"), dst, TargetRoots(), result);
        EXPECT_EQ(c.written ? "the new book map" : "the old book map", dst.FileBytes(kTarget));
        EXPECT_EQ(c.written, result.context.m_bBookMapWritten);
        for (int i = 0; i < c.open; ++i)
            EXPECT_EQ("other", dst.FileBytes(CString("dst0\\Data\\MyData\\") +
                                             CTargetFile::TemporaryName(i)));
        for (int i = c.open; i < CTargetFile::kTemporaryNames; ++i)
            EXPECT_FALSE(
                dst.IsFile(CString("dst0\\Data\\MyData\\") + CTargetFile::TemporaryName(i)));
    }
}
