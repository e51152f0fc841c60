// A restore never writes outside the root of an entry.
#include "MigrationTestSupport.h"
#include "RestorePath.h"

#include <gtest/gtest.h>

namespace {

struct PathCase {
    const char* relDir;
    const char* name;
};

// Every form that Windows or POSIX could resolve outside the root.
const PathCase kRefused[] = {
    {"", ".."},
    {"", "..\\x"},
    {"..", "x"},
    {"\\..", "x"},
    {"\\\\Data\\..\\..", "x"},
    {"a\\..\\..", "x"},
    {"", "..."}, // Windows drops trailing dots
    {"", ". ."}, // and trailing blanks
    {"", ".. "},
    {"x\\.. ", "y"},
    {"", "."},
    {"a/../..", "x"}, // forward slashes separate on Windows
    {"", "../x"},
    {"", "a/.."},
    {"C:\\Windows", "x"}, // drive letters
    {"", "C:x"},
    {"", "x.dat:stream"}, // any colon
    {"\\\\?\\C:\\", "x"}, // absolute and device paths
    {"\\\\.\\", "x"},
    {"\\\\server\\share\\..", "x"},
    {"", "CON"},
    {"", "con"},
    {"", "Con.txt"},
    {"", "CON .dat"},
    {"", "nul"},
    {"", "AUX"},
    {"", "PRN.x"},
    {"", "COM1"},
    {"", "com9.log"},
    {"", "LPT1"},
    {"", "lpt9.txt"},
    {"", "CONIN$"},
    {"NUL", "x"},    // in the directory too
    {"", "x\t"},     // control characters
    {"", "x\x95"},   // a lead byte without its trail byte
    {"", "\x95/.."}, // 0x2F is no trail byte: Windows would see the '/'
};

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

TEST(RestorePath, EscapingEntryIsRefusedReadPastAndTheRestoreGoesOn) {
    for (const PathCase& c : kRefused) {
        SCOPED_TRACE(testing::Message()
                     << "relDir \"" << c.relDir << "\" name \"" << c.name << "\"");
        const std::string bytes = Header(2) + Record(4, 0, c.relDir, c.name, "evil", 0) +
                                  Record(4, 0, "", "ok.dat", "fine", 0);
        CMemFileSystem dst;
        dst.AddDirectory("dst0");
        ReadResult result(dst);
        Restore(bytes, dst, TargetRoots(), result);
        EXPECT_EQ((std::vector<CString>{"dst0", "dst0\\ok.dat"}), dst.Paths());
        EXPECT_EQ("fine", dst.FileBytes("dst0\\ok.dat"));
        ASSERT_EQ(1u, result.context.m_skipped.size());
        EXPECT_EQ(CSkipReason::refusedPath, result.context.m_skipped[0].nReason);
    }
}

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
