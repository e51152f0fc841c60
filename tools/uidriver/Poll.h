#pragma once
#include <windows.h>

#include <functional>

namespace uidriver {

// A point in time some milliseconds from now.
class Deadline {
public:
    explicit Deadline(DWORD timeoutMs);
    bool Passed() const;
    DWORD RemainingMs() const;

private:
    ULONGLONG m_end;
};

// Asks `done` every `intervalMs` until it answers true (then true) or the
// time is up (then false).  `done` is asked once more at the deadline.
bool PollUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD intervalMs = 20);

} // namespace uidriver
