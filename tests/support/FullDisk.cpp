#include "FullDisk.h"

#include "ScopedHandle_win.h"
#include "TempDir.h"

#include <windows.h>

#include <vector>

namespace {

ULONGLONG FreeBytes(const CString& path) {
    ULARGE_INTEGER free{};
    if (!::GetDiskFreeSpaceExA(path + "\\", &free, nullptr, nullptr))
        return 0;
    return free.QuadPart;
}

// Writes until `size` bytes are written or the disk is full; false on any
// other failure.
bool WriteBytes(HANDLE h, ULONGLONG size, DWORD chunkSize) {
    const std::vector<char> chunk(chunkSize, 'x');
    while (size > 0) {
        const DWORD part = size < chunkSize ? static_cast<DWORD>(size) : chunkSize;
        DWORD done = 0;
        if (!::WriteFile(h, chunk.data(), part, &done, nullptr) || done != part)
            return false;
        size -= part;
    }
    return true;
}

void WriteUntilFull(HANDLE h, DWORD size) {
    const std::vector<char> chunk(size, 'x');
    DWORD done = 0;
    while (::WriteFile(h, chunk.data(), size, &done, nullptr) && done == size) {
    }
}

// The test bed's small disk as a Windows path ("Z:" and the Unix path), or
// empty when the test bed has none.
CString HandedDisk() {
    char unixPath[MAX_PATH] = "";
    const DWORD n = ::GetEnvironmentVariableA("MORVANE_FULL_DISK", unixPath, sizeof unixPath);
    if (n == 0 || n >= sizeof unixPath)
        return CString();
    CString path = CString("Z:") + unixPath;
    path.Replace("/", "\\");
    return path;
}

} // namespace

// What an earlier test left on the disk goes first.  The reserve is real
// data (tmpfs counts no room for a hole), written beside the test's folder
// so that the folder holds only what the test puts there.
FullDisk::FullDisk(unsigned kilobytes) {
    const CString disk = HandedDisk();
    if (disk.IsEmpty())
        return;
    m_strPath = disk + "\\files";
    m_strReserve = disk + "\\reserve.bin";
    RemoveFolder(m_strPath);
    ::DeleteFileA(m_strReserve);
    if (!::CreateDirectoryA(m_strPath, nullptr))
        return;
    const ULONGLONG room = static_cast<ULONGLONG>(kilobytes) * 1024;
    const ULONGLONG free = FreeBytes(disk);
    if (free < room)
        return;
    CFileHandle h(
        ::CreateFileA(m_strReserve, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!h)
        return;
    const bool written = WriteBytes(h.Get(), free - room, 65536);
    h.Close();
    m_bMounted = written && FreeBytes(disk) == room;
}

FullDisk::~FullDisk() {
    if (m_strPath.IsEmpty())
        return;
    RemoveFolder(m_strPath);
    ::DeleteFileA(m_strReserve);
}

bool FullDisk::Fill() const {
    CFileHandle h(::CreateFileA(m_strPath + "\\filler.bin", GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr));
    if (!h)
        return false;
    for (DWORD size : {65536u, 4096u, 1u})
        WriteUntilFull(h.Get(), size);
    h.Close();
    return FreeBytes(m_strPath) == 0;
}
