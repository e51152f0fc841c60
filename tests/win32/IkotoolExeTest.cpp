// ikotool.exe under Wine: the sample product to a migration file and back
// into an empty installation.
#include "Process.h"
#include "SampleProduct.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>

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
