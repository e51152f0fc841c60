#include "TessaroFixture.h"

#include "Poll.h"
#include "Process.h"
#include "QuimbexRun.h"
#include "Screenshot.h"

#include <sddl.h>

#include <string>

const char kTessaroCaption[] = "Tessaro";
const char kMainDialogCaption[] = "Morvaneデータ移行ツール";
const char kNotAvailable[] = "この処理は、このバージョンではまだ使用できません。";

uidriver::StartInfo TessaroFixture::TessaroStart(const std::string& tail) {
    uidriver::StartInfo info;
    info.application = (BinDir() + "\\Tessaro.exe").str();
    info.commandLine = "\"" + info.application + "\" " + tail;
    return info;
}

uidriver::DialogWindow TessaroFixture::WaitForMainDialog(const uidriver::Process& process) {
    return uidriver::DialogWindow::WaitFor(process.Windows(), kMainDialogCaption, 30000);
}

void TessaroFixture::CloseMainDialog(const uidriver::Process& process,
                                     const uidriver::DialogWindow& dlg) {
    dlg.Click(IDOK);
    EXPECT_EQ(0u, process.WaitForExit(30000));
}

void SaveWindowShot(HWND hwnd, const std::string& name) {
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    uidriver::ScreenImage last;
    uidriver::PollUntil(
        [&] {
            const uidriver::ScreenImage now = uidriver::CaptureScreen(rect);
            const bool settled = now == last;
            last = now;
            return settled;
        },
        5000, 100);
    uidriver::SaveScreenshot(TestOutputDir(), name, &rect);
}

Holding HoldHandle(HANDLE handle) {
    return Holding(handle, [](void* h) {
        if (h)
            ::CloseHandle(h);
    });
}

Holding HoldMutex(const char* name, const char* sddl) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, FALSE};
    if (sddl && !::ConvertStringSecurityDescriptorToSecurityDescriptorA(
                    sddl, SDDL_REVISION_1, &sa.lpSecurityDescriptor, nullptr))
        ADD_FAILURE() << "SDDL " << sddl << ": error " << ::GetLastError();
    const HANDLE mutex = ::CreateMutexA(&sa, FALSE, name);
    EXPECT_NE(nullptr, mutex) << name << ": error " << ::GetLastError();
    ::LocalFree(sa.lpSecurityDescriptor);
    return HoldHandle(mutex);
}

namespace {

// Wine's own helper: the Unix path of a Windows path, or null.
std::string UnixPath(const CString& path) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    std::wstring wide(static_cast<size_t>(path.GetLength()) + 1, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, path, -1, &wide[0], static_cast<int>(wide.size()));
    char* unixPath = toUnix ? toUnix(wide.c_str()) : nullptr;
    const std::string result = unixPath ? unixPath : "";
    ::HeapFree(::GetProcessHeap(), 0, unixPath);
    return result;
}

bool Writable(const CString& path) {
    const HANDLE h = ::CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(h);
    return true;
}

// Wine starts a Unix program like a Windows one, but gives no handle to wait
// on: the change is awaited on the file itself.
bool RunChattr(const char* flag, const CString& path, const std::string& unixPath) {
    std::string commandLine = std::string("chattr ") + flag + " \"" + unixPath + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA("Z:\\usr\\bin\\chattr", &commandLine[0], nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &si, &pi))
        return false;
    for (HANDLE h : {pi.hProcess, pi.hThread})
        if (h)
            ::CloseHandle(h);
    const bool wantWritable = flag[0] == '-';
    return uidriver::PollUntil([&] { return Writable(path) == wantWritable; }, 10000);
}

} // namespace

// The tests run as root, who may write a file whatever its permission bits
// say, so the read-only attribute does not keep Wine from writing.  An
// immutable file (chattr +i, ext4 as root) refuses everyone, as a read-only
// file refuses a user on Windows.
Holding HoldReadOnly(const CString& path) {
    const std::string unixPath = UnixPath(path);
    EXPECT_FALSE(unixPath.empty()) << path.GetString();
    ::SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(RunChattr("+i", path, unixPath)) << "chattr +i " << unixPath;
    return Holding(nullptr, [path, unixPath](void*) {
        EXPECT_TRUE(RunChattr("-i", path, unixPath)) << "chattr -i " << unixPath;
        ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    });
}
