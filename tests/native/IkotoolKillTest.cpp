// The native ikotool killed from outside (SIGKILL) at moments spread over
// its work: an older migration file is as it was or the new one is whole,
// no restored file is ever cut, and the next run completes.
#include "IkotoolRun.h"
#include "MigrationRoots.h"
#include "PosixFileSystem.h"
#include "RunJournal.h"
#include "TargetFile.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFiles = 60;
constexpr int kKillPoints = 25;

std::string Name(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "Data/Other/f%02d.dat", i);
    return name;
}

// New contents differ from the old ones in every byte and in their length.
std::string NewBytes(int i) {
    return std::string(size_t{384} * 1024 + static_cast<size_t>(i),
                       static_cast<char>('A' + i % 26));
}
std::string OldBytes(int i) {
    return std::string(size_t{100} * 1024, static_cast<char>('a' + i % 26));
}

// ikotool in `dir` with its output thrown away; the caller waits or kills.
pid_t Start(const NativeTree& dir, const std::vector<std::string>& args) {
    std::vector<char*> argv;
    std::string program = IKOTOOL;
    std::vector<std::string> words = args;
    argv.push_back(&program[0]);
    for (std::string& word : words)
        argv.push_back(&word[0]);
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::setenv("TMPDIR", (dir / "tmp").c_str(), 1);
        if (::chdir(dir.Path().c_str()) == 0)
            ::execv(IKOTOOL, argv.data());
        ::_exit(127);
    }
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Clock::duration TimeOfOneRun(const NativeTree& dir, const std::vector<std::string>& args) {
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(0, Wait(Start(dir, args)));
    return Clock::now() - start;
}

// The k-th of kKillPoints moments spread evenly over a run of `whole` and a
// fifth beyond, where a slower run may still be at work.
void KillAt(pid_t pid, Clock::duration whole, int k) {
    std::this_thread::sleep_for(whole * 6 * (k + 1) / (5 * kKillPoints));
    ::kill(pid, SIGKILL);
    Wait(pid);
}

// Where a kill landed, by what it left.
struct Landing {
    int before = 0, between = 0, after = 0;
    void Note(int newFiles, int allFiles, bool temporary) {
        (newFiles == 0 && !temporary ? before : newFiles == allFiles ? after : between)++;
    }
};

// What kills left under the temporary names.  A restored file has no name
// until it is whole, and one whose target does not exist takes the
// target's name at once: only a kill in the instant between the naming of
// a file that replaces another and its rename leaves one, a whole copy of
// that new file and without the mark, which the killed run's journal
// lists for the next run to remove.  Never one that is empty, marked or
// cut.  Returns how many there are.
int TemporaryFilesLeft(const NativeTree& dst) {
    CPosixFileSystem fs;
    int left = 0;
    for (int i = 0; i < CTargetFile::kTemporaryNames; ++i) {
        const std::string name = "p/Data/Other/" + CTargetFile::TemporaryName(i).str();
        if (!std::ifstream(dst / name).good())
            continue;
        SCOPED_TRACE(name);
        std::string path = dst / name;
        std::replace(path.begin(), path.end(), '/', '\\');
        EXPECT_FALSE(CTargetFile::IsUnfinished(fs, CString(path.c_str())));
        const std::string bytes = ReadNativeFile(dst / name);
        bool whole = false;
        for (int j = 0; j < kFiles; ++j)
            whole = whole || bytes == NewBytes(j);
        EXPECT_TRUE(whole) << bytes.size() << " bytes";
        ++left;
    }
    return left;
}

// The journals runs in `dir` left in its temporary folder.
int JournalsLeft(const NativeTree& dir) {
    int left = 0;
    for (int i = 0; i < CRunJournal::kNames; ++i)
        left += std::ifstream(dir / ("tmp/" + CRunJournal::Name(i).str())).good();
    return left;
}

} // namespace

// Older files in the target, new ones in the migration file: after each
// kill every target holds its old bytes (or is absent) or its new bytes,
// never a part, and nothing of the restore's own is left beside them but,
// at the rarest, a whole copy that was about to replace an older file.
TEST(IkotoolKill, ExtractKilledAnywhereLeavesNoFileCut) {
    NativeTree src, dst;
    dst.MakeDir("tmp");
    for (int i = 0; i < kFiles; ++i) {
        src.Write("p/" + Name(i), NewBytes(i));
        if (i % 3 != 0) // every third file is new to the target
            dst.Write("p/" + Name(i), OldBytes(i));
    }
    ASSERT_EQ(0, Ikotool(src, "create m.iko --root 0=p --root 1=p").exitCode);
    const std::vector<std::string> extract = {"extract", src / "m.iko", "--root",
                                              "0=p",     "--root",      "1=p"};
    NativeTree probe; // as the target, for the time of a whole run
    probe.MakeDir("tmp");
    for (int i = 0; i < kFiles; ++i)
        if (i % 3 != 0)
            probe.Write("p/" + Name(i), OldBytes(i));
    const Clock::duration whole = TimeOfOneRun(probe, extract);
    Landing landing;
    int copies = 0;
    for (int k = 0; k < kKillPoints; ++k) {
        SCOPED_TRACE("kill point " + std::to_string(k));
        KillAt(Start(dst, extract), whole, k);
        const int left = TemporaryFilesLeft(dst);
        copies += left;
        const bool temporary = left > 0;
        std::map<std::string, std::string> contents = dst.Contents();
        int newFiles = 0;
        for (int i = 0; i < kFiles; ++i) {
            const auto it = contents.find("p/" + Name(i));
            const bool isNew = it != contents.end() && it->second == NewBytes(i);
            const bool isOld = it == contents.end() ? i % 3 == 0 : it->second == OldBytes(i);
            EXPECT_TRUE(isNew || isOld) << Name(i) << " is cut";
            newFiles += isNew;
        }
        landing.Note(newFiles, kFiles, temporary);
    }
    EXPECT_EQ(0, Wait(Start(dst, extract)));
    for (int i = 0; i < kFiles; ++i)
        EXPECT_EQ(NewBytes(i), ReadNativeFile(dst / ("p/" + Name(i)))) << Name(i);
    EXPECT_EQ(0, TemporaryFilesLeft(dst));
    EXPECT_EQ(0, JournalsLeft(dst));
    std::printf("extract killed at %d points: %d before any file, %d half-way, %d at the end; "
                "%d whole copies seen under temporary names after kills, each removed by a "
                "later run\n",
                kKillPoints, landing.before, landing.between, landing.after, copies);
}

// An older migration file of the same name stays byte for byte until the
// new one is whole.
TEST(IkotoolKill, CreateKilledAnywhereKeepsTheOlderFileOrMakesTheNewOneWhole) {
    NativeTree work;
    work.MakeDir("tmp");
    for (int i = 0; i < kFiles; ++i)
        work.Write("p/" + Name(i), OldBytes(i));
    ASSERT_EQ(0, Ikotool(work, "create m.iko --root 0=p --root 1=p").exitCode);
    const std::string older = ReadNativeFile(work / "m.iko");
    for (int i = 0; i < kFiles; ++i)
        work.Write("p/" + Name(i), NewBytes(i));
    ASSERT_EQ(0, Ikotool(work, "create new.iko --root 0=p --root 1=p").exitCode);
    const std::string newer = ReadNativeFile(work / "new.iko");
    const std::vector<std::string> create = {"create", "m.iko", "--root", "0=p", "--root", "1=p"};
    const Clock::duration whole =
        TimeOfOneRun(work, {"create", "x.iko", "--root", "0=p", "--root", "1=p"});
    // A kill between the naming of the writer's file and its rename leaves
    // it under its temporary name: it must be a whole copy of the new file,
    // and the killed run's journal has the next run remove it.
    const auto copiesLeft = [&work, &newer] {
        int left = 0;
        for (int i = 0; i < 10; ++i) {
            const std::string temporary =
                "m.iko.~tmp" + (i == 0 ? std::string() : std::to_string(i));
            if (!std::ifstream(work / temporary).good())
                continue;
            ++left;
            EXPECT_TRUE(ReadNativeFile(work / temporary) == newer) << temporary;
        }
        return left;
    };
    Landing landing;
    int copies = 0;
    for (int k = 0; k < kKillPoints; ++k) {
        SCOPED_TRACE("kill point " + std::to_string(k));
        KillAt(Start(work, create), whole, k);
        const std::string now = ReadNativeFile(work / "m.iko");
        EXPECT_TRUE(now == older || now == newer) << "m.iko: " << now.size() << " bytes";
        const int left = copiesLeft();
        copies += left;
        landing.Note(now == newer, 1, left > 0);
    }
    EXPECT_EQ(0, Wait(Start(work, create)));
    EXPECT_EQ(newer, ReadNativeFile(work / "m.iko"));
    EXPECT_EQ(0, copiesLeft());
    EXPECT_EQ(0, JournalsLeft(work));
    std::printf("create killed at %d points: %d before writing, %d half-way, %d at the end; "
                "%d whole copies seen after kills, each removed by a later run\n",
                kKillPoints, landing.before, landing.between, landing.after, copies);
}

// A journal nobody holds is a killed run's: the next run removes the files
// of temporary names it lists.  The same copy that no journal lists is a
// user's file and stays, and so do a live run's journal and its files.
// While a run lives no journal is swept (a dead one may list the name the
// live run writes under now): the run after it does.
TEST(IkotoolKill, NextRunRemovesWhatADeadJournalListsAndNothingElse) {
    NativeTree src, dst;
    src.Write("p/" + Name(0), NewBytes(0));
    ASSERT_EQ(0, Ikotool(src, "create m.iko --root 0=p --root 1=p").exitCode);
    dst.MakeDir("tmp");
    const std::string copy = NewBytes(1);
    dst.Write("p/Data/Other/~TESSARO.TMP", copy);  // a dead journal lists it
    dst.Write("p/Data/MyData/~TESSARO.TMP", copy); // no whole line lists it
    dst.Write("p/Data/Other/~TESSAR1.TMP", copy);  // a live run's
    const std::string& mark = CTargetFile::Mark();
    const std::string dead = "tmp/" + CRunJournal::Name(0).str();
    dst.Write(dead, mark + dst.Path() + "/p/Data/Other/~TESSARO.TMP\n" + dst.Path() +
                        "/p/Data/MyData/~TESSARO.TMP"); // a cut line lists nothing
    CPosixFileSystem fs;
    CFsError error;
    const CString live((dst / ("tmp/" + CRunJournal::Name(1).str())).c_str());
    std::unique_ptr<CFsFile> held = fs.CreateNew(live, error);
    ASSERT_TRUE(held);
    const std::string lines = mark + dst.Path() + "/p/Data/Other/~TESSAR1.TMP\n";
    held->Write(lines.data(), static_cast<unsigned>(lines.size()));
    const std::string extract = "TMPDIR=$PWD/tmp ikotool extract " + src / "m.iko" +
                                " --root 0=p --root 1=p";

    ToolRun run = IkotoolShell(dst, extract);
    ASSERT_EQ(0, run.exitCode) << run.err;
    EXPECT_EQ(NewBytes(0), ReadNativeFile(dst / ("p/" + Name(0))));
    EXPECT_EQ(copy, ReadNativeFile(dst / "p/Data/Other/~TESSARO.TMP"));
    EXPECT_TRUE(std::ifstream(dst / dead).good());
    EXPECT_EQ(lines, ReadNativeFile(live.GetString()));
    EXPECT_EQ(copy, ReadNativeFile(dst / "p/Data/Other/~TESSAR1.TMP"));
    EXPECT_EQ(2, JournalsLeft(dst)); // the run's own went at its end

    held->Close();
    held.reset();
    ASSERT_TRUE(fs.RemoveFile(live)); // the live run's normal end
    run = IkotoolShell(dst, extract);
    ASSERT_EQ(0, run.exitCode) << run.err;
    EXPECT_FALSE(std::ifstream(dst / "p/Data/Other/~TESSARO.TMP").good());
    EXPECT_EQ(copy, ReadNativeFile(dst / "p/Data/MyData/~TESSARO.TMP"));
    EXPECT_EQ(copy, ReadNativeFile(dst / "p/Data/Other/~TESSAR1.TMP"));
    EXPECT_EQ(0, JournalsLeft(dst));
}

// A run that starts while a dead journal is swept may write under a name
// the journal lists: the sweep stops before it removes such a file, and
// leaves the journal to the run after.  The file system here starts that
// run (makes its journal) at the worst moment: when the sweep looks at
// the listed file.
TEST(IkotoolKill, SweepStopsWhenARunStartsMeanwhile) {
    NativeTree dst;
    dst.MakeDir("tmp");
    dst.Write("t/~TESSARO.TMP", "a live run's file");
    const std::string& mark = CTargetFile::Mark();
    const std::string dead = "tmp/" + CRunJournal::Name(0).str();
    dst.Write(dead, mark + dst.Path() + "/t/~TESSARO.TMP\n");
    class CRunStartingFileSystem : public CPosixFileSystem {
    public:
        explicit CRunStartingFileSystem(const NativeTree& tree) : m_tree(tree) {}
        CString TemporaryFolder() override { return CString((m_tree / "tmp").c_str()); }
        CFsStatus GetStatus(const CString& strPath) override {
            if (!m_bStarted && strPath.str() == m_tree / "t/~TESSARO.TMP") {
                m_bStarted = true;
                CFsError error;
                m_started = CreateNew(CString((m_tree / "tmp/~TESSAR1.JNL").c_str()), error);
            }
            return CPosixFileSystem::GetStatus(strPath);
        }
        std::unique_ptr<CFsFile> m_started;

    private:
        const NativeTree& m_tree;
        bool m_bStarted = false;
    } fs(dst);
    {
        CRunJournal journal(fs);
        journal.Begin(CMigrationRoots());
    }
    ASSERT_TRUE(fs.m_started);
    EXPECT_EQ("a live run's file", ReadNativeFile(dst / "t/~TESSARO.TMP"));
    EXPECT_TRUE(std::ifstream(dst / dead).good()) << "left for the run after";
}

// A dead journal of any length is swept line by line: a line longer than
// any path is none (nor is one that is not a whole path), and the lines
// after it count; a long tail without a line break costs the next run
// neither its memory nor its end.
TEST(IkotoolKill, HugeDeadJournalIsSweptLineByLine) {
    NativeTree src, dst;
    src.Write("p/" + Name(0), NewBytes(0));
    ASSERT_EQ(0, Ikotool(src, "create m.iko --root 0=p --root 1=p").exitCode);
    dst.MakeDir("tmp");
    const std::string copy = NewBytes(1);
    dst.Write("p/Data/Other/~TESSARO.TMP", copy);
    dst.Write("p/Data/Other/~TESSAR1.TMP", copy);
    const std::string journal = dst / ("tmp/" + CRunJournal::Name(0).str());
    dst.Write("tmp/" + CRunJournal::Name(0).str(),
              CTargetFile::Mark() + std::string(100 * 1024, 'x') + "\n" + dst.Path() +
                  "/p/Data/Other/~TESSARO.TMP\np/Data/Other/~TESSAR1.TMP\n");
    ASSERT_EQ(0, ::truncate(journal.c_str(), 64 * 1024 * 1024));

    const ToolRun run = IkotoolShell(dst, "ulimit -v 48000 && TMPDIR=$PWD/tmp ikotool extract " +
                                              src / "m.iko" + " --root 0=p --root 1=p");
    ASSERT_EQ(0, run.exitCode) << run.err;
    EXPECT_EQ(NewBytes(0), ReadNativeFile(dst / ("p/" + Name(0))));
    EXPECT_FALSE(std::ifstream(dst / "p/Data/Other/~TESSARO.TMP").good());
    EXPECT_EQ(copy, ReadNativeFile(dst / "p/Data/Other/~TESSAR1.TMP"));
    EXPECT_EQ(0, JournalsLeft(dst));
}

// A temporary folder inside a root gets no journal, however the root is
// spelt: a create would carry it as the user's file, and a restore put it
// back.  Beside the roots, the run keeps one.
TEST(IkotoolKill, NoJournalInsideARoot) {
    NativeTree dir;
    dir.MakeDir("Prod/Data/MyData");
    dir.MakeDir("tmp");
    const char* before = std::getenv("TMPDIR");
    const std::string saved = before ? before : "";
    CPosixFileSystem fs;
    const std::string root = dir.Path() + "/Prod";
    for (const std::string& temp :
         {root + "/Data/MyData", root + "//Data/", root + "/data/mydata", dir.Path() + "/tmp"}) {
        ::setenv("TMPDIR", temp.c_str(), 1);
        CRunJournal journal(fs);
        journal.Begin(CMigrationRoots(CString((dir.Path() + "/Prod/.").c_str()),
                                      CString((root + "/Data").c_str()), CString()));
        EXPECT_EQ(temp == dir.Path() + "/tmp", journal.IsKept()) << temp;
    }
    if (before)
        ::setenv("TMPDIR", saved.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}
