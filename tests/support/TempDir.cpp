#include "TempDir.h"

#include "ScopedHandle_win.h"

#include <windows.h>

#include <fstream>
#include <iterator>

void RemoveFolder(const CString& dir) {
    WIN32_FIND_DATAA fd;
    // The listing is closed before its folder goes.
    if (const CFindHandle h{::FindFirstFileA(dir + "\\*", &fd)}) {
        do {
            const CString name(fd.cFileName);
            if (name == "." || name == "..")
                continue;
            const CString path = dir + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveFolder(path);
            } else {
                ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(path);
            }
        } while (::FindNextFileA(h.Get(), &fd));
    }
    ::RemoveDirectoryA(dir);
}

TempDir::TempDir() {
    char base[MAX_PATH];
    ::GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        m_path.Format("%smorvane-%lu-%u", base, ::GetCurrentProcessId(), ++counter);
        if (::CreateDirectoryA(m_path, nullptr))
            break;
    }
}

TempDir::~TempDir() {
    RemoveFolder(m_path);
}

void WriteFileBytes(const CString& path, const std::string& bytes) {
    std::ofstream out(path.GetString(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFileBytes(const CString& path) {
    std::ifstream in(path.GetString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const CString& path) {
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

CString TestBinDir() {
    char path[MAX_PATH];
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    CString dir(path);
    return dir.Left(dir.ReverseFind('\\'));
}

std::string TestOutputDir() {
    std::string dir = TestBinDir().str();
    dir.replace(dir.rfind('\\'), std::string::npos, "\\test-output");
    ::CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

// Folders are listed too (with a "\\" at the end of their names), so that
// a folder that was renamed or replaced by a file shows.
std::map<std::string, std::string> FolderContents(const CString& dir, const std::string& prefix) {
    std::map<std::string, std::string> contents;
    WIN32_FIND_DATAA fd;
    const CFindHandle h(::FindFirstFileA(dir + "\\*", &fd));
    if (!h)
        return contents;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..")
            continue;
        const CString path = dir + "\\" + name.c_str();
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            contents[prefix + name + "\\"] = "";
            const auto inner = FolderContents(path, prefix + name + "\\");
            contents.insert(inner.begin(), inner.end());
        } else {
            contents[prefix + name] = ReadFileBytes(path);
        }
    } while (::FindNextFileA(h.Get(), &fd));
    return contents;
}
