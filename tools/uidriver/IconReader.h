#pragma once
#include <windows.h>

namespace uidriver {

enum class IconKind {
    None,
    Information, // IDI_ASTERISK, MB_ICONINFORMATION
    Exclamation, // IDI_EXCLAMATION, MB_ICONEXCLAMATION / MB_ICONWARNING
    Error,       // IDI_HAND, MB_ICONERROR / MB_ICONSTOP
    Question,    // IDI_QUESTION, MB_ICONQUESTION
    Unknown,     // an icon, but none of the standard ones
};

// "none", "information", "exclamation", "error", "question", "unknown".
const char* IconKindName(IconKind kind);

// The standard icon that the icon static `control` of another process
// shows.  Waits up to `timeoutMs` for it to reach the screen.
IconKind RecogniseIcon(HWND control, DWORD timeoutMs = 3000);

} // namespace uidriver
