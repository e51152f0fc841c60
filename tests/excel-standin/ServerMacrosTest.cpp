// The macros through the real server: books in a temporary product tree,
// named the way the product names them.
#include "ExcelStandinControl.h"
#include "RegKey.h"
#include "ServerFixture.h"

#include <utility>

namespace {

using Lines = std::vector<CString>;

ScopedVariant Protection() {
    return ScopedVariant::Str("KARVINE");
}

void ExpectBool(bool expected, const InvokeResult& r) {
    ASSERT_EQ(S_OK, r.hr) << std::hex << r.hr << " " << r.description.GetString();
    EXPECT_EQ(VT_BOOL, r.value.v.vt);
    EXPECT_EQ(expected ? VARIANT_TRUE : VARIANT_FALSE, r.value.v.boolVal);
}

} // namespace

TEST_F(ServerTest, MacrosCarryTheirSectionsIntoTheTarget) {
    StartWithConverter();
    const Lines company = {"Name=株式会社サンプル", "Code=表示"};
    const Lines active = {"0001,山田 太郎,0", "0003,能見 一郎,0"};
    const Lines all = {"0001,山田 太郎,0", "0002,ソフト 花子,1", "0003,能見 一郎,0"};
    const Lines book = {"Kind=Payroll", "Template=2026.1", "Protected=0", "Year=2026"};
    const struct {
        const char* macro;
        ScopedVariantMaker middle;
        std::vector<std::pair<const char*, Lines>> changed; // the rest stays the template's
    } cases[] = {
        {"会社情報コンバート", [] { return ScopedVariant::Str(""); }, {{"Company", company}}},
        {"会社情報コンバート",
         [] { return ScopedVariant::Str("令和8年度"); },
         {{"Company", {"Name=株式会社サンプル", "Code=表示", "Option=令和8年度"}}}},
        {"社員名簿コンバート", [] { return ScopedVariant::I4(0); }, {{"Employees", all}}},
        {"社員名簿コンバート", [] { return ScopedVariant::I4(1); }, {{"Employees", active}}},
        {"給与データコンバート", Protection, {{"PayData", {"2026-04,0001,基本給=300000"}}}},
        {"給与明細コンバート", Protection, {{"Payslips", {"2026-04,0001,差引支給額=245000"}}}},
        {"賞与明細コンバート", Protection, {{"BonusSlips", {"2026-06,0001,賞与=500000"}}}},
        {"源泉徴収票コンバート", Protection, {{"Withholding", {"2025,0001,源泉徴収税額=120000"}}}},
        {"勤怠コンバート", Protection, {{"Attendance", {"2026-04,0001,出勤=20"}}}},
        {"差引徴収税額再計算",
         Protection,
         {{"Book",
           {"Kind=Payroll", "Template=2026.1", "Protected=0", "Year=2026", "TaxRecalculated=1"}}}},
        {"年度更新コンバート",
         Protection,
         {{"Book", {"Kind=Payroll", "Template=2026.1", "Protected=0", "Year=2027"}},
          {"Company", company},
          {"Employees", active}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.macro);
        SaveBook(ExcelPath("旧表示.xls"), SamplePayroll());
        SaveBook(ExcelPath("表示.xls"), SampleTemplate());
        ExpectBool(true, m_client.Run(c.macro, Args(ScopedVariant::Str("旧表示.xls"), c.middle(),
                                                    ScopedVariant::Str("表示.xls"))));
        const CStandinWorkbook target = LoadBook(ExcelPath("表示.xls"));
        const CStandinWorkbook fresh = SampleTemplate();
        for (const auto& section : fresh.Sections()) {
            SCOPED_TRACE(section.name.GetString());
            Lines expected = section.lines;
            for (const auto& [name, lines] : c.changed)
                if (section.name == name)
                    expected = lines;
            EXPECT_EQ(expected, SectionOf(target, section.name));
        }
    }
}

TEST_F(ServerTest, RefusedMacrosAnswerFalseAndLeaveTheTargetAlone) {
    StartWithConverter();
    const struct {
        const char* macro;
        const char* source;
        ScopedVariantMaker middle;
        const char* target;
        bool protectSource, protectTarget;
        const char* reason;
    } cases[] = {
        {"給与データコンバート", "old.xls", [] { return ScopedVariant::Str("karvine"); }, "new.xls",
         false, false, "wrong protection text: karvine"},
        {"勤怠コンバート", "old.xls", [] { return ScopedVariant::Str(""); }, "new.xls", false,
         false, "wrong protection text: "},
        {"給与明細コンバート", "nothing.xls", Protection, "new.xls", false, false,
         "source not found: "},
        {"賞与明細コンバート", "old.xls", Protection, "nothing.xls", false, false,
         "target not found: "},
        {"源泉徴収票コンバート", "old.xls", Protection, "new.xls", true, false,
         "source is protected"},
        {"年度更新コンバート", "old.xls", Protection, "new.xls", false, true,
         "target is protected"},
        {"会社情報コンバート", "old.xls", [] { return ScopedVariant::Str(""); }, "new.xls", true,
         false, "source is protected"},
        {"社員名簿コンバート", "old.xls", [] { return ScopedVariant::I2(0); }, "new.xls", false,
         false, "argument 2 is I2, not I4"},
        {"社員名簿コンバート", "old.xls", [] { return ScopedVariant::Str("0"); }, "new.xls", false,
         false, "argument 2 is BSTR, not I4"},
        {"社員名簿コンバート", "old.xls", [] { return ScopedVariant::I4(2); }, "new.xls", false,
         false, "employee list mode 2 is neither 0 nor 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.macro << " " << c.reason);
        CStandinWorkbook source = SamplePayroll(), target = SampleTemplate();
        source.SetValue("Book", "Protected", c.protectSource ? "1" : "0");
        target.SetValue("Book", "Protected", c.protectTarget ? "1" : "0");
        ::DeleteFileA(ExcelPath("nothing.xls"));
        SaveBook(ExcelPath("old.xls"), source);
        SaveBook(ExcelPath("new.xls"), target);
        const std::string before = ReadFileBytes(ExcelPath("new.xls"));
        ASSERT_TRUE(ExcelStandin::ClearLog());
        ExpectBool(false, m_client.Run(c.macro, Args(ScopedVariant::Str(c.source), c.middle(),
                                                     ScopedVariant::Str(c.target))));
        EXPECT_EQ(before, ReadFileBytes(ExcelPath("new.xls")));
        const auto reasons = LogTextsStartingWith("Reason\t");
        ASSERT_EQ(1u, reasons.size());
        EXPECT_EQ(0, reasons[0].Find(CString("Reason\t") + c.reason)) << reasons[0].GetString();
    }
}

TEST_F(ServerTest, CheckProtectIsTrueExactlyForAProtectedBook) {
    StartWithConverter();
    const struct {
        const char* protectedLine; // nullptr: no such line
        const char* name;          // the argument; "*" is the book's absolute path
        bool expected;
    } cases[] = {
        {"Protected=1", "book.xls", true},  {"Protected=0", "book.xls", false},
        {"Protected=2", "book.xls", false}, {nullptr, "book.xls", false},
        {"Protected=1", "*", true},         {"Protected=1", "missing.xls", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.protectedLine ? c.protectedLine : "none") << " " << c.name);
        CStandinWorkbook book;
        book.Parse(std::string("[Book]\r\nKind=Payroll\r\n") +
                   (c.protectedLine ? c.protectedLine : "") + "\r\n");
        SaveBook(ExcelPath("book.xls"), book);
        const CString name = CString(c.name) == "*" ? ExcelPath("book.xls") : CString(c.name);
        ExpectBool(c.expected, m_client.Run("CheckProtect", Args(ScopedVariant::Str(name))));
    }
    SCOPED_TRACE("not a stand-in workbook");
    static const char kBinary[] = "\xD0\xCF\x11\xE0\0\0[Book]\r\nProtected=1\r\n";
    WriteFileBytes(ExcelPath("binary.xls"), std::string(kBinary, sizeof kBinary - 1));
    ExpectBool(false, m_client.Run("CheckProtect", Args(ScopedVariant::Str("binary.xls"))));
}

// The product's DataDir moves the "Excel" folder; without it the product
// directory, two levels above the converter workbook, holds it.
TEST_F(ServerTest, RelativeBookNamesFollowTheProductDataDirectory) {
    StartWithConverter();
    TempDir dataDir;
    ASSERT_TRUE(::CreateDirectoryA(dataDir / "Excel", nullptr));
    CStandinWorkbook book = SamplePayroll();
    book.SetValue("Book", "Protected", "1");
    const struct {
        const char* dataDirValue; // nullptr: no value; "*": the data folder; "*\\": with backslash
        bool inDataDir;           // where the protected book lies
        bool found;
    } cases[] = {
        {nullptr, false, true}, {nullptr, true, false}, {"*", true, true},
        {"*\\", true, true},    {"*", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.dataDirValue ? c.dataDirValue : "none") << " " << c.inDataDir);
        ::DeleteFileA(ExcelPath("表.xls"));
        ::DeleteFileA(dataDir / "Excel\\表.xls");
        SaveBook(c.inDataDir ? dataDir / "Excel\\表.xls" : ExcelPath("表.xls"), book);
        CRegKey env;
        ASSERT_EQ(ERROR_SUCCESS, env.Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\QZ\\Morvane\\Env"));
        if (c.dataDirValue)
            env.SetString("DataDir", dataDir.Path() + (c.dataDirValue + 1));
        else
            env.DeleteValue("DataDir");
        ExpectBool(c.found, m_client.Run("CheckProtect", Args(ScopedVariant::Str("表.xls"))));
    }
}
