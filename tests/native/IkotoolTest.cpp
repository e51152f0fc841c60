// ikotool end to end: the real program on real folders.
#include "IkotoolRun.h"
#include "MigrationBytes.h"
#include "MorvaneVersion.h"
#include "TargetFile.h"
#include "UndecodableNames.h"
#include "PosixOwners_posix.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

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

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The migration file of the small installation, as m.iko in src.
void MakeFile(const NativeTree& src) {
    MakeInstallation(src);
    ASSERT_EQ(0, Ikotool(src, std::string("create m.iko") + kRoots).exitCode);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The lines of a section of text: from the line after `heading` to the
// first empty line.
std::vector<std::string> SectionLines(const std::string& text, const std::string& heading) {
    std::vector<std::string> lines;
    std::istringstream in(text.substr(text.find(heading) + heading.size()));
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line) && !line.empty())
        lines.push_back(line);
    return lines;
}

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
    EXPECT_EQ(0u, list.out.find("header: 4 top-level entries, product byte 0x04 (Morvane)\n"
                                "book format: 3 (\".xls\" books)\n"
                                "0 0 Data/MyData\n"))
        << list.out;
    EXPECT_TRUE(Has(list.out, u8"0 5000 Data/MyData/表示/ソフト/給与.dat\n"));
    EXPECT_TRUE(Has(list.out, "2 4 CodeShain2.dat\n"));
    EXPECT_TRUE(Has(list.out, "14 entries, 8 files, 5027 bytes\n"));

    for (const char* root : {"p", "d", "c"})
        dst.MakeDir(root);
    const ToolRun extract = Ikotool(dst, "extract " + (src / "m.iko") + kRoots);
    EXPECT_EQ(0, extract.exitCode) << extract.err;
    EXPECT_TRUE(
        Has(extract.err, "skipped: root 0 Data/Org/kyuyo.xls: kept out by the restore filter\n"));
    EXPECT_TRUE(Has(extract.out, "BookMNG.dat was restored"));

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
    WriteBytes(src / "cut.iko", whole.substr(0, whole.size() - 10));

    const ToolRun test = Ikotool(src, "test " + (src / "cut.iko"));
    EXPECT_EQ(2, test.exitCode);
    EXPECT_EQ("", test.out);
    EXPECT_TRUE(Has(test.err, "cut.iko: damaged at byte offset ")) << test.err;

    dst.MakeDir("p");
    dst.MakeDir("d");
    const ToolRun extract =
        Ikotool(dst, "extract " + (src / "cut.iko") + " --root 0=" + (dst / "p") +
                         " --root 1=" + (dst / "d"));
    EXPECT_EQ(2, extract.exitCode);
    EXPECT_EQ((std::map<std::string, std::string>{
                  {"p", "<dir>"}, {"d", "<dir>"}, {"out.txt", ""}, {"err.txt", extract.err}}),
              dst.Contents());
}

// Usage errors and failures are trouble: exit code 2, the reason on
// standard error, nothing on standard output.
TEST(Ikotool, UsageErrorsAndFailuresAreTrouble) {
    NativeTree work;
    work.MakeDir("p");
    work.MakeDir("d");
    const struct {
        std::string args;
        const char* err;
    } cases[] = {
        {"", "ikotool: a command is needed\nusage: ikotool COMMAND FILE [OPTIONS]"},
        {"pack x.iko", "unknown command \"pack\""},
        {"list x.iko --root 0=p", "ikotool: list takes no --root\nusage: ikotool list FILE"},
        {"create x.iko --root 0=p", "--root 0=DIR and --root 1=DIR are needed"},
        {"create x.iko --root 3=p --root 1=d", "--root wants 0=DIR, 1=DIR or 2=DIR"},
        {"create x.iko --root 0=p --root 1=d --format 5", "--format wants 3 or 4"},
        {"test x.iko -q -v", "-q and -v exclude each other"},
        {"test " + (work / "missing.iko"), "missing.iko: cannot be opened: "},
        {"list " + (work / "missing.iko"), "missing.iko: cannot be opened: "},
        {"create " + (work / "x.iko") + " --root 0=" + (work / "p") + " --root 1=" + (work / "d"),
         "x.iko: nothing to write"},
        {"create x.iko --root 0=" + (work / "none") + " --root 1=" + (work / "d"),
         "is not a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun run = Ikotool(work, c.args);
        EXPECT_EQ(2, run.exitCode);
        EXPECT_EQ("", run.out);
        EXPECT_TRUE(Has(run.err, c.err)) << run.err;
    }
    EXPECT_FALSE(std::ifstream(work / "x.iko").good());
}

// A file the system refuses to write (here a folder stands in its place) is
// named as not written, the rest is restored, and the run ends with exit
// code 1: a restore with missing files does not pass for a whole one.
TEST(Ikotool, ExtractNamesTheFilesItCouldNotWriteAndEndsWithOne) {
    NativeTree src, dst;
    MakeFile(src);
    for (const char* root : {"p", "d", "c"})
        dst.MakeDir(root);
    dst.MakeDir("p/Data/MyData/a.dat");
    const ToolRun extract = Ikotool(dst, "extract " + (src / "m.iko") + kRoots);
    EXPECT_EQ(1, extract.exitCode);
    EXPECT_TRUE(Has(extract.err, "not written: root 0 Data/MyData/a.dat: cannot be written ("))
        << extract.err;
    EXPECT_FALSE(Has(extract.err, "not written: root 0 Data/Org")) << extract.err;
    EXPECT_TRUE(Has(extract.err, "m.iko: the restore is incomplete: 1 of its files could not be "
                                 "written"))
        << extract.err;
    EXPECT_FALSE(Has(extract.out, "not written")) << extract.out;
    EXPECT_EQ("books", ReadNativeFile(dst / "p/Data/MyData/BookMNG.dat"));
    EXPECT_EQ("book", ReadNativeFile(dst / "d/Excel/book.xls"));

    const ToolRun quiet = Ikotool(dst, "extract -q " + (src / "m.iko") + kRoots);
    EXPECT_EQ(1, quiet.exitCode);
    EXPECT_EQ("", quiet.out);
    EXPECT_EQ(src / "m.iko" + ": the restore is incomplete: 1 of its files could not be written\n",
              quiet.err);
}

// Results on standard output, warnings and progress on standard error; -q
// keeps only errors, -v names each entry (extract: each file with what
// became of it), --progress writes its lines even
// into a file.  Without a terminal and unasked, no progress at all.
TEST(Ikotool, EachLineGoesToItsStream) {
    NativeTree src;
    MakeFile(src);
    const std::string file = src / "m.iko";
    const std::string extract = "extract " + file + " --root 0=x/p --root 1=x/d";
    const struct {
        std::string args;
        std::vector<std::string> out, err; // what each holds; "" for nothing
    } cases[] = {
        {"test -q " + file, {""}, {""}},
        {"test " + file + " -v", {"root 0 Data/MyData\n", "OK: 8 files"}, {""}},
        {"list " + file + " --progress", {"header: "}, {"100% 8 of 8 files, ", " in all\n"}},
        {"test --progress " + file, {"OK: "}, {"100% 8 files, "}},
        {extract, {"m.iko: 14 entries", "BookMNG.dat was restored"}, {"skipped: root 0 Data/Org"}},
        {extract + " -q", {""}, {""}},
        // The lines of Tessaro's record of the restore: each file with its
        // outcome, then the counts.
        {"-v " + extract,
         {u8"復元\tx/p/Data/MyData/a.dat\n", u8"除外\tx/p/Data/Org/kyuyo.xls\t復元の対象外です\n",
          u8"\n合計\t復元 ", "m.iko: 14 entries"},
         {"skipped: "}},
        {"create -v n.iko --root 0=p --root 1=d",
         {"root 0 Data/MyData/a.dat\n", "written\n"},
         {""}},
        {"create n.iko --root 0=p --root 1=d --progress",
         {"n.iko: 5 entries, 3 files"},
         {"100% 3 of 3 files, 4.9 KiB of 4.9 KiB, "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        NativeTree x;
        x.MakeDir("x/p");
        x.MakeDir("x/d");
        x.Write("p/Data/MyData/a.dat", "abc");
        x.Write("p/Data/MyData/b.dat", std::string(5000, 'b'));
        x.Write("d/Excel/book.xls", "book");
        const ToolRun run = Ikotool(x, c.args);
        EXPECT_EQ(0, run.exitCode) << run.err;
        for (const std::string& part : c.out)
            EXPECT_TRUE(part.empty() ? run.out.empty() : Has(run.out, part)) << run.out;
        for (const std::string& part : c.err)
            EXPECT_TRUE(part.empty() ? run.err.empty() : Has(run.err, part)) << run.err;
        EXPECT_FALSE(Has(run.out, "%") || Has(run.out, "skipped:")) << run.out;
    }
}

TEST(Ikotool, HelpAndVersionGoToStandardOutputAndExitWithZero) {
    NativeTree work;
    const ToolRun help = Ikotool(work, "--help");
    EXPECT_EQ(0, help.exitCode);
    EXPECT_EQ("", help.err);
    EXPECT_TRUE(Has(help.out, "\nCommands:\n  list ")) << help.out;
    for (const char* same : {"-h", "help"}) {
        SCOPED_TRACE(same);
        const ToolRun run = Ikotool(work, same);
        EXPECT_EQ(0, run.exitCode);
        EXPECT_EQ(help.out, run.out);
    }
    for (const char* command : {"list", "test", "create", "extract", "compare", "help"}) {
        SCOPED_TRACE(command);
        const ToolRun own = Ikotool(work, std::string(command) + " --help");
        EXPECT_EQ(0, own.exitCode);
        EXPECT_EQ(0u, own.out.find(std::string("usage: ikotool ") + command)) << own.out;
        EXPECT_EQ(own.out, Ikotool(work, std::string("help ") + command).out);
        EXPECT_EQ(own.out, Ikotool(work, std::string("-h ") + command).out);
    }
    const ToolRun version = Ikotool(work, "--version");
    EXPECT_EQ(0, version.exitCode);
    EXPECT_EQ(0u, version.out.find("ikotool " MORVANE_VERSION_TEXT " ")) << version.out;
}

// The README's synopses are the usage lines of the commands that --help
// lists, and its options those of --help.
TEST(Ikotool, ReadmeAndHelpAgree) {
    NativeTree work;
    const std::string readme = ReadNativeFile(IKOTOOL_README);
    std::set<std::string> readmeUsage;
    for (const std::string& line : SectionLines(readme, "## Commands\n"))
        readmeUsage.insert(line.substr(line.find("ikotool ")));
    std::set<std::string> helpUsage;
    for (const std::string& line : SectionLines(Ikotool(work, "--help").out, "\nCommands:")) {
        const std::string name = line.substr(2, line.find(' ', 2) - 2);
        const std::string own = Ikotool(work, name + " --help").out;
        helpUsage.insert(own.substr(7, own.find('\n') - 7));
    }
    EXPECT_EQ(helpUsage, readmeUsage);

    const std::regex option("(-[a-z]|--[a-z]+(-[a-z]+)*)");
    const auto Options = [&](const std::vector<std::string>& lines, size_t width) {
        std::set<std::string> names;
        for (const std::string& line : lines) {
            const std::string head = line.substr(0, std::min(width, line.find(':')));
            for (std::sregex_iterator m(head.begin(), head.end(), option), end; m != end; ++m)
                names.insert(m->str());
        }
        return names;
    };
    std::vector<std::string> readmeOptions;
    for (const std::string& line : SectionLines(readme, "## Options\n"))
        if (line.rfind("- `-", 0) == 0)
            readmeOptions.push_back(line);
    const std::set<std::string> helpOptions =
        Options(SectionLines(Ikotool(work, "--help").out, "\nOptions:"), 18);
    EXPECT_EQ(helpOptions, Options(readmeOptions, std::string::npos));
    EXPECT_EQ(14u, helpOptions.size());

    // Each exit code has the same causes in --help and in the README's row.
    const auto Causes = [](std::string text) {
        std::string plain;
        int depth = 0;
        for (const char c : text) {
            depth += c == '(' ? 1 : c == ')' ? -1 : 0;
            if (depth == 0 && c != ')' && c != '`')
                plain += c == '\n' ? ' ' : c;
        }
        if (plain.find(':') != std::string::npos)
            plain = plain.substr(plain.find(':') + 1);
        std::set<std::string> causes;
        std::istringstream items(plain);
        for (std::string item; std::getline(items, item, ',');) {
            std::string words, word;
            for (std::istringstream in(item); in >> word;)
                words += (words.empty() ? "" : " ") + word;
            causes.insert(words);
        }
        return causes;
    };
    std::map<char, std::string> helpCodes;
    char code = 0;
    for (const std::string& line : SectionLines(Ikotool(work, "--help").out, "\nExit codes")) {
        if (line.size() > 3 && line[2] >= '0' && line[2] <= '2' && line[3] == ' ')
            code = line[2];
        if (code)
            helpCodes[code] += " " + line.substr(line[2] == code ? 4 : 0);
    }
    ASSERT_EQ(3u, helpCodes.size());
    for (const auto& [digit, text] : helpCodes) {
        const size_t row = readme.find(std::string("| ") + digit + " | ");
        ASSERT_NE(std::string::npos, row) << digit;
        const size_t start = row + 6;
        const std::string readmeRow = readme.substr(start, readme.find(" |\n", start) - start);
        EXPECT_EQ(Causes(text), Causes(readmeRow)) << digit;
    }
}

// Every recipe line of the README, run as written with FILE a real file.
TEST(Ikotool, ReadmeRecipesRunAsWritten) {
    NativeTree src;
    MakeFile(src);
    const std::string readme = ReadNativeFile(IKOTOOL_README);
    const std::string recipes = readme.substr(readme.find("## Support recipes\n"));
    std::istringstream in(recipes.substr(0, recipes.find("\n## ", 1)));
    int n = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("    mkdir ", 0) == 0) {
            ASSERT_EQ(0, IkotoolShell(src, line.substr(4)).exitCode) << line;
        }
        if (line.rfind("    ikotool ", 0) != 0)
            continue;
        SCOPED_TRACE(line);
        std::string command = std::regex_replace(line.substr(4), std::regex("FILE"), "m.iko");
        command = std::regex_replace(command, std::regex("PRODUCT"), "p");
        command = std::regex_replace(command, std::regex("DATA"), "d");
        const ToolRun run = IkotoolShell(src, command);
        EXPECT_EQ(0, run.exitCode) << run.err;
        EXPECT_FALSE(run.out.empty());
        ++n;
    }
    EXPECT_EQ(5, n);
    EXPECT_EQ("abc", ReadNativeFile(src / "out/0/Data/MyData/a.dat"));
}

// The header's lines: the product byte, the count, and the books' format
// code as the entries carry it, mixed codes named with the one a restore
// goes by.
TEST(Ikotool, ListStartsWithWhatTheHeaderSays) {
    NativeTree src;
    MakeInstallation(src);
    ASSERT_EQ(0, Ikotool(src, "create m3.iko --format 3 --root 0=p --root 1=d").exitCode);
    ASSERT_EQ(0, Ikotool(src, "create m4.iko --format 4 --root 0=p --root 1=d").exitCode);
    const std::string m3 = ReadNativeFile(src / "m3.iko");
    std::string mixed = m3, foreign = m3, newer = m3;
    mixed[4] = 4; // the first entry's format code
    foreign[2] = 5;
    newer[4] = 7;
    WriteBytes(src / "mixed.iko", mixed);
    WriteBytes(src / "foreign.iko", foreign);
    WriteBytes(src / "newer.iko", newer);
    WriteBytes(src / "short.iko", "\x01");
    const struct {
        const char* file;
        int exitCode;
        std::string head;
    } cases[] = {
        {"m3.iko", 0,
         "header: 3 top-level entries, product byte 0x04 (Morvane)\n"
         "book format: 3 (\".xls\" books)\n"},
        {"m4.iko", 0,
         "header: 3 top-level entries, product byte 0x04 (Morvane)\n"
         "book format: 4 (\".xlsm\" books)\n"},
        {"mixed.iko", 0,
         "book format: mixed: 3 (\".xls\" books) in 12 entries, 4 (\".xlsm\" "
         "books) in 1 entry, a restore goes by the first entry's, 4\n"},
        {"newer.iko", 0,
         "book format: mixed: 3 (\".xls\" books) in 12 entries, 7 (newer than "
         "this program: not restored) in 1 entry"},
        {"foreign.iko", 2,
         "header: 3 top-level entries, product byte 0x05 (not Morvane: Tessaro "
         "refuses the file)\nbook format: none (no entries)\n"},
        {"short.iko", 2, "header: none, the file is shorter than one\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const ToolRun run = Ikotool(src, std::string("list ") + c.file);
        EXPECT_EQ(c.exitCode, run.exitCode) << run.err;
        EXPECT_TRUE(Has(run.out, c.head)) << run.out;
        EXPECT_EQ(c.exitCode == 0, run.err.empty()) << run.err;
    }
}

// Bytes that are no character become U+FFFD one by one, and the name's raw
// bytes stand beside it: no separator is invented, no character lost.
TEST(Ikotool, JsonShowsBytesThatAreNoCharacterAsReplacements) {
    for (const UndecodableName& c : UndecodableNames()) {
        SCOPED_TRACE(c.shown);
        NativeTree src;
        WriteBytes(src / "u.iko", Header(1) + Record(4, 0, "", "Data\\MyData", "", 1) +
                                      Record(4, 0, "\\Data\\MyData", c.name, "x", 0));
        const ToolRun list = Ikotool(src, "list --json u.iko");
        ASSERT_EQ(0, list.exitCode) << list.err;
        const nlohmann::json entry = nlohmann::json::parse(list.out)["entries"][1];
        EXPECT_EQ(u8"Data\\MyData\\" + c.shown, entry["path"].get<std::string>());
        std::string hex;
        for (const char ch : "Data\\MyData\\" + c.name) {
            char two[3];
            std::snprintf(two, sizeof two, "%02x", static_cast<unsigned char>(ch));
            hex += two;
        }
        EXPECT_EQ(c.bLossy ? nlohmann::json(hex) : nlohmann::json(),
                  entry.value("path_bytes", nlohmann::json()));
    }
}

// list --json and test --json print one document, read here by a real JSON
// reader: the names in UTF-8, each entry's kind, the verdict with the offset
// of the fault that test names.
TEST(Ikotool, JsonDocumentsReadBackWithEveryEntryAndTheVerdict) {
    NativeTree src;
    MakeFile(src);
    const ToolRun list = Ikotool(src, "list --json m.iko");
    ASSERT_EQ(0, list.exitCode) << list.err;
    EXPECT_EQ("", list.err);
    EXPECT_EQ(list.out, Ikotool(src, "test m.iko --json").out);
    const nlohmann::json doc = nlohmann::json::parse(list.out);
    EXPECT_EQ("m.iko", doc["file"]);
    EXPECT_EQ(nlohmann::json({{"top_level_entries", 4}, {"product_byte", 4}, {"morvane", true}}),
              doc["header"]);
    ASSERT_EQ(14u, doc["entries"].size());
    EXPECT_EQ(nlohmann::json({{"root", 0},
                              {"path", u8"Data\\MyData\\表示\\ソフト\\給与.dat"},
                              {"size", 5000},
                              {"format", 3},
                              {"kind", "file"}}),
              doc["entries"][3]);
    std::map<std::string, std::string> kinds;
    for (const nlohmann::json& e : doc["entries"])
        kinds[e["path"]] = e["kind"];
    EXPECT_EQ("directory", kinds["Data\\MyData"]);
    EXPECT_EQ("empty", kinds["Data\\MyData\\zero.dat"]);
    EXPECT_EQ(3, doc["format"]["code"]);
    EXPECT_EQ(false, doc["format"]["mixed"]);
    EXPECT_EQ(nlohmann::json({{"entries", 14}, {"files", 8}, {"bytes", 5027}}), doc["summary"]);
    EXPECT_EQ(nlohmann::json({{"status", "whole"}}), doc["verdict"]);

    // Cut inside the first entry's record: its children cannot fit.
    WriteBytes(src / "cut.iko", ReadNativeFile(src / "m.iko").substr(0, 60));
    const ToolRun cut = Ikotool(src, "list cut.iko --json");
    EXPECT_EQ(2, cut.exitCode);
    const nlohmann::json damaged = nlohmann::json::parse(cut.out);
    EXPECT_EQ("damaged", damaged["verdict"]["status"]);
    const std::string offset = std::to_string(damaged["verdict"]["offset"].get<int64_t>());
    EXPECT_TRUE(Has(cut.err, "cut.iko: damaged at byte offset " + offset + ": " +
                                 damaged["verdict"]["fault"].get<std::string>()))
        << cut.err;
    EXPECT_EQ(33, damaged["verdict"]["offset"]);
    ASSERT_EQ(1u, damaged["entries"].size());
    EXPECT_EQ("cut", damaged["entries"][0]["kind"]);

    const ToolRun missing = Ikotool(src, "test --json none.iko");
    EXPECT_EQ(2, missing.exitCode);
    const nlohmann::json failed = nlohmann::json::parse(missing.out);
    EXPECT_EQ("failed", failed["verdict"]["status"]);
    EXPECT_TRUE(failed["header"].is_null());
    EXPECT_TRUE(failed["entries"].empty());
}

// What a terminal shows of its output: a carriage return goes back to the
// start of the line, and what follows overwrites it.
std::string Screen(const std::string& output) {
    std::vector<std::string> lines(1);
    size_t column = 0;
    for (const char ch : output) {
        if (ch == '\r') {
            column = 0;
        } else if (ch == '\n') {
            lines.emplace_back();
            column = 0;
        } else {
            std::string& line = lines.back();
            line.resize(std::max(line.size(), column + 1), ' ');
            line[column++] = ch;
        }
    }
    std::string screen;
    for (std::string& line : lines)
        screen += line.erase(line.find_last_not_of(' ') + 1) + "\n";
    return screen;
}

// On a terminal (here the pseudo terminal of script(1)) the progress line is
// drawn in place and blanked before the result: nothing of it stays.
TEST(Ikotool, OnATerminalTheProgressLineIsGoneWhenDone) {
    NativeTree src;
    MakeFile(src);
    const ToolRun run =
        IkotoolShell(src, "script -qec '" IKOTOOL " test --progress m.iko' /dev/null");
    ASSERT_EQ(0, run.exitCode) << run.err;
    EXPECT_TRUE(Has(run.out, "\r100% 0 files, 5.5 KiB of 5.5 KiB, ")) << run.out;
    EXPECT_EQ("OK: 8 files, 5027 bytes\n\n", Screen(run.out)) << run.out;
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
    EXPECT_TRUE(
        Has(extract.err, "not written: root 0 Data/MyData/BookMNG.dat: cannot be written ("))
        << extract.err;
    EXPECT_EQ(std::string::npos, extract.out.find("BookMNG.dat was restored")) << extract.out;
}

// Names Windows would refuse or rename, and a name without a code page 932
// form, are left out of the file and named; the run ends with exit code 1
// although the file was written, and its own extract then restores every
// file it holds.
TEST(Ikotool, CreateNamesWhatItLeftOutAndEndsWithOne) {
    NativeTree src, dst;
    MakeInstallation(src);
    const char* const leftOut[] = {"con.txt", "10:30.log", "notes.", "memo ", u8"売上€.xlsm"};
    for (const char* name : leftOut)
        src.Write(std::string("d/Excel/") + name, "x");
    src.Write(u8"d/Excel/ポイント.xls", "points"); // the trail byte of ポ is a '|'
    const ToolRun create = Ikotool(src, std::string("create m.iko") + kRoots);
    EXPECT_EQ(1, create.exitCode) << create.out << create.err;
    for (const char* reason :
         {"left out: root 1 Excel/con.txt: name not allowed on Windows (a device name",
          "left out: root 1 Excel/10:30.log: name not allowed on Windows (a colon",
          "left out: root 1 Excel/notes.: name not allowed on Windows (a dot or blank at the end)",
          "left out: root 1 Excel/memo : name not allowed on Windows (a dot or blank at the end)",
          "left out: root 1 Excel/%E5%A3%B2%E4%B8%8A%E2%82%AC.xlsm: name cannot be converted"})
        EXPECT_TRUE(Has(create.err, reason)) << reason << "\n" << create.err;
    EXPECT_FALSE(Has(create.out, "left out")) << create.out;
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
    EXPECT_EQ(2, test.exitCode);
    EXPECT_NE(std::string::npos,
              test.err.find("damaged at byte offset 4: the file holds no entries after its header"))
        << test.err;
}

// A folder whose path is too long for the system to list it is named as
// left out, not carried empty without a word; the rest is written.
TEST(Ikotool, CreateNamesAFolderItCannotList) {
    NativeTree src;
    MakeInstallation(src);
    const std::string level(120, 'a');
    // Each level made inside the one before: the whole path is never named.
    CFileDescriptor dir(::open((src / "p/Data/MyData").c_str(), O_RDONLY | O_DIRECTORY));
    for (int i = 1; i <= 40 && dir; ++i) {
        const std::string name = level + std::to_string(i);
        dir = CFileDescriptor(::mkdirat(dir.Get(), name.c_str(), 0777) == 0
                                  ? ::openat(dir.Get(), name.c_str(), O_RDONLY | O_DIRECTORY)
                                  : -1);
    }
    ASSERT_TRUE(dir);
    dir.Close();
    const ToolRun create = Ikotool(src, std::string("create m.iko") + kRoots);
    EXPECT_EQ(1, create.exitCode) << create.err;
    EXPECT_TRUE(Has(create.err, "left out: root 0 Data/MyData/" + level + "1/" + level + "2/"))
        << create.err;
    EXPECT_TRUE(Has(create.err, ": folder cannot be listed\n")) << create.err;
    EXPECT_TRUE(Has(create.err, "m.iko: written without 1 of the files (left out above)"))
        << create.err;
    EXPECT_EQ(0, Ikotool(src, "test m.iko").exitCode);
    // Below the longest path the tree's own removal can reach.
    EXPECT_EQ(0, std::system(("rm -rf " + (src / "p/Data/MyData/") + level + "1").c_str()));
}

// Natively every path of a message is written with "/", the target's full
// path in a cause too; a read-only file is not replaced.
TEST(Ikotool, NativeMessagesShowPathsWithSlashesOnly) {
    NativeTree src, dst;
    MakeFile(src);
    for (const char* root : {"p", "d", "c"})
        dst.MakeDir(root);
    dst.Write("p/Data/MyData/BookMNG.dat", "older books");
    ASSERT_EQ(0, ::chmod((dst / "p/Data/MyData/BookMNG.dat").c_str(), 0444));
    const ToolRun extract = Ikotool(dst, "extract " + (src / "m.iko") + kRoots + " -v");
    EXPECT_EQ(1, extract.exitCode);
    EXPECT_TRUE(Has(extract.err, "not written: root 0 Data/MyData/BookMNG.dat: cannot be written "
                                 "(p/Data/MyData/BookMNG.dat "))
        << extract.err;
    EXPECT_EQ(std::string::npos, extract.err.find('\\')) << extract.err;
    EXPECT_EQ(std::string::npos, extract.out.find('\\')) << extract.out;
    EXPECT_EQ("older books", ReadNativeFile(dst / "p/Data/MyData/BookMNG.dat"));
}

// A Windows folder cannot hold names that differ only in case: of such
// twins one is carried (the first in byte order, whatever the listing's
// order), the others are named as left out, folders as files.
TEST(Ikotool, CreateCarriesOneOfNamesThatDifferOnlyInCase) {
    NativeTree src, dst;
    MakeInstallation(src);
    src.Write("d/Excel/a.xls", "small");
    src.Write("d/Excel/A.xls", "capital");
    src.Write(u8"d/Excel/Ｋ/x.xls", "wide capital");
    src.Write(u8"d/Excel/ｋ/x.xls", "wide small");
    const ToolRun create = Ikotool(src, std::string("create m.iko") + kRoots);
    EXPECT_EQ(1, create.exitCode) << create.out << create.err;
    EXPECT_TRUE(Has(create.err, "left out: root 1 Excel/a.xls: name not allowed on Windows ("))
        << create.err;
    EXPECT_TRUE(Has(create.err, u8"left out: root 1 Excel/ｋ: name not allowed on Windows ("))
        << create.err;
    EXPECT_TRUE(Has(create.err, "m.iko: written without 2 of the files")) << create.err;
    for (const char* root : {"p", "d", "c"})
        dst.MakeDir(root);
    const ToolRun extract = Ikotool(dst, "extract " + (src / "m.iko") + kRoots);
    EXPECT_EQ(0, extract.exitCode) << extract.out << extract.err;
    EXPECT_EQ("capital", ReadNativeFile(dst / "d/Excel/A.xls"));
    EXPECT_EQ("wide capital", ReadNativeFile(dst / u8"d/Excel/Ｋ/x.xls"));
    EXPECT_FALSE(std::ifstream(dst / "d/Excel/a.xls").good());
}

// A user's own files of the restore's temporary names are carried, listed
// and extracted like any other file, over older ones of theirs too; only a
// killed restore's marked file stays out, without a word.
TEST(Ikotool, UsersFilesOfTemporaryNamesTravelLikeAnyOther) {
    NativeTree src, dst;
    MakeInstallation(src);
    src.Write("p/Data/MyData/~TESSARO.TMP", "the user's own");
    src.Write("d/Excel/~tessar9.tmp", "x");
    src.Write("d/Excel/~TESSAR1.TMP", CTargetFile::Mark() + "a killed restore's");
    const ToolRun create = Ikotool(src, std::string("create m.iko") + kRoots);
    EXPECT_EQ(0, create.exitCode) << create.err;
    EXPECT_FALSE(Has(create.err, "left out")) << create.err;
    const ToolRun list = Ikotool(src, "list " + (src / "m.iko"));
    EXPECT_TRUE(Has(list.out, "0 14 Data/MyData/~TESSARO.TMP\n")) << list.out;
    EXPECT_TRUE(Has(list.out, "1 1 Excel/~tessar9.tmp\n")) << list.out;
    EXPECT_FALSE(Has(list.out, "~TESSAR1.TMP")) << list.out;
    dst.Write("p/Data/MyData/~TESSARO.TMP", "older");
    dst.MakeDir("d");
    dst.MakeDir("c");
    const ToolRun extract = Ikotool(dst, "extract " + (src / "m.iko") + kRoots);
    EXPECT_EQ(0, extract.exitCode) << extract.out << extract.err;
    EXPECT_EQ("the user's own", ReadNativeFile(dst / "p/Data/MyData/~TESSARO.TMP"));
    EXPECT_EQ("x", ReadNativeFile(dst / "d/Excel/~tessar9.tmp"));
    EXPECT_FALSE(std::ifstream(dst / "d/Excel/~TESSAR1.TMP").good());
}

// Create over an older file: the user's own file of the temporary name is
// neither written nor removed, and a read-only older file is not replaced
// (as opening it for writing is refused on Windows), with the cause and
// exit code 2.
TEST(Ikotool, CreateOverAnOlderFileWritesNothingItDidNotMake) {
    struct Case {
        const char* what;
        bool bUsersTemporary;
        bool bReadOnly;
        int exitCode;
    };
    const Case cases[] = {
        {"a file of the temporary name beside it", true, false, 0},
        {"a read-only older file", false, true, 2},
        {"both", true, true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NativeTree src;
        MakeInstallation(src);
        src.Write("m.iko", "older");
        if (c.bUsersTemporary)
            src.Write("m.iko.~tmp", "the user's own");
        if (c.bReadOnly) {
            ASSERT_EQ(0, ::chmod((src / "m.iko").c_str(), 0444));
        }
        const ToolRun create = Ikotool(src, std::string("create m.iko") + kRoots);
        EXPECT_EQ(c.exitCode, create.exitCode) << create.out << create.err;
        std::map<std::string, std::string> contents = src.Contents();
        EXPECT_EQ(c.bUsersTemporary ? 1u : 0u, contents.count("m.iko.~tmp"));
        if (c.bUsersTemporary) {
            EXPECT_EQ("the user's own", contents["m.iko.~tmp"]);
        }
        for (const auto& [path, bytes] : contents) {
            EXPECT_TRUE(path.rfind("m.iko.~tmp", 0) != 0 || path == "m.iko.~tmp") << path;
        }
        if (c.bReadOnly) {
            EXPECT_EQ("older", contents["m.iko"]);
            EXPECT_EQ("m.iko: cannot be written: " + std::string(std::strerror(EACCES)) + "\n",
                      create.err);
        } else {
            EXPECT_EQ(0, Ikotool(src, "test m.iko").exitCode);
        }
    }
}
