#pragma once
#include "String.h"
#include "Switches.h"

#include <cstdint>

// What the switches of one command line select.
struct CommandSwitches {
    int32_t nCommand = 0; // "K", or 5 by "F"
    CString strArgO;      // "O", or the value of "F"
    CString strArgN;      // "N", or the value of "F"
};

// Parses a command-line tail of switches "/<key>:<value>" separated by "/"
// only; values are trimmed, keys compared upper-cased, a later switch wins.
// Returns true when a command code results (non-zero).
bool ParseCommandSwitches(const CString& tail, CommandSwitches& sw);
