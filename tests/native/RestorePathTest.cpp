// A restore never writes outside the root of an entry; the hostile files
// of HostileFileTest try every way out.
#include "MigrationTestSupport.h"
#include "RestorePath.h"

#include <gtest/gtest.h>

namespace {

struct PathCase {
    const char* relDir;
    const char* name;
};

// Every form that could leave the root is in the table of hostile files
// (HostileFileTest); these must pass.
const PathCase kAccepted[] = {
    {"", "表"}, // trail byte 0x5C
    {"\\\\Data\\表", "ソ.dat"},
    {"", "..表"},
    {"", "a..b"},
    {"", ".hidden"},
    {"", "CONSOLE.txt"},
    {"", "COM10"},
    {"", "xCON"},
    {"\\\\\\Data\\MyData\\Sub", "x"}, // the format's own runs of backslashes
};

} // namespace

TEST(RestorePath, OrdinaryAndDoubleByteNamesAreAccepted) {
    for (const PathCase& c : kAccepted) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ("", CRestorePath::Refusal(CString(c.relDir) + "\\" + c.name));
    }
}

TEST(RestorePath, RefusedDirectoryIsNotCreatedAndItsChildrenAreJudgedAlone) {
    const std::string bytes = Header(1) + Record(4, 0, "", "..", "", 2) +
                              Record(4, 0, "\\..", "x", "escaped", 0) +
                              Record(4, 0, "\\in", "y", "inside", 0);
    CMemFileSystem dst;
    dst.AddDirectory("dst0\\in");
    ReadResult result(dst);
    Restore(bytes, dst, TargetRoots(), result);
    EXPECT_EQ((std::vector<CString>{"dst0", "dst0\\in", "dst0\\in\\y"}), dst.Paths());
    EXPECT_EQ(2u, result.context.m_skipped.size());
}

TEST(RestorePath, CollapseFoldsSeparatorRunsOnCharacterBoundaries) {
    EXPECT_EQ("Data\\MyData\\Sub\\x", CRestorePath::Collapse("\\\\Data\\MyData\\Sub\\x"));
    EXPECT_EQ("表\\x", CRestorePath::Collapse("\\\\表\\\\x"));
    EXPECT_EQ("a\\b", CRestorePath::Collapse("a//b"));
}

// What natively may be carried: a name a file may have on Windows.  The
// trail byte of "ポ" is '|', of "表" a backslash; both are characters here.
TEST(RestorePath, WindowsNamesAreToldFromNamesWindowsRefuses) {
    const struct {
        const char* name;
        bool allowed;
    } cases[] = {
        {"ポイント.xls", true}, {"表.xls", true},  {"a.b", true},      {"CONSOLE.txt", true},
        {"COM10", true},        {".hidden", true}, {"con.txt", false}, {"NUL", false},
        {"10:30.log", false},   {"a.", false},     {"a ", false},      {"a|b", false},
        {"a?b", false},         {"..", false},     {"x\ty", false},    {"a<b", false},
        {"a\"b", false},        {"a*", false},     {"", false},        {"com0.txt", false},
        {"LPT0", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.allowed, CRestorePath::WindowsNameRefusal(c.name).IsEmpty());
    }
}
