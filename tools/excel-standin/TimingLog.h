#pragma once
#include "String.h"

#include <oaidl.h>

#include <cstdint>

// timing.log in the control folder, for the benchmarks: when the server
// started and was ready, and when each call came in and went out, in
// microseconds of the system clock.  Written only when the file exists as
// the server starts; kept in memory and appended when the server ends, so
// that keeping it costs the calls nothing.
class CTimingLog {
public:
    static void Start();
    static void Ready();
    static bool IsOn() { return s_bOn; }
    static int64_t Now();
    static void Call(int64_t nBegin, const char* pszObject, const wchar_t* pszMember,
                     const DISPPARAMS& params);
    static void Finish();

private:
    static void Add(const char* pszKind, int64_t nBegin, int64_t nEnd, const CString& strWhat);

    static bool s_bOn;
    static int64_t s_nStarted;
    static CString s_strLines;
};
