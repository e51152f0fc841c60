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

// "<what> failed: error N (message)" with the calling thread's last error.
[[noreturn]] void ThrowLastError(const std::string& what);

} // namespace uidriver
