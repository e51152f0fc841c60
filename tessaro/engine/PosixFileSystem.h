#pragma once
#include "FileSystem.h"
#include "NameConverter.h"
#include "PosixOwners_posix.h"

// The native file system of a POSIX build: backslashes become "/", runs of
// separators fold into one, and names are converted between code page 932
// and UTF-8.  A restore looks each existing name up in its folder's listing
// without regard to case; a file its owner may not write is read-only.
class CPosixFileSystem : public CFileSystem {
public:
    CPosixFileSystem() = default;
    ~CPosixFileSystem() override = default;
    CPosixFileSystem(const CPosixFileSystem&) = delete;
    CPosixFileSystem& operator=(const CPosixFileSystem&) = delete;

    bool ListDirectory(const CString& strDir, std::vector<CDirItem>& items) override;
    CFsStatus GetStatus(const CString& strPath) override;
    std::unique_ptr<CFsFile> OpenForReading(const CString& strPath, CFsError& error) override;
    std::unique_ptr<CFsFile> CreateOrEmpty(const CString& strPath, CFsError& error) override;
    bool MakeDirectory(const CString& strPath) override;
    bool MoveOver(const CString& strFrom, const CString& strTo, CFsError& error) override;
    bool RemoveFile(const CString& strPath) override;
    std::unique_ptr<CFsFile> CreateNew(const CString& strPath, CFsError& error) override;
    std::unique_ptr<CFsFile> CreateTransient(const CString& strPath, CFsError& error) override;
    std::unique_ptr<CFsFile> CreateUnnamed(const CString& strPath, CFsError& error) override;
    bool CloseOver(std::unique_ptr<CFsFile> pFile, const CString& strFrom, const CString& strTo,
                   CFsError& error) override;
    bool GiveName(CFsFile& file, const CString& strPath, CFsError& error) override;
    bool RemoveUnlessOpen(const CString& strPath) override;
    std::unique_ptr<CFsFile> OpenToRemove(const CString& strPath, CFsError& error) override;
    bool RemoveOpened(CFsFile& file, const CString& strPath) override;
    // Names are found without regard to case, as on Windows.
    bool HasOtherSpellings() const override { return true; }
    CString ShownPath(const CString& strText) const override;
    bool CheckCreate(const CString& strPath, bool bFolderPlanned, CFsError& error) override;
    bool CheckReplace(const CString& strTo, CFsError& error) override;
    bool CheckWriteOver(const CString& strTo, CFsError& error) override;
    bool IsLink(const CString& strPath) override;
    CString TemporaryFolder() override;
    CString WholePath(const CString& strPath) override;

    // The path as the system takes it; false when a name does not convert.
    bool ToNative(const CString& strPath, std::string& native);

private:
    bool NameTransient(int fd, const CString& strPath, CFsError& error);
    bool CanLinkUnnamed();
    bool LinkUnnamed(int fd, int dirFd, const std::string& name);
    int OpenUnnamed(int dirFd, const std::string& name);
    CDirItem ItemOf(const std::string& dir, const std::string& name, unsigned char nType);
    bool NameFromDisk(const std::string& name, CString& strName);
    std::unique_ptr<CFsFile> Open(const CString& strPath, int flags, CFsError& error);
    bool Resolve(const CString& strPath, int& dirFd, std::string& name);
    int InRememberedDirectory(const CString& strPath) const;
    int DirectoryFd(const CString& strDir);

    CNameConverter m_names;
    // The folder of the last path used, open, so that the files of one
    // folder are reached by their names alone.
    CString m_strDir;
    CFileDescriptor m_dirFd;
    // Whether /proc links an open file by its descriptor: -1 not asked yet.
    int m_nProcFd = -1;
    // Whether a file is linked by its descriptor alone: -1 not tried yet.
    int m_nEmptyPathLink = -1;
};
