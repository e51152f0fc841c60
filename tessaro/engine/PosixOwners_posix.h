#pragma once
#include <dirent.h>
#include <unistd.h>

#include <utility>

// An owner of a POSIX file descriptor: closes it when it goes, moves but
// never copies.  -1 means none.
class CFileDescriptor {
public:
    CFileDescriptor() = default;
    explicit CFileDescriptor(int fd) : m_fd(fd) {}
    ~CFileDescriptor() { (void)Close(); }
    CFileDescriptor(CFileDescriptor&& o) noexcept : m_fd(o.Detach()) {}
    CFileDescriptor& operator=(CFileDescriptor&& o) noexcept {
        if (this != &o)
            Attach(o.Detach());
        return *this;
    }
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;

    int Get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    void Attach(int fd) {
        (void)Close();
        m_fd = fd;
    }
    int Detach() { return std::exchange(m_fd, -1); }
    // false when close failed, errno telling why.  The descriptor is gone
    // either way (Linux frees it even on EINTR): it is never closed twice.
    bool Close() {
        const int fd = Detach();
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd = -1;
};

// An open directory stream, closed when its owner goes.
class CDirStream {
public:
    explicit CDirStream(DIR* pDir) : m_pDir(pDir) {}
    ~CDirStream() {
        if (m_pDir)
            (void)::closedir(m_pDir);
    }
    CDirStream(const CDirStream&) = delete;
    CDirStream& operator=(const CDirStream&) = delete;

    DIR* Get() const { return m_pDir; }
    explicit operator bool() const { return m_pDir != nullptr; }

private:
    DIR* m_pDir;
};
