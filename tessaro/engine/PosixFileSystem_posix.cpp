#include "PosixFileSystem.h"

#include "Exception.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

CFileException::Cause CauseOfErrno(int err) {
    switch (err) {
    case ENOENT:
        return CFileException::fileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return CFileException::accessDenied;
    case ENOSPC:
    case EDQUOT:
        return CFileException::diskFull;
    case ENAMETOOLONG:
    case ENOTDIR:
        return CFileException::badPath;
    case EMFILE:
    case ENFILE:
        return CFileException::tooManyOpenFiles;
    case EIO:
        return CFileException::hardIO;
    default:
        return CFileException::genericException;
    }
}

[[noreturn]] void ThrowErrno(int err, const CString& strPath) {
    throw CFileException(CauseOfErrno(err), err, strPath);
}

class CPosixFile : public CFsFile {
public:
    CPosixFile(int fd, CString strPath) : m_fd(fd), m_strPath(std::move(strPath)) {}
    ~CPosixFile() override {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    unsigned Read(void* pBuf, unsigned nCount) override {
        ssize_t n;
        do
            n = ::read(m_fd, pBuf, nCount);
        while (n < 0 && errno == EINTR);
        if (n < 0)
            ThrowErrno(errno, m_strPath);
        return static_cast<unsigned>(n);
    }

    void Write(const void* pBuf, unsigned nCount) override {
        const char* p = static_cast<const char*>(pBuf);
        while (nCount > 0) {
            const ssize_t n = ::write(m_fd, p, nCount);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                ThrowErrno(n < 0 ? errno : ENOSPC, m_strPath);
            p += n;
            nCount -= static_cast<unsigned>(n);
        }
    }

    int64_t GetLength() override {
        struct stat st;
        if (::fstat(m_fd, &st) != 0)
            ThrowErrno(errno, m_strPath);
        return static_cast<int64_t>(st.st_size);
    }

    void Close() override {
        const int fd = m_fd;
        m_fd = -1;
        if (fd >= 0 && ::close(fd) != 0)
            ThrowErrno(errno, m_strPath);
    }

    CString GetFilePath() const override { return m_strPath; }

private:
    int m_fd;
    CString m_strPath;
};

// "/" separates; backslashes came from the file's own paths.
std::string FoldSeparators(const std::string& utf8) {
    std::string out;
    for (char c : utf8) {
        const char d = c == '\\' ? '/' : c;
        if (d != '/' || out.empty() || out.back() != '/')
            out += d;
    }
    return out;
}

// How a name that does not convert is shown: ASCII as it is, every other
// byte as %XX.
CString Escaped(const std::string& name) {
    std::string out;
    for (const char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x80 && b != '%') {
            out += c;
        } else {
            out += '%';
            out += "0123456789ABCDEF"[b >> 4];
            out += "0123456789ABCDEF"[b & 0x0F];
        }
    }
    return CString(std::move(out));
}

} // namespace

// Converted first, folded afterwards: in UTF-8 every byte 0x5C is a
// backslash, while in code page 932 it may end a character such as "表".
bool CPosixFileSystem::ToNative(const CString& strPath, std::string& native) {
    std::string utf8;
    if (!m_names.ToUtf8(strPath, utf8))
        return false;
    native = FoldSeparators(utf8);
    return true;
}

// A name must come back unchanged from code page 932, or the entry would be
// read, or restored, under another name ("¥" becomes "\", "〜" becomes "～");
// a backslash in a name would become a separator.
bool CPosixFileSystem::NameFromDisk(const std::string& name, CString& strName) {
    std::string back;
    return m_names.FromUtf8(name, strName) && m_names.ToUtf8(strName, back) && back == name &&
           strName.Find('\\') < 0;
}

// Links to files are followed; a link to a directory could make a loop, and
// a special file could block a read for ever.
CDirItem CPosixFileSystem::ItemOf(const std::string& dir, const std::string& name) {
    CDirItem item;
    if (!NameFromDisk(name, item.strName)) {
        item.strName = Escaped(name);
        item.bSkip = true;
        item.nSkipReason = CSkipReason::unconvertibleName;
        item.strSkipCause = "not representable in code page 932";
        return item;
    }
    const std::string path = dir + "/" + name;
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return item; // gone or unreadable: opening it will tell
    const bool bLink = S_ISLNK(st.st_mode);
    if (bLink && ::stat(path.c_str(), &st) != 0)
        return item;
    item.bDirectory = S_ISDIR(st.st_mode) && !bLink;
    if ((S_ISDIR(st.st_mode) && bLink) || (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode))) {
        item.bSkip = true;
        item.strSkipCause = bLink ? "a link to a directory" : "not a regular file";
    }
    return item;
}

bool CPosixFileSystem::ListDirectory(const CString& strDir, std::vector<CDirItem>& items) {
    std::string dir;
    if (!ToNative(strDir, dir))
        return false;
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return false;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            items.push_back(ItemOf(dir, name));
    }
    ::closedir(d);
    return true;
}

CFsStatus CPosixFileSystem::GetStatus(const CString& strPath) {
    CFsStatus status;
    std::string path;
    struct stat st;
    if (ToNative(strPath, path) && ::stat(path.c_str(), &st) == 0) {
        status.bExists = true;
        status.bDirectory = S_ISDIR(st.st_mode);
        status.nSize = static_cast<int64_t>(st.st_size);
    }
    return status;
}

std::unique_ptr<CFsFile> CPosixFileSystem::Open(const CString& strPath, int flags,
                                                CFsError& error) {
    std::string path;
    if (!ToNative(strPath, path)) {
        error.bUnconvertibleName = true;
        error.strCause = "not representable in UTF-8";
        return nullptr;
    }
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) {
        error.strCause = std::strerror(errno);
        return nullptr;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        error.strCause = "not a regular file";
        return nullptr;
    }
    return std::make_unique<CPosixFile>(fd, strPath);
}

// Non-blocking, so that a special file put in place of a listed one cannot
// hold the open; a regular file ignores the flag.
std::unique_ptr<CFsFile> CPosixFileSystem::OpenForReading(const CString& strPath, CFsError& error) {
    return Open(strPath, O_RDONLY | O_NONBLOCK, error);
}

// A link in the last place is not followed: a restore writes files, never
// through links to somewhere else.
std::unique_ptr<CFsFile> CPosixFileSystem::CreateOrEmpty(const CString& strPath, CFsError& error) {
    return Open(strPath, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK, error);
}

bool CPosixFileSystem::MakeDirectory(const CString& strPath) {
    std::string path;
    return ToNative(strPath, path) && ::mkdir(path.c_str(), 0777) == 0;
}

bool CPosixFileSystem::MoveOver(const CString& strFrom, const CString& strTo, CFsError& error) {
    std::string from, to;
    if (!ToNative(strFrom, from) || !ToNative(strTo, to)) {
        error.bUnconvertibleName = true;
        error.strCause = "not representable in UTF-8";
        return false;
    }
    if (::rename(from.c_str(), to.c_str()) == 0)
        return true;
    error.strCause = std::strerror(errno);
    return false;
}

bool CPosixFileSystem::RemoveFile(const CString& strPath) {
    std::string path;
    return ToNative(strPath, path) && ::unlink(path.c_str()) == 0;
}

std::unique_ptr<CFileSystem> CreatePlatformFileSystem() {
    return std::make_unique<CPosixFileSystem>();
}
