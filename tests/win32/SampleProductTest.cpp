// The sample installation of any size, for the benchmarks: the two books of
// the tests first, then as many more as asked for.
#include "ExcelFileMap.h"
#include "ProductFixture.h"
#include "SampleProduct.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

namespace {

bool Exists(const CString& path) {
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

TEST(SampleProduct, EveryBookGetsItsMapEntryAndWorkbooksEveryOtherOneAnAttendanceBook) {
    const struct {
        int books;
        std::vector<const char*> keys;
        std::vector<bool> attendance;
    } cases[] = {
        {1, {"kyuyo"}, {true}},
        {2, {"kyuyo", "表参道店"}, {true, false}},
        {5,
         {"kyuyo", "表参道店", "支店003", "支店004", "支店005"},
         {true, false, true, false, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.books);
        TempDir dir;
        SampleProductOptions options = UnregisteredSample();
        options.nBooks = c.books;
        ASSERT_TRUE(LaidSample(dir.Path(), options));
        CExcelFileMap map(dir.Path() + "\\Data\\MyData\\BookMNG.dat");
        map.Load();
        EXPECT_EQ(c.books, static_cast<int>(map.m_mapBooks.GetCount()));
        for (size_t i = 0; i < c.keys.size(); ++i) {
            SCOPED_TRACE(c.keys[i]);
            CDataForExMap book;
            ASSERT_TRUE(map.m_mapBooks.Lookup(c.keys[i], book));
            EXPECT_EQ(CString(c.keys[i]) + ".xls", book.m_strFileName);
            const CString excel = dir.Path() + "\\Excel\\";
            EXPECT_TRUE(Exists(excel + book.m_strFileName));
            EXPECT_EQ(c.attendance[i], Exists(excel + "勤怠_" + book.m_strFileName));
        }
    }
}
