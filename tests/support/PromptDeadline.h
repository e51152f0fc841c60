#pragma once
#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// The Excel stand-in's save prompt never returns, as nobody can answer an
// invisible Excel.  These turn a test that reaches one into a failure that
// says so.

// The prompts the stand-in's log holds, one a line ("" when none): what a
// call that is still waiting waits for.
std::string StandinPrompts();

// For a call made on the test's own thread: when the guard is still alive
// at its deadline, every stand-in server is ended (so that the call comes
// back) and Why() says what the call waited for.
class CallDeadline {
public:
    explicit CallDeadline(DWORD timeoutMs);
    ~CallDeadline();
    CallDeadline(const CallDeadline&) = delete;
    CallDeadline& operator=(const CallDeadline&) = delete;

    bool Expired() const;
    std::string Why() const;

private:
    void Watch(DWORD timeoutMs);

    mutable std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_bDone = false;
    bool m_bExpired = false;
    std::string m_strWhy;
    std::thread m_thread;
};
