#pragma once
#include <string>

namespace uidriver {

// Texts read from windows are CP932 bytes: these helpers step over whole
// characters, so a trail byte 0x5C or 0x7C is never taken for '\\' or '|'.

// One line for a log: CR LF, LF and CR become "\n", a tab "\t", and '"' and
// '\\' are escaped.
std::string EscapeLine(const std::string& text);

// A button or menu text as the user reads it: "はい(&Y)" gives "はい",
// "&Open" gives "Open", "A&&B" gives "A&B".
std::string StripMnemonic(const std::string& text);

} // namespace uidriver
