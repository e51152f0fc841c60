#pragma once
#include <string>
#include <vector>

// Names whose bytes are not all characters of code page 932, with what a
// JSON document of ikotool shows for them, the same on every platform:
// U+FFFD for each byte that is none, every other character kept.
struct UndecodableName {
    std::string name;  // code page 932 bytes
    std::string shown; // UTF-8
    bool bLossy;       // the document carries the bytes too
};

inline std::vector<UndecodableName> UndecodableNames() {
    return {
        {"\x95\x5c\x81\x2e"
         "dat",
         u8"表\uFFFD.dat", true}, // a lead byte before ".": the dot stays
        {"\x80x.dat", u8"\uFFFDx.dat", true},
        {"a\xfd.dat", u8"a\uFFFD.dat", true},
        {"\x81\x5c\x81", u8"\u2015\uFFFD", true}, // a lead byte at the end
        {"\xb6\xc5.dat", u8"ｶﾅ.dat", false},
    };
}
