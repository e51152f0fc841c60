#pragma once
#include "ExcelStandinControl.h"

// One event of the server in calls.log ("Open\tC:\\...\\xlConv2.xls").
inline void LogEvent(const CString& text) {
    ExcelStandin::AppendLog(text);
}

// A call that real Excel would not get from a correct client.
inline void LogUnexpected(const CString& what) {
    LogEvent("Unexpected\t" + what);
}
