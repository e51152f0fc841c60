#include "Error.h"

#include <windows.h>

namespace uidriver {

// Keeps GetLastError before anything else can change it, then adds the
// system's message (CP932 under a Japanese locale) without its line break.
void ThrowLastError(const std::string& what) {
    const DWORD code = ::GetLastError();
    char buf[512] = "";
    const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, code, 0, buf, sizeof buf, nullptr);
    std::string message(buf, n);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    const std::string text = what + " failed: error " + std::to_string(code) +
                             (message.empty() ? "" : " (" + message + ")");
    if (code == ERROR_INVALID_WINDOW_HANDLE)
        throw WindowGone(text);
    throw Error(text);
}

} // namespace uidriver
