#include "Poll.h"

#include <algorithm>

namespace uidriver {

Deadline::Deadline(DWORD timeoutMs) : m_end(::GetTickCount64() + timeoutMs) {}

bool Deadline::Passed() const {
    return ::GetTickCount64() >= m_end;
}

DWORD Deadline::RemainingMs() const {
    const ULONGLONG now = ::GetTickCount64();
    return now >= m_end ? 0 : static_cast<DWORD>(m_end - now);
}

namespace {

// The wait between two questions also delivers this thread's messages: the
// answers of SendMessageCallback arrive as such.
void PumpAndWait(DWORD ms) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&msg);
}

} // namespace

bool PollUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD intervalMs) {
    const Deadline deadline(timeoutMs);
    for (;;) {
        if (done())
            return true;
        if (deadline.Passed())
            return done();
        PumpAndWait(std::min(intervalMs, deadline.RemainingMs()));
    }
}

} // namespace uidriver
