#include "MbcsText.h"

#include "Mbcs.h"

namespace uidriver {

namespace {

int CharLen(const std::string& s, size_t i) {
    return fw::CharLen932(s.data(), static_cast<int>(i), static_cast<int>(s.size()));
}

// The escape for a single byte, or nullptr when it stands for itself.
const char* EscapeOf(char c) {
    switch (c) {
    case '\n':
        return "\\n";
    case '\t':
        return "\\t";
    case '"':
        return "\\\"";
    case '\\':
        return "\\\\";
    default:
        return nullptr;
    }
}

// True when the accelerator marker "(&X)" with a single-byte X starts at i.
bool IsMarkerAt(const std::string& s, size_t i) {
    return i + 3 < s.size() && s[i] == '(' && s[i + 1] == '&' && s[i + 2] != '&' &&
           CharLen(s, i + 2) == 1 && s[i + 3] == ')';
}

} // namespace

std::string EscapeLine(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const int n = CharLen(text, i);
        char c = text[i];
        if (n == 2) {
            out.append(text, i, 2);
        } else if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i; // CR LF is one line break
            out += "\\n";
        } else if (const char* escape = EscapeOf(c)) {
            out += escape;
        } else {
            out += c;
        }
        i += n;
    }
    return out;
}

std::string StripMnemonic(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const int n = CharLen(text, i);
        if (n == 1 && IsMarkerAt(text, i)) {
            i += 4;
            continue;
        }
        if (n == 1 && text[i] == '&') {
            // "&&" is a literal ampersand; a single one marks the next character.
            if (i + 1 < text.size() && text[i + 1] == '&')
                out += '&', ++i;
            ++i;
            continue;
        }
        out.append(text, i, static_cast<size_t>(n));
        i += n;
    }
    return out;
}

} // namespace uidriver
