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
    // CreateNew found the name taken; CloseOver found it holding another
    // program's file, which stays.
    bool bExists = false;
    // The system refused access to the name.  On Windows that is also the
    // answer for a file marked for deletion that another program still
    // holds open, which no status then shows.
    bool bDenied = false;

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
    // For a file made by CreateNew: writes over the bytes at nOffset, and
    // ends the file at nLength.  Throw CFileException.
    virtual void WriteAt(int64_t nOffset, const void* pBuf, unsigned nCount);
    virtual void SetLength(int64_t nLength);
    // A file of CreateTransient that goes with this run: closed or left
    // by a killed program without CloseOver, nothing of it stays.
    virtual bool IsTransient() const { return false; }
    // Whether a name in its folder leads to it: a transient file may have
    // none until GiveName or CloseOver gives it one, and a power cut then
    // leaves nothing of it.
    virtual bool HasName() const { return true; }
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
    // A file that must not exist yet, for writing (error.bExists when it
    // does), which RemoveUnlessOpen leaves alone while it is open.
    virtual std::unique_ptr<CFsFile> CreateNew(const CString& strPath, CFsError& error) = 0;
    // As CreateNew, for a file that stays only if CloseOver puts it in
    // place: where the system can, a run that ends before (a kill, a power
    // cut) leaves nothing under any name, so that no later run has a file
    // to remove that it cannot tell from another program's.  Elsewhere
    // CreateNew's file (IsTransient false).
    virtual std::unique_ptr<CFsFile> CreateTransient(const CString& strPath, CFsError& error) {
        return CreateNew(strPath, error);
    }
    // As CreateTransient, for a caller that gives the file its name itself
    // (GiveName) and takes another when that one is taken: where the file
    // has no name until then, whether strPath is free is not asked.
    virtual std::unique_ptr<CFsFile> CreateUnnamed(const CString& strPath, CFsError& error) {
        return CreateTransient(strPath, error);
    }
    // Closes pFile, made by CreateNew or CreateTransient as strFrom, and
    // renames it over strTo; false with error when the system refuses or
    // strFrom no longer names pFile, and then a transient file is gone and
    // strFrom holds nothing of this run.  Throws the errors of closing.
    virtual bool CloseOver(std::unique_ptr<CFsFile> pFile, const CString& strFrom,
                           const CString& strTo, CFsError& error);
    // Gives a transient file without a name (HasName false) the name
    // strPath, never over another file: false with error.bExists when the
    // name was taken since the file was made, and the file is still open
    // and nameless.  A file with a name keeps it.
    virtual bool GiveName(CFsFile& /*file*/, const CString& /*strPath*/, CFsError& /*error*/) {
        return true;
    }
    // One level; false when it fails.
    virtual bool MakeDirectory(const CString& strPath) = 0;
    // Renames strFrom to strTo, replacing a file of that name.
    virtual bool MoveOver(const CString& strFrom, const CString& strTo, CFsError& error) = 0;
    virtual bool RemoveFile(const CString& strPath) = 0;
    // Removes a file unless a program holds it open from CreateNew.
    virtual bool RemoveUnlessOpen(const CString& strPath) = 0;
    // For reading a file that no program holds open from CreateNew, held
    // so until it is closed: no other caller gets it meanwhile.  Null when
    // it is held.
    virtual std::unique_ptr<CFsFile> OpenToRemove(const CString& strPath, CFsError& error) {
        return OpenForReading(strPath, error);
    }
    // The name of a file OpenToRemove gave goes; the file at the latest
    // when it is closed.
    virtual bool RemoveOpened(CFsFile& /*file*/, const CString& strPath) {
        return RemoveUnlessOpen(strPath);
    }
    // The name that the last component of strPath has on disk, when it names
    // an existing file or folder: its long name where the system answers to
    // a short one too.  A system without short names keeps every name as
    // given.
    virtual bool GetLongName(const CString& /*strPath*/, CString& /*strName*/) { return false; }
    // Whether a name opens what another spelling of it names (letters of
    // either case, short names), as on Windows; ListDirectory then gives the
    // short names and the protection of the entries too.
    virtual bool HasOtherSpellings() const { return false; }
    // Whether it also answers to short (8.3) names, which a listing names
    // only as they are now: a file made since has one the listing lacks.
    virtual bool HasShortNames() const { return false; }
    // A text that holds the engine's paths as the platform writes them, for
    // showing: natively every separator a "/".
    virtual CString ShownPath(const CString& strText) const { return strText; }
    // Whether a file or a folder could be made at strPath, which names
    // nothing yet, without making it: false with error as the making would
    // fail.  bFolderPlanned: its folder does not exist but would be made
    // first, so only the name is judged.
    virtual bool CheckCreate(const CString& strPath, bool bFolderPlanned, CFsError& error);
    // Whether a complete file could be renamed over strTo, which exists:
    // false with error as the rename would fail.
    virtual bool CheckReplace(const CString& strTo, CFsError& error);
    // Whether a new file may take the place of strTo as writing over it
    // would allow: false with error, as that opening fails, for a file
    // that is read-only, hidden or system (CFsStatus::bProtected).
    virtual bool CheckWriteOver(const CString& strTo, CFsError& error);
    // Whether strPath names a link to elsewhere, which a restore never
    // follows nor removes (natively a symbolic link; on Windows a symbolic
    // link or a junction, and under Wine a Unix symbolic link too).
    virtual bool IsLink(const CString& /*strPath*/) { return false; }
    // The user's folder for temporary files, without a separator at its
    // end; empty where there is none to write into (a dry run).
    virtual CString TemporaryFolder() { return CString(); }
    // strPath from the root of its drive, as another program in another
    // current folder would name it; empty where it cannot be told.
    virtual CString WholePath(const CString& strPath) { return strPath; }
    // Up to its last backslash; empty without one.
    static CString FolderOf(const CString& strPath);
};

// The file system of the platform this program runs on.
std::unique_ptr<CFileSystem> CreatePlatformFileSystem();
