// Ends stand-in servers that are left running.  Under Wine a server whose
// client died without releasing it runs for ever, so the test bed calls this
// after every test.
#include "ExcelStandinControl.h"
#include "ScopedHandle_win.h"

#include <set>

namespace ExcelStandin {

namespace {

BOOL CALLBACK CollectServer(HWND hwnd, LPARAM lParam) {
    char cls[64] = {};
    if (::GetClassNameA(hwnd, cls, sizeof cls) && lstrcmpA(cls, kWindowClass) == 0) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hwnd, &pid);
        reinterpret_cast<std::set<DWORD>*>(lParam)->insert(pid);
    }
    return TRUE;
}

// Only our own server is ended, never a real Excel that happens to run.
bool IsStandin(HANDLE process) {
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!::QueryFullProcessImageNameA(process, 0, path, &size))
        return false;
    const CString image(path);
    return image.Mid(image.ReverseFind('\\') + 1).CompareNoCase(kExeName) == 0;
}

bool EndServer(DWORD pid) {
    const CHandle process(::OpenProcess(
        PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process)
        return false;
    bool ended = false;
    if (IsStandin(process.Get()) && ::TerminateProcess(process.Get(), 1))
        ended = ::WaitForSingleObject(process.Get(), 5000) == WAIT_OBJECT_0;
    return ended;
}

} // namespace

int KillStrayServers() {
    std::set<DWORD> pids;
    ::EnumWindows(CollectServer, reinterpret_cast<LPARAM>(&pids));
    pids.erase(::GetCurrentProcessId());
    int ended = 0;
    for (DWORD pid : pids)
        if (EndServer(pid))
            ++ended;
    return ended;
}

} // namespace ExcelStandin
