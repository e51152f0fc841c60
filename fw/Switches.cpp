#include "Switches.h"

#include <climits>
#include <cstdlib>

int32_t ParseLeadingNumber(const char* psz) {
    const long long v = std::strtoll(psz, nullptr, 10);
    if (v > INT32_MAX)
        return INT32_MAX;
    if (v < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

// The key and value live across iterations on purpose: the programs that
// start ours rely on a bare "/X" repeating the switch before it.  The end of
// the line ends the loop as the NUL that the older parsers left behind did.
// ':' and '/' are below 0x40, so no trail byte of code page 932 is one.
void ForEachSwitch(const CString& tail, const SwitchVisitor& visit) {
    CString rest = tail;
    CString key, value;
    while (rest.GetLength() > 0 && rest[0] == '/') {
        rest = rest.Mid(1);
        const int colon = rest.Find(':');
        if (colon > 0) {
            key = rest.Left(colon);
            key.MakeUpper();
            const int slash = rest.Find('/');
            if (slash > 0) {
                value = rest.Mid(colon + 1, slash - colon - 1);
                rest = rest.Mid(slash);
            } else {
                value = rest.Mid(colon + 1);
                rest.Empty();
            }
            value.Trim();
        }
        visit(key, value);
    }
}

int32_t ExcelVersionFromCurVer(const CString& curVer) {
    return ParseLeadingNumber(curVer.Mid(18));
}
