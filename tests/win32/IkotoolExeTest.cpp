// ikotool.exe under Wine: the sample product to a migration file and back
// into an empty installation.
#include "HeldFiles.h"
#include "HostileFiles.h"
#include "MigrationBytes.h"
#include "Process.h"
#include "ProductFixture.h"
#include "ProtectedInstallation.h"
#include "SampleProduct.h"
#include "ScopedHandle_win.h"
#include "TempDir.h"
#include "UndecodableNames.h"

#include "MorvaneVersion.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <windows.h>

#include <cstring>
#include <map>
#include <memory>

namespace {

struct ToolRun {
    DWORD exitCode;
    std::string out, err;
};

ToolRun RunIkotool(const std::vector<std::string>& args) {
    const std::string exe = (TestBinDir() + "\\ikotool.exe").str();
    uidriver::Process tool(uidriver::Process::CommandLine(exe, args));
    const DWORD exitCode = tool.WaitForExit(60000);
    return {exitCode, tool.Stdout(), tool.Stderr()};
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Every file below dir\sub: path relative to dir -> bytes.
void CollectFiles(const CString& dir, const CString& sub,
                  std::map<std::string, std::string>& files) {
    WIN32_FIND_DATAA fd;
    const CFindHandle h(::FindFirstFileA(dir + "\\" + sub + "\\*.*", &fd));
    if (!h)
        return;
    do {
        const CString name(fd.cFileName);
        if (name == "." || name == "..")
            continue;
        const CString rel = sub + "\\" + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CollectFiles(dir, rel, files);
        else
            files[rel.str()] = ReadFileBytes(dir + "\\" + rel);
    } while (::FindNextFileA(h.Get(), &fd));
}

std::map<std::string, std::string> ProductFiles(const CString& dir) {
    std::map<std::string, std::string> files;
    for (const char* item :
         {"Data\\DefEru", "Data\\MyData", "Data\\Org", "Data\\Other", "Data\\MsgMemo", "Excel"})
        CollectFiles(dir, item, files);
    return files;
}

// What a restore leaves out: empty files, and the templates and converters
// of the target below Data\Org.
bool Restored(const std::string& rel, const std::string& bytes) {
    CString lower(rel);
    lower.MakeLower();
    const bool bOrgTemplate = lower.Find("data\\org\\") == 0 &&
                              (lower.Find("\\kyuyo.") > 0 || lower.Find("\\xlconv2.") > 0 ||
                               lower.Find("\\勤怠_kyuyo.") > 0);
    return !bytes.empty() && !bOrgTemplate;
}

} // namespace

TEST(IkotoolExe, SampleProductRoundTripsIntoAnEmptyInstallation) {
    TempDir work;
    const CString src = work / "src", dst = work / "dst", iko = work / "移行.iko";
    ASSERT_TRUE(LaidSample(src, UnregisteredSample()));
    ASSERT_TRUE(::CreateDirectoryA(dst, nullptr));

    const std::string roots0 = ("0=" + src).str(), roots1 = ("1=" + src).str();
    ToolRun run = RunIkotool({"create", iko.str(), "--root", roots0, "--root", roots1});
    ASSERT_EQ(0u, run.exitCode) << run.err;
    run = RunIkotool({"test", iko.str()});
    EXPECT_EQ(0u, run.exitCode) << run.err;
    EXPECT_EQ(0u, run.out.find("OK: ")) << run.out;

    run = RunIkotool(
        {"--root", ("0=" + dst).str(), "extract", "--root", ("1=" + dst).str(), iko.str()});
    ASSERT_EQ(0u, run.exitCode) << run.err;
    EXPECT_TRUE(Has(run.err, "skipped: root 0 Data\\Org\\")) << run.err;
    EXPECT_FALSE(Has(run.out, "skipped:")) << run.out;
    std::map<std::string, std::string> expected;
    for (const auto& file : ProductFiles(src))
        if (Restored(file.first, file.second))
            expected.insert(file);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(expected, ProductFiles(dst));
}

TEST(IkotoolExe, DamagedFileEndsWithExitCodeTwoAndItsOffset) {
    TempDir work;
    WriteFileBytes(work / "cut.iko", std::string("\x01\x00\x04\x00\x04\x00", 6));
    const ToolRun run = RunIkotool({"test", (work / "cut.iko").str()});
    EXPECT_EQ(2u, run.exitCode);
    EXPECT_EQ("", run.out);
    EXPECT_TRUE(Has(run.err, "cut.iko: damaged at byte offset 4: ")) << run.err;
    const ToolRun json = RunIkotool({"test", "--json", (work / "cut.iko").str()});
    EXPECT_EQ(2u, json.exitCode);
    const nlohmann::json verdict = nlohmann::json::parse(json.out)["verdict"];
    EXPECT_EQ("damaged", verdict["status"]);
    EXPECT_EQ(4, verdict["offset"]);
}

// Targets Windows would not replace (read-only, hidden, system, held open)
// keep their bytes; each is listed as not written, and the run ends as an
// incomplete restore although everything else was written.
TEST(IkotoolExe, ExtractListsTheFilesItCouldNotWriteAndFails) {
    TempDir work;
    const CString src = work / "src", dst = work / "dst", iko = work / "移行.iko";
    ASSERT_TRUE(LaidSample(src, UnregisteredSample()));
    ASSERT_TRUE(LaidSample(dst, UnregisteredSample()));
    ASSERT_EQ(0u, RunIkotool({"create", iko.str(), "--root", ("0=" + src).str(), "--root",
                              ("1=" + src).str()})
                      .exitCode);
    const struct {
        const char* rel;
        DWORD attributes; // 0: held open
    } targets[] = {{"Data\\MyData\\BookMNG.dat", FILE_ATTRIBUTE_READONLY},
                   {"Excel\\kyuyo.xls", FILE_ATTRIBUTE_HIDDEN},
                   {"Excel\\表参道店.xls", FILE_ATTRIBUTE_SYSTEM},
                   {"Excel\\勤怠_kyuyo.xls", 0}};
    std::vector<std::unique_ptr<HeldFile>> held;
    for (const auto& t : targets) {
        WriteFileBytes(dst + "\\" + t.rel, "kept");
        if (t.attributes)
            ASSERT_TRUE(::SetFileAttributesA(dst + "\\" + t.rel, t.attributes));
        else
            held.push_back(std::make_unique<HeldFile>(dst + "\\" + t.rel));
    }
    const ToolRun run = RunIkotool(
        {"extract", iko.str(), "--root", ("0=" + dst).str(), "--root", ("1=" + dst).str()});
    held.clear();
    EXPECT_EQ(1u, run.exitCode) << run.err;
    for (const auto& t : targets) {
        SCOPED_TRACE(t.rel);
        EXPECT_TRUE(Has(run.err, std::string("not written: root ") +
                                     (std::string(t.rel).rfind("Excel", 0) == 0 ? "1 " : "0 ") +
                                     t.rel + ": cannot be written ("))
            << run.err;
        ::SetFileAttributesA(dst + "\\" + t.rel, FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ("kept", ReadFileBytes(dst + "\\" + t.rel));
    }
    EXPECT_TRUE(Has(run.err, "the restore is incomplete: 4 of its files could not be written"))
        << run.err;
    EXPECT_EQ(ReadFileBytes(src + "\\Data\\MyData\\ExType1.dat"),
              ReadFileBytes(dst + "\\Data\\MyData\\ExType1.dat"));
}

namespace {

int CountOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// Every file below dir that is not below one of the roots p, d and c, and
// not the migration file itself.
std::vector<std::string> OutsideTheRoots(const CString& dir) {
    std::vector<std::string> outside;
    for (const auto& [rel, bytes] : FolderContents(dir)) {
        const CString name(rel.c_str());
        const bool belowRoot =
            name.GetLength() > 2 &&
            (name.Find("p\\") == 0 || name.Find("d\\") == 0 || name.Find("c\\") == 0);
        if (!belowRoot && rel != "in.iko")
            outside.push_back(rel);
    }
    return outside;
}

} // namespace

// The hostile files of the table, each read by ikotool.exe test and
// extract: damaged ones are refused at their fault and write nothing, the
// others write nothing outside the roots and name each refused path.
// (Natively, HostileFileTest checks the files written and the memory.)
TEST(IkotoolExe, HostileFilesAreRefusedOrKeptInsideTheRoots) {
    for (const HostileFile& f : HostileMigrationFiles()) {
        SCOPED_TRACE(f.name + ": " + f.what);
        TempDir work;
        WriteFileBytes(work / "in.iko", f.bytes);
        for (const char* root : {"p", "d", "c"})
            ASSERT_TRUE(::CreateDirectoryA(work / root, nullptr));
        const ToolRun test = RunIkotool({"test", (work / "in.iko").str()});
        const ToolRun extract = RunIkotool(
            {"extract", (work / "in.iko").str(), "--root", ("0=" + (work / "p")).str(), "--root",
             ("1=" + (work / "d")).str(), "--root", ("2=" + (work / "c")).str()});
        EXPECT_EQ(std::vector<std::string>({"c\\", "d\\", "p\\"}), OutsideTheRoots(work.Path()));
        if (f.kind == HostileFile::damaged) {
            EXPECT_EQ(2u, test.exitCode) << test.err;
            EXPECT_TRUE(Has(test.err, "damaged at byte offset " + std::to_string(f.faultOffset) +
                                          ": " + f.fault))
                << test.err;
            EXPECT_EQ(2u, extract.exitCode) << extract.err;
            EXPECT_EQ(3u, FolderContents(work.Path()).size() - 1); // p, d and c, empty
            continue;
        }
        EXPECT_EQ(0u, test.exitCode) << test.err;
        EXPECT_EQ(f.refused, CountOf(extract.err, ": refused path (")) << extract.err;
        EXPECT_EQ(f.filtered, CountOf(extract.err, "kept out by the restore filter"))
            << extract.err;
    }
}

// The console program keeps the conventions of the native one: help and
// version on standard output with 0, a usage error on standard error with 2.
TEST(IkotoolExe, HelpVersionAndUsageErrorsKeepTheirStreamsAndCodes) {
    const ToolRun help = RunIkotool({"--help"});
    EXPECT_EQ(0u, help.exitCode);
    EXPECT_EQ("", help.err);
    EXPECT_TRUE(Has(help.out, "\nCommands:\r\n  list ")) << help.out;
    EXPECT_EQ(help.out, RunIkotool({"help"}).out);
    const ToolRun own = RunIkotool({"extract", "-h"});
    EXPECT_EQ(0u, own.exitCode);
    EXPECT_EQ(0u, own.out.find("usage: ikotool extract FILE --root 0=DIR")) << own.out;
    const ToolRun version = RunIkotool({"--version"});
    EXPECT_EQ(0u, version.exitCode);
    EXPECT_EQ(0u, version.out.find("ikotool " MORVANE_VERSION_TEXT " ")) << version.out;
    const ToolRun usage = RunIkotool({"list", "x.iko", "--format", "3"});
    EXPECT_EQ(2u, usage.exitCode);
    EXPECT_EQ("", usage.out);
    EXPECT_EQ(0u, usage.err.find("ikotool: list takes no --format\r\nusage: ikotool list"))
        << usage.err;
}

// The names are code page 932 in the file and in the program; the JSON
// document carries them in UTF-8, read back here by a real JSON reader.
TEST(IkotoolExe, JsonDocumentCarriesTheNamesInUtf8) {
    TempDir work;
    const CString src = work / "src", iko = work / "移行.iko";
    for (const char* dir : {"", "\\Data", "\\Data\\MyData", "\\Data\\MyData\\表示",
                            "\\Data\\MyData\\表示\\ソフト", "\\Excel"})
        ASSERT_TRUE(::CreateDirectoryA(src + dir, nullptr)) << dir;
    WriteFileBytes(src + "\\Data\\MyData\\表示\\ソフト\\給与.dat", "pay");
    WriteFileBytes(src + "\\Excel\\表参道店.xls", "");
    ASSERT_EQ(0u, RunIkotool({"create", iko.str(), "--root", ("0=" + src).str(), "--root",
                              ("1=" + src).str(), "--format", "4"})
                      .exitCode);
    const ToolRun list = RunIkotool({"list", "--json", iko.str()});
    ASSERT_EQ(0u, list.exitCode) << list.err;
    EXPECT_EQ("", list.err);
    EXPECT_EQ(list.out, RunIkotool({"test", iko.str(), "--json"}).out);
    const nlohmann::json doc = nlohmann::json::parse(list.out);
    EXPECT_TRUE(Has(doc["file"].get<std::string>(), u8"\\移行.iko")) << doc["file"];
    std::map<std::string, std::string> kinds;
    for (const nlohmann::json& e : doc["entries"])
        kinds[e["path"]] = e["kind"];
    EXPECT_EQ(
        (std::map<std::string, std::string>{{u8"Data\\MyData", "directory"},
                                            {u8"Data\\MyData\\表示", "directory"},
                                            {u8"Data\\MyData\\表示\\ソフト", "directory"},
                                            {u8"Data\\MyData\\表示\\ソフト\\給与.dat", "file"},
                                            {u8"Excel", "directory"},
                                            {u8"Excel\\表参道店.xls", "empty"}}),
        kinds);
    EXPECT_EQ(4, doc["format"]["code"]);
    EXPECT_EQ(".xlsm\" books", doc["format"]["codes"][0]["meaning"].get<std::string>().substr(1));
    EXPECT_EQ("whole", doc["verdict"]["status"]);

    const ToolRun text = RunIkotool({"list", iko.str()});
    EXPECT_EQ(0u, text.out.find("header: 2 top-level entries, product byte 0x04 (Morvane)\r\n"
                                "book format: 4 (\".xlsm\" books)\r\n"))
        << text.out;
    EXPECT_TRUE(Has(text.out, "0 3 Data\\MyData\\表示\\ソフト\\給与.dat\r\n")) << text.out;
}

// The same document as the native build gives: U+FFFD for each byte that
// is no character, the raw bytes beside, no character lost.
TEST(IkotoolExe, JsonShowsBytesThatAreNoCharacterAsReplacements) {
    TempDir work;
    for (const UndecodableName& c : UndecodableNames()) {
        SCOPED_TRACE(c.shown);
        const CString iko = work / "u.iko";
        WriteFileBytes(iko, Header(1) + Record(4, 0, "", "Data\\MyData", "", 1) +
                                Record(4, 0, "\\Data\\MyData", c.name, "x", 0));
        const ToolRun list = RunIkotool({"list", "--json", iko.str()});
        ASSERT_EQ(0u, list.exitCode) << list.err;
        const nlohmann::json entry = nlohmann::json::parse(list.out)["entries"][1];
        EXPECT_EQ(u8"Data\\MyData\\" + c.shown, entry["path"].get<std::string>());
        EXPECT_EQ(c.bLossy, entry.contains("path_bytes"));
    }
}

// -q keeps only errors, -v names every entry (in code page 932, as the
// console shows it; extract with what became of it), --progress writes its
// line into a file too.
TEST(IkotoolExe, QuietVerboseAndProgressKeepTheirStreams) {
    TempDir work;
    const CString src = work / "src", iko = work / "m.iko";
    for (const char* dir : {"", "\\Data", "\\Data\\MyData", "\\Data\\Org", "\\dst"})
        ASSERT_TRUE(::CreateDirectoryA(src + dir, nullptr)) << dir;
    WriteFileBytes(src + "\\Data\\MyData\\表示.dat", "abc");
    WriteFileBytes(src + "\\Data\\Org\\kyuyo.xls", "template");
    const std::string root0 = ("0=" + src).str(), root1 = ("1=" + src).str();
    ASSERT_EQ(0u, RunIkotool({"create", iko.str(), "--root", root0, "--root", root1}).exitCode);
    const std::string dst0 = ("0=" + src + "\\dst").str(), dst1 = ("1=" + src + "\\dst").str();
    // extract -v: the line of the restore's record, in code page 932.
    const std::string restoredLine = "復元\t" + (src + "\\dst\\Data\\MyData\\表示.dat\r\n").str();
    const struct {
        std::vector<std::string> args;
        const char* out; // a part of it, or "" for nothing
        const char* err;
    } cases[] = {
        {{"extract", "-q", iko.str(), "--root", dst0, "--root", dst1}, "", ""},
        {{"extract", iko.str(), "--root", dst0, "--root", dst1},
         "m.iko: 4 entries, 2 files, 11 bytes read, 1 written, 1 skipped, 0 could not be "
         "written, 0 empty\r\n",
         "skipped: root 0 Data\\Org\\kyuyo.xls: kept out by the restore filter\r\n"},
        {{"-v", "test", iko.str()}, "root 0 Data\\MyData\\表示.dat\r\n", ""},
        {{"extract", "-v", iko.str(), "--root", dst0, "--root", dst1},
         restoredLine.c_str(),
         "skipped: "},
        {{"create", "-v", (work / "n.iko").str(), "--root", root0, "--root", root1},
         "root 0 Data\\MyData\\表示.dat\r\n",
         ""},
        {{"test", iko.str(), "--progress"}, "OK: 2 files, 11 bytes\r\n", "100% 2 files, "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        const ToolRun run = RunIkotool(c.args);
        EXPECT_EQ(0u, run.exitCode) << run.err;
        EXPECT_TRUE(*c.out ? Has(run.out, c.out) : run.out.empty()) << run.out;
        EXPECT_TRUE(*c.err ? Has(run.err, c.err) : run.err.empty()) << run.err;
    }
}

// Every other spelling of each protected file, Wine's short names among
// them, through ikotool.exe extract: each is kept out, nothing changes.
TEST(IkotoolExe, EveryOtherSpellingOfAProtectedFileIsKeptOut) {
    TempDir work;
    const CString dst = work / "dst";
    ASSERT_TRUE(::CreateDirectoryA(dst, nullptr));
    const ProtectedInstallation target(dst, dst);
    target.Lay("the target's own");
    const auto before = target.Contents();
    int entries = 0;
    WriteFileBytes(work / "all.iko",
                   FileOfEverySpelling(target.SystemShortNames(), "restored", &entries));
    const ToolRun run = RunIkotool({"extract", (work / "all.iko").str(), "--root",
                                    ("0=" + dst).str(), "--root", ("1=" + dst).str()});
    EXPECT_EQ(0u, run.exitCode) << run.err;
    EXPECT_EQ(entries, CountOf(run.err, ": kept out by the restore filter")) << run.err;
    EXPECT_EQ(before, target.Contents());
}

// A workbook whose name code page 932 cannot hold is named as left out,
// and create ends with exit code 1 although it wrote the rest.
TEST(IkotoolExe, CreateNamesWhatItLeftOutAndEndsWithOne) {
    TempDir work;
    const CString src = work / "src";
    ASSERT_TRUE(LaidSample(src, UnregisteredSample()));
    const std::wstring wide(src.GetString(), src.GetString() + src.GetLength());
    // 売上€.xlsm
    ASSERT_TRUE(CFileHandle(::CreateFileW((wide + L"\\Excel\\\x58F2\x4E0A\x20AC.xlsm").c_str(),
                                          GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)));
    const ToolRun run = RunIkotool({"create", (work / "m.iko").str(), "--root", ("0=" + src).str(),
                                    "--root", ("1=" + src).str()});
    EXPECT_EQ(1u, run.exitCode) << run.err;
    EXPECT_TRUE(Has(run.err, "left out: root 1 Excel\\売上?.xlsm: name cannot be converted"))
        << run.err;
    EXPECT_TRUE(Has(run.err, "m.iko: written without 1 of the files")) << run.err;
    EXPECT_EQ(0u, RunIkotool({"test", (work / "m.iko").str()}).exitCode);
}

namespace {

// The verdict lines of a run, the dry run's in the real run's words.
std::vector<std::string> Verdicts(const std::string& text) {
    std::vector<std::string> verdicts;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        for (const char* dry : {"would not be written: ", "not written: "})
            if (line.rfind(dry, 0) == 0)
                verdicts.push_back("not written: " + line.substr(std::strlen(dry)));
        at = end + 1;
    }
    return verdicts;
}

} // namespace

// A folder whose permissions deny this user new files: the dry run tells
// what the real run meets, by the folder's security, and writes nothing.
TEST(IkotoolExe, DryRunSeesAFolderThatRefusesNewFiles) {
    TempDir work;
    const CString dst = work / "dst", iko = work / "m.iko";
    for (const char* dir : {"", "\\Data", "\\Data\\Other"})
        ASSERT_TRUE(::CreateDirectoryA(dst + dir, nullptr)) << dir;
    WriteFileBytes(iko, Header(1) + Record(4, 0, "", "Data\\Other", "", 1) +
                            Record(4, 0, "\\Data\\Other", "o.frm", "O", 0));
    const std::vector<std::string> roots = {"--root", ("0=" + dst).str(), "--root",
                                            ("1=" + dst).str()};
    const auto Run = [&](std::vector<std::string> args) {
        args.insert(args.end(), roots.begin(), roots.end());
        return RunIkotool(args);
    };
    const ToolRun open = Run({"extract", iko.str(), "--dry-run"});
    EXPECT_EQ(0u, open.exitCode) << open.err;
    {
        const Holding denied = HoldFolderReadOnly(dst + "\\Data\\Other");
        const ToolRun dry = Run({"extract", iko.str(), "--dry-run"});
        const ToolRun real = Run({"extract", iko.str()});
        EXPECT_EQ(1u, real.exitCode) << real.err;
        EXPECT_EQ(real.exitCode, dry.exitCode) << dry.out << dry.err;
        EXPECT_TRUE(Has(dry.err, "would not be written: root 0 Data\\Other\\o.frm")) << dry.err;
        EXPECT_FALSE(Has(dry.out, "would be written:")) << dry.out;
        // The folder refused the file, not a temporary name the user never sees.
        EXPECT_FALSE(Has(real.err + dry.err, "TESSAR")) << real.err << dry.err;
        EXPECT_TRUE(Has(real.err, "Data\\Other ")) << real.err;
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(dst + "\\Data\\Other\\o.frm"));
}

// As the restore sees them: a protected target with the same bytes is the
// same, one with other bytes could not be written, and a folder where the
// file would go is refused alike by the dry run and the real one.
TEST(IkotoolExe, CompareAndDryRunSeeWhatTheRestoreDoes) {
    TempDir work;
    const CString src = work / "src", dst = work / "dst", iko = work / "移行.iko";
    SampleProductOptions options;
    options.bWriteRegistry = false;
    CString error;
    ASSERT_TRUE(LaySampleProduct(src, options, error)) << error.GetString();
    const std::vector<std::string> roots = {"--root", ("0=" + dst).str(), "--root",
                                            ("1=" + dst).str()};
    const auto With = [&](std::vector<std::string> head) {
        head.insert(head.end(), roots.begin(), roots.end());
        return head;
    };
    ASSERT_EQ(0u, RunIkotool({"create", iko.str(), "--root", ("0=" + src).str(), "--root",
                              ("1=" + src).str()})
                      .exitCode);
    ASSERT_TRUE(::CreateDirectoryA(dst, nullptr));
    ASSERT_EQ(0u, RunIkotool(With({"extract", iko.str()})).exitCode);
    const ToolRun same = RunIkotool(With({"compare", iko.str()}));
    EXPECT_EQ(0u, same.exitCode) << same.out << same.err;
    EXPECT_TRUE(Has(same.out, "a restore would change nothing")) << same.out;

    const CString book = dst + "\\Data\\MyData\\BookMNG.dat";
    ASSERT_TRUE(::SetFileAttributesA(book, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    const ToolRun protectedSame = RunIkotool(With({"compare", iko.str()}));
    EXPECT_EQ(0u, protectedSame.exitCode) << protectedSame.out;
    ASSERT_TRUE(::SetFileAttributesA(book, FILE_ATTRIBUTE_NORMAL));
    WriteFileBytes(book, "other");
    ASSERT_TRUE(::SetFileAttributesA(book, FILE_ATTRIBUTE_READONLY));
    const ToolRun protectedOther = RunIkotool(With({"compare", iko.str()}));
    EXPECT_EQ(1u, protectedOther.exitCode);
    EXPECT_TRUE(Has(protectedOther.out, "would not be written: root 0 Data\\MyData\\BookMNG.dat"))
        << protectedOther.out;

    WriteFileBytes(dst + "\\Excel\\extra.xls", "mine");
    ASSERT_TRUE(::SetFileAttributesA(book, FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(::DeleteFileA(book));
    ASSERT_TRUE(::CreateDirectoryA(book, nullptr));
    const ToolRun compare = RunIkotool(With({"compare", iko.str()}));
    EXPECT_EQ(1u, compare.exitCode);
    EXPECT_TRUE(Has(compare.out, "only here: root 1 Excel\\extra.xls")) << compare.out;
    EXPECT_TRUE(Has(compare.out, "would not be written: root 0 Data\\MyData\\BookMNG.dat"))
        << compare.out;
    const ToolRun dry = RunIkotool(With({"extract", iko.str(), "--dry-run"}));
    const ToolRun real = RunIkotool(With({"extract", iko.str()}));
    EXPECT_EQ(real.exitCode, dry.exitCode) << dry.err << real.err;
    EXPECT_EQ(1u, real.exitCode);
    EXPECT_EQ(Verdicts(real.err), Verdicts(dry.err)) << dry.err << "\n" << real.err;
    EXPECT_TRUE(Has(dry.err, "would not be written: root 0 Data\\MyData\\BookMNG.dat")) << dry.err;
}

namespace {

// The names in dir that begin with `prefix`.
std::vector<std::string> NamesBeginningWith(const CString& dir, const std::string& prefix) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    const CFindHandle h(::FindFirstFileA(dir + "\\*.*", &fd));
    if (!h)
        return names;
    do {
        if (std::string(fd.cFileName).rfind(prefix, 0) == 0)
            names.emplace_back(fd.cFileName);
    } while (::FindNextFileA(h.Get(), &fd));
    return names;
}

} // namespace

// Create over an older file: the user's own file of the temporary name is
// neither written nor removed; a read-only, hidden or system older file is
// not replaced (Windows refuses to open one for writing) and keeps its
// bytes and its attributes, with the cause and exit code 2.
TEST(IkotoolExe, CreateOverAnOlderFileWritesNothingItDidNotMake) {
    struct Case {
        const char* what;
        DWORD attributes;
        bool bUsersTemporary;
        DWORD exitCode;
    };
    const Case cases[] = {
        {"the user's file of the temporary name", FILE_ATTRIBUTE_NORMAL, true, 0},
        {"read-only", FILE_ATTRIBUTE_READONLY, false, 2},
        {"hidden", FILE_ATTRIBUTE_HIDDEN, true, 2},
        {"system", FILE_ATTRIBUTE_SYSTEM, false, 2},
    };
    const DWORD kShown = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir work;
        const CString src = work / "src", iko = work / "m.iko";
        ASSERT_TRUE(::CreateDirectoryA(src, nullptr));
        ASSERT_TRUE(::CreateDirectoryA(src + "\\Data", nullptr));
        ASSERT_TRUE(::CreateDirectoryA(src + "\\Data\\MyData", nullptr));
        WriteFileBytes(src + "\\Data\\MyData\\a.dat", "abc");
        WriteFileBytes(iko, "older");
        if (c.bUsersTemporary)
            WriteFileBytes(iko + ".~tmp", "the user's own");
        ASSERT_TRUE(::SetFileAttributesA(iko, c.attributes));
        const ToolRun run = RunIkotool(
            {"create", iko.str(), "--root", ("0=" + src).str(), "--root", ("1=" + src).str()});
        EXPECT_EQ(c.exitCode, run.exitCode) << run.out << run.err;
        EXPECT_EQ(c.attributes & kShown, ::GetFileAttributesA(iko) & kShown);
        const std::vector<std::string> temporary =
            c.bUsersTemporary ? std::vector<std::string>{"m.iko.~tmp"} : std::vector<std::string>{};
        EXPECT_EQ(temporary, NamesBeginningWith(work.Path(), "m.iko.~tmp"));
        if (c.bUsersTemporary) {
            EXPECT_EQ("the user's own", ReadFileBytes(iko + ".~tmp"));
        }
        if (c.exitCode == 2) {
            EXPECT_EQ("older", ReadFileBytes(iko));
            EXPECT_TRUE(Has(
                run.err,
                (iko + ": cannot be written: " + iko + " へのアクセスが拒否されました。").str()))
                << run.err;
        } else {
            EXPECT_EQ(0u, RunIkotool({"test", iko.str()}).exitCode);
        }
        ::SetFileAttributesA(iko, FILE_ATTRIBUTE_NORMAL);
    }
}
