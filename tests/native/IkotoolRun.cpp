#include "IkotoolRun.h"

#include <sys/wait.h>

#include <cstdlib>

ToolRun Ikotool(const NativeTree& work, const std::string& args, const std::string& limits) {
    const std::string prefix = limits.empty() ? "" : limits + " && ";
    return IkotoolShell(work, prefix + "ikotool " + args);
}

ToolRun IkotoolShell(const NativeTree& work, const std::string& line) {
    const std::string command = "cd " + work.Path() + " && ikotool() { " IKOTOOL " \"$@\"; } && (" +
                                line + ") >" + (work / "out.txt") + " 2>" + (work / "err.txt");
    // The shell is the point: it sets the limits and sends the output to files.
    const int status = std::system(command.c_str()); // NOLINT(cert-env33-c): see above
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadNativeFile(work / "out.txt");
    run.err = ReadNativeFile(work / "err.txt");
    return run;
}
