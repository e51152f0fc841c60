#include "HeldFiles.h"

#include "Poll.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

HeldFile::HeldFile(const CString& path)
    : m_handle(
          ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)) {}

HeldFile::~HeldFile() {
    if (m_handle != INVALID_HANDLE_VALUE)
        ::CloseHandle(m_handle);
}

Holding HoldHandle(HANDLE handle) {
    return Holding(handle, [](void* h) {
        if (h)
            ::CloseHandle(h);
    });
}

namespace {

struct Growing {
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::atomic<bool> bStop{false};
    std::thread writer;
};

void AppendLine(HANDLE handle) {
    static const char kLine[] = "12:00:00 another line of the log\r\n";
    DWORD written = 0;
    ::WriteFile(handle, kLine, sizeof kLine - 1, &written, nullptr);
}

} // namespace

// Others may read and write it, as a log is shared.  The writer sleeps
// between lines, so that a test of some seconds leaves a few hundred KiB.
Holding HoldGrowing(const CString& path) {
    auto* growing = new Growing;
    growing->handle = ::CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, growing->handle) << path.GetString();
    AppendLine(growing->handle);
    growing->writer = std::thread([growing] {
        while (!growing->bStop) {
            AppendLine(growing->handle);
            ::Sleep(1);
        }
    });
    return Holding(growing, [](void* p) {
        auto* g = static_cast<Growing*>(p);
        g->bStop = true;
        g->writer.join();
        ::CloseHandle(g->handle);
        delete g;
    });
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
    if (!unixPath)
        return std::string();
    std::string result = unixPath;
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

const char kProbePrefix[] = "~probe";

// Each probe has a name of its own: one that chattr locked between its
// creation and its deletion on close stays behind, and must neither block
// the next probe nor count as one of the folder's files.
bool CanCreateIn(const CString& dir) {
    static int s_nProbe = 0;
    CString name;
    name.Format("%s\\%s%d.tmp", dir.GetString(), kProbePrefix, ++s_nProbe);
    const HANDLE h = ::CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(h);
    return true;
}

bool IsProbe(const char* pszName) {
    return std::strncmp(pszName, kProbePrefix, sizeof kProbePrefix - 1) == 0;
}

// chattr -R changes a folder before its files: the folder and each of its
// files must have changed.
bool FolderIsWritable(const CString& dir, bool writable) {
    if (CanCreateIn(dir) != writable)
        return false;
    WIN32_FIND_DATAA fd;
    const HANDLE h = ::FindFirstFileA(dir + "\\*", &fd);
    if (h == INVALID_HANDLE_VALUE)
        return true;
    bool all = true;
    do
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsProbe(fd.cFileName))
            all = all && Writable(dir + "\\" + fd.cFileName) == writable;
    while (::FindNextFileA(h, &fd));
    ::FindClose(h);
    return all;
}

// Probes that the lock left behind, once the folder may be written again.
void RemoveProbes(const CString& dir) {
    WIN32_FIND_DATAA fd;
    const HANDLE h = ::FindFirstFileA(dir + "\\" + kProbePrefix + "*.tmp", &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do
        ::DeleteFileA(dir + "\\" + fd.cFileName);
    while (::FindNextFileA(h, &fd));
    ::FindClose(h);
}

// Wine starts a Unix program like a Windows one, but gives no handle to wait
// on: `done` tells when the change has come (and what Wine leaves in the
// process information is no handle to close).  The Unix path is UTF-8, so
// the command line goes as UTF-16: through the ANSI code page a Japanese
// name would arrive garbled.
bool RunChattr(const std::string& flags, const std::string& unixPath,
               const std::function<bool()>& done) {
    const std::string utf8 = "chattr " + flags + " \"" + unixPath + "\"";
    std::wstring commandLine(utf8.size() + 1, L'\0');
    commandLine.resize(static_cast<size_t>(
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), static_cast<int>(utf8.size()),
                              &commandLine[0], static_cast<int>(commandLine.size()))));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(L"Z:\\usr\\bin\\chattr", &commandLine[0], nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &si, &pi))
        return false;
    return uidriver::PollUntil(done, 10000);
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
    EXPECT_TRUE(RunChattr("+i", unixPath, [path] { return !Writable(path); }))
        << "chattr +i " << unixPath;
    return Holding(nullptr, [path, unixPath](void*) {
        EXPECT_TRUE(RunChattr("-i", unixPath, [path] { return Writable(path); }))
            << "chattr -i " << unixPath;
        ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    });
}

Holding HoldFolderReadOnly(const CString& dir) {
    const std::string unixPath = UnixPath(dir);
    EXPECT_FALSE(unixPath.empty()) << dir.GetString();
    EXPECT_TRUE(RunChattr("-R +i", unixPath, [dir] { return FolderIsWritable(dir, false); }))
        << "chattr -R +i " << unixPath;
    return Holding(nullptr, [dir, unixPath](void*) {
        EXPECT_TRUE(RunChattr("-R -i", unixPath, [dir] { return FolderIsWritable(dir, true); }))
            << "chattr -R -i " << unixPath;
        RemoveProbes(dir);
    });
}
