#include "PosixFileSystem.h"

#include "Exception.h"
#include "Mbcs.h"
#include "RestorePath.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
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

// A file opened for reading is measured once, when it is opened: that is
// the length a listing records, and the bound of a skip.
class CPosixFile : public CFsFile {
public:
    CPosixFile(CFileDescriptor fd, CString strPath, bool bReading, int64_t nLength,
               bool bTransient = false)
        : m_fd(std::move(fd)), m_strPath(std::move(strPath)), m_bReading(bReading),
          m_nLength(nLength), m_bTransient(bTransient) {}

    unsigned Read(void* pBuf, unsigned nCount) override {
        ssize_t n;
        do
            n = ::read(m_fd.Get(), pBuf, nCount);
        while (n < 0 && errno == EINTR);
        if (n < 0)
            ThrowErrno(errno, m_strPath);
        m_nPos += n;
        return static_cast<unsigned>(n);
    }

    void Write(const void* pBuf, unsigned nCount) override {
        const char* p = static_cast<const char*>(pBuf);
        while (nCount > 0) {
            const ssize_t n = ::write(m_fd.Get(), p, nCount);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                ThrowErrno(n < 0 ? errno : ENOSPC, m_strPath);
            p += n;
            nCount -= static_cast<unsigned>(n);
        }
    }

    int64_t Skip(uint64_t nCount) override {
        if (!m_bReading)
            return -1;
        const int64_t left = m_nPos < m_nLength ? m_nLength - m_nPos : 0;
        const int64_t n =
            nCount < static_cast<uint64_t>(left) ? static_cast<int64_t>(nCount) : left;
        if (::lseek(m_fd.Get(), static_cast<off_t>(m_nPos + n), SEEK_SET) < 0)
            ThrowErrno(errno, m_strPath);
        m_nPos += n;
        return n;
    }

    int64_t GetLength() override {
        if (m_bReading)
            return m_nLength;
        struct stat st;
        if (::fstat(m_fd.Get(), &st) != 0)
            ThrowErrno(errno, m_strPath);
        return static_cast<int64_t>(st.st_size);
    }

    void Close() override {
        if (!m_fd.Close())
            ThrowErrno(errno, m_strPath);
    }

    void Flush() override {
        if (::fdatasync(m_fd.Get()) != 0)
            ThrowErrno(errno, m_strPath);
    }

    void WriteAt(int64_t nOffset, const void* pBuf, unsigned nCount) override {
        const char* p = static_cast<const char*>(pBuf);
        while (nCount > 0) {
            const ssize_t n = ::pwrite(m_fd.Get(), p, nCount, static_cast<off_t>(nOffset));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                ThrowErrno(n < 0 ? errno : ENOSPC, m_strPath);
            p += n;
            nOffset += n;
            nCount -= static_cast<unsigned>(n);
        }
    }

    void SetLength(int64_t nLength) override {
        if (::ftruncate(m_fd.Get(), static_cast<off_t>(nLength)) != 0)
            ThrowErrno(errno, m_strPath);
    }

    CString GetFilePath() const override { return m_strPath; }
    bool IsTransient() const override { return m_bTransient; }
    bool HasName() const override { return !m_bTransient || m_bNamed; }
    void NoteNamed() { m_bNamed = true; }
    int Fd() const { return m_fd.Get(); }

private:
    CFileDescriptor m_fd;
    CString m_strPath;
    bool m_bReading;
    int64_t m_nLength;
    int64_t m_nPos = 0;
    // Made without a name (O_TMPFILE): it has one only once it is linked.
    bool m_bTransient;
    bool m_bNamed = false;
};

// Windows' read-only attribute: a file its owner may not write, whoever
// runs the restore (root writes any file).
bool IsReadOnly(const struct stat& st) {
    return !S_ISDIR(st.st_mode) && (st.st_mode & S_IWUSR) == 0;
}

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
        if (b >= 0x20 && b < 0x80 && b != '%' && b != '\\') {
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

// A name that no file may have on Windows ("con.txt", "10:30.log", "a.")
// would be refused or renamed by every restore: it is left out, and named.
// Links to files are followed; a link to a directory could make a loop, and
// a special file could block a read for ever.  The directory entry tells a
// directory on most file systems; files are looked at for their rights.
CDirItem CPosixFileSystem::ItemOf(const std::string& dir, const std::string& name,
                                  unsigned char nType) {
    CDirItem item;
    if (!NameFromDisk(name, item.strName)) {
        item.strName = Escaped(name);
        item.bSkip = true;
        item.nSkipReason = CSkipReason::unconvertibleName;
        item.strSkipCause = "not representable in code page 932";
        return item;
    }
    item.strSkipCause = CRestorePath::WindowsNameRefusal(item.strName);
    if (!item.strSkipCause.IsEmpty()) {
        item.bSkip = true;
        item.nSkipReason = CSkipReason::notAWindowsName;
        return item;
    }
    if (nType == DT_DIR) {
        item.bDirectory = true;
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
    item.bProtected = IsReadOnly(st);
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
    const CDirStream d(::opendir(dir.c_str()));
    if (!d)
        return false;
    while (const dirent* e = ::readdir(d.Get())) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            items.push_back(ItemOf(dir, name, e->d_type));
    }
    return true;
}

// A folder that cannot be opened is not remembered: it may be created next.
int CPosixFileSystem::DirectoryFd(const CString& strDir) {
    if (m_dirFd && strDir == m_strDir)
        return m_dirFd.Get();
    std::string dir;
    if (!ToNative(strDir, dir))
        return -1;
    CFileDescriptor fd(::open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!fd)
        return -1;
    // The name first: should its copy fail, the remembered pair still match.
    m_strDir = strDir;
    m_dirFd = std::move(fd);
    return m_dirFd.Get();
}

// The folder part goes through DirectoryFd, the name is looked up in it: a
// folder's files cost one path walk and one name conversion between them.
// The split is at the last backslash as a character, never at the trail
// byte of "表"; a path without a folder part, whose folder does not open,
// or whose last part holds a "/" (which openat would take as a path of its
// own, even an absolute one), is taken whole, folded, from the current
// folder, as before.
bool CPosixFileSystem::Resolve(const CString& strPath, int& dirFd, std::string& name) {
    const std::string_view path(strPath.str());
    int slash = InRememberedDirectory(strPath);
    int fd = slash >= 0 ? m_dirFd.Get() : -1;
    if (slash < 0) {
        slash = strPath.ReverseFind('\\');
        if (slash > 0 && slash + 1 < strPath.GetLength())
            fd = DirectoryFd(strPath.Left(slash));
    }
    if (fd >= 0 && m_names.ToUtf8(path.substr(static_cast<size_t>(slash) + 1), name) &&
        name.find('/') == std::string::npos) {
        dirFd = fd;
        return true;
    }
    dirFd = AT_FDCWD;
    return ToNative(strPath, name);
}

// Where the remembered folder ends in a path directly inside it, else -1.
// The folder ends on a character boundary, and the same bytes have the same
// boundaries, so only the name needs a look for another backslash.
int CPosixFileSystem::InRememberedDirectory(const CString& strPath) const {
    const std::string& s = strPath.str();
    const std::string& dir = m_strDir.str();
    const size_t n = dir.size();
    if (!m_dirFd || s.size() <= n + 1 || s[n] != '\\' || s.compare(0, n, dir) != 0)
        return -1;
    const int len = static_cast<int>(s.size());
    for (int i = static_cast<int>(n) + 1; i < len; i += fw::CharLen932(s.data(), i, len))
        if (s[static_cast<size_t>(i)] == '\\')
            return -1;
    return static_cast<int>(n);
}

CFsStatus CPosixFileSystem::GetStatus(const CString& strPath) {
    CFsStatus status;
    int dirFd;
    std::string name;
    struct stat st;
    if (Resolve(strPath, dirFd, name) && ::fstatat(dirFd, name.c_str(), &st, 0) == 0) {
        status.bExists = true;
        status.bDirectory = S_ISDIR(st.st_mode);
        status.nSize = static_cast<int64_t>(st.st_size);
        status.bProtected = IsReadOnly(st);
    }
    return status;
}

std::unique_ptr<CFsFile> CPosixFileSystem::Open(const CString& strPath, int flags,
                                                CFsError& error) {
    int dirFd;
    std::string name;
    if (!Resolve(strPath, dirFd, name)) {
        error.bUnconvertibleName = true;
        error.strCause = "not representable in UTF-8";
        return nullptr;
    }
    CFileDescriptor fd(::openat(dirFd, name.c_str(), flags | O_CLOEXEC, 0666));
    if (!fd) {
        error.bExists = errno == EEXIST;
        error.strCause = std::strerror(errno);
        return nullptr;
    }
    struct stat st;
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        error.strCause = "not a regular file";
        return nullptr;
    }
    const bool bReading = (flags & O_ACCMODE) == O_RDONLY;
    return std::make_unique<CPosixFile>(std::move(fd), strPath, bReading,
                                        static_cast<int64_t>(st.st_size));
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

// Locked while it is open, the sign RemoveUnlessOpen asks for: a file
// system that cannot lock still has the name made anew for this run.
std::unique_ptr<CFsFile> CPosixFileSystem::CreateNew(const CString& strPath, CFsError& error) {
    std::unique_ptr<CFsFile> file =
        Open(strPath, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK, error);
    if (!file)
        return nullptr;
    ::flock(static_cast<CPosixFile&>(*file).Fd(), LOCK_EX | LOCK_NB);
    return file;
}

// Made without a name in the folder of strPath, which must be free now: a
// killed run's file has no name for a later run to find.  The name is
// given by GiveName or CloseOver.  A file system without unnamed files, or
// a system without /proc to link them by, gets CreateNew's file.  The
// folder is reached as every other file of it is, through its remembered
// descriptor.
std::unique_ptr<CFsFile> CPosixFileSystem::CreateTransient(const CString& strPath,
                                                           CFsError& error) {
    int dirFd;
    std::string name;
    struct stat st;
    if (CanLinkUnnamed() && Resolve(strPath, dirFd, name) &&
        ::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT) {
        const int fd = OpenUnnamed(dirFd, name);
        if (fd >= 0)
            return std::make_unique<CPosixFile>(CFileDescriptor(fd), strPath, false, 0, true);
    }
    return CreateNew(strPath, error);
}

// In the folder of strPath, reached through the remembered descriptor
// when it is that folder.
std::unique_ptr<CFsFile> CPosixFileSystem::CreateUnnamed(const CString& strPath,
                                                         CFsError& error) {
    if (CanLinkUnnamed()) {
        const int dirFd = InRememberedDirectory(strPath) >= 0 ? m_dirFd.Get()
                                                              : DirectoryFd(FolderOf(strPath));
        const int fd =
            dirFd < 0 ? -1 : ::openat(dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0)
            return std::make_unique<CPosixFile>(CFileDescriptor(fd), strPath, false, 0, true);
    }
    return CreateTransient(strPath, error);
}

bool CPosixFileSystem::CanLinkUnnamed() {
    if (m_nProcFd < 0)
        m_nProcFd = ::access("/proc/self/fd", X_OK) == 0 ? 1 : 0;
    return m_nProcFd == 1;
}

// In the folder dirFd names, or, for a whole path from the current
// folder, in the folder of that path.
int CPosixFileSystem::OpenUnnamed(int dirFd, const std::string& name) {
    if (dirFd != AT_FDCWD)
        return ::openat(dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    const size_t slash = name.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : name.substr(0, slash);
    return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

// Linked, never over another file: a name taken since the file was made
// is another program's, and keeps what it holds.
bool CPosixFileSystem::NameTransient(int fd, const CString& strPath, CFsError& error) {
    int dirFd;
    std::string name;
    if (!Resolve(strPath, dirFd, name)) {
        error.bUnconvertibleName = true;
        error.strCause = "not representable in UTF-8";
        return false;
    }
    if (LinkUnnamed(fd, dirFd, name))
        return true;
    error.bExists = errno == EEXIST;
    error.strCause = error.bExists ? CString("its temporary name was taken by another program")
                                   : CString(std::strerror(errno));
    return false;
}

// By the descriptor itself where the system allows it (root, or a kernel
// that lets a program link the files it made), which spares the lookup of
// the descriptor's path in /proc; else by that path.
bool CPosixFileSystem::LinkUnnamed(int fd, int dirFd, const std::string& name) {
    if (m_nEmptyPathLink != 0) {
        if (::linkat(fd, "", dirFd, name.c_str(), AT_EMPTY_PATH) == 0) {
            m_nEmptyPathLink = 1;
            return true;
        }
        if (m_nEmptyPathLink == 1 || (errno != EPERM && errno != ENOENT && errno != EINVAL))
            return false;
        m_nEmptyPathLink = 0;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), dirFd, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

bool CPosixFileSystem::GiveName(CFsFile& file, const CString& strPath, CFsError& error) {
    auto* posix = dynamic_cast<CPosixFile*>(&file);
    if (!posix || posix->HasName())
        return true;
    if (!NameTransient(posix->Fd(), strPath, error))
        return false;
    posix->NoteNamed();
    return true;
}

// Renamed while it is open and locked: no sweep of another restore can
// remove it between the look at its name and the rename.  A name that now
// holds another file (a program that removed this one and made its own)
// is not renamed over the target.
bool CPosixFileSystem::CloseOver(std::unique_ptr<CFsFile> pFile, const CString& strFrom,
                                 const CString& strTo, CFsError& error) {
    auto* file = dynamic_cast<CPosixFile*>(pFile.get());
    if (!file)
        return CFileSystem::CloseOver(std::move(pFile), strFrom, strTo, error);
    const bool bTransient = file->IsTransient();
    if (!GiveName(*file, strFrom, error))
        return false;
    int dirFd;
    std::string name;
    struct stat mine, named;
    // A transient file was linked by this run just now, and no restore
    // removes a file without its mark: the name still holds it.
    const bool bSame = bTransient ? Resolve(strFrom, dirFd, name)
                                  : ::fstat(file->Fd(), &mine) == 0 &&
                                        Resolve(strFrom, dirFd, name) &&
                                        ::fstatat(dirFd, name.c_str(), &named,
                                                  AT_SYMLINK_NOFOLLOW) == 0 &&
                                        mine.st_dev == named.st_dev && mine.st_ino == named.st_ino;
    const bool bMoved = bSame && MoveOver(strFrom, strTo, error);
    if (!bSame) {
        error.bExists = true;
        error.strCause = "its temporary file was replaced by another program";
    }
    if (bTransient && bSame && !bMoved)
        ::unlinkat(dirFd, name.c_str(), 0);
    pFile->Close();
    return bMoved;
}

// A file its owner may not write is read-only, as open would refuse it to
// anyone but root.
bool CPosixFileSystem::CheckWriteOver(const CString& strTo, CFsError& error) {
    const CFsStatus status = GetStatus(strTo);
    if (!status.bProtected || status.bDirectory)
        return true;
    error.strCause = std::strerror(EACCES);
    return false;
}

bool CPosixFileSystem::MakeDirectory(const CString& strPath) {
    std::string path;
    return ToNative(strPath, path) && ::mkdir(path.c_str(), 0777) == 0;
}

// A restored file and its temporary name lie in one folder, which the
// second lookup finds remembered: one rename by names.  Resolving names in
// two folders would close the first one's descriptor; whole paths then.
bool CPosixFileSystem::MoveOver(const CString& strFrom, const CString& strTo, CFsError& error) {
    const int cut = strTo.ReverseFind('\\');
    const bool bOneFolder = cut > 0 && strFrom.ReverseFind('\\') == cut &&
                            strFrom.str().compare(0, static_cast<size_t>(cut), strTo.str(), 0,
                                                  static_cast<size_t>(cut)) == 0;
    int toDir = AT_FDCWD, fromDir = AT_FDCWD;
    std::string from, to;
    if (!bOneFolder || !Resolve(strTo, toDir, to) || !Resolve(strFrom, fromDir, from)) {
        toDir = fromDir = AT_FDCWD;
        if (!ToNative(strFrom, from) || !ToNative(strTo, to)) {
            error.bUnconvertibleName = true;
            error.strCause = "not representable in UTF-8";
            return false;
        }
    }
    if (::renameat(fromDir, from.c_str(), toDir, to.c_str()) == 0)
        return true;
    error.strCause = std::strerror(errno);
    return false;
}

bool CPosixFileSystem::RemoveFile(const CString& strPath) {
    std::string path;
    return ToNative(strPath, path) && ::unlink(path.c_str()) == 0;
}

// A file another restore has open holds its lock; one of a killed run does
// not.  The lock is taken on the file the name holds now, and kept until
// that file is unlinked.
bool CPosixFileSystem::RemoveUnlessOpen(const CString& strPath) {
    int dirFd;
    std::string name;
    if (!Resolve(strPath, dirFd, name))
        return false;
    const CFileDescriptor fd(
        ::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    return fd && ::flock(fd.Get(), LOCK_EX | LOCK_NB) == 0 &&
           ::unlinkat(dirFd, name.c_str(), 0) == 0;
}

// The lock is RemoveUnlessOpen's: a live run's file refuses it, and no
// other caller takes the file while this one holds it.
std::unique_ptr<CFsFile> CPosixFileSystem::OpenToRemove(const CString& strPath, CFsError& error) {
    std::unique_ptr<CFsFile> file = Open(strPath, O_RDONLY | O_NOFOLLOW | O_NONBLOCK, error);
    if (file && ::flock(static_cast<CPosixFile&>(*file).Fd(), LOCK_EX | LOCK_NB) != 0)
        return nullptr;
    return file;
}

// Only while the name is still the held file's.
bool CPosixFileSystem::RemoveOpened(CFsFile& file, const CString& strPath) {
    int dirFd;
    std::string name;
    struct stat held, named;
    return Resolve(strPath, dirFd, name) &&
           ::fstat(static_cast<CPosixFile&>(file).Fd(), &held) == 0 &&
           ::fstatat(dirFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino &&
           ::unlinkat(dirFd, name.c_str(), 0) == 0;
}

// By characters: the trail byte 0x5C of "表" stays.  Runs of separators,
// which the format writes, show as one.
CString CPosixFileSystem::ShownPath(const CString& strText) const {
    const std::string& s = strText.str();
    const int n = static_cast<int>(s.size());
    std::string out;
    out.reserve(s.size());
    for (int i = 0; i < n;) {
        const int len = fw::CharLen932(s.data(), i, n);
        const char c = s[static_cast<size_t>(i)];
        if (len == 1 && (c == '\\' || c == '/')) {
            if (out.empty() || out.back() != '/')
                out += '/';
        } else {
            out.append(s, static_cast<size_t>(i), static_cast<size_t>(len));
        }
        i += len;
    }
    return CString(std::move(out));
}

// What open and mkdir would answer, asked without making anything: the
// name's conversion and length, then the folder it goes in.
bool CPosixFileSystem::CheckCreate(const CString& strPath, bool bFolderPlanned, CFsError& error) {
    std::string path;
    if (!ToNative(strPath, path)) {
        error.bUnconvertibleName = true;
        error.strCause = "not representable in UTF-8";
        return false;
    }
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    const size_t nameLength = path.size() - (slash == std::string::npos ? 0 : slash + 1);
    int err = 0;
    struct stat st;
    if (path.size() >= PATH_MAX || nameLength > NAME_MAX)
        err = ENAMETOOLONG;
    else if (bFolderPlanned)
        return true;
    else if (::stat(folder.c_str(), &st) != 0)
        err = errno;
    else if (!S_ISDIR(st.st_mode))
        err = ENOTDIR;
    else if (::access(folder.c_str(), W_OK | X_OK) != 0)
        err = errno;
    if (err == 0)
        return true;
    error.strCause = std::strerror(err);
    return false;
}

bool CPosixFileSystem::CheckReplace(const CString& strTo, CFsError& error) {
    std::string path;
    struct stat st;
    if (!ToNative(strTo, path) || ::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return true;
    error.strCause = std::strerror(EISDIR);
    return false;
}

bool CPosixFileSystem::IsLink(const CString& strPath) {
    std::string path;
    struct stat st;
    return ToNative(strPath, path) && ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::unique_ptr<CFileSystem> CreatePlatformFileSystem() {
    return std::make_unique<CPosixFileSystem>();
}

// $TMPDIR where it names a whole path that needs no conversion of its
// characters, else /tmp.
CString CPosixFileSystem::TemporaryFolder() {
    const char* env = std::getenv("TMPDIR");
    std::string folder = env && env[0] == '/' ? env : "/tmp";
    for (const char c : folder)
        if (static_cast<unsigned char>(c) >= 0x80)
            folder = "/tmp";
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return CString(folder);
}

// A relative path from the current folder, where that needs no
// conversion of its characters.
CString CPosixFileSystem::WholePath(const CString& strPath) {
    const std::string& path = strPath.str();
    if (!path.empty() && (path[0] == '/' || path[0] == '\\'))
        return strPath;
    char buf[PATH_MAX];
    if (::getcwd(buf, sizeof buf) == nullptr)
        return CString();
    for (const char* p = buf; *p; ++p)
        if (static_cast<unsigned char>(*p) >= 0x80)
            return CString();
    return CString(std::string(buf) + "\\" + path);
}
