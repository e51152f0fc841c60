#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace uidriver {

// Reading and acting on the windows of another process.  Reads use
// SendMessageTimeout, so a program that hangs fails the test instead of
// hanging it.

std::string ReadClass(HWND hwnd);
// A top-level window's caption as the window manager keeps it.
std::string ReadCaption(HWND hwnd);
// WM_GETTEXT: the text of any window or control (CP932).
std::string ReadText(HWND hwnd);
// The direct child windows of `parent`, in Z order (the tab order of a dialog).
std::vector<HWND> ChildrenOf(HWND parent);
bool IsClass(HWND hwnd, const char* className);
// SendMessageTimeoutA: the answer, or Error when none comes within a few
// seconds.  Pointers in the message are this process's.
LRESULT Query(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

// How an action ended.
enum class ActResult {
    Handled,   // the window's procedure returned
    NewWindow, // the program showed a new window (a modal box) meanwhile
    Gone,      // the window went away
    StillBusy, // none of these within the time given
};

// Sends a message that acts on the program as the user would (a click, a
// notification) and waits until the program has handled it, or shows a new
// window while handling it, or the window goes.  The message must carry no
// pointers.
ActResult Act(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, DWORD timeoutMs = 5000);

} // namespace uidriver
