// benchdrv.exe: the Win32 side of bench/run.sh.  Runs a program and prints
// when it started, what it showed and when, and when it ended, all in
// microseconds of the system clock; drives Tessaro's backup and restore;
// times the automation transport to the Excel stand-in.
#include "Error.h"
#include "Process.h"
#include "TessaroScenario.h"
#include "TransportProbe.h"
#include "WatchedProgram.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

namespace {

const char kUsage[] = "usage: benchdrv.exe run [--timeout SECONDS] -- PROGRAM [ARGS...]\n"
                      "       benchdrv.exe backup|restore TESSARO_EXE FILE [--timeout SECONDS]\n"
                      "       benchdrv.exe probe CONVERTER BOOK ROUNDS\n";

DWORD TimeoutOf(const std::vector<std::string>& args, size_t& i) {
    DWORD ms = 600000;
    if (i + 1 < args.size() && args[i] == "--timeout") {
        ms = static_cast<DWORD>(std::strtoul(args[i + 1].c_str(), nullptr, 10) * 1000);
        i += 2;
    }
    return ms;
}

// Every message box is answered (Yes to a question) until the program ends.
int RunProgram(const std::vector<std::string>& args) {
    size_t i = 1;
    const DWORD timeout = TimeoutOf(args, i);
    if (i + 1 >= args.size() || args[i] != "--")
        return 2;
    uidriver::StartInfo info;
    info.commandLine = uidriver::Process::CommandLine(
        args[i + 1], std::vector<std::string>(args.begin() + static_cast<long>(i) + 2, args.end()));
    CWatchedProgram program(info, stdout);
    while (const std::optional<uidriver::MsgBox> box = program.NextBox(timeout))
        program.Answer(*box, "box");
    program.Finish(timeout);
    return 0;
}

int RunTessaro(const std::vector<std::string>& args) {
    if (args.size() < 3)
        return 2;
    size_t i = 3;
    CTessaroScenario scenario(args[1], args[2], TimeoutOf(args, i), stdout);
    if (args[0] == "backup")
        scenario.Backup();
    else
        scenario.Restore();
    return 0;
}

int Probe(const std::vector<std::string>& args) {
    if (args.size() != 4)
        return 2;
    const long rounds = std::strtol(args[3].c_str(), nullptr, 10);
    const int nRounds = rounds > 0 && rounds < 1000000 ? static_cast<int>(rounds) : 1;
    return CTransportProbe(args[1], args[2], stdout).Run(nRounds) ? 0 : 1;
}

int Dispatch(const std::vector<std::string>& args) {
    if (args.empty())
        return 2;
    if (args[0] == "run")
        return RunProgram(args);
    if (args[0] == "backup" || args[0] == "restore")
        return RunTessaro(args);
    if (args[0] == "probe")
        return Probe(args);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const int rc = Dispatch(std::vector<std::string>(argv + 1, argv + argc));
        if (rc == 2)
            (void)std::fputs(kUsage, stderr);
        return rc;
    } catch (const std::exception& e) {
        std::printf("error=%s\n", e.what());
        return 1;
    } catch (...) {
        std::printf("error=an automation call failed\n");
        return 1;
    }
}
