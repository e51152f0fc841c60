#include "Exception.h"
#include "ExcelFileMap.h"
#include "MsgBoxAnswerer.h"
#include "FullDisk.h"
#include "ScopedHandle_win.h"
#include "TempDir.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

const char kDamaged[] = "ブック管理データファイルが壊れています。";

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int c : b)
        s += static_cast<char>(c);
    return s;
}

class BookMngFile : public testing::Test {
protected:
    TempDir m_dir;
    CString m_path = m_dir / "BookMNG.dat";
    MsgBoxAnswerer m_answers;

    int Load(CExcelFileMap& map) { return map.Load(); }
    std::vector<MsgBoxAnswerer::Seen> Boxes() { return m_answers.Boxes(); }
};

} // namespace

TEST_F(BookMngFile, LoadOfGoodEmptyAndDamagedFiles) {
    const struct {
        const char* what;
        std::string bytes;
        int result;
        int books;
        bool damaged;
    } cases[] = {
        {"one book", Bytes({1, 0, 5, 'k', 'y', 'u', 'y', 'o', 0, 0, 0, 0, 1, 'x', 0}), 1, 1, false},
        {"empty map", Bytes({0, 0}), 1, 0, false},
        {"zero bytes", "", 0, 0, true},
        {"cut inside an entry", Bytes({1, 0, 5, 'k', 'y', 'u'}), 0, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileBytes(m_path, c.bytes);
        m_answers.Clear();
        CExcelFileMap map(m_path);
        EXPECT_EQ(c.result, map.Load());
        EXPECT_EQ(c.books, map.m_mapBooks.GetCount());
        const auto boxes = Boxes();
        if (c.damaged) {
            ASSERT_EQ(1u, boxes.size());
            EXPECT_EQ(kDamaged, boxes[0].text);
            EXPECT_EQ("Quimbex", boxes[0].caption);
        } else {
            EXPECT_TRUE(boxes.empty());
        }
    }
}

TEST_F(BookMngFile, MissingFileGivesZeroWithoutMessage) {
    CExcelFileMap map(m_path);
    map.m_mapBooks.SetAt("before", CDataForExMap());
    EXPECT_EQ(0, map.Load());
    EXPECT_EQ(1, map.m_mapBooks.GetCount()); // the map stays as it was
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(BookMngFile, FileHeldForWritingElsewhereIsNotRead) {
    WriteFileBytes(m_path, Bytes({0, 0}));
    CFileHandle writer(::CreateFileA(m_path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    CExcelFileMap map(m_path);
    EXPECT_EQ(0, map.Load());
    EXPECT_EQ(0, map.Save()); // saving needs the file to itself
    writer.Close();
    EXPECT_EQ(Bytes({0, 0}), ReadFileBytes(m_path));
    EXPECT_FALSE(FileExists(m_path + ".tmp"));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(BookMngFile, SaveAndLoadAgain) {
    CExcelFileMap map(m_path);
    CDataForExMap book;
    book.m_nOrder = 2;
    book.m_strFileName = "表示.xlsm";
    book.m_strNote = "メモ";
    map.m_mapBooks.SetAt("ソフト", book);
    ASSERT_EQ(1, map.Save());
    CExcelFileMap loaded(m_path);
    ASSERT_EQ(1, loaded.Load());
    CDataForExMap got;
    ASSERT_TRUE(loaded.m_mapBooks.Lookup("ソフト", got));
    EXPECT_EQ(2, got.m_nOrder);
    EXPECT_EQ("表示.xlsm", got.m_strFileName);
    EXPECT_EQ("メモ", got.m_strNote);
}

// The disk fills up while the list is written: the file error goes on to
// the caller, and the old file stays byte for byte beside no temporary file.
TEST_F(BookMngFile, FullDiskLeavesTheOldFile) {
    FullDisk dir(1024);
    if (!dir.IsMounted())
        GTEST_SKIP() << FullDisk::kNoDisk;
    const CString path = dir.Path() + "\\BookMNG.dat";
    const std::string old = Bytes({1, 0, 5, 'k', 'y', 'u', 'y', 'o', 0, 0, 0, 0, 1, 'x', 0});
    WriteFileBytes(path, old);
    ASSERT_TRUE(dir.Fill());
    // Several blocks of the drive: more than the old file frees.
    CExcelFileMap map(path);
    for (int i = 0; i < 1000; ++i) {
        CDataForExMap book;
        book.m_strFileName.Format("給与%03d.xlsm", i);
        map.m_mapBooks.SetAt(book.m_strFileName, book);
    }
    try {
        map.Save();
        ADD_FAILURE() << "Save wrote on a full disk";
    } catch (const CFileException& e) {
        EXPECT_EQ(CFileException::diskFull, e.m_cause);
    }
    EXPECT_EQ(old, ReadFileBytes(path));
    EXPECT_FALSE(FileExists(path + ".tmp"));
    EXPECT_TRUE(Boxes().empty());
}
