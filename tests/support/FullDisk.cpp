#include "FullDisk.h"

#include "Poll.h"
#include "TempDir.h"

#include <windows.h>

#include <vector>

namespace {

ULONGLONG TotalBytes(const CString& path) {
    ULARGE_INTEGER avail{}, total{}, free{};
    if (!::GetDiskFreeSpaceExA(path + "\\", &avail, &total, &free))
        return 0;
    return total.QuadPart;
}

// Wine gives no handle to wait on for a Unix program: the caller waits for
// its effect.  What Wine leaves in the process information then is no
// handle of ours, and closing it could close one that is (the registry's).
bool StartUnixProgram(const char* windowsPath, std::string commandLine) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    return ::CreateProcessA(windowsPath, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &si, &pi) != FALSE;
}

void WriteUntilFull(HANDLE h, DWORD size) {
    const std::vector<char> chunk(size, 'x');
    DWORD done = 0;
    while (::WriteFile(h, chunk.data(), size, &done, nullptr) && done == size) {
    }
}

} // namespace

bool FullDisk::Fill() const {
    const HANDLE h = ::CreateFileA(m_strPath + "\\filler.bin", GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    for (DWORD size : {65536u, 4096u, 1u})
        WriteUntilFull(h, size);
    ::CloseHandle(h);
    ULARGE_INTEGER free{};
    return ::GetDiskFreeSpaceExA(m_strPath + "\\", &free, nullptr, nullptr) && free.QuadPart == 0;
}

namespace {

// A mount point of this process's own.
std::string NewMountPoint() {
    static unsigned counter = 0;
    return "/tmp/morvane-full-" + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(++counter);
}

} // namespace

FullDisk::FullDisk(unsigned kilobytes) : m_unixPath(NewMountPoint()), m_nKilobytes(kilobytes) {
    m_strPath = CString(("Z:" + m_unixPath).c_str());
    m_strPath.Replace("/", "\\");
    if (!::CreateDirectoryA(m_strPath, nullptr))
        return;
    const std::string size = "size=" + std::to_string(kilobytes) + "k";
    if (!StartUnixProgram("Z:\\usr\\bin\\mount",
                          "mount -t tmpfs -o " + size + " tmpfs " + m_unixPath))
        return;
    const ULONGLONG limit = static_cast<ULONGLONG>(kilobytes) * 1024;
    m_bMounted = uidriver::PollUntil([&] { return TotalBytes(m_strPath) == limit; }, 10000);
}

FullDisk::~FullDisk() {
    if (m_bMounted) {
        const ULONGLONG limit = static_cast<ULONGLONG>(m_nKilobytes) * 1024;
        StartUnixProgram("Z:\\usr\\bin\\umount", "umount " + m_unixPath);
        uidriver::PollUntil([&] { return TotalBytes(m_strPath) != limit; }, 10000);
    }
    RemoveFolder(m_strPath);
}
