#pragma once
#include "String.h"

#include <cstdint>
#include <functional>

// Called once per switch with its key upper-cased and its value trimmed.
using SwitchVisitor = std::function<void(const CString& key, const CString& value)>;

// Walks the switches "/<key>:<value>" of a command-line tail, separated by
// "/" only.  A switch without ":" (or with ":" first) is visited with the
// key and value of the switch before it; a value never holds "/".
void ForEachSwitch(const CString& tail, const SwitchVisitor& visit);

// The leading decimal number of a text as atol reads it, held to 32 bits.
int32_t ParseLeadingNumber(const char* psz);

// The major version in an "Excel.Application.<n>" text: the number after
// the first 18 characters.
int32_t ExcelVersionFromCurVer(const CString& curVer);
