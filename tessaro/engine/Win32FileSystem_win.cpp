#include "Win32FileSystem.h"

#include "File_win.h"
#include "Mbcs.h"
#include "ScopedHandle_win.h"

#include <vector>

namespace {

class CWin32File : public CFsFile {
public:
    unsigned Read(void* pBuf, unsigned nCount) override { return m_file.Read(pBuf, nCount); }
    void Write(const void* pBuf, unsigned nCount) override { m_file.Write(pBuf, nCount); }
    int64_t Skip(uint64_t nCount) override { return m_file.Skip(nCount); }
    int64_t GetLength() override { return static_cast<int64_t>(m_file.GetLength()); }
    void Close() override { m_file.Close(); }
    void Flush() override {
        if (!::FlushFileBuffers(m_file.m_hFile.Get()))
            ThrowFileOsError(::GetLastError(), m_file.GetFilePath());
    }
    void WriteAt(int64_t nOffset, const void* pBuf, unsigned nCount) override {
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(static_cast<uint64_t>(nOffset) & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(nOffset) >> 32);
        DWORD done = 0;
        if (!::WriteFile(m_file.m_hFile.Get(), pBuf, nCount, &done, &at) || done != nCount)
            ThrowFileOsError(done != nCount ? ERROR_DISK_FULL : ::GetLastError(),
                             m_file.GetFilePath());
    }
    void SetLength(int64_t nLength) override {
        LARGE_INTEGER at;
        at.QuadPart = nLength;
        if (!::SetFilePointerEx(m_file.m_hFile.Get(), at, nullptr, FILE_BEGIN) ||
            !::SetEndOfFile(m_file.m_hFile.Get()))
            ThrowFileOsError(::GetLastError(), m_file.GetFilePath());
    }
    CString GetFilePath() const override { return m_file.GetFilePath(); }
    bool IsTransient() const override { return m_bTransient; }

    // The file goes when its handle closes, whoever closes it: this
    // program, or the system for a program killed.
    bool MarkTransient() { return m_bTransient = SetDeletion(TRUE); }
    // It stays when closed; false (and still transient) when it cannot.
    bool Keep() { return SetDeletion(FALSE); }
    // The file's name becomes strTo, through its handle: no one else can
    // remove or rename it meanwhile, as no one can once it is closed and
    // before a rename by name.
    bool RenameTo(const CString& strTo, DWORD& err) {
        const int n = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, strTo, -1, nullptr, 0);
        if (n <= 0) {
            err = ::GetLastError();
            return false;
        }
        std::vector<char> buf(sizeof(FILE_RENAME_INFO) + static_cast<size_t>(n) * sizeof(WCHAR));
        auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buf.data());
        info->ReplaceIfExists = TRUE;
        info->RootDirectory = nullptr;
        info->FileNameLength = static_cast<DWORD>(n - 1) * sizeof(WCHAR);
        ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, strTo, -1, info->FileName, n);
        if (::SetFileInformationByHandle(m_file.m_hFile.Get(), FileRenameInfo, info,
                                         static_cast<DWORD>(buf.size())))
            return true;
        err = ::GetLastError();
        return false;
    }

    CFile m_file;

private:
    bool SetDeletion(BOOLEAN bDelete) {
        FILE_DISPOSITION_INFO info{bDelete};
        return ::SetFileInformationByHandle(m_file.m_hFile.Get(), FileDispositionInfo, &info,
                                            sizeof info) != FALSE;
    }

    bool m_bTransient = false;
};

CString CauseOf(const CFileException& e) {
    return e.GetErrorMessage();
}

CString OsCause(DWORD err, const CString& strPath) {
    return CauseOf(CFileException(FileCauseFromOsError(err), static_cast<long>(err), strPath));
}

// A name with a character that code page 932 lacks comes back with '?' or a
// look-alike such as '\\' for "¥": it names no file, or another one.
bool LostInConversion(const CString& name) {
    return name.Find('?') >= 0 || name.Find('\\') >= 0 || name.Find('/') >= 0;
}

bool IsProtected(DWORD attributes) {
    return (attributes &
            (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
}

CDirItem ItemOf(const WIN32_FIND_DATAA& fd) {
    CDirItem item;
    item.strName = fd.cFileName;
    item.strShortName = fd.cAlternateFileName;
    item.bDirectory = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    item.bProtected = IsProtected(fd.dwFileAttributes);
    if (LostInConversion(item.strName)) {
        item.bSkip = true;
        item.nSkipReason = CSkipReason::unconvertibleName;
        item.strSkipCause = "not representable in code page 932";
    }
    return item;
}

// The wildcards of the system's name matching (the DOS ones among them);
// none is a trail byte.
bool HasWildcard(const CString& name) {
    return name.str().find_first_of("*?<>\"") != std::string::npos;
}

} // namespace

// "*.*" lists hidden and system entries too.  A folder without even "."
// and ".." (the root of a drive) answers "no file found": it is empty.
bool CWin32FileSystem::ListDirectory(const CString& strDir, std::vector<CDirItem>& items) {
    WIN32_FIND_DATAA fd;
    const CFindHandle h(::FindFirstFileA(strDir + "\\*.*", &fd));
    if (!h)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        const CString name(fd.cFileName);
        if (name != "." && name != "..")
            items.push_back(ItemOf(fd));
    } while (::FindNextFileA(h.Get(), &fd));
    return true;
}

CFsStatus CWin32FileSystem::GetStatus(const CString& strPath) {
    CFsStatus status;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (::GetFileAttributesExA(strPath, GetFileExInfoStandard, &data)) {
        status.bExists = true;
        status.bDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        status.nSize = static_cast<int64_t>((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) |
                                            data.nFileSizeLow);
        status.bProtected = IsProtected(data.dwFileAttributes);
    }
    return status;
}

std::unique_ptr<CFsFile> CWin32FileSystem::Open(const CString& strPath, unsigned nFlags,
                                                CFsError& error) {
    auto file = std::make_unique<CWin32File>();
    CFileException e;
    if (file->m_file.Open(strPath, nFlags, &e))
        return file;
    error.strCause = CauseOf(e);
    error.bExists = e.m_lOsError == ERROR_FILE_EXISTS || e.m_lOsError == ERROR_ALREADY_EXISTS;
    error.bDenied = e.m_lOsError == ERROR_ACCESS_DENIED;
    return nullptr;
}

std::unique_ptr<CFsFile> CWin32FileSystem::OpenForReading(const CString& strPath, CFsError& error) {
    return Open(strPath, CFile::modeRead | CFile::shareDenyNone, error);
}

// Windows refuses to replace a read-only file, and a hidden or system one
// opened for creation as a normal file: such a target is reported as not
// written.  The attributes are asked first, so that the restore skips the
// same files wherever it runs (Wine replaces a hidden file, and lets its
// administrator write a read-only one).
std::unique_ptr<CFsFile> CWin32FileSystem::CreateOrEmpty(const CString& strPath, CFsError& error) {
    if (!CheckWriteOver(strPath, error))
        return nullptr;
    return Open(strPath, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite, error);
}

// Shared for reading only: while it is open, no other program can delete
// it, which is what RemoveUnlessOpen relies on.
std::unique_ptr<CFsFile> CWin32FileSystem::CreateNew(const CString& strPath, CFsError& error) {
    return Open(strPath,
                CFile::modeCreate | CFile::modeCreateNew | CFile::modeWrite | CFile::shareDenyWrite,
                error);
}

// Marked for deletion as soon as it is made: a killed run's file goes with
// its handle.  Where the system refuses the mark, it is CreateNew's file.
std::unique_ptr<CFsFile> CWin32FileSystem::CreateTransient(const CString& strPath,
                                                           CFsError& error) {
    std::unique_ptr<CFsFile> file =
        Open(strPath,
             CFile::modeCreate | CFile::modeCreateNew | CFile::modeWrite | CFile::shareDenyWrite |
                 CFile::modeDelete,
             error);
    if (file)
        static_cast<CWin32File&>(*file).MarkTransient();
    return file;
}

// A transient file is kept only to be renamed, while its handle is still
// open: until the rename, its name is held against a sweep that would
// remove it.  Once its mark is off it is this run's file; a rename
// refused marks it again, and it goes with its handle.
bool CWin32FileSystem::CloseOver(std::unique_ptr<CFsFile> pFile, const CString& strFrom,
                                 const CString& strTo, CFsError& error) {
    auto* file = dynamic_cast<CWin32File*>(pFile.get());
    if (!file || !file->IsTransient())
        return CFileSystem::CloseOver(std::move(pFile), strFrom, strTo, error);
    if (!file->Keep()) {
        error.strCause = OsCause(::GetLastError(), strFrom);
        return false;
    }
    const DWORD err = RenameHeld(*file, strTo);
    const bool bRenamed = err == ERROR_SUCCESS;
    const bool bGoes = bRenamed || file->MarkTransient();
    try {
        file->Close();
    } catch (...) {
        if (!bGoes)
            RemoveFile(strFrom);
        throw;
    }
    pFile.reset();
    if (bRenamed)
        return true;
    if (!bGoes)
        RemoveFile(strFrom);
    error.strCause = OsCause(err, strTo);
    return false;
}

// Windows refuses to open a read-only file for writing, and a hidden or
// system one for creation as a normal file; the attributes are asked, so
// that Wine, which would do either, refuses the same files.
bool CWin32FileSystem::CheckWriteOver(const CString& strTo, CFsError& error) {
    const CFsStatus status = GetStatus(strTo);
    if (!status.bProtected || status.bDirectory)
        return true;
    error.strCause = OsCause(ERROR_ACCESS_DENIED, strTo);
    return false;
}

// A file open without leave to delete it refuses with a sharing violation.
bool CWin32FileSystem::RemoveUnlessOpen(const CString& strPath) {
    return ::DeleteFileA(strPath) != FALSE;
}

// Leave to delete it is refused while a live run holds the file from
// CreateNew, and to every other caller while this one holds it.
std::unique_ptr<CFsFile> CWin32FileSystem::OpenToRemove(const CString& strPath, CFsError& error) {
    return Open(strPath, CFile::modeRead | CFile::shareDenyNone | CFile::modeDelete, error);
}

// Marked for deletion, it goes when its handle closes.
bool CWin32FileSystem::RemoveOpened(CFsFile& file, const CString& /*strPath*/) {
    auto* held = dynamic_cast<CWin32File*>(&file);
    return held && held->MarkTransient();
}

bool CWin32FileSystem::MakeDirectory(const CString& strPath) {
    return ::CreateDirectoryA(strPath, nullptr) != FALSE;
}

namespace {

// Tries of a rename refused for a moment, and the pause after each.
constexpr int kMoveTries = 10;
constexpr DWORD kMovePauseMs = 20;

bool IsMomentaryRefusal(DWORD err) {
    return err == ERROR_ACCESS_DENIED || err == ERROR_SHARING_VIOLATION;
}

} // namespace

// Another program's rename over the same target, or its look at it (Wine
// opens the target of every rename for a moment), refuses this one for
// that moment: the rename is tried again a few times, only over a file
// that exists and may be replaced.  A target held open fails the same way
// for good, and so is reported after the last try, a fifth of a second
// later than at once.
bool CWin32FileSystem::MoveOver(const CString& strFrom, const CString& strTo, CFsError& error) {
    DWORD err = ERROR_SUCCESS;
    for (int nTry = 1;; ++nTry) {
        if (::MoveFileExA(strFrom, strTo, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        err = ::GetLastError();
        if (nTry == kMoveTries || !IsMomentaryRefusal(err) || !IsReplaceable(strTo))
            break;
        ::Sleep(kMovePauseMs);
    }
    error.strCause =
        CauseOf(CFileException(FileCauseFromOsError(err), static_cast<long>(err), strTo));
    return false;
}

// As MoveOver's tries, through the file's handle; the error of the last.
unsigned long CWin32FileSystem::RenameHeld(CFsFile& file, const CString& strTo) {
    DWORD err = ERROR_SUCCESS;
    for (int nTry = 1;; ++nTry) {
        if (static_cast<CWin32File&>(file).RenameTo(strTo, err))
            return ERROR_SUCCESS;
        if (nTry == kMoveTries || !IsMomentaryRefusal(err) || !IsReplaceable(strTo))
            return err == ERROR_SUCCESS ? ERROR_GEN_FAILURE : err;
        ::Sleep(kMovePauseMs);
    }
}

// A file, neither a folder nor one Windows refuses to replace.
bool CWin32FileSystem::IsReplaceable(const CString& strPath) {
    const CFsStatus status = GetStatus(strPath);
    return status.bExists && !status.bDirectory && !status.bProtected;
}

bool CWin32FileSystem::RemoveFile(const CString& strPath) {
    return ::DeleteFileA(strPath) != FALSE;
}

// The directory entry that the path names, found as the system finds it,
// through a short name too.  A wildcard would match other names, and no
// file holds one; a long name without a code page 932 form would name
// another file, and the name as given is kept.
bool CWin32FileSystem::GetLongName(const CString& strPath, CString& strName) {
    if (HasWildcard(strPath.Mid(strPath.ReverseFind('\\') + 1)))
        return false;
    WIN32_FIND_DATAA fd;
    const CFindHandle h(::FindFirstFileA(strPath, &fd));
    if (!h)
        return false;
    if (LostInConversion(fd.cFileName))
        return false;
    strName = fd.cFileName;
    return true;
}

namespace {

// The folder's security read against this process's token: Wine opens a
// folder for FILE_ADD_FILE whatever its Unix mode, but its security
// descriptor reflects that mode, so AccessCheck tells what creating a file
// there would meet.  Where the security cannot be read or checked nothing
// is claimed.
bool FolderRefusesNewFiles(const CString& strFolder) {
    const SECURITY_INFORMATION what =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD needed = 0;
    ::GetFileSecurityA(strFolder, what, nullptr, 0, &needed);
    if (needed == 0)
        return false;
    std::vector<BYTE> descriptor(needed);
    if (!::GetFileSecurityA(strFolder, what, descriptor.data(), needed, &needed))
        return false;
    CHandle process, token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY,
                            process.Receive()) ||
        !::DuplicateToken(process.Get(), SecurityImpersonation, token.Receive()))
        return false;
    GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                               FILE_ALL_ACCESS};
    PRIVILEGE_SET privileges;
    DWORD privilegesLength = sizeof privileges, granted = 0;
    BOOL bAllowed = FALSE;
    if (!::AccessCheck(descriptor.data(), token.Get(), FILE_ADD_FILE, &mapping, &privileges,
                       &privilegesLength, &granted, &bAllowed))
        return false;
    return !bAllowed;
}

} // namespace

// What CreateFile and CreateDirectory answer for a folder that is missing
// or a file: the path is not found.
// The right to add a file is asked by opening the folder for it, which
// makes nothing, and of the folder's security.
bool CWin32FileSystem::CheckCreate(const CString& strPath, bool bFolderPlanned, CFsError& error) {
    if (bFolderPlanned)
        return true;
    const CString folder = FolderOf(strPath);
    const DWORD attributes = ::GetFileAttributesA(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        error.strCause = OsCause(ERROR_PATH_NOT_FOUND, strPath);
        return false;
    }
    const CFileHandle h(::CreateFileA(folder, FILE_ADD_FILE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const DWORD err = h ? (FolderRefusesNewFiles(folder) ? ERROR_ACCESS_DENIED : ERROR_SUCCESS)
                        : ::GetLastError();
    if (err != ERROR_ACCESS_DENIED)
        return true;
    error.strCause = OsCause(err, strPath);
    return false;
}

// MoveFileEx refuses to replace a folder by a file.
bool CWin32FileSystem::CheckReplace(const CString& strTo, CFsError& error) {
    const DWORD attributes = ::GetFileAttributesA(strTo);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return true;
    error.strCause = OsCause(ERROR_ACCESS_DENIED, strTo);
    return false;
}

namespace {

// The reparse points that lead elsewhere: symbolic links, junctions (mount
// points) and the Unix symbolic links that newer systems show as such.
// Others (a cloud file's placeholder, a deduplicated file) are the file
// itself.
constexpr DWORD kReparseTagUnixLink = 0xA000001D;

bool IsLinkTag(DWORD tag) {
    return tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_MOUNT_POINT ||
           tag == kReparseTagUnixLink;
}

// The path of what opening strPath reaches, links followed, without a
// trailing backslash; false when the system cannot tell.
bool ReachedPath(const CString& strPath, CString& strReached) {
    const CFileHandle h(::CreateFileA(strPath, FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h)
        return false;
    char buf[2 * MAX_PATH];
    const DWORD n = ::GetFinalPathNameByHandleA(h.Get(), buf, sizeof buf,
                                                FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0 || n >= sizeof buf)
        return false;
    strReached = buf;
    // Only the root of a drive ends with one, as \\?\C:\ does.
    if (strReached.Right(2) == ":\\")
        strReached = strReached.Left(strReached.GetLength() - 1);
    return true;
}

} // namespace

// A symbolic link or a junction is a reparse point of its own.  Wine shows
// a Unix symbolic link as the file it leads to, but the file it opens is
// found under the path of that file: the path reached differs from the
// folder's reached path and the entry's name.  Where the system cannot
// tell, the name is taken for what it shows.
bool CWin32FileSystem::IsLink(const CString& strPath) {
    if (HasWildcard(strPath.Mid(strPath.ReverseFind('\\') + 1)))
        return false;
    WIN32_FIND_DATAA fd;
    {
        const CFindHandle h(::FindFirstFileA(strPath, &fd));
        if (!h)
            return false;
    }
    if ((fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLinkTag(fd.dwReserved0))
        return true;
    CString folder = FolderOf(strPath);
    if (folder.IsEmpty())
        return false;
    if (folder.Right(1) == ":")
        folder += "\\";
    CString reached, folderReached;
    if (!ReachedPath(strPath, reached) || !ReachedPath(folder, folderReached))
        return false;
    return reached.CompareNoCase(folderReached + "\\" + fd.cFileName) != 0;
}

std::unique_ptr<CFileSystem> CreatePlatformFileSystem() {
    return std::make_unique<CWin32FileSystem>();
}

// Without the backslash the system ends it with.
CString CWin32FileSystem::TemporaryFolder() {
    char buf[MAX_PATH + 1];
    const DWORD n = ::GetTempPathA(sizeof buf, buf);
    if (n == 0 || n > MAX_PATH)
        return CString();
    const int nLength = static_cast<int>(n);
    int nLast = 0;
    for (int i = 0; i < nLength; i += fw::CharLen932(buf, i, nLength))
        nLast = i;
    const bool bSeparator = nLength > 0 && nLast == nLength - 1 && buf[nLast] == '\\';
    return CString(std::string(buf, bSeparator ? nLast : nLength));
}

CString CWin32FileSystem::WholePath(const CString& strPath) {
    char buf[MAX_PATH + 1];
    const DWORD n = ::GetFullPathNameA(strPath, sizeof buf, buf, nullptr);
    if (n == 0 || n > MAX_PATH)
        return CString();
    return CString(std::string(buf, n));
}
