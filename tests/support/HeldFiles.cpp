#include "HeldFiles.h"

#include "Poll.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

HeldFile::HeldFile(const CString& path)
    : m_handle(
          ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)) {}

Holding HoldHandle(HANDLE handle) {
    return std::make_shared<CHandle>(handle);
}

namespace {

struct Growing {
    CFileHandle handle;
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
    growing->handle.Attach(::CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(growing->handle) << path.GetString();
    AppendLine(growing->handle.Get());
    growing->writer = std::thread([growing] {
        while (!growing->bStop) {
            AppendLine(growing->handle.Get());
            ::Sleep(1);
        }
    });
    return Holding(growing, [](void* p) {
        auto* g = static_cast<Growing*>(p);
        g->bStop = true;
        g->writer.join();
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
    const CHeapMemory<char*> unixPath(toUnix ? toUnix(wide.c_str()) : nullptr);
    return unixPath ? std::string(unixPath.Get()) : std::string();
}

bool Writable(const CString& path) {
    const CFileHandle h(::CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(h);
}

const char kProbePrefix[] = "~probe";

// Each probe has a name of its own: one that the folder's change of owner
// caught between its creation and its deletion on close stays behind, and
// must neither block the next probe nor count as one of the folder's files.
bool CanCreateIn(const CString& dir) {
    static int s_nProbe = 0;
    CString name;
    name.Format("%s\\%s%d.tmp", dir.GetString(), kProbePrefix, ++s_nProbe);
    const CFileHandle h(::CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return static_cast<bool>(h);
}

bool IsProbe(const char* pszName) {
    return std::strncmp(pszName, kProbePrefix, sizeof kProbePrefix - 1) == 0;
}

// chown -R changes a folder before its files: the folder and each of its
// files must have changed.
bool FolderIsWritable(const CString& dir, bool writable) {
    if (CanCreateIn(dir) != writable)
        return false;
    WIN32_FIND_DATAA fd;
    const CFindHandle h(::FindFirstFileA(dir + "\\*", &fd));
    if (!h)
        return true;
    bool all = true;
    do
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsProbe(fd.cFileName))
            all = all && Writable(dir + "\\" + fd.cFileName) == writable;
    while (::FindNextFileA(h.Get(), &fd));
    return all;
}

// Probes that the lock left behind, once the folder may be written again.
void RemoveProbes(const CString& dir) {
    WIN32_FIND_DATAA fd;
    const CFindHandle h(::FindFirstFileA(dir + "\\" + kProbePrefix + "*.tmp", &fd));
    if (!h)
        return;
    do
        ::DeleteFileA(dir + "\\" + fd.cFileName);
    while (::FindNextFileA(h.Get(), &fd));
}

// The other user of the test bed (morvane-other), whose files this user may
// not change; empty when the test bed has none (not started as root).
std::string OtherUid() {
    char uid[16] = "";
    const DWORD n = ::GetEnvironmentVariableA("MORVANE_OTHER_UID", uid, sizeof uid);
    return n > 0 && n < sizeof uid ? uid : "";
}

bool Readable(const CString& path) {
    const CFileHandle h(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(h);
}

// Starts the Unix program `program` with the UTF-8 command line `utf8` and
// waits for `done`: Wine gives no handle to wait on (and what it leaves in
// the process information is no handle to close).  The command line goes
// as UTF-16: through the ANSI code page a Japanese name would arrive garbled.
bool RunUnix(const wchar_t* program, const std::string& utf8, const std::function<bool()>& done) {
    std::wstring commandLine(utf8.size() + 1, L'\0');
    commandLine.resize(static_cast<size_t>(
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), static_cast<int>(utf8.size()),
                              &commandLine[0], static_cast<int>(commandLine.size()))));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(program, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi))
        return false;
    return uidriver::PollUntil(done, 10000);
}

// Gives `unixPath` and everything below it to the other user ("1") or back
// ("0"), without root: in a user namespace of this user's own, 0 is this
// user and 1 the other one, whose id scripts/setup-wine.sh lets this user
// map.  The group stays this user's, which may read but not write.  `done`
// tells when the change has come.
bool RunChown(const char* owner, const std::string& unixPath, const std::function<bool()>& done) {
    const std::string uid = OtherUid();
    if (uid.empty())
        return false;
    const std::string utf8 = "unshare --user --map-root-user --map-users=" + uid +
                             ",1,1 chown -R " + owner + " \"" + unixPath + "\"";
    return RunUnix(L"Z:\\usr\\bin\\unshare", utf8, done);
}

} // namespace

// The read-only attribute, which Wine maps to the file's write permission:
// run by a standard user (as the test bed runs it) Wine then refuses to
// write, copy over or delete the file as Windows does.  Unlike Windows it
// lets a rename replace a read-only file, but never one that is open: the
// hold keeps the file open, sharing everything, so that nothing else is
// refused.
Holding HoldReadOnly(const CString& path) {
    EXPECT_TRUE(::SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY)) << path.GetString();
    auto* open = new CFileHandle(
        ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(*open) << path.GetString();
    EXPECT_FALSE(Writable(path)) << path.GetString();
    return Holding(open, [path](CFileHandle* h) {
        delete h;
        ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    });
}

// The folder and its files belong to the other user while held: this user
// may neither add to the folder nor write, rename, delete or change the
// attributes of a file in it (Wine changes an attribute through the file's
// permissions, which only the owner may set).
Holding HoldFolderReadOnly(const CString& dir) {
    const std::string unixPath = UnixPath(dir);
    EXPECT_FALSE(unixPath.empty()) << dir.GetString();
    EXPECT_TRUE(RunChown("1", unixPath, [dir] { return FolderIsWritable(dir, false); }))
        << "chown -R to morvane-other " << unixPath
        << " (scripts/setup-wine.sh start as root sets up the users)";
    return Holding(nullptr, [dir, unixPath](void*) {
        EXPECT_TRUE(RunChown("0", unixPath, [dir] { return FolderIsWritable(dir, true); }))
            << "chown -R back " << unixPath;
        RemoveProbes(dir);
    });
}

// The file is this user's own: its permissions are changed without root.
Holding HoldUnreadable(const CString& path) {
    const std::string unixPath = UnixPath(path);
    EXPECT_FALSE(unixPath.empty()) << path.GetString();
    EXPECT_TRUE(RunUnix(L"Z:\\usr\\bin\\chmod", "chmod 000 \"" + unixPath + "\"",
                        [path] { return !Readable(path); }))
        << "chmod 000 " << unixPath;
    return Holding(nullptr, [path, unixPath](void*) {
        EXPECT_TRUE(RunUnix(L"Z:\\usr\\bin\\chmod", "chmod 644 \"" + unixPath + "\"",
                            [path] { return Readable(path); }))
            << "chmod back " << unixPath;
    });
}

// The link goes by Unix means too: Wine would remove what it leads to.
Holding HoldUnixLink(const CString& link, const CString& target) {
    const std::string unixLink = UnixPath(link), unixTarget = UnixPath(target);
    EXPECT_FALSE(unixLink.empty() || unixTarget.empty()) << link.GetString();
    EXPECT_TRUE(RunUnix(L"Z:\\bin\\ln", "ln -s \"" + unixTarget + "\" \"" + unixLink + "\"",
                        [link] { return FileExists(link); }))
        << "ln -s " << unixTarget << " " << unixLink;
    return Holding(nullptr, [link, unixLink](void*) {
        EXPECT_TRUE(RunUnix(L"Z:\\bin\\rm", "rm -f \"" + unixLink + "\"",
                            [link] { return !FileExists(link); }))
            << "rm " << unixLink;
    });
}
