#pragma once
#include "NativeTree.h"

#include <string>

// One run of the native ikotool of the build.
struct ToolRun {
    int exitCode = -1; // -1: ended by a signal
    std::string out, err;
};

// Runs ikotool in the folder work with the words given (none may hold a
// blank or a quote).  `limits`, when given, are shell commands run before it
// in the same shell, such as "ulimit -v 65536".
ToolRun Ikotool(const NativeTree& work, const std::string& args, const std::string& limits = "");
// Runs a shell command line in the folder work, the word "ikotool" standing
// for the build's program; the output of its last command is caught.
ToolRun IkotoolShell(const NativeTree& work, const std::string& line);
