#pragma once
#include "String.h"

#include <cstdint>

// The command code of Tessaro's command line: the value of the "K" switch
// (the last one wins; other keys are ignored).  nCommand keeps its value
// when the line has no "K" switch.
void ParseTessaroSwitches(const CString& tail, int32_t& nCommand);

// The code that selects the backup mode instead of the main dialog.
constexpr int32_t kBackupCommand = 1;
