// ikotool.exe under Wine: the sample product to a migration file and back
// into an empty installation.
#include "HeldFiles.h"
#include "HostileFiles.h"
#include "Process.h"
#include "ProtectedInstallation.h"
#include "SampleProduct.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <memory>

namespace {

struct ToolRun {
    DWORD exitCode;
    std::string out;
};

ToolRun RunIkotool(const std::vector<std::string>& args) {
    const std::string exe = (TestBinDir() + "\\ikotool.exe").str();
    uidriver::Process tool(uidriver::Process::CommandLine(exe, args));
    const DWORD exitCode = tool.WaitForExit(60000);
    return {exitCode, tool.Stdout() + tool.Stderr()};
}

// Every file below dir\sub: path relative to dir -> bytes.
void CollectFiles(const CString& dir, const CString& sub,
                  std::map<std::string, std::string>& files) {
    WIN32_FIND_DATAA fd;
    const HANDLE h = ::FindFirstFileA(dir + "\\" + sub + "\\*.*", &fd);
    if (h == INVALID_HANDLE_VALUE)
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
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
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
    SampleProductOptions options;
    options.bWriteRegistry = false;
    CString error;
    ASSERT_TRUE(LaySampleProduct(src, options, error)) << error.GetString();
    ASSERT_TRUE(::CreateDirectoryA(dst, nullptr));

    const std::string roots0 = ("0=" + src).str(), roots1 = ("1=" + src).str();
    ToolRun run = RunIkotool({"create", iko.str(), "--root", roots0, "--root", roots1});
    ASSERT_EQ(0u, run.exitCode) << run.out;
    run = RunIkotool({"test", iko.str()});
    EXPECT_EQ(0u, run.exitCode) << run.out;
    EXPECT_EQ(0u, run.out.find("OK: ")) << run.out;

    run = RunIkotool(
        {"extract", iko.str(), "--root", ("0=" + dst).str(), "--root", ("1=" + dst).str()});
    ASSERT_EQ(0u, run.exitCode) << run.out;
    std::map<std::string, std::string> expected;
    for (const auto& file : ProductFiles(src))
        if (Restored(file.first, file.second))
            expected.insert(file);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(expected, ProductFiles(dst));
}

TEST(IkotoolExe, DamagedFileEndsWithExitCodeOneAndItsOffset) {
    TempDir work;
    WriteFileBytes(work / "cut.iko", std::string("\x01\x00\x04\x00\x04\x00", 6));
    const ToolRun run = RunIkotool({"test", (work / "cut.iko").str()});
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_NE(std::string::npos, run.out.find("cut.iko: damaged at byte offset 4: ")) << run.out;
}

// Targets Windows would not replace (read-only, hidden, system, held open)
// keep their bytes; each is listed as not written, and the run ends as an
// incomplete restore although everything else was written.
TEST(IkotoolExe, ExtractListsTheFilesItCouldNotWriteAndFails) {
    TempDir work;
    const CString src = work / "src", dst = work / "dst", iko = work / "移行.iko";
    SampleProductOptions options;
    options.bWriteRegistry = false;
    CString error;
    ASSERT_TRUE(LaySampleProduct(src, options, error)) << error.GetString();
    ASSERT_TRUE(LaySampleProduct(dst, options, error)) << error.GetString();
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
    EXPECT_EQ(1u, run.exitCode) << run.out;
    for (const auto& t : targets) {
        SCOPED_TRACE(t.rel);
        EXPECT_NE(std::string::npos,
                  run.out.find(std::string("not written: root ") +
                               (std::string(t.rel).rfind("Excel", 0) == 0 ? "1 " : "0 ") + t.rel +
                               ": cannot be written ("))
            << run.out;
        ::SetFileAttributesA(dst + "\\" + t.rel, FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ("kept", ReadFileBytes(dst + "\\" + t.rel));
    }
    EXPECT_NE(std::string::npos,
              run.out.find("the restore is incomplete: 4 of its files could not be written"))
        << run.out;
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
            EXPECT_EQ(1u, test.exitCode) << test.out;
            EXPECT_NE(std::string::npos,
                      test.out.find("damaged at byte offset " + std::to_string(f.faultOffset) +
                                    ": " + f.fault))
                << test.out;
            EXPECT_EQ(1u, extract.exitCode) << extract.out;
            EXPECT_EQ(3u, FolderContents(work.Path()).size() - 1); // p, d and c, empty
            continue;
        }
        EXPECT_EQ(0u, test.exitCode) << test.out;
        EXPECT_EQ(f.refused, CountOf(extract.out, ": refused path (")) << extract.out;
        EXPECT_EQ(f.filtered, CountOf(extract.out, "kept out by the restore filter"))
            << extract.out;
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
    EXPECT_EQ(0u, run.exitCode) << run.out;
    EXPECT_EQ(entries, CountOf(run.out, ": kept out by the restore filter")) << run.out;
    EXPECT_EQ(before, target.Contents());
}

// A workbook whose name code page 932 cannot hold is named as left out,
// and create ends with exit code 1 although it wrote the rest.
TEST(IkotoolExe, CreateNamesWhatItLeftOutAndFails) {
    TempDir work;
    const CString src = work / "src";
    SampleProductOptions options;
    options.bWriteRegistry = false;
    CString error;
    ASSERT_TRUE(LaySampleProduct(src, options, error)) << error.GetString();
    const std::wstring wide(src.GetString(), src.GetString() + src.GetLength());
    const HANDLE h = ::CreateFileW((wide + L"\\Excel\\\x58F2\x4E0A\x20AC.xlsm").c_str(),
                                   GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h); // 売上€.xlsm
    ::CloseHandle(h);
    const ToolRun run = RunIkotool({"create", (work / "m.iko").str(), "--root", ("0=" + src).str(),
                                    "--root", ("1=" + src).str()});
    EXPECT_EQ(1u, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("left out: root 1 Excel\\売上?.xlsm: name cannot be "
                                              "converted"))
        << run.out;
    EXPECT_NE(std::string::npos, run.out.find("m.iko: written without 1 of the files")) << run.out;
    EXPECT_EQ(0u, RunIkotool({"test", (work / "m.iko").str()}).exitCode);
}
