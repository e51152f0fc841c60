#include "Archive.h"
#include "SafeFile_win.h"
#include "ScopedHandle_win.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

// More than one archive buffer, so that bytes reach the file before the end.
std::string NewContent() {
    return std::string(10000, 'n');
}

} // namespace

// The destination changes only with Commit; a writer that stops half-way
// (an exception leaves the object uncommitted) leaves it as it was.
TEST(CSafeFile, DestinationChangesOnlyWhenCommitted) {
    const struct {
        const char* what;
        bool commit;
    } cases[] = {{"committed", true}, {"stopped half-way", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const CString path = dir / "BookMNG.dat";
        WriteFileBytes(path, "old");
        {
            CSafeFile file;
            ASSERT_TRUE(file.Open(path));
            CArchive ar(&file, CArchive::store, 4096);
            ar.Write(NewContent().data(), static_cast<unsigned>(NewContent().size()));
            ar.Flush();
            EXPECT_EQ("old", ReadFileBytes(path));
            if (c.commit) {
                ar.Close();
                file.Commit();
            }
        }
        EXPECT_EQ(c.commit ? NewContent() : std::string("old"), ReadFileBytes(path));
        EXPECT_FALSE(FileExists(CSafeFile::TempPathFor(path)));
    }
}

TEST(CSafeFile, NewFileAppearsOnlyWhenCommitted) {
    TempDir dir;
    const CString path = dir / "表示.dat";
    CSafeFile file;
    ASSERT_TRUE(file.Open(path));
    file.Write("abc", 3);
    EXPECT_FALSE(FileExists(path));
    file.Commit();
    EXPECT_EQ("abc", ReadFileBytes(path));
}

// A destination that another program holds open, whether for reading or
// writing, cannot be replaced: Open says so before anything is written.
TEST(CSafeFile, DestinationHeldElsewhereIsRefused) {
    const struct {
        const char* what;
        DWORD access, share;
    } holders[] = {
        {"reader", GENERIC_READ, FILE_SHARE_READ},
        {"writer", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE},
    };
    for (const auto& h : holders) {
        SCOPED_TRACE(h.what);
        TempDir dir;
        const CString path = dir / "BookMNG.dat";
        WriteFileBytes(path, "old");
        CFileHandle held(
            ::CreateFileA(path, h.access, h.share, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        CSafeFile file;
        CFileException e;
        EXPECT_FALSE(file.Open(path, &e));
        EXPECT_EQ(CFileException::sharingViolation, e.m_cause);
        EXPECT_EQ(path, e.m_strFileName);
        EXPECT_FALSE(FileExists(CSafeFile::TempPathFor(path)));
        held.Close();
        EXPECT_EQ("old", ReadFileBytes(path));
    }
}

// A temporary file of the same name that another writer holds is not
// this object's to remove.
TEST(CSafeFile, ForeignTemporaryFileIsLeftAlone) {
    TempDir dir;
    const CString path = dir / "BookMNG.dat";
    const CString temp = CSafeFile::TempPathFor(path);
    WriteFileBytes(temp, "theirs");
    CFileHandle held(::CreateFileA(temp, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    {
        CSafeFile file;
        EXPECT_FALSE(file.Open(path));
    }
    held.Close();
    EXPECT_EQ("theirs", ReadFileBytes(temp));
    EXPECT_FALSE(FileExists(path));
}
