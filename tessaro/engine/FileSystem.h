#pragma once
#include "ArchiveStream.h"
#include "SkippedEntry.h"
#include "String.h"

#include <cstdint>
#include <memory>
#include <vector>

// The file system as the migration engine sees it.  Paths are code page 932
// strings with backslashes; each implementation maps them to its platform.

struct CFsStatus {
    bool bExists = false;
    bool bDirectory = false;
    int64_t nSize = 0;
    // Windows lets no program replace it: it is read-only, hidden or system.
    bool bProtected = false;
};

struct CDirItem {
    CString strName;
    // The system's other (8.3) name for it, where it has one.
    CString strShortName;
    bool bDirectory = false;
    bool bProtected = false; // as CFsStatus::bProtected
    // Set when the item cannot be carried; strName then shows it as best it can.
    bool bSkip = false;
    CSkipReason nSkipReason = CSkipReason::notFollowed;
    CString strSkipCause;
};

// Why an open failed, in the platform's words.
struct CFsError {
    bool bUnconvertibleName = false;
    CString strCause;
};

// An open file: read or written as an archive stream.  Write and Close throw
// CFileException.
class CFsFile : public CArchiveStream {
public:
    virtual int64_t GetLength() = 0;
    // Reports a write that fails only when the file is closed.
    virtual void Close() = 0;
    // Puts what was written on the disk, not only in the system's cache.
    virtual void Flush() {}
};

class CFileSystem {
public:
    virtual ~CFileSystem() = default;
    // Every entry, hidden and system ones included, without "." and "..";
    // false when the directory cannot be listed.
    virtual bool ListDirectory(const CString& strDir, std::vector<CDirItem>& items) = 0;
    virtual CFsStatus GetStatus(const CString& strPath) = 0;
    // Shared so that others may go on reading and writing the file.
    virtual std::unique_ptr<CFsFile> OpenForReading(const CString& strPath, CFsError& error) = 0;
    virtual std::unique_ptr<CFsFile> CreateOrEmpty(const CString& strPath, CFsError& error) = 0;
    // The same for a file of the engine's own that takes its final name
    // later: no older file of its name is asked about first.
    virtual std::unique_ptr<CFsFile> CreateTemporary(const CString& strPath, CFsError& error) {
        return CreateOrEmpty(strPath, error);
    }
    // One level; false when it fails.
    virtual bool MakeDirectory(const CString& strPath) = 0;
    // Renames strFrom to strTo, replacing a file of that name.
    virtual bool MoveOver(const CString& strFrom, const CString& strTo, CFsError& error) = 0;
    virtual bool RemoveFile(const CString& strPath) = 0;
    // The name that the last component of strPath has on disk, when it names
    // an existing file or folder: its long name where the system answers to
    // a short one too.  A system without short names keeps every name as
    // given.
    virtual bool GetLongName(const CString& /*strPath*/, CString& /*strName*/) { return false; }
    // Whether a name opens what another spelling of it names (letters of
    // either case, short names), as on Windows; ListDirectory then gives the
    // short names and the protection of the entries too.
    virtual bool HasOtherSpellings() const { return false; }
};

// The file system of the platform this program runs on.
std::unique_ptr<CFileSystem> CreatePlatformFileSystem();
