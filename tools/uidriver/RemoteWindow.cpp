#include "RemoteWindow.h"

#include "Error.h"
#include "Poll.h"
#include "WindowFinder.h"

#include <cstdio>
#include <set>
#include <vector>

namespace uidriver {

namespace {

const DWORD kQueryTimeoutMs = 5000;

std::string MessageText(HWND hwnd, UINT msg) {
    char buf[64];
    (void)std::snprintf(buf, sizeof buf, "message 0x%04X to window %p", msg,
                        static_cast<void*>(hwnd));
    return buf;
}

// The answers of SendMessageCallbackA arrive while Act pumps this thread's
// messages; an answer that comes after Act gave up only lands in this set.
std::set<ULONG_PTR>& AnsweredActs() {
    static std::set<ULONG_PTR> answered;
    return answered;
}

void CALLBACK OnActAnswered(HWND, UINT, ULONG_PTR act, LRESULT) {
    AnsweredActs().insert(act);
}

std::set<HWND> VisibleWindows(const WindowFinder& finder) {
    std::set<HWND> visible;
    for (const WindowInfo& info : finder.List())
        if (info.visible)
            visible.insert(info.hwnd);
    return visible;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}

bool HasNewWindow(const WindowFinder& finder, const std::set<HWND>& before) {
    for (HWND hwnd : VisibleWindows(finder))
        if (!before.count(hwnd))
            return true;
    return false;
}

} // namespace

std::string ReadClass(HWND hwnd) {
    char buf[256] = "";
    const int n = ::GetClassNameA(hwnd, buf, sizeof buf);
    return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> all;
    ::EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&all));
    std::vector<HWND> direct;
    for (HWND hwnd : all)
        if (::GetParent(hwnd) == parent)
            direct.push_back(hwnd);
    return direct;
}

bool IsClass(HWND hwnd, const char* className) {
    return ::lstrcmpiA(ReadClass(hwnd).c_str(), className) == 0;
}

// GetWindowTextA answers for another process's window from the window
// manager's copy of the caption, without a message to the window.
std::string ReadCaption(HWND hwnd) {
    std::vector<char> buf(4096);
    const int n = ::GetWindowTextA(hwnd, buf.data(), static_cast<int>(buf.size()));
    return std::string(buf.data(), n > 0 ? static_cast<size_t>(n) : 0);
}

// WM_GETTEXTLENGTH may answer more than the text needs (it counts for the
// wider of the two encodings); the copy ends at the terminating zero.
std::string ReadText(HWND hwnd) {
    const LRESULT length = Query(hwnd, WM_GETTEXTLENGTH);
    std::vector<char> buf(static_cast<size_t>(length) * 2 + 2, '\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutA(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                               SMTO_NORMAL, kQueryTimeoutMs, &copied))
        ThrowLastError(MessageText(hwnd, WM_GETTEXT));
    return std::string(buf.data());
}

LRESULT Query(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(hwnd, msg, wParam, lParam, SMTO_NORMAL, kQueryTimeoutMs, &result))
        ThrowLastError(MessageText(hwnd, msg));
    return static_cast<LRESULT>(result);
}

// A handler that opens a modal box does not return until the box closes,
// and the test is the one that has to close it: so the message is sent with
// a callback instead of SendMessage, and a new window of the program ends
// the wait as well.
ActResult Act(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, DWORD timeoutMs) {
    static ULONG_PTR lastAct = 0;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    const WindowFinder finder(pid);
    const std::set<HWND> before = VisibleWindows(finder);
    const ULONG_PTR act = ++lastAct;
    if (!::SendMessageCallbackA(hwnd, msg, wParam, lParam, OnActAnswered, act)) {
        if (::GetLastError() == ERROR_INVALID_WINDOW_HANDLE)
            return ActResult::Gone;
        ThrowLastError(MessageText(hwnd, msg));
    }
    ActResult result = ActResult::StillBusy;
    PollUntil(
        [&] {
            if (AnsweredActs().erase(act))
                result = ActResult::Handled;
            else if (!::IsWindow(hwnd))
                result = ActResult::Gone;
            else if (HasNewWindow(finder, before))
                result = ActResult::NewWindow;
            return result != ActResult::StillBusy;
        },
        timeoutMs, 10);
    return result;
}

} // namespace uidriver
