#pragma once
#include <windows.h>

#include <cstdint>

// Microseconds of the system clock, the clock of the process times and of
// the Excel stand-in's timing log, so that times taken in different
// processes can be subtracted.
namespace BenchClock {
int64_t NowUs();
int64_t FromFileTime(const FILETIME& ft);
} // namespace BenchClock
