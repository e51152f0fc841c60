// ikotool.exe under Wine, ended from outside (TerminateProcess) at moments
// spread over its work: no restored file is cut, an older migration file
// stays until the new one is whole, and the next run completes.
#include "KillPoints.h"
#include "Process.h"
#include "RunJournal.h"
#include "TargetFile.h"
#include "TempDir.h"
#include "Win32FileSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

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
        copies += WriterFilesLeft(work / "m.iko", ReadFileBytes(work / "new.iko")) > 0;
    }
    TimeOfOneRun(create(work / "m.iko"));
    points.CheckWhole();
    EXPECT_EQ(0, KeptWriterFiles(work / "m.iko"));
    EXPECT_EQ(0, JournalsLeft());
    std::printf("ikotool.exe create: %s; %d kills left a copy, each removed by a later run\n",
                points.Summary().c_str(), copies);
}

// Under Wine as natively: a journal nobody holds is a killed run's, and
// the next run removes the copies it lists; a copy no whole line lists is
// a user's file, and a journal held open (a live run's, refused deletion
// by its share mode) stays with the files it lists.  While it is held no
// journal is swept; the run after its end does.
TEST(IkotoolExeKill, NextRunRemovesWhatADeadJournalListsAndNothingElse) {
    TempDir work;
    const CString src = work / "src", dst = work / "dst";
    for (const CString& dir : {src, dst})
        ASSERT_TRUE(::CreateDirectoryA(dir, nullptr));
    const KillFiles one = {"Data\\Other", 1, 1024, 512};
    one.Lay(src, true);
    const std::string iko = (work / "m.iko").str();
    TimeOfOneRun({"create", iko, "--root", ("0=" + src).str(), "--root", ("1=" + src).str()});
    ASSERT_TRUE(::CreateDirectoryA(dst + "\\Data", nullptr));
    ASSERT_TRUE(::CreateDirectoryA(dst + "\\Data\\Other", nullptr));
    ASSERT_TRUE(::CreateDirectoryA(dst + "\\Data\\MyData", nullptr));
    const std::string copy = one.NewBytes(0);
    const CString dead = dst + "\\Data\\Other\\~TESSARO.TMP";
    const CString users = dst + "\\Data\\MyData\\~TESSARO.TMP";
    const CString lives = dst + "\\Data\\Other\\~TESSAR1.TMP";
    for (const CString& path : {dead, users, lives})
        WriteFileBytes(path, copy);
    CWin32FileSystem fs;
    const CString temp = fs.TemporaryFolder();
    std::vector<CString> journals;
    for (int i = 0; i < CRunJournal::kNames && journals.size() < 2; ++i)
        if (!FileExists(temp + "\\" + CRunJournal::Name(i)))
            journals.push_back(temp + "\\" + CRunJournal::Name(i));
    ASSERT_EQ(2u, journals.size());
    const std::string& mark = CTargetFile::Mark();
    WriteFileBytes(journals[0], mark + dead.str() + "\n" + users.str());
    CFsError error;
    std::unique_ptr<CFsFile> held = fs.CreateNew(journals[1], error);
    ASSERT_TRUE(held);
    const std::string lines = mark + lives.str() + "\n";
    held->Write(lines.data(), static_cast<unsigned>(lines.size()));

    const std::vector<std::string> extract = {"extract", iko, "--root", ("0=" + dst).str(),
                                              "--root", ("1=" + dst).str()};
    TimeOfOneRun(extract);
    EXPECT_EQ(copy, ReadFileBytes(dead));
    EXPECT_EQ(copy, ReadFileBytes(lives));
    EXPECT_TRUE(FileExists(journals[0]));
    EXPECT_EQ(lines, ReadFileBytes(journals[1]));
    EXPECT_EQ(2, JournalsLeft());
    held->Close();
    held.reset();
    EXPECT_TRUE(fs.RemoveFile(journals[1]));

    TimeOfOneRun(extract);
    EXPECT_FALSE(FileExists(dead));
    EXPECT_EQ(copy, ReadFileBytes(users));
    EXPECT_EQ(copy, ReadFileBytes(lives));
    EXPECT_FALSE(FileExists(journals[0]));
    EXPECT_EQ(0, JournalsLeft());
}

// A temporary folder inside a root gets no journal, whichever spelling the
// root or the folder has (case, trailing dots, the short name).
TEST(IkotoolExeKill, NoJournalInsideARoot) {
    TempDir work;
    const CString prod = work / "ProductFolder";
    ASSERT_TRUE(::CreateDirectoryA(prod, nullptr));
    ASSERT_TRUE(::CreateDirectoryA(prod + "\\Data", nullptr));
    ASSERT_TRUE(::CreateDirectoryA(prod + "\\Data\\MyData", nullptr));
    char shortName[MAX_PATH];
    const DWORD n = ::GetShortPathNameA(prod + "\\Data", shortName, sizeof shortName);
    ASSERT_TRUE(n > 0 && n < sizeof shortName);
    char saved[MAX_PATH] = "";
    const DWORD nSaved = ::GetEnvironmentVariableA("TMP", saved, sizeof saved);
    CWin32FileSystem fs;
    const CString data = prod + "\\Data";
    for (const CString& temp : {data + "\\MyData", CString(shortName) + "\\MyData",
                                work / "productfolder\\DATA.\\", work.Path()}) {
        ASSERT_TRUE(::SetEnvironmentVariableA("TMP", temp));
        CRunJournal journal(fs);
        journal.Begin(CMigrationRoots(prod, data + ".", ""));
        EXPECT_EQ(temp == work.Path(), journal.IsKept()) << temp.GetString();
    }
    ::SetEnvironmentVariableA("TMP", nSaved > 0 && nSaved < sizeof saved ? saved : nullptr);
}
