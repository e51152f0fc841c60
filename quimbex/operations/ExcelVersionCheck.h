#pragma once
#include <cstdint>

// True when the installed Excel (its major version, -1 when none is
// registered) is at least minVersion.  Otherwise tells the user, in a box
// without owner with the information icon, with missingText when there is
// no Excel and oldText when it is older.
bool HasExcelVersion(int32_t version, int32_t minVersion, const char* caption,
                     const char* missingText, const char* oldText);
