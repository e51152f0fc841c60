// ikotool: lists, tests, creates and extracts Morvane migration files.
#include "IkoConsole.h"
#include "IkoOptions.h"
#include "IkoTool.h"

int main(int argc, char** argv) {
    CIkoConsole console;
    std::vector<CString> args;
    for (int i = 1; i < argc; ++i) {
        CString arg;
        if (!console.FromArgument(argv[i], arg)) {
            console.Err(CString("ikotool: \"") + argv[i] + "\" has no code page 932 form");
            return CIkoTool::usage;
        }
        args.push_back(arg);
    }
    CIkoOptions options;
    CString error;
    if (!options.Parse(args, error)) {
        console.Err("ikotool: " + error);
        console.Err(CIkoOptions::Usage());
        return CIkoTool::usage;
    }
    const std::unique_ptr<CFileSystem> fs = CreatePlatformFileSystem();
    return CIkoTool(*fs, console).Run(options);
}
