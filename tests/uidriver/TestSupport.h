#pragma once
#include "Process.h"

#include <memory>
#include <string>
#include <vector>

// How long a test waits for a window or an exit: generous, never reached
// when things work.
const DWORD kWaitMs = 5000;

// The folder of this test program, where every binary of the build lands,
// with a separator at its end.
std::string BinDir();
// <build>\test-output, where the screenshots go.
std::string OutputDir();
std::string TargetPath();
// uidriver_target.exe with the given words.
std::unique_ptr<uidriver::Process> StartTarget(const std::vector<std::string>& words);
std::vector<std::string> Lines(const std::string& text);
