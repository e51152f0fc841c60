#include "Error.h"
#include "Process.h"
#include "ScopedHandle_win.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>

using uidriver::Process;
using uidriver::StartInfo;

namespace {

std::string ErrorText(const std::function<void()>& action) {
    try {
        action();
    } catch (const uidriver::Error& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST(Process, CapturesStandardOutputAndErrorApartAndGivesTheExitCode) {
    const auto target = StartTarget({"out:給与データ", "err:エラー表示", "out:2行目", "exit:7"});
    EXPECT_EQ(7u, target->WaitForExit(kWaitMs));
    // A GUI program's text-mode output ends its lines with CR LF.
    EXPECT_EQ("給与データ\r\n2行目\r\n", target->Stdout());
    EXPECT_EQ("エラー表示\r\n", target->Stderr());
}

TEST(Process, WritesBothStreamsToOneNamedFileThatOutlivesIt) {
    ::CreateDirectoryA(OutputDir().c_str(), nullptr);
    const std::string path = OutputDir() + "\\process-output.txt";
    {
        StartInfo info;
        info.commandLine = Process::CommandLine(TargetPath(), {"out:一", "err:二", "out:三"});
        info.stdoutPath = path;
        info.stderrPath = path;
        Process target(info);
        EXPECT_EQ(0u, target.WaitForExit(kWaitMs));
    }
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    EXPECT_EQ("一\r\n二\r\n三\r\n", text);
    ::DeleteFileA(path.c_str());
}

// The program sees the command line exactly as given: a raw " /K:12" after
// the program's name leaves WinMain the tail "/K:12".
TEST(Process, PassesTheCommandLineAsGiven) {
    const struct {
        bool separateApplication;
        std::string commandLine;
        const char* tail;
    } cases[] = {
        {true, " /K:12 echo", "/K:12 echo"},
        {true, "/K:12 echo", "echo"}, // the first word is taken for the program's name
        {false, "\"" + TargetPath() + "\" /K:12 echo", "/K:12 echo"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine);
        StartInfo info;
        info.application = c.separateApplication ? TargetPath() : "";
        info.commandLine = c.commandLine;
        Process target(info);
        EXPECT_EQ(0u, target.WaitForExit(kWaitMs));
        EXPECT_EQ("tail=[" + std::string(c.tail) + "]\r\n", target.Stdout());
    }
}

// Only the three standard handles go to the child: an inherited handle of
// the test program (CTest's pipe, say) would outlive the test in any COM
// server that the child starts.
TEST(Process, LetsTheChildInheritNoOtherHandle) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    const CHandle event(::CreateEventA(&sa, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    char hex[32];
    (void)std::snprintf(hex, sizeof hex, "inherited:%llx",
                        static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(event.Get())));
    const auto target = StartTarget({hex});
    EXPECT_EQ(0u, target->WaitForExit(kWaitMs));
    EXPECT_EQ("inherited=0\r\n", target->Stdout());
}

TEST(Process, StartsInTheWorkingDirectoryGiven) {
    StartInfo info;
    info.commandLine = Process::CommandLine(TargetPath(), {"cwd"});
    info.workingDirectory = "C:\\windows";
    Process target(info);
    EXPECT_EQ(0u, target.WaitForExit(kWaitMs));
    EXPECT_EQ("cwd=[C:\\windows]\r\n", target.Stdout());
}

TEST(Process, ReportsAProgramThatCannotStart) {
    const std::string message = ErrorText([] { Process target(BinDir() + "no-such-program.exe"); });
    EXPECT_NE(std::string::npos, message.find("CreateProcessA")) << message;
    EXPECT_NE(std::string::npos, message.find("no-such-program.exe")) << message;
}

TEST(Process, WaitForExitNamesTheWindowsOfAProgramThatStillRuns) {
    const auto target = StartTarget({"caption:開いたまま", "text:x", "msgbox"});
    target->Windows().WaitFor({"#32770"}, kWaitMs);
    const std::string message = ErrorText([&] { target->WaitForExit(100); });
    EXPECT_NE(std::string::npos, message.find("still runs after 100 ms")) << message;
    EXPECT_NE(std::string::npos, message.find("caption=\"開いたまま\"")) << message;
    EXPECT_THROW(target->ExitCode(), uidriver::Error);
}

TEST(Process, TerminatesAProgramThatStillRunsWhenItGoes) {
    CHandle watch;
    {
        const auto target = StartTarget({"msgbox"});
        target->Windows().WaitFor({"#32770"}, kWaitMs);
        watch.Attach(::OpenProcess(SYNCHRONIZE, FALSE, target->Id()));
        ASSERT_TRUE(watch);
        EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), ::WaitForSingleObject(watch.Get(), 0));
    }
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(watch.Get(), 0));
}
