#include "CallTiming.h"

#include "ScopedHandle_win.h"
#include "String.h"

#include <windows.h>

namespace {

// The lines wait in memory and go out once, when the process ends, so that
// keeping them does not lengthen the calls they time.
struct TimingFile {
    TimingFile() {
        char path[MAX_PATH] = {};
        const DWORD n = ::GetEnvironmentVariableA("MORVANE_CALL_TIMING", path, MAX_PATH);
        if (n > 0 && n < MAX_PATH)
            strPath = path;
    }
    ~TimingFile() {
        if (!strPath.IsEmpty() && !strLines.IsEmpty())
            CCallTiming::AppendToFile(strPath, strLines);
    }
    CString strPath;
    CString strLines;
};

TimingFile& File() {
    static TimingFile file;
    return file;
}

// The precise clock exists from Windows 8 on; looked up, so that the
// programs still start on Windows 7, where the plain one serves.
using GetTimeFn = void(WINAPI*)(LPFILETIME);

GetTimeFn SystemTimeFunction() {
    const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    const FARPROC precise =
        kernel ? ::GetProcAddress(kernel, "GetSystemTimePreciseAsFileTime") : nullptr;
    return precise ? reinterpret_cast<GetTimeFn>(reinterpret_cast<void*>(precise))
                   : &::GetSystemTimeAsFileTime;
}

} // namespace

bool CCallTiming::IsOn() {
    return !File().strPath.IsEmpty();
}

int64_t CCallTiming::Now() {
    static const GetTimeFn getTime = SystemTimeFunction();
    FILETIME ft;
    getTime(&ft);
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    return static_cast<int64_t>(u.QuadPart / 10);
}

void CCallTiming::Record(const char* pszKind, int64_t nBegin, int64_t nEnd, long nDispid) {
    CString line;
    line.Format("%lu\t%s\t%lld\t%lld\t0x%lX\r\n", ::GetCurrentProcessId(), pszKind,
                static_cast<long long>(nBegin), static_cast<long long>(nEnd), nDispid);
    File().strLines += line;
}

void CCallTiming::AppendToFile(const CString& strPath, const CString& strText) {
    const CFileHandle h(::CreateFileA(strPath, FILE_APPEND_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h)
        return;
    DWORD written = 0;
    ::WriteFile(h.Get(), strText.GetString(), static_cast<DWORD>(strText.GetLength()), &written,
                nullptr);
}
