// ikotool's restore plans end to end: extract --dry-run against the real
// run, --only, --no-filter, and compare, on real folders.
#include "IkotoolRun.h"
#include "MigrationBytes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <map>
#include <sys/stat.h>
#include <set>
#include <sstream>
#include <unistd.h>

namespace {

const char* const kRoots = " --root 0=p --root 1=d";

// Root 0 is "p", root 1 "d"; the entries below "Data\MyData" of root 0.
std::string MyDataFile(const std::string& children, int32_t nChildren) {
    return Header(2) + Record(4, 0, "", "Data\\MyData", "", nChildren) + children +
           Record(4, 1, "", "Excel", "", 1) + Record(4, 1, "\\Excel", "book.xls", "book", 0);
}

std::string File(const std::string& name, const std::string& content) {
    return Record(4, 0, "\\Data\\MyData", name, content, 0);
}

void WriteFile(const NativeTree& tree, const std::string& rel, const std::string& bytes) {
    std::ofstream(tree / rel, std::ios::binary) << bytes;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// "root 0 Data\MyData\a.dat" as the tree's "p/Data/MyData/a.dat".
std::string TreePath(const std::string& entryName) {
    std::string path = entryName.substr(7);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return (entryName[5] == '0' ? "p/" : "d/") + path;
}

// The verdict lines of a run, the dry run's in the real run's words.
std::set<std::string> Verdicts(const ToolRun& run) {
    std::set<std::string> verdicts;
    std::istringstream in(run.out + run.err);
    const std::pair<std::string, std::string> words[] = {
        {"would be written: ", "written: "}, {"would not be written: ", "not written: "},
        {"would be skipped: ", "skipped: "}, {"not written: ", "not written: "},
        {"skipped: ", "skipped: "},
    };
    for (std::string line; std::getline(in, line);)
        for (const auto& w : words)
            if (line.rfind(w.first, 0) == 0) {
                verdicts.insert(w.second + line.substr(w.first.size()));
                break;
            }
    return verdicts;
}

// The files a real run put in place: new, or with other bytes.
std::set<std::string> Written(const std::map<std::string, std::string>& before,
                              const std::map<std::string, std::string>& after) {
    std::set<std::string> written;
    for (const auto& [path, bytes] : after) {
        const auto old = before.find(path);
        if (bytes != "<dir>" && (old == before.end() || old->second != bytes))
            written.insert(path);
    }
    return written;
}

// What the tree holds but the output files of the runs.
std::map<std::string, std::string> Disk(const NativeTree& tree) {
    std::map<std::string, std::string> contents = tree.Contents();
    contents.erase("out.txt");
    contents.erase("err.txt");
    return contents;
}

} // namespace

// Each case runs as a dry run first, then for real: the dry run changes
// nothing on the disk, names as written exactly the files the real run
// writes, and gives the same other verdicts and the same exit code.
TEST(IkotoolRestorePlan, DryRunTellsWhatTheRealRunDoes) {
    const std::string longName(300, 'n');
    const struct {
        const char* what;
        std::string file;
        void (*prepare)(const NativeTree& tree);
        int exitCode;
        std::string verdict; // a line both runs give
    } cases[] = {
        {"a whole restore", MyDataFile(File("a.dat", "abc"), 1), [](const NativeTree&) {}, 0,
         "written: root 0 Data/MyData/a.dat"},
        {"a folder where a file would go", MyDataFile(File("a.dat", "abc"), 1),
         [](const NativeTree& t) { t.MakeDir("p/Data/MyData/a.dat"); }, 1,
         "not written: root 0 Data/MyData/a.dat: cannot be written (Is a directory)"},
        {"a file where a folder would go",
         MyDataFile(Record(4, 0, "\\Data\\MyData", "sub", "", 1) +
                        Record(4, 0, "\\\\Data\\MyData\\sub", "s.txt", "s", 0),
                    1),
         [](const NativeTree& t) { t.Write("p/Data/MyData/sub", "file"); }, 1,
         "not written: root 0 Data/MyData/sub/s.txt: cannot be written (Not a directory)"},
        {"a missing parent that cannot be made", MyDataFile(File("a.dat", "abc"), 1),
         [](const NativeTree& t) { t.Write("p/Data", "file"); }, 1,
         "not written: root 0 Data/MyData/a.dat: cannot be written (Not a directory)"},
        {"a name too long", MyDataFile(File(longName, "abc"), 1), [](const NativeTree&) {}, 1,
         "not written: root 0 Data/MyData/" + longName +
             ": cannot be written (File name too "
             "long)"},
        {"a name with no native form", MyDataFile(File("\x85\x40.dat", "abc"), 1),
         [](const NativeTree&) {}, 1, "not written: root 0 Data/MyData/"},
        {"a path that leaves its root", MyDataFile(File("..\\..\\x.dat", "abc"), 1),
         [](const NativeTree&) {}, 1, "not written: root 0 Data/MyData/../../x.dat: refused"},
        {"what the filter keeps out",
         Header(1) + Record(4, 0, "", "Data\\Org", "", 1) +
             Record(4, 0, "\\Data\\Org", "kyuyo.xls", "t", 0),
         [](const NativeTree&) {}, 0,
         "skipped: root 0 Data/Org/kyuyo.xls: kept out by the restore filter"},
        {"a folder that may not be written", MyDataFile(File("a.dat", "abc"), 1),
         [](const NativeTree& t) {
             t.MakeDir("p/Data/MyData");
             chmod((t / "p/Data/MyData").c_str(), 0555);
         },
         1, "not written: root 0 Data/MyData/a.dat: cannot be written (Permission denied)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (Has(c.what, "may not be written") && geteuid() == 0) {
            std::cout << "[ SKIPPED  ] " << c.what << ": root writes into any folder\n";
            continue;
        }
        NativeTree tree;
        tree.MakeDir("p");
        tree.MakeDir("d");
        WriteFile(tree, "m.iko", c.file);
        c.prepare(tree);
        const auto before = Disk(tree);
        const ToolRun dry = Ikotool(tree, std::string("extract m.iko --dry-run") + kRoots);
        EXPECT_EQ(before, Disk(tree)) << "the dry run changed the disk";
        const ToolRun real = Ikotool(tree, std::string("extract m.iko") + kRoots);
        const auto after = Disk(tree);
        chmod((tree / "p/Data/MyData").c_str(), 0755);

        EXPECT_EQ(c.exitCode, dry.exitCode) << dry.err;
        EXPECT_EQ(c.exitCode, real.exitCode) << real.err;
        std::set<std::string> dryVerdicts = Verdicts(dry);
        std::set<std::string> dryWritten;
        for (auto it = dryVerdicts.begin(); it != dryVerdicts.end();)
            if (it->rfind("written: ", 0) == 0) {
                dryWritten.insert(TreePath(it->substr(9)));
                it = dryVerdicts.erase(it);
            } else
                ++it;
        EXPECT_EQ(Written(before, after), dryWritten);
        EXPECT_EQ(Verdicts(real), dryVerdicts) << dry.out << dry.err << real.err;
        if (c.verdict.rfind("written: ", 0) == 0)
            EXPECT_EQ(1u, dryWritten.count(TreePath(c.verdict.substr(9))));
        else {
            bool bFound = false;
            for (const std::string& v : dryVerdicts)
                bFound = bFound || v.rfind(c.verdict, 0) == 0;
            EXPECT_TRUE(bFound) << c.verdict << "\n" << dry.err;
        }
        EXPECT_TRUE(Has(dry.out, "dry run, nothing written")) << dry.out;
        EXPECT_FALSE(Has(dry.out, "skipped:") || Has(dry.out, "would not")) << dry.out;
    }
}

// --only takes the paths the restore would write, whatever their stored
// spelling; a pattern that takes nothing ends with 2 before anything is
// written, in extract and compare alike.
TEST(IkotoolRestorePlan, OnlyTakesTheCanonicalPathsThatMatch) {
    const std::string file =
        MyDataFile(File("a.dat.", "a") + File("B.DAT", "b") + File("c.txt", "c") +
                       Record(4, 0, "\\Data\\MyData", "表", "", 1) +
                       Record(4, 0, "\\\\Data\\MyData\\表", "x.dat", "x", 0),
                   4);
    const struct {
        std::string only;
        int exitCode;
        std::set<std::string> files; // below p/Data/MyData, or d/
    } cases[] = {
        {"--only 'data/mydata/*.dat'", 0, {"a.dat", "B.DAT", u8"表/x.dat"}},
        {"--only 'Data\\MyData\\?.dat'", 0, {"a.dat", "B.DAT"}},
        {u8"--only '*/表/*'", 0, {u8"表/x.dat"}},
        {"--only 'excel/book.xls' --only '*c.txt'", 0, {"c.txt", "d/Excel/book.xls"}},
        {"--only '*.dat' --only 'nothing*'", 2, {}},
        {"--only ''", 2, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.only);
        NativeTree tree;
        tree.MakeDir("p");
        tree.MakeDir("d");
        WriteFile(tree, "m.iko", file);
        const ToolRun run = Ikotool(tree, "extract m.iko " + c.only + kRoots);
        EXPECT_EQ(c.exitCode, run.exitCode) << run.err;
        std::set<std::string> files;
        for (const auto& [path, bytes] : Disk(tree)) {
            if (bytes == "<dir>" || path == "m.iko")
                continue;
            files.insert(path.rfind("p/Data/MyData/", 0) == 0 ? path.substr(14) : path);
        }
        EXPECT_EQ(c.files, files);
        if (c.exitCode == 2 && !c.only.empty() && Has(c.only, "nothing")) {
            EXPECT_TRUE(Has(run.err, "--only nothing* matches no file")) << run.err;
            const ToolRun compare = Ikotool(tree, "compare m.iko " + c.only + kRoots);
            EXPECT_EQ(2, compare.exitCode);
            EXPECT_TRUE(Has(compare.err, "--only nothing* matches no file")) << compare.err;
        }
    }
}

// Without the filter, only into empty roots: an installation's own files
// are never overwritten that way.
TEST(IkotoolRestorePlan, NoFilterWritesEverythingIntoEmptyRootsOnly) {
    NativeTree tree;
    tree.MakeDir("p");
    tree.MakeDir("d");
    WriteFile(tree, "m.iko",
              Header(1) + Record(4, 0, "", "Data\\Org", "", 1) +
                  Record(4, 0, "\\Data\\Org", "kyuyo.xls", "template", 0));
    tree.Write("d/mine.xls", "mine");
    const ToolRun refused = Ikotool(tree, std::string("extract m.iko --no-filter") + kRoots);
    EXPECT_EQ(2, refused.exitCode);
    EXPECT_TRUE(Has(refused.err, "root 1: d is not an empty folder")) << refused.err;
    EXPECT_FALSE(std::ifstream(tree / "p/Data/Org/kyuyo.xls").good());

    tree.MakeDir("e");
    const ToolRun run = Ikotool(tree, "extract m.iko --no-filter --root 0=p --root 1=e");
    EXPECT_EQ(0, run.exitCode) << run.err;
    EXPECT_EQ("template", ReadNativeFile(tree / "p/Data/Org/kyuyo.xls"));
    EXPECT_TRUE(Has(run.out, "2 entries, 1 file, 8 bytes read, 1 written, 0 skipped")) << run.out;
}

// compare: each kind of difference on its own line, the exit code 1 for
// any of them, 0 when a restore would change nothing; what the filter
// keeps out is told but changes nothing.
TEST(IkotoolRestorePlan, CompareTellsWhatARestoreWouldChange) {
    const std::string file =
        Header(3) + Record(4, 0, "", "Data\\DefEru", "", 0) +
        Record(4, 0, "", "Data\\MyData", "", 4) + File("a.dat", "abc") + File("b.dat.", "bbb") +
        File("zero.dat", "") + Record(4, 0, "\\Data\\MyData", "Sub.", "", 1) +
        Record(4, 0, "\\\\Data\\MyData\\Sub.", "s.txt", "s", 0) + Record(4, 1, "", "Excel", "", 1) +
        Record(4, 1, "\\Excel", "Excel_Old", "", 1) +
        Record(4, 1, "\\\\Excel\\Excel_Old", "old.xls", "old", 0);
    const auto Same = [](const NativeTree& t) {
        t.Write("p/Data/MyData/a.dat", "abc");
        t.Write("p/Data/MyData/b.dat", "bbb");
        t.Write("p/Data/MyData/Sub/s.txt", "s");
        t.MakeDir("p/Data/DefEru");
        t.MakeDir("d/Excel");
    };
    const struct {
        const char* what;
        void (*prepare)(const NativeTree& tree);
        int exitCode;
        std::vector<std::string> lines; // on standard output
    } cases[] = {
        {"the same",
         [](const NativeTree&) {},
         0,
         {"kept out: root 1 Excel/Excel_Old/old.xls (kept out by the restore filter)",
          "m.iko: 3 files compared, a restore would change nothing, 1 kept out"}},
        {"other size",
         [](const NativeTree& t) { t.Write("p/Data/MyData/a.dat", "abcd"); },
         1,
         {"differs: root 0 Data/MyData/a.dat (4 bytes here, 3 bytes in the file)",
          "m.iko: 3 files compared, 1 difference, 1 kept out"}},
        {"other bytes",
         [](const NativeTree& t) { t.Write("p/Data/MyData/b.dat", "bxb"); },
         1,
         {"differs: root 0 Data/MyData/b.dat (the same size, other bytes)"}},
        {"missing",
         [](const NativeTree& t) { unlink((t / "p/Data/MyData/Sub/s.txt").c_str()); },
         1,
         {"missing: root 0 Data/MyData/Sub/s.txt"}},
        {"only here, also below a folder empty at create",
         [](const NativeTree& t) {
             t.Write("p/Data/DefEru/e.dat", "e");
             t.Write("p/Data/MyData/new/n.dat", "n");
             t.Write("d/Excel/mine.xls", "m");
         },
         1,
         {"only here: root 0 Data/DefEru/e.dat", "only here: root 0 Data/MyData/new/n.dat",
          "only here: root 1 Excel/mine.xls", "3 differences"}},
        {"a folder where a file would go",
         [](const NativeTree& t) {
             unlink((t / "p/Data/MyData/a.dat").c_str());
             t.MakeDir("p/Data/MyData/a.dat");
         },
         1,
         {"would not be written: root 0 Data/MyData/a.dat (Is a directory)"}},
        {"the installation's own files, which the filter keeps out",
         [](const NativeTree& t) { t.Write("d/Excel/Excel_Old/mine.xls", "m"); },
         0,
         {}},
        {"an empty file that the restore leaves alone",
         [](const NativeTree& t) { t.Write("p/Data/MyData/zero.dat", "not empty"); },
         0,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        NativeTree tree;
        WriteFile(tree, "m.iko", file);
        Same(tree);
        c.prepare(tree);
        const auto before = Disk(tree);
        const ToolRun run = Ikotool(tree, std::string("compare m.iko") + kRoots);
        EXPECT_EQ(c.exitCode, run.exitCode) << run.out << run.err;
        for (const std::string& line : c.lines)
            EXPECT_TRUE(Has(run.out, line)) << line << "\n" << run.out;
        EXPECT_FALSE(Has(run.out, "Sub.\\")) << run.out;
        EXPECT_EQ("", run.err);
        EXPECT_EQ(before, Disk(tree)) << "compare changed the disk";
    }
}

// Names that differ only in case are one target where the system has no
// case: the restore leaves the bytes of the last of them, and compare
// judges by those alone.
TEST(IkotoolRestorePlan, CompareJudgesATargetByItsLastEntry) {
    const struct {
        const char* first;
        const char* last;
        int exitCode;
        const char* result;
    } cases[] = {
        {"old", "new", 0, "m.iko: 2 files compared, a restore would change nothing"},
        {"new", "old", 1, "m.iko: 2 files compared, 1 difference"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.last);
        NativeTree tree;
        tree.Write("p/Data/MyData/a.dat", "new");
        tree.Write("d/Excel/book.xls", "book");
        WriteFile(tree, "m.iko", MyDataFile(File("a.dat", c.first) + File("A.DAT", c.last), 2));
        const ToolRun run = Ikotool(tree, std::string("compare m.iko") + kRoots);
        EXPECT_EQ(c.exitCode, run.exitCode) << run.out << run.err;
        EXPECT_TRUE(Has(run.out, c.result)) << run.out;
        EXPECT_EQ(c.exitCode, Has(run.out, "differs: root 0 Data/MyData/a.dat") ? 1 : 0) << run.out;
    }
}

// A target that cannot be opened for reading is not readable, not a
// difference of content: here a pipe, which no open of the comparison
// waits for.
TEST(IkotoolRestorePlan, CompareTellsATargetItCannotRead) {
    NativeTree tree;
    tree.MakeDir("p/Data/MyData");
    tree.MakeDir("d");
    WriteFile(tree, "m.iko", MyDataFile(File("a.dat", "abc"), 1));
    tree.Write("d/Excel/book.xls", "book");
    ASSERT_EQ(0, mkfifo((tree / "p/Data/MyData/a.dat").c_str(), 0644));
    const ToolRun run = Ikotool(tree, std::string("compare m.iko") + kRoots);
    EXPECT_EQ(1, run.exitCode);
    EXPECT_TRUE(Has(run.out, "not readable: root 0 Data/MyData/a.dat (not a regular file)"))
        << run.out;
    EXPECT_FALSE(Has(run.out, "differs:")) << run.out;
}

// A folder below the root that is a link leads out of the root: extract
// refuses to write through it, and compare neither reads nor lists it.
TEST(IkotoolRestorePlan, ALinkedFolderIsNotFollowedOutOfTheRoot) {
    NativeTree tree;
    tree.MakeDir("p/Data");
    tree.MakeDir("d");
    tree.MakeDir("outside");
    tree.Write("outside/other.dat", "other");
    ASSERT_EQ(0, symlink((tree / "outside").c_str(), (tree / "p/Data/MyData").c_str()));
    WriteFile(tree, "m.iko", MyDataFile(File("a.dat", "abc"), 1));

    const ToolRun extract = Ikotool(tree, std::string("extract m.iko") + kRoots);
    EXPECT_EQ(1, extract.exitCode);
    EXPECT_TRUE(Has(extract.err, "not written: root 0 Data/MyData/a.dat: refused path "
                                 "(\"MyData\" is a link to another folder, not followed)"))
        << extract.err;
    EXPECT_FALSE(std::ifstream(tree / "outside/a.dat").good());

    const ToolRun compare = Ikotool(tree, std::string("compare m.iko") + kRoots);
    EXPECT_EQ(1, compare.exitCode);
    EXPECT_TRUE(Has(compare.out, "would not be written: root 0 Data/MyData/a.dat")) << compare.out;
    EXPECT_FALSE(Has(compare.out, "other.dat")) << compare.out;
}

// A file that is a link is replaced by a restore, not written through:
// compare does not read what it leads to, which may lie outside the root.
TEST(IkotoolRestorePlan, ALinkedFileIsReplacedAndNotRead) {
    NativeTree tree;
    tree.MakeDir("p/Data/MyData");
    tree.MakeDir("d");
    tree.Write("outside.dat", "abc");
    ASSERT_EQ(0, symlink((tree / "outside.dat").c_str(), (tree / "p/Data/MyData/a.dat").c_str()));
    WriteFile(tree, "m.iko", MyDataFile(File("a.dat", "abc"), 1));
    tree.Write("d/Excel/book.xls", "book");

    const ToolRun compare = Ikotool(tree, std::string("compare m.iko") + kRoots);
    EXPECT_EQ(1, compare.exitCode) << compare.out;
    EXPECT_TRUE(Has(compare.out, "differs: root 0 Data/MyData/a.dat (a link stands there"))
        << compare.out;
    const ToolRun extract = Ikotool(tree, std::string("extract m.iko") + kRoots);
    EXPECT_EQ(0, extract.exitCode) << extract.err;
    EXPECT_EQ("abc", ReadNativeFile(tree / "outside.dat"));
    struct stat st {};
    ASSERT_EQ(0, lstat((tree / "p/Data/MyData/a.dat").c_str(), &st));
    EXPECT_TRUE(S_ISREG(st.st_mode));
}

// A name stored with a line break cannot forge a line of the output.
TEST(IkotoolRestorePlan, ControlCharactersInNamesAreShownEscaped) {
    NativeTree tree;
    tree.MakeDir("p");
    tree.MakeDir("d");
    WriteFile(tree, "m.iko", MyDataFile(File("a\nOK: forged", "abc"), 1));
    for (const std::string command : {"list m.iko", "extract m.iko --dry-run"}) {
        SCOPED_TRACE(command);
        const ToolRun run = Ikotool(tree, command + (command[0] == 'e' ? kRoots : ""));
        EXPECT_FALSE(Has(run.out + run.err, "\nOK: forged")) << run.out << run.err;
        EXPECT_TRUE(Has(run.out + run.err, "a^JOK: forged")) << run.out << run.err;
    }
}

// --only speaks of the paths it takes and of no other: a refused path, a
// control character in a name and a root not given are named and counted
// only where a pattern takes them, before and after the real run alike.
TEST(IkotoolRestorePlan, OnlyNamesAndCountsNothingItDoesNotTake) {
    const std::string file =
        Header(3) + Record(4, 0, "", "Data\\MyData", "", 5) + File("a.dat", "abc") +
        File("..\\..\\x.dat", "x") + File("con", "c") + File("t\x01.dat", "t") +
        Record(4, 0, "\\Data\\MyData", "..\\..\\esc", "", 1) +
        Record(4, 0, "\\\\Data\\MyData\\..\\..\\esc", "e.dat", "e", 0) +
        Record(4, 1, "", "Excel", "", 1) + Record(4, 1, "\\Excel", "book.xls", "book", 0) +
        Record(4, 2, "", "SettingShain.dat", "s", 0);
    const struct {
        const char* command;
        std::string only;
        int exitCode;
        const char* result; // a part of standard output
        const char* error;  // a part of standard error, or "" for none at all
    } cases[] = {
        {"extract", "--only 'Data/MyData/a.dat'", 0, "1 written, 0 skipped, 0 could not be written",
         ""},
        {"extract --dry-run", "--only 'Data/MyData/a.dat'", 0,
         "1 would be written, 0 skipped, 0 could not be written", ""},
        {"compare", "--only 'Data/MyData/a.dat'", 1, "1 file compared, 1 difference", ""},
        {"extract", "--only 'nothing*'", 2, "", "--only nothing* matches no file in it"},
        {"compare", "--only 'nothing*'", 2, "", "--only nothing* matches no file in it"},
        {"extract", "--only SettingShain.dat", 2, "",
         "--only SettingShain.dat matches only files of root 2, which was not given"},
        {"extract --dry-run", "--only SettingShain.dat", 2, "", "which was not given"},
        {"extract", "--only '*x.dat'", 1, "0 written, 0 skipped, 1 could not be written",
         "not written: root 0 Data/MyData/../../x.dat: refused"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + c.only);
        NativeTree tree;
        tree.MakeDir("p");
        tree.MakeDir("d");
        WriteFile(tree, "m.iko", file);
        const ToolRun run = Ikotool(tree, std::string(c.command) + " m.iko " + c.only + kRoots);
        EXPECT_EQ(c.exitCode, run.exitCode) << run.out << run.err;
        EXPECT_TRUE(Has(run.out, c.result)) << run.out;
        if (*c.error == '\0')
            EXPECT_EQ("", run.err);
        else
            EXPECT_TRUE(Has(run.err, c.error)) << run.err;
        for (const char* other : {"con", "t^A", "esc", "SettingShain"}) {
            if (Has(c.only, other))
                continue;
            const std::string all = run.out + run.err;
            EXPECT_FALSE(Has(all, std::string(" ") + other) || Has(all, std::string("/") + other))
                << other << "\n"
                << all;
        }
    }
}

// Each file of the migration file has one line of -v and one count, and a
// folder none: a refused folder is named but is not a file, and an empty
// file is told as one a restore does not make.
TEST(IkotoolRestorePlan, EachFileHasOneLineAndOneCount) {
    const std::string file =
        Header(2) + Record(4, 0, "", "Data\\MyData", "", 5) + File("a.dat", "abc") +
        File("zero.dat", "") + File("..\\..\\x.dat", "x") +
        Record(4, 0, "\\Data\\MyData", "..\\..\\esc", "", 2) +
        Record(4, 0, "\\\\Data\\MyData\\..\\..\\esc", "e.dat", "e", 0) +
        Record(4, 0, "\\\\Data\\MyData\\..\\..\\esc", "f.dat", "f", 0) + File("Company.dat", "co") +
        Record(4, 2, "", "SettingShain.dat", "s", 0);
    for (const char* dry : {"", " --dry-run"}) {
        SCOPED_TRACE(dry);
        NativeTree tree;
        tree.MakeDir("p");
        tree.MakeDir("d");
        WriteFile(tree, "m.iko", file);
        const ToolRun run = Ikotool(tree, std::string("extract m.iko -v") + dry + kRoots);
        EXPECT_EQ(1, run.exitCode) << run.err;
        EXPECT_TRUE(Has(run.out, "9 entries, 7 files, 9 bytes read, 1 ")) << run.out;
        EXPECT_TRUE(Has(run.out, " 2 skipped, 3 could not be written, 1 empty")) << run.out;
        if (*dry)
            continue;
        std::map<std::string, int> labels;
        std::istringstream in(run.out);
        for (std::string line; std::getline(in, line);)
            if (line.find('\t') != std::string::npos)
                ++labels[line.substr(0, line.find('\t'))];
        const std::map<std::string, int> expected = {
            {u8"復元", 1}, {u8"除外", 2}, {u8"拒否", 4}, {u8"空", 1}, {u8"合計", 1}};
        EXPECT_EQ(expected, labels) << run.out;
        EXPECT_TRUE(Has(run.out, u8"拒否 4 件、書込失敗 0 件、空 1 件")) << run.out;
    }
}
