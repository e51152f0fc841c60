#include "TestSupport.h"

#include "String.h"

#include <windows.h>

std::string BinDir() {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    const CString full(path);
    return full.Left(full.ReverseFind('\\') + 1).str();
}

std::string OutputDir() {
    return BinDir() + "..\\test-output";
}

std::string TargetPath() {
    return BinDir() + "uidriver_target.exe";
}

std::unique_ptr<uidriver::Process> StartTarget(const std::vector<std::string>& words) {
    return std::make_unique<uidriver::Process>(uidriver::Process::CommandLine(TargetPath(), words));
}

// The lines of a program's output, CR LF or LF separated.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}
