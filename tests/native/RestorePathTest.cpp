// A restore never writes outside the root of an entry; the hostile files
// of HostileFileTest try every way out.
#include "MigrationTestSupport.h"
#include "RestorePath.h"
#include "TargetFile.h"

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

// An entry that names its root itself, by empty fields or by separators
// alone, is a file refused as any path that names no file below the root,
// or a folder with nothing to make: no folder beside the root (the root's
// path without its last character) is swept, written or made.
TEST(RestorePath, EntryThatNamesTheRootItselfIsRefusedAndNothingBesideItChanges) {
    const std::string tmp = CTargetFile::TemporaryName(0).str();
    const struct {
        const char* relDir;
        const char* name;
        const char* content;
        int32_t children;
    } cases[] = {
        {"", "", "data", 0},      {"\\", "", "data", 0}, {"", "\\", "data", 0},
        {"\\\\", "/", "data", 0}, {"/", "", "data", 0},  {"", "", "", 1},
        {"\\", "/", "", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.relDir + "\" \"" + c.name + "\"");
        CMemFileSystem dst;
        dst.AddDirectory("dst0");
        dst.AddFile(CString("dst\\") + tmp.c_str(), "a neighbour's own");
        dst.AddFile("dst\\x", "a neighbour's own");
        std::string bytes = Header(1) + Record(4, 0, c.relDir, c.name, c.content, c.children);
        if (c.children > 0)
            bytes += Record(4, 0, "\\", "x", "below the root", 0);
        const std::vector<CString> before = dst.Paths();
        ReadResult result(dst);
        Restore(bytes, dst, TargetRoots(), result);
        EXPECT_EQ("a neighbour's own", dst.FileBytes(CString("dst\\") + tmp.c_str()));
        EXPECT_EQ("a neighbour's own", dst.FileBytes("dst\\x"));
        if (c.children > 0) {
            EXPECT_TRUE(result.context.m_skipped.empty());
            EXPECT_EQ("below the root", dst.FileBytes("dst0\\x"));
            continue;
        }
        EXPECT_EQ(before, dst.Paths());
        ASSERT_EQ(1u, result.context.m_skipped.size());
        EXPECT_EQ(CSkipReason::refusedPath, result.context.m_skipped[0].nReason);
        EXPECT_FALSE(result.context.m_skipped[0].strCause.IsEmpty());
    }
}
