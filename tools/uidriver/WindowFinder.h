#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace uidriver {

// A top-level window as the diagnostics show it.
struct WindowInfo {
    HWND hwnd = nullptr;
    std::string className;
    std::string caption; // CP932
    bool visible = false;
    bool enabled = false;
};

// Which window a test waits for.  Every condition that is set must hold.
struct WindowQuery {
    WindowQuery() = default;
    WindowQuery(std::string cls, std::optional<std::string> text = std::nullopt)
        : className(std::move(cls)), caption(std::move(text)) {}

    std::string className;              // empty: any class
    std::optional<std::string> caption; // the exact CP932 bytes
    bool visibleOnly = true;
    std::function<bool(HWND)> accept; // a further test, e.g. "is a message box"
};

// Finds the top-level windows of one process, never those of another one
// with the same class or caption.
class WindowFinder {
public:
    // `process` (optional) lets the waits give up as soon as the program ends.
    explicit WindowFinder(DWORD processId, HANDLE process = nullptr);

    DWORD ProcessId() const { return m_pid; }
    std::vector<WindowInfo> List() const;
    // One line per window, for failure messages.
    std::string Describe() const;
    // The first window that answers the query now, or nullptr.
    HWND Find(const WindowQuery& query) const;
    // Polls for the window; throws Error (with the window list) when the
    // time is up or the program has ended.
    HWND WaitFor(const WindowQuery& query, DWORD timeoutMs) const;
    // Throws Error when `hwnd` still exists at the deadline.
    void WaitUntilGone(HWND hwnd, DWORD timeoutMs) const;
    // True when no visible window of the process shows during `spanMs` (or
    // until the program ends, whichever comes first).
    bool NoWindowWithin(DWORD spanMs) const;

private:
    bool Matches(const WindowInfo& info, const WindowQuery& query) const;
    bool ProcessEnded() const;

    DWORD m_pid;
    HANDLE m_process;
};

std::string Describe(const WindowInfo& info);
std::string Describe(const WindowQuery& query);

} // namespace uidriver
