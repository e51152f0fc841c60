#include "TimingLog.h"

#include "CallTiming.h"
#include "ExcelStandinControl.h"
#include "VariantText.h"

#include <cwchar>

bool CTimingLog::s_bOn = false;
int64_t CTimingLog::s_nStarted = 0;
CString CTimingLog::s_strLines;

namespace {

int64_t Microseconds(const FILETIME& ft) {
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    return static_cast<int64_t>(u.QuadPart / 10);
}

CString TimingLogPath() {
    return ExcelStandin::ControlDir() + "\\timing.log";
}

} // namespace

// The dispatch driver's clock: the client's times and these are subtracted.
int64_t CTimingLog::Now() {
    return CCallTiming::Now();
}

// The process's creation, not the first line of the program: loading it is
// part of what a client waits for.
void CTimingLog::Start() {
    s_bOn = ::GetFileAttributesA(TimingLogPath()) != INVALID_FILE_ATTRIBUTES;
    FILETIME created, exited, kernel, user;
    s_nStarted = ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)
                     ? Microseconds(created)
                     : Now();
}

void CTimingLog::Ready() {
    if (s_bOn)
        Add("Server", s_nStarted, Now(), CString());
}

// "Application.Run" names its macro too: the first argument, last in the
// array.
void CTimingLog::Call(int64_t nBegin, const char* pszObject, const wchar_t* pszMember,
                      const DISPPARAMS& params) {
    const int64_t end = Now();
    CString what;
    what.Format("%s.%s", pszObject, NarrowFromWide(pszMember).GetString());
    const VARIANT* first = params.cArgs ? &params.rgvarg[params.cArgs - 1] : nullptr;
    if (first && first->vt == VT_BSTR && std::wcscmp(pszMember, L"Run") == 0)
        what += "\t" + NarrowFromWide(first->bstrVal);
    Add("Call", nBegin, end, what);
}

void CTimingLog::Add(const char* pszKind, int64_t nBegin, int64_t nEnd, const CString& strWhat) {
    CString line;
    line.Format("%lu\t%s\t%lld\t%lld\t%s\r\n", ::GetCurrentProcessId(), pszKind,
                static_cast<long long>(nBegin), static_cast<long long>(nEnd), strWhat.GetString());
    s_strLines += line;
}

void CTimingLog::Finish() {
    if (!s_bOn)
        return;
    const int64_t now = Now();
    Add("Exit", now, now, CString());
    CCallTiming::AppendToFile(TimingLogPath(), s_strLines);
}
