// ikotool: lists, tests, creates and extracts Morvane migration files.
#include "IkoConsole.h"
#include "IkoHelp.h"
#include "IkoOptions.h"
#include "IkoTool.h"

int main(int argc, char** argv) {
    CIkoConsole console;
    std::vector<CString> args;
    for (int i = 1; i < argc; ++i) {
        CString arg;
        if (!console.FromArgument(argv[i], arg)) {
            console.Err(CString("ikotool: \"") + argv[i] + "\" has no code page 932 form");
            return CIkoTool::trouble;
        }
        args.push_back(arg);
    }
    CIkoOptions options;
    CString error;
    if (!options.Parse(args, error)) {
        console.Err("ikotool: " + error);
        console.Err(CIkoHelp::UsageHint(options.m_nCommand));
        return CIkoTool::trouble;
    }
    const std::unique_ptr<CFileSystem> fs = CreatePlatformFileSystem();
    return CIkoTool(*fs, console, options).Run();
}
