#include "CliOptions.h"

#include "Error.h"
#include "Process.h"

#include <cstdlib>

const char* const kCliUsage =
    "usage: uidriver.exe run [--timeout SECONDS] [--stdout FILE] [--stderr FILE] [--cwd DIR]\n"
    "                        [--screenshots DIR] [--press TEXT]... [--cancel-dialogs]\n"
    "                        [--children] [--foreign-mutex NAME]...\n"
    "                        [--click CAPTION=ID | --file CAPTION=PATH |\n"
    "                         --select CAPTION=ID:TEXT | --syscommand CAPTION=ID |\n"
    "                         --after-boxes N]... -- PROGRAM [ARGS...]\n";

namespace {

DWORD ParseSeconds(const std::string& text) {
    char* end = nullptr;
    const unsigned long seconds = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || seconds == 0 || seconds > 24 * 3600)
        throw uidriver::Error("--timeout wants whole seconds from 1 to 86400, not \"" + text +
                              "\"");
    return static_cast<DWORD>(seconds * 1000);
}

// The option that takes the value `value`; false when `name` is none.
bool TakeValue(CliOptions& options, const std::string& name, const std::string& value) {
    if (name == "--timeout")
        options.timeoutMs = ParseSeconds(value);
    else if (name == "--stdout")
        options.stdoutPath = value;
    else if (name == "--stderr")
        options.stderrPath = value;
    else if (name == "--cwd")
        options.workingDirectory = value;
    else if (name == "--screenshots")
        options.screenshotFolder = value;
    else if (name == "--press")
        options.presses.push_back(value);
    else if (name == "--foreign-mutex")
        options.foreignMutexes.push_back(value);
    else if (IsDialogStepOption(name))
        options.steps.push_back(ParseDialogStep(name, value));
    else
        return false;
    return true;
}

} // namespace

CliOptions ParseCliOptions(const std::vector<std::string>& words) {
    if (words.empty() || words[0] != "run")
        throw uidriver::Error("the only command is \"run\"");
    CliOptions options;
    size_t i = 1;
    for (; i < words.size() && words[i] != "--"; ++i) {
        if (words[i] == "--cancel-dialogs") {
            options.cancelDialogs = true;
            continue;
        }
        if (words[i] == "--children") {
            options.withChildren = true;
            continue;
        }
        if (i + 1 >= words.size() || words[i + 1] == "--")
            throw uidriver::Error("unknown option or missing value: " + words[i]);
        if (!TakeValue(options, words[i], words[i + 1]))
            throw uidriver::Error("unknown option: " + words[i]);
        ++i;
    }
    if (i + 1 >= words.size())
        throw uidriver::Error("no program after \"--\"");
    const std::vector<std::string> args(words.begin() + static_cast<long>(i) + 2, words.end());
    options.commandLine = uidriver::Process::CommandLine(words[i + 1], args);
    return options;
}
