#include "CliOptions.h"
#include "Error.h"
#include "RunCommand.h"

#include <cstdio>
#include <exception>

// uidriver.exe: exit status 0 when the program ended by itself (its own
// exit code is printed), 3 when it was ended at the timeout, 2 for a wrong
// command line, 1 when the driver failed.
int main(int argc, char** argv) {
    CliOptions options;
    try {
        options = ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const uidriver::Error& e) {
        (void)std::fprintf(stderr, "uidriver: %s\n%s", e.what(), kCliUsage);
        return 2;
    }
    try {
        return RunCommand(options, stdout).Run();
    } catch (const std::exception& e) {
        (void)std::fprintf(stderr, "uidriver: %s\n", e.what());
        std::printf("error: %s\n", e.what());
        return 1;
    }
}
