#pragma once
#include <stdexcept>
#include <string>

namespace uidriver {

// What the driver raises when the program under test does not do what the
// test waits for, or a Win32 call fails.  The text names the call or the
// condition and, where there is one, the Win32 error.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A window that went away while it was read or acted on (the program closed
// it meanwhile): its handle is no longer valid.  Whoever watches windows
// that come and go treats it as gone, not as a failure.
class WindowGone : public Error {
public:
    using Error::Error;
};

// "<what> failed: error N (message)" with the calling thread's last error;
// WindowGone when that error is ERROR_INVALID_WINDOW_HANDLE.
[[noreturn]] void ThrowLastError(const std::string& what);

} // namespace uidriver
