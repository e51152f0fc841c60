#include "CommandSwitches.h"

namespace {

void Apply(const CString& key, const CString& value, CommandSwitches& sw) {
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

bool ParseCommandSwitches(const CString& tail, CommandSwitches& sw) {
    ForEachSwitch(tail, [&sw](const CString& key, const CString& value) { Apply(key, value, sw); });
    return sw.nCommand != 0;
}
