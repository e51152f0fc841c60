#include "ProductPaths.h"

#include <gtest/gtest.h>

namespace {

// The three folders as the environment record holds them.
struct SampleRecord {
    CString m_strProgramDir;
    CString m_strInstallDir;
    CString m_strDataDir;
};

// Each path of the installation, below the folder it belongs to.
struct Expected {
    const char* program;
    const char* product;
    const char* data;
};

void ExpectEveryPath(const SampleRecord& record, const Expected& folder) {
    const CProductPaths paths(record);
    const CString program(folder.program), product(folder.product), data(folder.data);
    EXPECT_EQ(program + "\\Exe\\Quimbex.exe", paths.QuimbexProgram());
    EXPECT_EQ(product + "\\Data", paths.DataFolder());
    EXPECT_EQ(product + "\\Data\\MyData", paths.MyDataFolder());
    EXPECT_EQ(product + "\\Data\\MyData\\BookMNG.dat", paths.BookMap());
    EXPECT_EQ(product + "\\Data\\MyData\\ExType1.dat", paths.XlsMarker());
    EXPECT_EQ(product + "\\Data\\MyData\\ExType2.dat", paths.XlsmMarker());
    EXPECT_EQ(product + "\\Data\\MyData\\ExConv.dat", paths.ConversionRequest());
    EXPECT_EQ(product + "\\Data\\MyData\\ExMng.dat", paths.ConversionDone());
    EXPECT_EQ(product + "\\Data\\MyData\\acck.sys", paths.WriteProbe());
    EXPECT_EQ(product + "\\Data\\MyData\\App.tmp", paths.AppTmp());
    EXPECT_EQ(product + "\\Data\\Org\\Kyuyo.xls", paths.PayrollTemplate(".xls"));
    EXPECT_EQ(product + "\\Data\\Org\\勤怠_kyuyo.xlsm", paths.AttendanceTemplate(".xlsm"));
    EXPECT_EQ(product + "\\Data\\Org\\xlConv2.xlsm", paths.Converter(".xlsm"));
    EXPECT_EQ(data + "\\Excel", paths.ExcelFolder());
    EXPECT_EQ(data + "\\Excel\\表.xls", paths.ExcelFile("表.xls"));
    EXPECT_EQ(data + "\\Excel\\Backup_Kyuyo.xlsm", paths.SourceBookCopy(".xlsm"));
    EXPECT_EQ(data + "\\Excel\\20240401153012", paths.SafetyFolder("20240401153012"));
}

} // namespace

// A folder ending in a trail byte 0x5C ("ソ", "表") still needs its
// separator; one given with a trailing "\" or "/" gets no second one.
TEST(ProductPaths, EachPathFromTheRecordsFolders) {
    const struct {
        SampleRecord record;
        Expected folder;
    } cases[] = {
        {{"C:\\Prog", "C:\\Prod", "D:\\Data"}, {"C:\\Prog", "C:\\Prod", "D:\\Data"}},
        {{"C:\\ソ", "C:\\ソフト\\表", "D:\\能"}, {"C:\\ソ", "C:\\ソフト\\表", "D:\\能"}},
        {{"C:\\Prog\\", "C:\\ソフト\\", "D:\\Data/"}, {"C:\\Prog", "C:\\ソフト", "D:\\Data"}},
        {{"C:\\ソ\\", "C:\\表\\", "D:\\"}, {"C:\\ソ", "C:\\表", "D:"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record.m_strInstallDir.GetString());
        ExpectEveryPath(c.record, c.folder);
    }
}

// Where only one folder is known, its paths are those of a whole record.
TEST(ProductPaths, OneFolderGivesThePathsBelowIt) {
    EXPECT_EQ("C:\\表\\Data\\Org\\xlConv2.xls",
              CProductPaths::OfProduct("C:\\表").Converter(".xls"));
    EXPECT_EQ("D:\\ソ\\Excel\\a.xls", CProductPaths::OfData("D:\\ソ").ExcelFile("a.xls"));
}
