// Other spellings of a file the restore filter keeps out are kept out too:
// the filter judges the path that the system opens.
#include "IkotoolRun.h"
#include "MigrationTestSupport.h"
#include "NameConverter.h"
#include "OtherSpellings.h"
#include "WindowsLikeFileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace {

std::string Component(const ProtectedFile& f, size_t level) {
    return level < f.folders.size() ? f.folders[level] : f.name;
}

// The short names this file system gives, as Windows would.
std::string WindowsShortName(const ProtectedFile& f, size_t level) {
    return CWindowsLikeFileSystem::ShortName(CString(Component(f, level))).str();
}

std::string NoShortName(const ProtectedFile& /*f*/, size_t /*level*/) {
    return std::string();
}

int CountLines(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

} // namespace

// Each spelling comes alone in a file, into an installation holding the
// protected file: the file keeps its bytes, nothing else is made, and the
// entry counts as kept out on purpose (not as a file that failed).
TEST(OtherSpellings, ProtectedFilesKeepTheirBytesWhateverTheSpelling) {
    int cases = 0;
    for (const ProtectedFile& f : ProtectedFiles()) {
        for (const Spelling& s : OtherSpellings(f, WindowsShortName)) {
            SCOPED_TRACE(f.RelPath() + ": " + s.what + ": \"" + s.relDir + "\" \"" + s.name + "\"");
            CWindowsLikeFileSystem dst;
            const CString target = TargetRoots()[f.root] + "\\" + f.RelPath().c_str();
            dst.AddFile(target, "the target's own");
            const std::vector<CString> before = dst.Paths();
            ReadResult result(dst);
            Restore(Header(1) + Record(3, f.root, s.relDir, s.name, "restored", 0), dst,
                    TargetRoots(), result);
            EXPECT_EQ("the target's own", dst.FileBytes(target));
            EXPECT_EQ(before, dst.Paths());
            ASSERT_EQ(1u, result.context.m_skipped.size());
            EXPECT_EQ(CSkipReason::filtered, result.context.m_skipped[0].nReason);
            ++cases;
        }
    }
    EXPECT_LT(150, cases);
}

// The short name of a file that does not exist is a name of its own, and
// a name with a trailing dot is made without it, as Windows makes it.
TEST(OtherSpellings, OrdinaryFilesAreWrittenUnderTheNameTheSystemGives) {
    const struct {
        const char* relDir;
        const char* name;
        const char* written;
    } cases[] = {
        {"\\Data\\MyData", "DENMAI~1.DAT", "dst0\\Data\\MyData\\DENMAI~1.DAT"},
        {"\\Data//MyData.", "notes.txt. ", "dst0\\Data\\MyData\\notes.txt"},
        {"\\Data\\MYDATA", "BOOKSE~1.DAT", "dst0\\Data\\MyData\\BookSettings.dat"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CWindowsLikeFileSystem dst;
        dst.AddFile("dst0\\Data\\MyData\\BookSettings.dat", "old");
        ReadResult result(dst);
        Restore(Header(1) + Record(3, 0, c.relDir, c.name, "new", 0), dst, TargetRoots(), result);
        EXPECT_TRUE(result.context.m_skipped.empty());
        EXPECT_EQ("new", dst.FileBytes(c.written));
    }
}

// A folder made by the restore answers to its short name from then on: a
// later entry that names it so is judged by its long name.
TEST(OtherSpellings, FolderMadeByTheRestoreIsSeenThroughItsShortNameLater) {
    const std::string bytes = Header(2) + Record(3, 1, "", "Excel\\Excel_Old", "", 1) +
                              Record(3, 1, "\\Excel\\Excel_Old", "a.xls", "old book", 0) +
                              Record(3, 1, "\\Excel\\EXCEL_~1", "b.xls", "old book", 0);
    CWindowsLikeFileSystem dst;
    dst.AddDirectory("dst1\\Excel");
    ReadResult result(dst);
    Restore(bytes, dst, TargetRoots(), result);
    EXPECT_EQ((std::vector<CString>{"dst1", "dst1\\Excel", "dst1\\Excel\\Excel_Old"}), dst.Paths());
    ASSERT_EQ(2u, result.context.m_skipped.size());
    EXPECT_EQ(CSkipReason::filtered, result.context.m_skipped[1].nReason);
}

// Natively the POSIX file system has no short names, and "Org." is a name
// of its own; the verdict is the one Windows needs all the same, so that a
// file is judged alike wherever it is restored.  Through the real ikotool
// onto real folders.
TEST(OtherSpellings, NativeIkotoolKeepsOutEverySpellingOfAProtectedFile) {
    NativeTree work;
    CNameConverter names;
    for (const ProtectedFile& f : ProtectedFiles()) {
        std::string utf8;
        ASSERT_TRUE(names.ToUtf8(CString(f.RelPath()), utf8));
        std::replace(utf8.begin(), utf8.end(), '\\', '/');
        work.Write(std::string(f.root == 0 ? "p/" : "d/") + utf8, "the target's own");
    }
    int entries = 0;
    std::ofstream(work / "all.iko", std::ios::binary)
        << FileOfEverySpelling(NoShortName, "restored", &entries);
    std::map<std::string, std::string> before = work.Contents();
    const ToolRun extract = Ikotool(work, "extract all.iko --root 0=p --root 1=d");
    EXPECT_EQ(0, extract.exitCode) << extract.out << extract.err;
    EXPECT_EQ(entries, CountLines(extract.err, ": kept out by the restore filter\n"));
    std::map<std::string, std::string> after = work.Contents();
    for (const char* log : {"out.txt", "err.txt"})
        after.erase(log), before.erase(log);
    EXPECT_EQ(before, after);
}
