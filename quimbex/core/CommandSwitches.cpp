#include "CommandSwitches.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

int32_t ParseLeadingNumber(const char* psz) {
    errno = 0;
    const long long v = std::strtoll(psz, nullptr, 10);
    if (v > INT32_MAX)
        return INT32_MAX;
    if (v < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

namespace {

void Apply(CString key, const CString& value, CommandSwitches& sw) {
    key.MakeUpper();
    if (key == "K") {
        sw.nCommand = ParseLeadingNumber(value);
    } else if (key == "O") {
        sw.strArgO = value;
    } else if (key == "N") {
        sw.strArgN = value;
    } else if (key == "F") {
        sw.nCommand = 5;
        sw.strArgO = value;
        sw.strArgN = value;
    }
}

} // namespace

// A switch without ":" (or with ":" first) changes neither key nor value, so
// the previous switch is applied once more; a value never holds "/".
bool ParseCommandSwitches(const CString& tail, CommandSwitches& sw) {
    CString rest = tail;
    CString key, value;
    while (rest.GetLength() > 0 && rest[0] == '/') {
        rest = rest.Mid(1);
        const int colon = rest.Find(':');
        if (colon > 0) {
            key = rest.Left(colon);
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
        Apply(key, value, sw);
    }
    return sw.nCommand != 0;
}

int32_t ExcelVersionFromCurVer(const CString& curVer) {
    return ParseLeadingNumber(curVer.Mid(18));
}
