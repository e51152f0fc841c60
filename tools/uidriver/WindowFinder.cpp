#include "WindowFinder.h"

#include "Error.h"
#include "MbcsText.h"
#include "Poll.h"
#include "RemoteWindow.h"

#include <cstdio>

namespace uidriver {

namespace {

struct EnumState {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lParam) {
    auto* state = reinterpret_cast<EnumState*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == state->pid)
        state->found.push_back(hwnd);
    return TRUE;
}

std::string HandleText(HWND hwnd) {
    char buf[32];
    (void)std::snprintf(buf, sizeof buf, "%p", static_cast<void*>(hwnd));
    return buf;
}

WindowInfo InfoOf(HWND hwnd) {
    WindowInfo info;
    info.hwnd = hwnd;
    info.className = ReadClass(hwnd);
    info.caption = ReadCaption(hwnd);
    info.visible = ::IsWindowVisible(hwnd) != FALSE;
    info.enabled = ::IsWindowEnabled(hwnd) != FALSE;
    return info;
}

} // namespace

std::string Describe(const WindowInfo& info) {
    return HandleText(info.hwnd) + " class=\"" + EscapeLine(info.className) + "\" caption=\"" +
           EscapeLine(info.caption) + "\"" + (info.visible ? " visible" : " hidden") +
           (info.enabled ? " enabled" : " disabled");
}

std::string Describe(const WindowQuery& query) {
    std::string text = "class=\"" + (query.className.empty() ? "*" : query.className) + "\"";
    if (query.caption)
        text += " caption=\"" + EscapeLine(*query.caption) + "\"";
    if (query.accept)
        text += " (with a further test)";
    return text;
}

WindowFinder::WindowFinder(DWORD processId, HANDLE process)
    : m_pid(processId), m_process(process) {}

// EnumWindows gives the top-level windows in Z order, the topmost first.
// A window destroyed between the enumeration and the reading of its text
// (a dialog that ends, a wait dialog of a quick step) is not listed.
std::vector<WindowInfo> WindowFinder::List() const {
    EnumState state{m_pid, {}};
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
    std::vector<WindowInfo> windows;
    for (HWND hwnd : state.found) {
        try {
            windows.push_back(InfoOf(hwnd));
        } catch (const Error&) {
            if (::IsWindow(hwnd))
                throw;
        }
    }
    return windows;
}

std::string WindowFinder::Describe() const {
    std::string text;
    for (const WindowInfo& info : List())
        text += "  " + uidriver::Describe(info) + "\n";
    return text.empty() ? "  (none)\n" : text;
}

bool WindowFinder::Matches(const WindowInfo& info, const WindowQuery& query) const {
    if (query.visibleOnly && !info.visible)
        return false;
    if (!query.className.empty() && info.className != query.className)
        return false;
    if (query.caption && info.caption != *query.caption)
        return false;
    return !query.accept || query.accept(info.hwnd);
}

HWND WindowFinder::Find(const WindowQuery& query) const {
    for (const WindowInfo& info : List())
        if (Matches(info, query))
            return info.hwnd;
    return nullptr;
}

bool WindowFinder::ProcessEnded() const {
    return m_process && ::WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0;
}

HWND WindowFinder::WaitFor(const WindowQuery& query, DWORD timeoutMs) const {
    HWND found = nullptr;
    bool ended = false;
    PollUntil(
        [&] {
            ended = ProcessEnded(); // asked first: a window shown just before the end counts
            found = Find(query);
            return found || ended;
        },
        timeoutMs);
    if (found)
        return found;
    throw Error("no window " + uidriver::Describe(query) + " of process " + std::to_string(m_pid) +
                (ended ? " before it ended" : " within " + std::to_string(timeoutMs) + " ms") +
                "; its windows:\n" + Describe());
}

void WindowFinder::WaitUntilGone(HWND hwnd, DWORD timeoutMs) const {
    if (!PollUntil([hwnd] { return !::IsWindow(hwnd); }, timeoutMs))
        throw Error("window " + uidriver::Describe(InfoOf(hwnd)) + " still exists after " +
                    std::to_string(timeoutMs) + " ms");
}

bool WindowFinder::NoWindowWithin(DWORD spanMs) const {
    WindowQuery anyVisible;
    bool seen = false;
    PollUntil(
        [&] {
            const bool ended = ProcessEnded();
            seen = Find(anyVisible) != nullptr;
            return seen || ended;
        },
        spanMs);
    return !seen;
}

} // namespace uidriver
