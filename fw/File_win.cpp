#include "File_win.h"
#include "ScopedHandle_win.h"

#include <algorithm>

namespace {

struct ErrorCause {
    DWORD error;
    CFileException::Cause cause;
};

const ErrorCause kErrorCauses[] = {
    {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
    {ERROR_PATH_NOT_FOUND, CFileException::badPath},
    {ERROR_TOO_MANY_OPEN_FILES, CFileException::tooManyOpenFiles},
    {ERROR_ACCESS_DENIED, CFileException::accessDenied},
    {ERROR_INVALID_HANDLE, CFileException::invalidFile},
    {ERROR_BAD_FORMAT, CFileException::invalidFile},
    {ERROR_INVALID_ACCESS, CFileException::accessDenied},
    {ERROR_INVALID_DRIVE, CFileException::badPath},
    {ERROR_CURRENT_DIRECTORY, CFileException::removeCurrentDir},
    {ERROR_NOT_SAME_DEVICE, CFileException::badPath},
    {ERROR_NO_MORE_FILES, CFileException::fileNotFound},
    {ERROR_WRITE_PROTECT, CFileException::accessDenied},
    {ERROR_NOT_READY, CFileException::hardIO},
    {ERROR_CRC, CFileException::hardIO},
    {ERROR_SEEK, CFileException::badSeek},
    {ERROR_WRITE_FAULT, CFileException::accessDenied},
    {ERROR_READ_FAULT, CFileException::badSeek},
    {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
    {ERROR_LOCK_VIOLATION, CFileException::lockViolation},
    {ERROR_HANDLE_EOF, CFileException::endOfFile},
    {ERROR_HANDLE_DISK_FULL, CFileException::diskFull},
    {ERROR_DISK_FULL, CFileException::diskFull},
    {ERROR_BAD_NETPATH, CFileException::badPath},
    {ERROR_NETWORK_ACCESS_DENIED, CFileException::accessDenied},
    {ERROR_BAD_NET_NAME, CFileException::badPath},
    {ERROR_FILE_EXISTS, CFileException::accessDenied},
    {ERROR_CANNOT_MAKE, CFileException::accessDenied},
    {ERROR_INVALID_NAME, CFileException::badPath},
    {ERROR_DIR_NOT_EMPTY, CFileException::removeCurrentDir},
    {ERROR_BAD_PATHNAME, CFileException::badPath},
    {ERROR_LOCK_FAILED, CFileException::lockViolation},
    {ERROR_BUSY, CFileException::accessDenied},
    {ERROR_ALREADY_EXISTS, CFileException::accessDenied},
    {ERROR_FILENAME_EXCED_RANGE, CFileException::badPath},
    {ERROR_DIRECTORY, CFileException::badPath},
};

DWORD DataAccessOf(UINT flags) {
    switch (flags & 3) {
    case CFile::modeWrite:
        return GENERIC_WRITE;
    case CFile::modeReadWrite:
        return GENERIC_READ | GENERIC_WRITE;
    default:
        return GENERIC_READ;
    }
}

DWORD AccessOf(UINT flags) {
    return DataAccessOf(flags) | ((flags & CFile::modeDelete) ? DELETE : 0);
}

// shareCompat behaves as shareExclusive, as it always has on Win32.
DWORD ShareOf(UINT flags) {
    switch (flags & 0x70) {
    case CFile::shareDenyWrite:
        return FILE_SHARE_READ;
    case CFile::shareDenyRead:
        return FILE_SHARE_WRITE;
    case CFile::shareDenyNone:
        return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default:
        return 0;
    }
}

DWORD CreationOf(UINT flags) {
    if (flags & CFile::modeCreateNew)
        return CREATE_NEW;
    if (flags & CFile::modeCreate)
        return (flags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    return OPEN_EXISTING;
}

FILETIME FileTimeFromTime(const CTime& time) {
    ULARGE_INTEGER u;
    u.QuadPart = static_cast<ULONGLONG>(time.GetTime()) * 10000000ULL + 116444736000000000ULL;
    return FILETIME{u.LowPart, u.HighPart};
}

// Each time of the status that is set; a time of 0 is left as it is.
void SetFileTimes(const char* pszFileName, const CFileStatus& status) {
    CFileHandle h(::CreateFileA(pszFileName, FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h)
        ThrowFileOsError(::GetLastError(), pszFileName);
    const FILETIME created = FileTimeFromTime(status.m_ctime);
    const FILETIME accessed = FileTimeFromTime(status.m_atime);
    const FILETIME written = FileTimeFromTime(status.m_mtime);
    const BOOL ok = ::SetFileTime(h.Get(), status.m_ctime.GetTime() ? &created : nullptr,
                                  status.m_atime.GetTime() ? &accessed : nullptr, &written);
    const DWORD err = ::GetLastError();
    h.Close();
    if (!ok)
        ThrowFileOsError(err, pszFileName);
}

CTime TimeFromFileTime(const FILETIME& ft) {
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    // 100 ns ticks since 1601 to seconds since 1970.
    return CTime(static_cast<std::time_t>((u.QuadPart - 116444736000000000ULL) / 10000000ULL));
}

} // namespace

CFileException::Cause FileCauseFromOsError(DWORD dwError) {
    for (const ErrorCause& ec : kErrorCauses)
        if (ec.error == dwError)
            return ec.cause;
    return CFileException::genericException;
}

void ThrowFileOsError(DWORD dwError, const char* pszFileName) {
    throw CFileException(FileCauseFromOsError(dwError), static_cast<long>(dwError),
                         CString(pszFileName));
}

CFile::CFile(const char* pszFileName, UINT nOpenFlags) {
    CFileException e;
    // e is a local of exactly this type, filled by Open: nothing is sliced.
    if (!Open(pszFileName, nOpenFlags, &e))
        throw e; // NOLINT(cert-err09-cpp,cert-err61-cpp): see above
}

CFile::~CFile() {
    Abort();
}

BOOL CFile::Open(const char* pszFileName, UINT nOpenFlags, CFileException* pError) {
    Abort();
    m_strFileName = pszFileName;
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, (nOpenFlags & modeNoInherit) ? FALSE : TRUE};
    m_hFile.Attach(::CreateFileA(pszFileName, AccessOf(nOpenFlags), ShareOf(nOpenFlags), &sa,
                                 CreationOf(nOpenFlags), FILE_ATTRIBUTE_NORMAL, nullptr));
    if (m_hFile)
        return TRUE;
    const DWORD err = ::GetLastError();
    if (pError)
        *pError = CFileException(FileCauseFromOsError(err), static_cast<long>(err), m_strFileName);
    return FALSE;
}

unsigned CFile::Read(void* pBuf, unsigned nCount) {
    DWORD done = 0;
    if (!::ReadFile(m_hFile.Get(), pBuf, nCount, &done, nullptr))
        ThrowFileOsError(::GetLastError(), m_strFileName);
    return done;
}

void CFile::Write(const void* pBuf, unsigned nCount) {
    DWORD done = 0;
    if (!::WriteFile(m_hFile.Get(), pBuf, nCount, &done, nullptr))
        ThrowFileOsError(::GetLastError(), m_strFileName);
    if (done < nCount)
        throw CFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
}

// Not beyond the end, where a read would have stopped too.
int64_t CFile::Skip(uint64_t nCount) {
    LARGE_INTEGER pos{}, zero{};
    if (!::SetFilePointerEx(m_hFile.Get(), zero, &pos, FILE_CURRENT))
        ThrowFileOsError(::GetLastError(), m_strFileName);
    const ULONGLONG length = GetLength();
    const ULONGLONG from = static_cast<ULONGLONG>(pos.QuadPart);
    const ULONGLONG n = from < length ? std::min<ULONGLONG>(nCount, length - from) : 0;
    LARGE_INTEGER move{};
    move.QuadPart = static_cast<LONGLONG>(n);
    if (!::SetFilePointerEx(m_hFile.Get(), move, nullptr, FILE_CURRENT))
        ThrowFileOsError(::GetLastError(), m_strFileName);
    return static_cast<int64_t>(n);
}

ULONGLONG CFile::GetLength() const {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(m_hFile.Get(), &size))
        ThrowFileOsError(::GetLastError(), m_strFileName);
    return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::Close() {
    if (!m_hFile.Close())
        ThrowFileOsError(::GetLastError(), m_strFileName);
}

void CFile::Abort() {
    m_hFile.Close();
}

void CFile::Rename(const char* pszOldName, const char* pszNewName) {
    if (!::MoveFileA(pszOldName, pszNewName))
        ThrowFileOsError(::GetLastError(), pszOldName);
}

void CFile::Remove(const char* pszFileName) {
    if (!::DeleteFileA(pszFileName))
        ThrowFileOsError(::GetLastError(), pszFileName);
}

BOOL CFile::GetStatus(const char* pszFileName, CFileStatus& rStatus) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(pszFileName, GetFileExInfoStandard, &data))
        return FALSE;
    rStatus.m_ctime = TimeFromFileTime(data.ftCreationTime);
    rStatus.m_atime = TimeFromFileTime(data.ftLastAccessTime);
    rStatus.m_mtime = TimeFromFileTime(data.ftLastWriteTime);
    rStatus.m_size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    rStatus.m_attribute = static_cast<BYTE>(data.dwFileAttributes);
    char full[MAX_PATH];
    const DWORD len = ::GetFullPathNameA(pszFileName, MAX_PATH, full, nullptr);
    rStatus.m_szFullName = (len > 0 && len < MAX_PATH) ? CString(full) : CString(pszFileName);
    return TRUE;
}

// A modification time of 0 leaves every time stamp alone, so that a caller
// changes only the attributes by clearing m_mtime.  An attribute byte of 0
// is a normal file.
void CFile::SetStatus(const char* pszFileName, const CFileStatus& status) {
    if (::GetFileAttributesA(pszFileName) == INVALID_FILE_ATTRIBUTES)
        ThrowFileOsError(::GetLastError(), pszFileName);
    if (status.m_mtime.GetTime() != 0)
        SetFileTimes(pszFileName, status);
    const DWORD attributes = status.m_attribute ? status.m_attribute : FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileAttributesA(pszFileName, attributes))
        ThrowFileOsError(::GetLastError(), pszFileName);
}
