#include "SmallDrive.h"

#include <windows.h>

#include <vector>

namespace {

const char kRoot[] = "S:";
const char kRootFolder[] = "S:\\";
const ULONGLONG kMaxSize = 16ull << 20;

void RemoveFolder(const CString& dir) {
    WIN32_FIND_DATAA fd;
    const HANDLE h = ::FindFirstFileA(dir + "\\*", &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const CString name(fd.cFileName);
            if (name == "." || name == "..")
                continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolder(dir + "\\" + name);
            else
                ::DeleteFileA(dir + "\\" + name);
        } while (::FindNextFileA(h, &fd));
        ::FindClose(h);
    }
    ::RemoveDirectoryA(dir);
}

// Writes chunks of `size` bytes until one does not fit whole.
void WriteUntilFull(HANDLE h, DWORD size) {
    const std::vector<char> chunk(size, 'x');
    DWORD done = 0;
    while (::WriteFile(h, chunk.data(), size, &done, nullptr) && done == size) {
    }
}

} // namespace

// Only a drive that is small counts: a big S: is not the test bed's.
CString SmallDriveRoot() {
    ULARGE_INTEGER total{};
    if (!::GetDiskFreeSpaceExA(kRootFolder, nullptr, &total, nullptr) || total.QuadPart > kMaxSize)
        return CString();
    return kRoot;
}

SmallDriveDir::SmallDriveDir(const CString& root) {
    static unsigned counter = 0;
    for (;;) {
        m_path.Format("%s\\morvane-%lu-%u", root.GetString(), ::GetCurrentProcessId(), ++counter);
        if (::CreateDirectoryA(m_path, nullptr) || ::GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
}

SmallDriveDir::~SmallDriveDir() {
    RemoveFolder(m_path);
}

// Big chunks first, then single bytes for what is left of the last block.
bool SmallDriveDir::FillDrive() const {
    const HANDLE h = ::CreateFileA(m_path + "\\filler.bin", GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    for (DWORD size : {65536u, 4096u, 1u})
        WriteUntilFull(h, size);
    ::CloseHandle(h);
    ULARGE_INTEGER free{};
    return ::GetDiskFreeSpaceExA(kRootFolder, &free, nullptr, nullptr) && free.QuadPart == 0;
}
