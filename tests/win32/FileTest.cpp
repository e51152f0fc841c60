#include "File_win.h"
#include "ScopedHandle_win.h"
#include "TempDir.h"

#include <gtest/gtest.h>

TEST(CFile, ConflictingSecondOpenFailsWithSharingViolation) {
    TempDir dir;
    const CString path = dir / "表示.dat";
    WriteFileBytes(path, "abc");
    const struct {
        UINT first, second;
        bool opens;
    } cases[] = {
        {CFile::modeRead | CFile::shareDenyWrite, CFile::modeWrite | CFile::shareDenyNone, false},
        {CFile::modeRead | CFile::shareDenyWrite, CFile::modeRead | CFile::shareDenyNone, true},
        {CFile::modeWrite | CFile::shareExclusive, CFile::modeRead | CFile::shareDenyNone, false},
        {CFile::modeWrite | CFile::shareDenyNone, CFile::modeRead | CFile::shareDenyWrite, false},
        {CFile::modeRead | CFile::shareDenyNone, CFile::modeRead | CFile::shareDenyNone, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.first << " then " << c.second);
        CFile first;
        ASSERT_TRUE(first.Open(path, c.first));
        CFile second;
        CFileException e;
        EXPECT_EQ(c.opens, second.Open(path, c.second, &e) != FALSE);
        if (!c.opens) {
            EXPECT_EQ(CFileException::sharingViolation, e.m_cause);
            EXPECT_EQ(ERROR_SHARING_VIOLATION, e.m_lOsError);
            EXPECT_EQ(path, e.m_strFileName);
        }
    }
}

TEST(CFile, RenameOfAFileHeldOpenWithoutDeleteSharingFails) {
    TempDir dir;
    const CString path = dir / "kyuyo.xls";
    WriteFileBytes(path, "book");
    CFileHandle held(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    try {
        CFile::Rename(path, dir / "backup.xls");
        ADD_FAILURE() << "rename succeeded";
    } catch (const CFileException& e) {
        EXPECT_TRUE(e.m_cause == CFileException::accessDenied ||
                    e.m_cause == CFileException::sharingViolation)
            << e.m_cause;
        EXPECT_EQ(path, e.m_strFileName);
    }
    held.Close();
    EXPECT_TRUE(FileExists(path));
    CFile::Rename(path, dir / "backup.xls");
    EXPECT_TRUE(FileExists(dir / "backup.xls"));
}

TEST(CFile, MissingFilesRaiseTheirCauses) {
    TempDir dir;
    CFileException e;
    CFile f;
    EXPECT_FALSE(f.Open(dir / "none.dat", CFile::modeRead, &e));
    EXPECT_EQ(CFileException::fileNotFound, e.m_cause);
    EXPECT_FALSE(f.Open(dir / "no\\such\\dir.dat", CFile::modeRead, &e));
    EXPECT_EQ(CFileException::badPath, e.m_cause);
    try {
        CFile::Remove(dir / "none.dat");
        ADD_FAILURE() << "remove succeeded";
    } catch (const CFileException& ex) {
        EXPECT_EQ(CFileException::fileNotFound, ex.m_cause);
    }
    CFileStatus status;
    EXPECT_FALSE(CFile::GetStatus(dir / "none.dat", status));
}

TEST(CFile, StatusAndReadWrite) {
    TempDir dir;
    const CString path = dir / "data.bin";
    {
        CFile out(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
        out.Write("12345", 5);
        out.Close();
    }
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path, status));
    EXPECT_EQ(5u, status.m_size);
    CFile in(path, CFile::modeRead | CFile::shareDenyWrite);
    char buf[8];
    EXPECT_EQ(5u, in.Read(buf, sizeof buf));
    EXPECT_EQ(0u, in.Read(buf, sizeof buf));
}

// Clearing the modification time changes only the attributes: the hidden
// marker of a file is switched off and on without touching its time.
TEST(CFile, SetStatusChangesTheTimeOnlyWhenOneIsGiven) {
    TempDir dir;
    const CString path = dir / "App.tmp";
    WriteFileBytes(path, "x");
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path, status));
    const CTime before = status.m_mtime;
    const struct {
        BYTE attribute;
        DWORD expected;
    } cases[] = {
        // Wine run by a standard user takes the write permission away before
        // it writes the extended attribute that holds "hidden", which it then
        // may not write: read-only and hidden at once keeps "hidden" only on a
        // file that was hidden already (Windows sets both on any file).
        {CFile::hidden, FILE_ATTRIBUTE_HIDDEN},
        {CFile::readOnly | CFile::hidden, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN},
        {CFile::normal, 0},
        {CFile::readOnly, FILE_ATTRIBUTE_READONLY},
        {CFile::normal, 0},
    };
    // Wine adds the archive bit to every file; only these three are ours.
    const DWORD kOurs = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.attribute));
        status.m_mtime = CTime();
        status.m_attribute = c.attribute;
        CFile::SetStatus(path, status);
        EXPECT_EQ(c.expected, ::GetFileAttributesA(path) & kOurs);
        CFileStatus now;
        ASSERT_TRUE(CFile::GetStatus(path, now));
        EXPECT_EQ(before.GetTime(), now.m_mtime.GetTime());
    }
    status.m_mtime = CTime(before.GetTime() - 86400);
    CFile::SetStatus(path, status);
    CFileStatus now;
    ASSERT_TRUE(CFile::GetStatus(path, now));
    EXPECT_EQ(before.GetTime() - 86400, now.m_mtime.GetTime());
    try {
        CFile::SetStatus(dir / "none.tmp", status);
        ADD_FAILURE() << "a missing file took a status";
    } catch (const CFileException& e) {
        EXPECT_EQ(CFileException::fileNotFound, e.m_cause);
    }
}
