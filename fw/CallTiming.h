#pragma once
#include "String.h"

#include <cstdint>

// Diagnostics for the benchmarks: when the environment variable
// MORVANE_CALL_TIMING names a file, every automation call and release that a
// dispatch driver makes is timed, in microseconds of the system clock (the
// clock of the Excel stand-in's timing log), and the times are appended to
// that file when the process ends.  Off, it costs one test per call.
class CCallTiming {
public:
    static bool IsOn();
    static int64_t Now();
    // One line "<process id>\t<kind>\t<begin>\t<end>\t<member id>".
    static void Record(const char* pszKind, int64_t nBegin, int64_t nEnd, long nDispid);
    // Appends text to a file that other processes may be appending to too;
    // a failure loses only diagnostics.
    static void AppendToFile(const CString& strPath, const CString& strText);
};
