// ikotool.exe under Wine, ended from outside (TerminateProcess) at moments
// spread over its work: no restored file is cut, an older migration file
// stays until the new one is whole, and the next run completes.
#include "KillPoints.h"
#include "Process.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

namespace {

constexpr int kPoints = 12;
const KillFiles kFiles = {"Data\\Other", 40, 256 * 1024, 64 * 1024};

uidriver::StartInfo Ikotool(const std::vector<std::string>& args) {
    uidriver::StartInfo info;
    info.commandLine = uidriver::Process::CommandLine((TestBinDir() + "\\ikotool.exe").str(), args);
    return info;
}

DWORD TimeOfOneRun(const std::vector<std::string>& args) {
    const auto start = std::chrono::steady_clock::now();
    uidriver::Process run(Ikotool(args));
    EXPECT_EQ(0u, run.WaitForExit(60000)) << run.Stdout() << run.Stderr();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now() - start)
                                  .count());
}

void KillAt(const std::vector<std::string>& args, DWORD delayMs) {
    uidriver::Process run(Ikotool(args));
    ::Sleep(delayMs);
    run.Terminate();
}

} // namespace

TEST(IkotoolExeKill, ExtractKilledAnywhereLeavesNoFileCut) {
    TempDir work;
    const CString src = work / "src", dst = work / "dst", probe = work / "probe";
    for (const CString& dir : {src, dst, probe})
        ASSERT_TRUE(::CreateDirectoryA(dir, nullptr));
    kFiles.Lay(src, true);
    kFiles.Lay(dst, false);
    kFiles.Lay(probe, false);
    const std::string iko = (work / "m.iko").str();
    TimeOfOneRun({"create", iko, "--root", ("0=" + src).str(), "--root", ("1=" + src).str()});
    const auto extract = [&](const CString& root) {
        return std::vector<std::string>{"extract",           iko,      "--root",
                                        ("0=" + root).str(), "--root", ("1=" + root).str()};
    };
    const DWORD whole = TimeOfOneRun(extract(probe));
    KillPoints points(kPoints);
    points.Watch(dst, kFiles);
    int copies = 0;
    for (int k = 0; k < kPoints; ++k) {
        SCOPED_TRACE("kill point " + std::to_string(k));
        KillAt(extract(dst), points.DelayMs(whole, k));
        const int left = kFiles.TemporaryFilesLeft(dst, false);
        copies += left;
        points.CheckAfterKill(left > 0);
    }
    uidriver::Process last(Ikotool(extract(dst)));
    EXPECT_EQ(0u, last.WaitForExit(60000)) << last.Stdout();
    points.CheckWhole();
    EXPECT_EQ(0, kFiles.TemporaryFilesLeft(dst, true));
    EXPECT_EQ(0, JournalsLeft());
    std::printf("ikotool.exe extract: %s; %d whole copies seen after kills, each removed by a "
                "later run\n",
                points.Summary().c_str(), copies);
}

TEST(IkotoolExeKill, CreateKilledAnywhereKeepsTheOlderFileOrMakesTheNewOneWhole) {
    TempDir work;
    const CString src = work / "src";
    ASSERT_TRUE(::CreateDirectoryA(src, nullptr));
    kFiles.Lay(src, false);
    const auto create = [&](const CString& file) {
        return std::vector<std::string>{"create",           file.str(), "--root",
                                        ("0=" + src).str(), "--root",   ("1=" + src).str()};
    };
    TimeOfOneRun(create(work / "m.iko"));
    const std::string older = ReadFileBytes(work / "m.iko");
    kFiles.Lay(src, true);
    const DWORD whole = TimeOfOneRun(create(work / "new.iko"));
    KillPoints points(kPoints);
    points.Watch(work / "m.iko", older, true, ReadFileBytes(work / "new.iko"));
    int copies = 0;
    for (int k = 0; k < kPoints; ++k) {
        SCOPED_TRACE("kill point " + std::to_string(k));
        KillAt(create(work / "m.iko"), points.DelayMs(whole, k));
        points.CheckAfterKill(FileExists(work / "m.iko.~tmp"));
        copies += KeptWriterFiles(work / "m.iko") > 0;
    }
    TimeOfOneRun(create(work / "m.iko"));
    points.CheckWhole();
    EXPECT_EQ(0, KeptWriterFiles(work / "m.iko"));
    EXPECT_EQ(0, JournalsLeft());
    std::printf("ikotool.exe create: %s; %d kills left a copy, each removed by a later run\n",
                points.Summary().c_str(), copies);
}
