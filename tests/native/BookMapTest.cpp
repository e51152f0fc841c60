#include "Archive.h"
#include "ExcelFileMap.h"
#include "MemFile.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int c : b)
        s += static_cast<char>(c);
    return s;
}

std::string StoreMap(CExcelFileMap& map) {
    CMemFile mem;
    CArchive ar(&mem, CArchive::store);
    map.Serialize(ar);
    ar.Close();
    return mem.Bytes();
}

void LoadMap(CExcelFileMap& map, const std::string& bytes) {
    CMemFile mem(bytes);
    CArchive ar(&mem, CArchive::load);
    map.Serialize(ar);
}

CDataForExMap Book(int order, const char* file, const char* note = "") {
    CDataForExMap b;
    b.m_nOrder = order;
    b.m_strFileName = file;
    b.m_strNote = note;
    return b;
}

const std::string kOneBook = Bytes({0x01, 0x00,                       // one entry
                                    0x05, 'k',  'y',  'u',  'y', 'o', // key
                                    0x00, 0x00, 0x00, 0x00,           // order 0
                                    0x09, 'k',  'y',  'u',  'y', 'o', '.', 'x', 'l', 's', // file
                                    0x00}); // empty note

} // namespace

TEST(BookMngFile, OneBookExampleBothWays) {
    CExcelFileMap map("x");
    map.m_mapBooks.SetAt("kyuyo", Book(0, "kyuyo.xls"));
    EXPECT_EQ(kOneBook, StoreMap(map));

    CExcelFileMap loaded("x");
    LoadMap(loaded, kOneBook);
    CDataForExMap b;
    ASSERT_TRUE(loaded.m_mapBooks.Lookup("kyuyo", b));
    EXPECT_EQ(0, b.m_nOrder);
    EXPECT_EQ("kyuyo.xls", b.m_strFileName);
    EXPECT_EQ("", b.m_strNote);
    EXPECT_EQ(1, loaded.m_mapBooks.GetCount());
}

TEST(BookMngFile, EmptyMapIsTwoZeroBytes) {
    CExcelFileMap map("x");
    EXPECT_EQ(Bytes({0x00, 0x00}), StoreMap(map));
    CExcelFileMap loaded("x");
    LoadMap(loaded, Bytes({0x00, 0x00}));
    EXPECT_TRUE(loaded.m_mapBooks.IsEmpty());
}

TEST(BookMngFile, DamagedFilesRaiseAndKeepWhatWasRead) {
    const std::string twoBooks =
        Bytes({0x02, 0x00, 0x01, 'a', 0x01, 0x00, 0x00, 0x00, 0x05, 'a', '.', 'x', 'l', 's', 0x00});
    const struct {
        const char* what;
        std::string bytes;
        int booksKept;
    } cases[] = {
        {"zero bytes", "", 0},
        {"count cut", Bytes({0x01}), 0},
        {"cut inside the first entry's order", kOneBook.substr(0, 9), 0},
        {"cut inside the file name", kOneBook.substr(0, 15), 0},
        {"note missing", kOneBook.substr(0, kOneBook.size() - 1), 0},
        {"second entry missing", twoBooks, 1},
        // The count says one: the second record would be lost by a rewrite.
        {"count short of the records",
         "\x01" + twoBooks.substr(1) +
             Bytes({0x01, 'b', 0x02, 0x00, 0x00, 0x00, 0x05, 'b', '.', 'x', 'l', 's', 0x00}),
         1},
        {"a byte after the last record", kOneBook + std::string(1, '\0'), 1},
        {"an empty map and more", Bytes({0x00, 0x00, 0x00}), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CExcelFileMap map("x");
        EXPECT_THROW(LoadMap(map, c.bytes), CArchiveException);
        EXPECT_EQ(c.booksKept, map.m_mapBooks.GetCount());
    }
}

TEST(BookMngFile, KeyMetTwiceKeepsTheLaterRecord) {
    const std::string bytes =
        Bytes({0x02, 0x00, 0x01, 'k',  0x01, 0x00, 0x00, 0x00, 0x01, 'a', 0x00, //
               0x01, 'k',  0x02, 0x00, 0x00, 0x00, 0x01, 'b',  0x01, 'n'});
    CExcelFileMap map("x");
    LoadMap(map, bytes);
    CDataForExMap b;
    ASSERT_TRUE(map.m_mapBooks.Lookup("k", b));
    EXPECT_EQ(1, map.m_mapBooks.GetCount());
    EXPECT_EQ(2, b.m_nOrder);
    EXPECT_EQ("b", b.m_strFileName);
    EXPECT_EQ("n", b.m_strNote);
}

TEST(BookMngFile, LongKeysUseTheirLengthForms) {
    for (int len : {254, 255}) {
        SCOPED_TRACE(len);
        CExcelFileMap map("x");
        const CString key(std::string(static_cast<size_t>(len), 'k'));
        map.m_mapBooks.SetAt(key, Book(3, "k.xls"));
        const std::string bytes = StoreMap(map);
        const std::string prefix =
            len == 254 ? Bytes({0x01, 0x00, 0xFE}) : Bytes({0x01, 0x00, 0xFF, 0xFF, 0x00});
        EXPECT_EQ(prefix, bytes.substr(0, prefix.size()));
        CExcelFileMap loaded("x");
        LoadMap(loaded, bytes);
        CDataForExMap b;
        EXPECT_TRUE(loaded.m_mapBooks.Lookup(key, b));
    }
}

TEST(BookMngFile, ManyRandomBooksSurviveARoundTrip) {
    std::mt19937 rng(20240401); // NOLINT(cert-msc32-c,cert-msc51-cpp): the same books each run
    const char* const pieces[] = {"kyuyo", "給与", "表示", "ソフト", "A", "ｱｲｳ", "_", "2024"};
    CExcelFileMap map("x");
    for (int i = 0; i < 500; ++i) {
        CString key;
        for (int n = 1 + static_cast<int>(rng() % 6); n > 0; --n)
            key += pieces[rng() % 8];
        key.AppendFormat("%d", i);
        map.m_mapBooks.SetAt(key,
                             Book(static_cast<int>(rng()) - 1000, key + ".xls", pieces[rng() % 8]));
    }
    CExcelFileMap loaded("x");
    LoadMap(loaded, StoreMap(map));
    ASSERT_EQ(map.m_mapBooks.GetCount(), loaded.m_mapBooks.GetCount());
    for (POSITION pos = map.m_mapBooks.GetStartPosition(); pos;) {
        CString key;
        CDataForExMap want, got;
        map.m_mapBooks.GetNextAssoc(pos, key, want);
        ASSERT_TRUE(loaded.m_mapBooks.Lookup(key, got)) << key.GetString();
        EXPECT_EQ(want.m_nOrder, got.m_nOrder);
        EXPECT_EQ(want.m_strFileName, got.m_strFileName);
        EXPECT_EQ(want.m_strNote, got.m_strNote);
    }
}
