#pragma once
// Code page 932 (Shift-JIS) character boundaries.  A lead byte starts a
// two-byte character whose trail byte may look like '\\', '.', or a letter.

namespace fw {

inline bool IsLeadByte932(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length in bytes of the character that starts at s[i] (never past n).
inline int CharLen932(const char* s, int i, int n) {
    if (IsLeadByte932(static_cast<unsigned char>(s[i])) && i + 1 < n && s[i + 1] != '\0')
        return 2;
    return 1;
}

} // namespace fw
