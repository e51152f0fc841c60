#include "CliOptions.h"
#include "Error.h"
#include "MbcsText.h"
#include "Poll.h"
#include "Process.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using uidriver::Process;

namespace {

std::string CliPath() {
    return BinDir() + "uidriver.exe";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> With(std::vector<std::string> words,
                              const std::vector<std::string>& more) {
    words.insert(words.end(), more.begin(), more.end());
    return words;
}

} // namespace

TEST(Cli, ReportsAndAnswersEveryMessageBoxThenTheExitCode) {
    const std::string out = OutputDir() + "\\cli-target-stdout.txt";
    const std::string shots = OutputDir() + "\\cli";
    ::CreateDirectoryA(OutputDir().c_str(), nullptr);
    ::DeleteFileA((shots + "\\01-msgbox.bmp").c_str());
    Process cli(Process::CommandLine(CliPath(), {"run",
                                                 "--timeout",
                                                 "20",
                                                 "--stdout",
                                                 out,
                                                 "--screenshots",
                                                 shots,
                                                 "--press",
                                                 "いいえ",
                                                 "--",
                                                 TargetPath(),
                                                 "out:始め",
                                                 "caption:Quimbex",
                                                 "text:ﾊﾟﾗﾒｰﾀが不正です。",
                                                 "icon:exclamation",
                                                 "buttons:yesno",
                                                 "msgbox",
                                                 "caption:二つ目",
                                                 "text:行1\\n行2",
                                                 "icon:information",
                                                 "buttons:okcancel",
                                                 "msgbox"}));
    EXPECT_EQ(0u, cli.WaitForExit(20000)) << cli.Stdout() << cli.Stderr();
    const std::vector<std::string> lines = Lines(cli.Stdout());
    ASSERT_EQ(3u, lines.size()) << cli.Stdout();
    EXPECT_EQ("message box: caption=\"Quimbex\" text=\"ﾊﾟﾗﾒｰﾀが不正です。\" icon=exclamation "
              "buttons=はい|いいえ pressed=いいえ screenshot=" +
                  shots + "\\01-msgbox.bmp",
              lines[0]);
    EXPECT_EQ("message box: caption=\"二つ目\" text=\"行1\\n行2\" icon=information "
              "buttons=OK|キャンセル pressed=OK screenshot=" +
                  shots + "\\02-msgbox.bmp",
              lines[1]);
    EXPECT_EQ("exit code: 1", lines[2]);
    EXPECT_EQ("始め\r\n", ReadFile(out));
    EXPECT_TRUE(FileExists(shots + "\\01-msgbox.bmp"));
    EXPECT_EQ("", cli.Stderr());
}

TEST(Cli, ReportsDialogsAndEndsAProgramThatDoesNotFinish) {
    const struct {
        std::vector<std::string> options;
        const char* lastLine;
        DWORD status;
    } cases[] = {
        {{"--cancel-dialogs"}, "exit code: 2", 0},
        {{"--timeout", "1"}, "exit code: 1", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.front());
        Process cli(Process::CommandLine(
            CliPath(), With(With({"run"}, c.options), {"--", TargetPath(), "dialog"})));
        EXPECT_EQ(c.status, cli.WaitForExit(20000)) << cli.Stdout() << cli.Stderr();
        const std::vector<std::string> lines = Lines(cli.Stdout());
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(0u, lines.front().find("dialog: caption=\"ドライバ試験\" controls="
                                         " 1001:Static=\"給与データを選んでください\""
                                         " 1002:ListBox=[\"表示.xls\",\"給与\",\"賞与\"]"
                                         " 1003:ComboBox=\"東京\"[\"東京\",\"大阪\",\"ソフト\\\\\"]"
                                         " 1004:Button=\"控えを残す\""))
            << lines.front();
        EXPECT_EQ(c.lastLine, lines.back());
    }
}

// A program ended at the timeout goes with the programs it started: the
// child's box, which nobody answers here, would wait for ever (as Quimbex
// started by Tessaro would, holding the books, or the Excel server Quimbex
// drives).  So does one whose driver fails (a file step on a dialog that has
// no file name box).
TEST(Cli, EndsWhatATimedOutProgramStarted) {
    const struct {
        std::vector<std::string> words;
        unsigned rc;
    } cases[] = {
        {{"run", "--timeout", "3", "--", TargetPath(), "spawn"}, 3u},
        {{"run", "--timeout", "30", "--file", "ドライバ試験=x.txt", "--", TargetPath(), "start",
          "dialog"},
         1u},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.back());
        Process cli(Process::CommandLine(CliPath(), c.words));
        EXPECT_EQ(c.rc, cli.WaitForExit(30000)) << cli.Stdout() << cli.Stderr();
        const std::string said = cli.Stdout();
        EXPECT_EQ(std::string::npos, said.find("子の箱")) << "the child's box is not the program's";
        // The child was started before the driver ended; its box shows
        // unless the child went too.
        HWND left = nullptr;
        uidriver::PollUntil([&] { return (left = ::FindWindowA("#32770", "子")) != nullptr; },
                            3000);
        EXPECT_EQ(nullptr, left) << said;
        if (left)
            ::PostMessageA(left, WM_COMMAND, IDOK, 0);
    }
}

// The steps wait for their moment in turn: a click once the dialog takes
// input, the next click only after the box it opened was answered; the
// open dialog gets its name typed; a child's box is answered too.
TEST(Cli, TakesDialogStepsInTheirOrder) {
    const std::string out = OutputDir() + "\\cli-steps-stdout.txt";
    const std::string chosen = OutputDir() + "\\表ソ.txt";
    Process cli(Process::CommandLine(
        CliPath(), {"run", "--timeout", "30", "--stdout", out, "--children", "--click",
                    "ドライバ試験=1009", "--after-boxes", "1", "--click", "ドライバ試験=1",
                    "--file", "開く=" + chosen, "--", TargetPath(), "dialog", "open", "spawn"}));
    EXPECT_EQ(0u, cli.WaitForExit(30000)) << cli.Stdout() << cli.Stderr();
    const std::vector<std::string> lines = Lines(cli.Stdout());
    ASSERT_EQ(8u, lines.size()) << cli.Stdout();
    EXPECT_EQ(0u, lines[0].find("dialog: caption=\"ドライバ試験\"")) << lines[0];
    EXPECT_EQ("clicked: caption=\"ドライバ試験\" button=1009:\"確認...\"", lines[1]);
    EXPECT_EQ(0u, lines[2].find("message box: caption=\"確認\"")) << lines[2];
    EXPECT_EQ("clicked: caption=\"ドライバ試験\" button=1:\"OK\"", lines[3]);
    EXPECT_EQ(0u, lines[4].find("dialog: caption=\"開く\"")) << lines[4];
    EXPECT_EQ("file chosen: caption=\"開く\" name=\"" + uidriver::EscapeLine(chosen) +
                  "\" pressed=OK",
              lines[5]);
    EXPECT_EQ(0u, lines[6].find("message box: caption=\"子\" text=\"子の箱\"")) << lines[6];
    EXPECT_EQ("exit code: 1", lines[7]);
    const std::string said = ReadFile(out);
    EXPECT_NE(std::string::npos, said.find("ask: 6")) << said;
    // The dialog gives the path without the "..": the name is enough here.
    EXPECT_NE(std::string::npos, said.find("\\test-output\\表ソ.txt]")) << said;
    EXPECT_NE(std::string::npos, said.find("child ended")) << said;
}

// Items are picked by their text, in a list or a combo box alike, and the
// dialog hears of each change; a system-menu command reaches the dialog as
// from its menu (SC_CLOSE ends it as cancelled).
TEST(Cli, PicksItemsAndChoosesSystemCommands) {
    const std::string out = OutputDir() + "\\cli-select-stdout.txt";
    Process cli(Process::CommandLine(
        CliPath(), {"run", "--timeout", "30", "--stdout", out, "--select",
                    "ドライバ試験=1003:ソフト\\", "--select", "ドライバ試験=1002:給与",
                    "--syscommand", "ドライバ試験=61536", "--", TargetPath(), "dialog"}));
    EXPECT_EQ(0u, cli.WaitForExit(30000)) << cli.Stdout() << cli.Stderr();
    const std::vector<std::string> lines = Lines(cli.Stdout());
    ASSERT_EQ(5u, lines.size()) << cli.Stdout();
    EXPECT_EQ("selected: caption=\"ドライバ試験\" control=1003 item=\"ソフト\\\\\"", lines[1]);
    EXPECT_EQ("selected: caption=\"ドライバ試験\" control=1002 item=\"給与\"", lines[2]);
    EXPECT_EQ("system command: caption=\"ドライバ試験\" command=61536", lines[3]);
    EXPECT_EQ("exit code: 2", lines[4]);
    const std::string said = ReadFile(out);
    EXPECT_NE(std::string::npos, said.find("combo: 2 ソフト\\")) << said;
    EXPECT_NE(std::string::npos, said.find("list: 1 給与")) << said;
}

TEST(Cli, ReadsEveryOption) {
    const CliOptions options = ParseCliOptions({"run",
                                                "--timeout",
                                                "20",
                                                "--stdout",
                                                "o.txt",
                                                "--stderr",
                                                "e.txt",
                                                "--cwd",
                                                "C:\\作業",
                                                "--screenshots",
                                                "s",
                                                "--press",
                                                "はい",
                                                "--cancel-dialogs",
                                                "--press",
                                                "いいえ",
                                                "--foreign-mutex",
                                                "Global\\hKyuyo",
                                                "--",
                                                "C:\\ソフト\\X.exe",
                                                "a b",
                                                "/K:12"});
    EXPECT_EQ(20000u, options.timeoutMs);
    EXPECT_EQ("o.txt", options.stdoutPath);
    EXPECT_EQ("e.txt", options.stderrPath);
    EXPECT_EQ("C:\\作業", options.workingDirectory);
    EXPECT_EQ("s", options.screenshotFolder);
    EXPECT_EQ((std::vector<std::string>{"はい", "いいえ"}), options.presses);
    EXPECT_TRUE(options.cancelDialogs);
    EXPECT_EQ(std::vector<std::string>{"Global\\hKyuyo"}, options.foreignMutexes);
    EXPECT_EQ("C:\\ソフト\\X.exe \"a b\" /K:12", options.commandLine);

    // The steps keep their order; '=' splits the caption from its value.
    const CliOptions steps =
        ParseCliOptions({"run", "--children", "--click", "a=b=1000", "--file",
                         "名前を付けて保存=C:\\x=y.iko", "--after-boxes", "2", "--select",
                         "初期化=1015:勤怠_a:b=c", "--syscommand", "a=b=16", "--", "x.exe"});
    EXPECT_TRUE(steps.withChildren);
    ASSERT_EQ(5u, steps.steps.size());
    EXPECT_EQ(DialogStep::click, steps.steps[0].kind);
    EXPECT_EQ("a=b", steps.steps[0].caption);
    EXPECT_EQ(1000, steps.steps[0].number);
    EXPECT_EQ(DialogStep::file, steps.steps[1].kind);
    EXPECT_EQ("名前を付けて保存", steps.steps[1].caption);
    EXPECT_EQ("C:\\x=y.iko", steps.steps[1].path);
    EXPECT_EQ(DialogStep::afterBoxes, steps.steps[2].kind);
    EXPECT_EQ(2, steps.steps[2].number);
    // An item's text may hold ':' and '='; the first of each ends the caption
    // and the control.
    EXPECT_EQ(DialogStep::select, steps.steps[3].kind);
    EXPECT_EQ("初期化", steps.steps[3].caption);
    EXPECT_EQ(1015, steps.steps[3].number);
    EXPECT_EQ("勤怠_a:b=c", steps.steps[3].path);
    EXPECT_EQ(DialogStep::sysCommand, steps.steps[4].kind);
    EXPECT_EQ("a=b", steps.steps[4].caption);
    EXPECT_EQ(16, steps.steps[4].number);

    const CliOptions plain = ParseCliOptions({"run", "--", "x.exe"});
    EXPECT_EQ(60000u, plain.timeoutMs);
    EXPECT_TRUE(plain.stdoutPath.empty() && plain.screenshotFolder.empty());
    EXPECT_TRUE(plain.presses.empty());
    EXPECT_FALSE(plain.cancelDialogs);
    EXPECT_EQ("x.exe", plain.commandLine);
}

TEST(Cli, RejectsAWrongCommandLine) {
    const struct {
        std::vector<std::string> words;
        const char* fault;
    } cases[] = {
        {{}, "only command"},
        {{"walk", "--", "x.exe"}, "only command"},
        {{"run", "x.exe"}, "unknown option"},
        {{"run", "--"}, "no program"},
        {{"run", "--timeout", "soon", "--", "x.exe"}, "whole seconds"},
        {{"run", "--timeout", "0", "--", "x.exe"}, "whole seconds"},
        {{"run", "--timeout", "20s", "--", "x.exe"}, "whole seconds"},
        {{"run", "--colour", "red", "--", "x.exe"}, "unknown option"},
        {{"run", "--stdout", "--", "x.exe"}, "missing value"},
        {{"run", "--click", "1000", "--", "x.exe"}, "CAPTION=VALUE"},
        {{"run", "--click", "a=OK", "--", "x.exe"}, "a number"},
        {{"run", "--file", "=C:\\x.iko", "--", "x.exe"}, "CAPTION=VALUE"},
        {{"run", "--after-boxes", "-1", "--", "x.exe"}, "a number"},
        {{"run", "--select", "a=1015", "--", "x.exe"}, "CAPTION=ID:TEXT"},
        {{"run", "--select", "a=x:y", "--", "x.exe"}, "a number"},
        {{"run", "--syscommand", "a=about", "--", "x.exe"}, "a number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        try {
            ParseCliOptions(c.words);
            ADD_FAILURE() << "accepted";
        } catch (const uidriver::Error& e) {
            EXPECT_NE(std::string::npos, std::string(e.what()).find(c.fault)) << e.what();
        }
    }
    Process cli(Process::CommandLine(CliPath(), {"run", "--timeout", "soon", "--", "x.exe"}));
    EXPECT_EQ(2u, cli.WaitForExit(kWaitMs));
    EXPECT_NE(std::string::npos, cli.Stderr().find("usage: uidriver.exe run"));
}

// A dialog that goes while the driver reads it (here its thread ends while
// the driver waits for the answer to a read of its caption, which a pending
// step makes) is gone, not an error: the run goes on to the program's end
// and the program is not terminated.
TEST(Cli, AWindowThatGoesWhileItIsReadIsGoneNotAnError) {
    const std::string out = OutputDir() + "\\cli-vanish-stdout.txt";
    ::CreateDirectoryA(OutputDir().c_str(), nullptr);
    Process cli(
        Process::CommandLine(CliPath(), {"run", "--timeout", "30", "--stdout", out, "--click",
                                         "never=1", "--", TargetPath(), "vanish", "exit:7"}));
    EXPECT_EQ(0u, cli.WaitForExit(30000)) << cli.Stdout() << cli.Stderr();
    const std::vector<std::string> lines = Lines(cli.Stdout());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ("exit code: 7", lines.back()) << cli.Stdout();
    EXPECT_EQ("vanished\r\n", ReadFile(out));
    EXPECT_EQ("", cli.Stderr());
}

// A dialog that ends just as a pending click finds it (its run ended then)
// took no click: the click came too late, and the run goes on to the
// program's own end, which tells the outcome.
TEST(Cli, AClickOnADialogThatEndsMeanwhileComesTooLate) {
    const std::string out = OutputDir() + "\\cli-going-stdout.txt";
    ::CreateDirectoryA(OutputDir().c_str(), nullptr);
    Process cli(
        Process::CommandLine(CliPath(), {"run", "--timeout", "30", "--stdout", out, "--click",
                                         "ドライバ試験=1", "--", TargetPath(), "going", "exit:7"}));
    EXPECT_EQ(0u, cli.WaitForExit(30000)) << cli.Stdout() << cli.Stderr();
    const std::vector<std::string> lines = Lines(cli.Stdout());
    ASSERT_LE(2u, lines.size()) << cli.Stdout();
    EXPECT_EQ("click too late: caption=\"ドライバ試験\" button=1 (the dialog has gone)",
              lines[lines.size() - 2]);
    EXPECT_EQ("exit code: 7", lines.back());
    EXPECT_EQ("gone\r\n", ReadFile(out));
    EXPECT_EQ("", cli.Stderr());
}
