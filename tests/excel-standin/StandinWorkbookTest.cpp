#include "StandinWorkbook.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<CString>;

CStandinWorkbook Parsed(const std::string& text) {
    CStandinWorkbook book;
    book.Parse(text);
    return book;
}

} // namespace

// The bytes of a small book: CP932 text, CRLF line ends, no blank lines.
TEST(StandinWorkbook, SerializesSectionsAsCrlfLinesInCp932) {
    CStandinWorkbook book;
    book.SetValue("Book", "Kind", "Payroll");
    book.Lines("Company").push_back("Name=表");
    book.Lines("PayData");
    const std::string expected = "[Book]\r\n"
                                 "Kind=Payroll\r\n"
                                 "[Company]\r\n"
                                 "Name=\x95\x5C\r\n" // 表: lead 0x95, trail 0x5C
                                 "[PayData]\r\n";
    EXPECT_EQ(expected, book.Serialize());
}

TEST(StandinWorkbook, ParseKeepsSectionsAndLinesInOrder) {
    const struct {
        const char* name;
        std::string text;
        std::vector<std::pair<const char*, Lines>> sections;
    } cases[] = {
        {"CRLF",
         "[Book]\r\nKind=Payroll\r\n[Employees]\r\n0001,山田,0\r\n0002,表,1\r\n",
         {{"Book", {"Kind=Payroll"}}, {"Employees", {"0001,山田,0", "0002,表,1"}}}},
        {"LF, blank lines, no final line end",
         "[Book]\n\nKind=X\n  \n[Company]\nName=ソ",
         {{"Book", {"Kind=X"}}, {"Company", {"Name=ソ"}}}},
        {"lines before the first header", "loose\r\n[Book]\r\n", {{"", {"loose"}}, {"Book", {}}}},
        {"header with blanks", "  [ Book ]  \r\nx\r\n", {{"Book", {"x"}}}},
        // ゾ is 83 5D: its trail byte looks like ']' but closes no header.
        {"trail byte 0x5D", "[Book]\r\n[ゾ\r\n[ゾ]\r\n", {{"Book", {"[ゾ"}}, {"ゾ", {}}}},
        {"empty brackets are a line", "[Book]\r\n[]\r\n", {{"Book", {"[]"}}}},
        {"empty text", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CStandinWorkbook book = Parsed(c.text);
        ASSERT_EQ(c.sections.size(), book.Sections().size());
        for (size_t i = 0; i < c.sections.size(); ++i) {
            EXPECT_EQ(CString(c.sections[i].first), book.Sections()[i].name);
            EXPECT_EQ(c.sections[i].second, book.Sections()[i].lines);
        }
    }
}

TEST(StandinWorkbook, LinesBeforeTheFirstHeaderAreWrittenBackFirst) {
    CStandinWorkbook book = Parsed("[Book]\r\nKind=Payroll\r\n");
    book.Lines("").push_back("; made by hand");
    EXPECT_EQ("; made by hand\r\n[Book]\r\nKind=Payroll\r\n", book.Serialize());
    EXPECT_EQ(book.Serialize(), Parsed(book.Serialize()).Serialize());
}

TEST(StandinWorkbook, ValuesAreFoundByKeyIgnoringCaseCommentsAndOtherLines) {
    CStandinWorkbook book = Parsed("[Book]\r\n; Kind=Comment\r\nfree text\r\n kind = Payroll \r\n"
                                   "Kind=Second\r\nNote=a=b\r\n[Company]\r\nName=表示\r\n");
    EXPECT_EQ(CString("Payroll"), book.GetValue("Book", "Kind"));
    EXPECT_EQ(CString("a=b"), book.GetValue("book", "NOTE"));
    EXPECT_EQ(CString("表示"), book.GetValue("Company", "Name"));
    EXPECT_EQ(CString("none"), book.GetValue("Company", "Kind", "none"));
    EXPECT_EQ(CString("none"), book.GetValue("Missing", "Kind", "none"));

    book.SetValue("Book", "KIND", "Attendance");
    book.SetValue("Book", "Year", "2027");
    EXPECT_EQ((Lines{"; Kind=Comment", "free text", "KIND=Attendance", "Kind=Second", "Note=a=b",
                     "Year=2027"}),
              book.FindSection("Book")->lines);
}

TEST(StandinWorkbook, OnlyABookWithABookSectionIsAWorkbook) {
    EXPECT_TRUE(Parsed("[Book]\r\n").IsWorkbook());
    EXPECT_TRUE(Parsed("[book]\r\n").IsWorkbook());
    EXPECT_FALSE(Parsed("[Company]\r\nName=x\r\n").IsWorkbook());
    EXPECT_FALSE(Parsed(std::string("\xD0\xCF\x11\xE0\0\0[Book]", 12)).IsWorkbook());
}

TEST(StandinWorkbook, ProtectedMeansExactlyOne) {
    const struct {
        const char* line;
        bool expected;
    } cases[] = {{"Protected=1", true},  {"Protected = 1", true}, {"Protected=0", false},
                 {"Protected=2", false}, {"Protected=", false},   {"", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(c.expected, Parsed(std::string("[Book]\r\n") + c.line + "\r\n").IsProtected());
    }
}

TEST(StandinWorkbook, RetiredEmployeesHaveOneInTheirThirdField) {
    const struct {
        const char* line;
        bool retired;
    } cases[] = {
        {"0001,山田 太郎,1", true},   {"0001,山田 太郎,0", false},
        {"0001,山田 太郎, 1 ", true}, {"0001,表,1,extra", true},
        {"0001,山田 太郎", false},    {"0001,1", false},
        {"0001,山田,11", false},      {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(c.retired, CStandinWorkbook::IsRetiredEmployee(c.line));
    }
}

TEST(StandinWorkbook, SavesAndLoadsUnderAJapaneseName) {
    TempDir dir;
    const CString path = dir / "表示ソ.xls";
    CStandinWorkbook book = Parsed("[Book]\r\nKind=Payroll\r\n[Company]\r\nName=能\r\n");
    ASSERT_TRUE(book.Save(path));
    EXPECT_EQ(book.Serialize(), ReadFileBytes(path));
    CStandinWorkbook loaded;
    ASSERT_TRUE(loaded.Load(path));
    EXPECT_EQ(book.Serialize(), loaded.Serialize());
    EXPECT_FALSE(loaded.Load(dir / "ない.xls"));
    EXPECT_FALSE(book.Save(dir / "no folder\\x.xls"));
}
