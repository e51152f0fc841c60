#pragma once
#include "DialogSteps.h"

#include <windows.h>

#include <string>
#include <vector>

// What "uidriver.exe run" was asked to do.
struct CliOptions {
    DWORD timeoutMs = 60000;
    std::string stdoutPath;
    std::string stderrPath;
    std::string workingDirectory;
    std::string screenshotFolder;     // empty: no screenshots
    std::vector<std::string> presses; // button texts, one per message box in turn
    bool cancelDialogs = false;
    bool withChildren = false;               // the windows of the processes it starts too
    std::vector<DialogStep> steps;           // --click, --file, --after-boxes in order
    std::vector<std::string> foreignMutexes; // held, as by another user, during the run
    std::string commandLine;                 // the program and its arguments
};

extern const char* const kCliUsage;

// Reads the words after the program's name; throws uidriver::Error with the
// fault when they do not make a valid "run" command.
CliOptions ParseCliOptions(const std::vector<std::string>& words);
