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

// A killed restore leaves its temporary file, marked; the next restore into
// that folder removes it, whether it writes a file there or keeps every file
// of the folder out, and "作成" never carries it.
TEST(WholeOrNothing, TemporaryFileOfAKilledRunIsRemovedAndNeverCarried) {
    const CString commonTemporary = CString("dst2\\") + CTargetFile::TemporaryName(0);
    const std::string half = CTargetFile::Mark() + "half of a book map";
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
    // Killed before the mark went in, while the content went in, or while
    // the first bytes went over the start mark and an older file's
    // replacement was flushed.
    const std::string whole = "the whole of a book map";
    const std::string killedAt[] = {"", half, whole + CTargetFile::Mark(),
                                    "x" + CTargetFile::Mark().substr(1) + CTargetFile::Mark()};
    for (const std::string& left : killedAt)
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + ", " + std::to_string(left.size()) + " bytes left");
            CMemFileSystem dst;
            dst.AddFile(kTarget, "the old book map");
            dst.AddFile(kTemporary, left);
            dst.AddFile(commonTemporary, left);
            ReadResult result(dst);
            Restore(c.bytes, dst, TargetRoots(), result);
            EXPECT_FALSE(dst.IsFile(c.temporary));
            EXPECT_EQ(c.bookMap, dst.FileBytes(kTarget));
        }
    CMemFileSystem src;
    src.AddFile("src0\\Data\\MyData\\BookMNG.dat", "books");
    src.AddFile(CString("src0\\Data\\MyData\\") + CTargetFile::TemporaryName(0), half);
    CMigrationContext context(src);
    CMigrationWriter writer(context, SourceRoots());
    ASSERT_TRUE(writer.BuildList());
    EXPECT_EQ(std::string::npos, WriteMigration(src, SourceRoots()).find("half"));
    EXPECT_TRUE(context.m_skipped.empty());
}

// A file of a temporary name without the mark (or with only a part of it)
// and not empty is a user's own: a restore into its folder keeps it, "作成" carries it,
// and an entry of that name replaces it whole like any other file.
TEST(WholeOrNothing, UsersOwnFileOfATemporaryNameIsAFileLikeAnyOther) {
    const std::string mark = CTargetFile::Mark();
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"text", "the user's own notes"},
        {"one byte", "x"},
        {"the mark's first half", mark.substr(0, mark.size() / 2)},
        {"the mark off by its last byte", mark.substr(0, mark.size() - 1) + "!rest"},
        {"the mark at the end of too short a file", "ab" + mark},
        {"the mark in the middle", std::string(20, 'a') + mark + "b"},
    };
    for (int i : {0, CTargetFile::kTemporaryNames - 1}) {
        const CString name = CTargetFile::TemporaryName(i);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + " named " + name.str());
            CMemFileSystem dst;
            const CString mine = CString("dst0\\Data\\MyData\\") + name;
            dst.AddFile(mine, c.bytes);
            ReadResult result(dst);
            Restore(BookMapFile("the new book map"), dst, TargetRoots(), result);
            EXPECT_EQ("the new book map", dst.FileBytes(kTarget));
            ASSERT_TRUE(dst.IsFile(mine));
            EXPECT_EQ(c.bytes, dst.FileBytes(mine));

            CMemFileSystem src;
            src.AddFile(CString("src0\\Data\\MyData\\") + name, c.bytes + "+");
            const std::string file = WriteMigration(src, SourceRoots());
            EXPECT_NE(std::string::npos, file.find(name.str()));

            ReadResult again(dst);
            Restore(file, dst, TargetRoots(), again);
            EXPECT_EQ(c.bytes + "+", dst.FileBytes(mine));
            EXPECT_TRUE(again.context.m_skipped.empty());
            EXPECT_EQ(1, again.context.m_nWritten);
        }
    }
}

// Restored by its own entry into a folder where it is new, the file of the
// first temporary name is written under another and renamed to its name.
// Content shorter than the mark, as long and longer come out exact.
TEST(WholeOrNothing, EntryOfATemporaryNameIsWrittenWhole) {
    const size_t n = CTargetFile::Mark().size();
    for (const size_t length : {size_t{1}, n - 1, n, n + 1, size_t{200000}}) {
        SCOPED_TRACE(length);
        const std::string content(length, 'c');
        CMemFileSystem dst;
        dst.AddDirectory("dst0\\Data\\MyData");
        ReadResult result(dst);
        Restore(Header(1) + Record(4, 0, "\\Data\\MyData", "~tessaro.tmp", content, 0), dst,
                TargetRoots(), result);
        EXPECT_EQ(content, dst.FileBytes("dst0\\Data\\MyData\\~tessaro.tmp"));
        EXPECT_EQ(1, result.context.m_nWritten);
        EXPECT_TRUE(result.context.m_skipped.empty());
        const std::vector<CString> expected = {"dst0", "dst0\\Data", "dst0\\Data\\MyData",
                                               "dst0\\Data\\MyData\\~tessaro.tmp"};
        EXPECT_EQ(expected, dst.Paths());
    }
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

namespace {

// Windows answers "access denied", and no status, for a file that another
// restore has marked for deletion and still holds: as this one does for
// the names given it.
class CPendingNamesFileSystem : public CMemFileSystem {
public:
    explicit CPendingNamesFileSystem(int nHeld) : m_nHeld(nHeld) {}
    std::unique_ptr<CFsFile> CreateNew(const CString& strPath, CFsError& error) override {
        for (int i = 0; i < m_nHeld; ++i)
            if (strPath == CString("dst0\\Data\\MyData\\") + CTargetFile::TemporaryName(i)) {
                error.bDenied = true;
                error.strCause = strPath + " へのアクセスが拒否されました。";
                return nullptr;
            }
        return CMemFileSystem::CreateNew(strPath, error);
    }

private:
    int m_nHeld;
};

} // namespace

// Names another restore holds that way are passed over like names that are
// taken; only when every one is held is the file not written, and the
// reason says what holds them.
TEST(WholeOrNothing, NamesHeldByFilesMarkedForDeletionArePassedOver) {
    for (const int held : {1, CTargetFile::kTemporaryNames}) {
        SCOPED_TRACE(held);
        CPendingNamesFileSystem dst(held);
        dst.AddFile(kTarget, "the old book map");
        ReadResult result(dst);
        Restore(BookMapFile("the new book map"), dst, TargetRoots(), result);
        const bool written = held < CTargetFile::kTemporaryNames;
        EXPECT_EQ(written ? "the new book map" : "the old book map", dst.FileBytes(kTarget));
        if (written) {
            EXPECT_TRUE(result.context.m_skipped.empty());
        } else {
            ASSERT_EQ(1u, result.context.m_skipped.size());
            EXPECT_NE(std::string::npos,
                      result.context.m_skipped[0].strCause.str().find(
                          "10 by files of those names (other restores' live files"))
                << result.context.m_skipped[0].strCause.GetString();
        }
    }
}
