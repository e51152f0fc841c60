#pragma once
#include "FileSystem.h"

// The Win32 file system through the ANSI functions (code page 932) and the
// framework's files.
class CWin32FileSystem : public CFileSystem {
public:
    bool ListDirectory(const CString& strDir, std::vector<CDirItem>& items) override;
    CFsStatus GetStatus(const CString& strPath) override;
    std::unique_ptr<CFsFile> OpenForReading(const CString& strPath, CFsError& error) override;
    std::unique_ptr<CFsFile> CreateOrEmpty(const CString& strPath, CFsError& error) override;
    bool MakeDirectory(const CString& strPath) override;
    bool MoveOver(const CString& strFrom, const CString& strTo, CFsError& error) override;
    bool RemoveFile(const CString& strPath) override;
    std::unique_ptr<CFsFile> CreateNew(const CString& strPath, CFsError& error) override;
    std::unique_ptr<CFsFile> CreateTransient(const CString& strPath, CFsError& error) override;
    bool CloseOver(std::unique_ptr<CFsFile> pFile, const CString& strFrom, const CString& strTo,
                   CFsError& error) override;
    bool RemoveUnlessOpen(const CString& strPath) override;
    std::unique_ptr<CFsFile> OpenToRemove(const CString& strPath, CFsError& error) override;
    bool RemoveOpened(CFsFile& file, const CString& strPath) override;
    bool GetLongName(const CString& strPath, CString& strName) override;
    bool HasOtherSpellings() const override { return true; }
    bool HasShortNames() const override { return true; }
    bool CheckCreate(const CString& strPath, bool bFolderPlanned, CFsError& error) override;
    bool CheckReplace(const CString& strTo, CFsError& error) override;
    bool CheckWriteOver(const CString& strTo, CFsError& error) override;
    bool IsLink(const CString& strPath) override;
    CString TemporaryFolder() override;
    CString WholePath(const CString& strPath) override;

private:
    bool IsReplaceable(const CString& strPath);
    unsigned long RenameHeld(CFsFile& file, const CString& strTo); // a Win32 error
    std::unique_ptr<CFsFile> Open(const CString& strPath, unsigned nFlags, CFsError& error);
};
