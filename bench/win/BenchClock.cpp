#include "BenchClock.h"

namespace BenchClock {

int64_t NowUs() {
    FILETIME ft;
    ::GetSystemTimePreciseAsFileTime(&ft);
    return FromFileTime(ft);
}

// 100 ns ticks since 1601.
int64_t FromFileTime(const FILETIME& ft) {
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    return static_cast<int64_t>(u.QuadPart / 10);
}

} // namespace BenchClock
