#include "CliOptions.h"
#include "Error.h"
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
        {{"--click", "1", "--cancel-dialogs"}, "exit code: 1", 0},
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

TEST(Cli, ReadsEveryOption) {
    const CliOptions options = ParseCliOptions({"run",      "--timeout",
                                                "20",       "--stdout",
                                                "o.txt",    "--stderr",
                                                "e.txt",    "--cwd",
                                                "C:\\作業", "--screenshots",
                                                "s",        "--press",
                                                "はい",     "--cancel-dialogs",
                                                "--press",  "いいえ",
                                                "--click",  "1015",
                                                "--click",  "1",
                                                "--",       "C:\\ソフト\\X.exe",
                                                "a b",      "/K:12"});
    EXPECT_EQ(20000u, options.timeoutMs);
    EXPECT_EQ("o.txt", options.stdoutPath);
    EXPECT_EQ("e.txt", options.stderrPath);
    EXPECT_EQ("C:\\作業", options.workingDirectory);
    EXPECT_EQ("s", options.screenshotFolder);
    EXPECT_EQ((std::vector<std::string>{"はい", "いいえ"}), options.presses);
    EXPECT_TRUE(options.cancelDialogs);
    EXPECT_EQ((std::vector<int>{1015, 1}), options.clicks);
    EXPECT_EQ("C:\\ソフト\\X.exe \"a b\" /K:12", options.commandLine);

    const CliOptions plain = ParseCliOptions({"run", "--", "x.exe"});
    EXPECT_EQ(60000u, plain.timeoutMs);
    EXPECT_TRUE(plain.stdoutPath.empty() && plain.screenshotFolder.empty());
    EXPECT_TRUE(plain.presses.empty());
    EXPECT_FALSE(plain.cancelDialogs);
    EXPECT_TRUE(plain.clicks.empty());
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
        {{"run", "--click", "OK", "--", "x.exe"}, "control id"},
        {{"run", "--click", "0", "--", "x.exe"}, "control id"},
        {{"run", "--colour", "red", "--", "x.exe"}, "unknown option"},
        {{"run", "--stdout", "--", "x.exe"}, "missing value"},
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
