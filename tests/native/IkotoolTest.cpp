// ikotool end to end: the real program on real folders.
#include "IkotoolRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

// A small installation: product, data and common folder.
void MakeInstallation(const NativeTree& tree) {
    tree.Write("p/Data/MyData/a.dat", "abc");
    tree.Write(u8"p/Data/MyData/表示/ソフト/給与.dat", std::string(5000, 'k'));
    tree.Write("p/Data/MyData/zero.dat", "");
    tree.Write("p/Data/MyData/BookMNG.dat", "books");
    tree.Write("p/Data/Org/kyuyo.xls", "template");
    tree.Write("d/Excel/book.xls", "book");
    tree.Write("d/Excel/Excel_Old/old.xls", "old");
    tree.Write("c/CodeShain2.dat", "code");
}

const char* const kRoots = " --root 0=p --root 1=d --root 2=c";

} // namespace

TEST(Ikotool, CreateTestListExtractGiveEveryFileBack) {
    NativeTree src, dst;
    MakeInstallation(src);
    const ToolRun create = Ikotool(src, std::string("create m.iko") + kRoots);
    ASSERT_EQ(0, create.exitCode) << create.err;
    EXPECT_EQ("m.iko: 14 entries, 8 files, 5027 bytes written\n", create.out);

    const ToolRun test = Ikotool(src, "test " + (src / "m.iko"));
    EXPECT_EQ(0, test.exitCode);
    EXPECT_EQ("OK: 8 files, 5027 bytes\n", test.out);

    const ToolRun list = Ikotool(src, "list " + (src / "m.iko"));
    EXPECT_EQ(0, list.exitCode);
    EXPECT_NE(std::string::npos, list.out.find(u8"0 5000 Data\\MyData\\表示\\ソフト\\給与.dat\n"));
    EXPECT_NE(std::string::npos, list.out.find("2 4 CodeShain2.dat\n"));
    EXPECT_NE(std::string::npos, list.out.find("14 entries, 8 files, 5027 bytes\n"));

    for (const char* root : {"p", "d", "c"})
        dst.MakeDir(root);
    const ToolRun extract = Ikotool(dst, "extract " + (src / "m.iko") + kRoots);
    EXPECT_EQ(0, extract.exitCode) << extract.err;
    EXPECT_NE(
        std::string::npos,
        extract.out.find("skipped: root 0 Data\\Org\\kyuyo.xls: kept out by the restore filter\n"));
    EXPECT_NE(std::string::npos, extract.out.find("BookMNG.dat was restored"));

    std::map<std::string, std::string> expected = src.Contents();
    for (const char* gone : {"m.iko", "out.txt", "err.txt", "p/Data/Org/kyuyo.xls",
                             "d/Excel/Excel_Old/old.xls", "p/Data/MyData/zero.dat"})
        expected.erase(gone);
    std::map<std::string, std::string> got = dst.Contents();
    got.erase("out.txt");
    got.erase("err.txt");
    EXPECT_EQ(expected, got);
}

TEST(Ikotool, DamagedFileIsReportedAndNothingIsExtracted) {
    NativeTree src, dst;
    MakeInstallation(src);
    ASSERT_EQ(0, Ikotool(src, "create " + (src / "m.iko") + " --root 0=" + (src / "p") +
                                  " --root 1=" + (src / "d"))
                     .exitCode);
    const std::string whole = ReadNativeFile(src / "m.iko");
    std::ofstream(src / "cut.iko", std::ios::binary) << whole.substr(0, whole.size() - 10);

    const ToolRun test = Ikotool(src, "test " + (src / "cut.iko"));
    EXPECT_EQ(1, test.exitCode);
    EXPECT_NE(std::string::npos, test.err.find("cut.iko: damaged at byte offset "));

    dst.MakeDir("p");
    dst.MakeDir("d");
    const ToolRun extract =
        Ikotool(dst, "extract " + (src / "cut.iko") + " --root 0=" + (dst / "p") +
                         " --root 1=" + (dst / "d"));
    EXPECT_EQ(1, extract.exitCode);
    EXPECT_EQ((std::map<std::string, std::string>{
                  {"p", "<dir>"}, {"d", "<dir>"}, {"out.txt", ""}, {"err.txt", extract.err}}),
              dst.Contents());
}

TEST(Ikotool, UsageErrorsAndFailuresHaveTheirExitCodes) {
    NativeTree work;
    work.MakeDir("p");
    work.MakeDir("d");
    const struct {
        std::string args;
        int exitCode;
        const char* err;
    } cases[] = {
        {"", 2, "a command and a file are needed"},
        {"pack x.iko", 2, "unknown command \"pack\""},
        {"list x.iko --root 0=p", 2, "unexpected \"--root\""},
        {"create x.iko --root 0=p", 2, "--root 0=DIR and --root 1=DIR are needed"},
        {"create x.iko --root 3=p --root 1=d", 2, "--root wants 0=DIR, 1=DIR or 2=DIR"},
        {"create x.iko --root 0=p --root 0=p", 2, "root 0 is given twice"},
        {"create x.iko --root 0=p --root 1=d --format 5", 2, "--format wants 3 or 4"},
        {"extract x.iko --root 0=p --root 1=d --format 3", 2, "unexpected \"--format\""},
        {"test " + (work / "missing.iko"), 1, "missing.iko: cannot be opened: "},
        {"create " + (work / "x.iko") + " --root 0=" + (work / "p") + " --root 1=" + (work / "d"),
         1, "x.iko: nothing to write"},
        {"create x.iko --root 0=" + (work / "none") + " --root 1=" + (work / "d"), 1,
         "is not a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun run = Ikotool(work, c.args);
        EXPECT_EQ(c.exitCode, run.exitCode);
        EXPECT_NE(std::string::npos, run.err.find(c.err)) << run.err;
    }
    EXPECT_FALSE(std::ifstream(work / "x.iko").good());
}

// A file the system refuses to write (here a folder stands in its place) is
// listed as not written, the rest is restored, and the run ends as
// incomplete: a restore with missing files does not pass for a whole one.
TEST(Ikotool, ExtractListsTheFilesItCouldNotWriteAndFails) {
    NativeTree src, dst;
    MakeInstallation(src);
    ASSERT_EQ(0, Ikotool(src, std::string("create m.iko") + kRoots).exitCode);
    for (const char* root : {"p", "d", "c"})
        dst.MakeDir(root);
    dst.MakeDir("p/Data/MyData/a.dat");
    const ToolRun extract = Ikotool(dst, "extract " + (src / "m.iko") + kRoots);
    EXPECT_EQ(1, extract.exitCode);
    EXPECT_NE(std::string::npos,
              extract.out.find("not written: root 0 Data\\MyData\\a.dat: cannot be written ("))
        << extract.out;
    EXPECT_EQ(std::string::npos, extract.out.find("not written: root 0 Data\\Org")) << extract.out;
    EXPECT_NE(std::string::npos,
              extract.err.find("m.iko: the restore is incomplete: 1 of its files could not be "
                               "written"))
        << extract.err;
    EXPECT_EQ("books", ReadNativeFile(dst / "p/Data/MyData/BookMNG.dat"));
    EXPECT_EQ("book", ReadNativeFile(dst / "d/Excel/book.xls"));
}

// A book map that could not be written is not reported restored: the
// books are not to be converted on its account.
TEST(Ikotool, BookMapThatCouldNotBeWrittenIsNotReportedRestored) {
    NativeTree src, dst;
    MakeInstallation(src);
    ASSERT_EQ(0, Ikotool(src, std::string("create m.iko") + kRoots).exitCode);
    for (const char* root : {"p", "d", "c"})
        dst.MakeDir(root);
    dst.MakeDir("p/Data/MyData/BookMNG.dat");
    const ToolRun extract = Ikotool(dst, "extract " + (src / "m.iko") + kRoots);
    EXPECT_EQ(1, extract.exitCode);
    EXPECT_NE(
        std::string::npos,
        extract.out.find("not written: root 0 Data\\MyData\\BookMNG.dat: cannot be written ("))
        << extract.out;
    EXPECT_EQ(std::string::npos, extract.out.find("BookMNG.dat was restored")) << extract.out;
}

// Names Windows would refuse or rename, and a name without a code page 932
// form, are left out of the file and named; the run ends as a failure
// although the file was written, and its own extract then restores every
// file it holds.
TEST(Ikotool, CreateNamesWhatItLeftOutAndFails) {
    NativeTree src, dst;
    MakeInstallation(src);
    const char* const leftOut[] = {"con.txt", "10:30.log", "notes.", "memo ", u8"売上€.xlsm"};
    for (const char* name : leftOut)
        src.Write(std::string("d/Excel/") + name, "x");
    src.Write(u8"d/Excel/ポイント.xls", "points"); // the trail byte of ポ is a '|'
    const ToolRun create = Ikotool(src, std::string("create m.iko") + kRoots);
    EXPECT_EQ(1, create.exitCode) << create.out << create.err;
    for (const char* reason :
         {"left out: root 1 Excel\\con.txt: name not allowed on Windows (a device name",
          "left out: root 1 Excel\\10:30.log: name not allowed on Windows (a colon",
          "left out: root 1 Excel\\notes.: name not allowed on Windows (a dot or blank at the end)",
          "left out: root 1 Excel\\memo : name not allowed on Windows (a dot or blank at the end)",
          "left out: root 1 Excel\\%E5%A3%B2%E4%B8%8A%E2%82%AC.xlsm: name cannot be converted"})
        EXPECT_NE(std::string::npos, create.out.find(reason)) << reason << "\n" << create.out;
    EXPECT_NE(std::string::npos,
              create.err.find("m.iko: written without 5 of the files (left out above)"))
        << create.err;
    for (const char* root : {"p", "d", "c"})
        dst.MakeDir(root);
    const ToolRun extract = Ikotool(dst, "extract " + (src / "m.iko") + kRoots);
    EXPECT_EQ(0, extract.exitCode) << extract.out << extract.err;
    EXPECT_EQ("book", ReadNativeFile(dst / "d/Excel/book.xls"));
    EXPECT_EQ("points", ReadNativeFile(dst / u8"d/Excel/ポイント.xls"));
}

// A file of only a header holds nothing: damaged, as Tessaro says too.
TEST(Ikotool, FileOfOnlyAHeaderIsDamaged) {
    NativeTree work;
    work.Write("empty.iko", std::string("\x00\x00\x04\x00", 4));
    const ToolRun test = Ikotool(work, "test " + (work / "empty.iko"));
    EXPECT_EQ(1, test.exitCode);
    EXPECT_NE(std::string::npos,
              test.err.find("damaged at byte offset 4: the file holds no entries after its header"))
        << test.err;
}
