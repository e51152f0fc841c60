#pragma once
#include "FileSystem.h"

#include <set>
#include <string>

// A restore's file system that writes nothing: every write is replaced by
// the checks the system would make for it, on the real folders, and the
// folders the restore would make are remembered, so that a restore run on
// it reaches the same verdicts as on the real one.  What it reads (the
// listings, the targets) is the real file system's.
class CDryRunFileSystem : public CFileSystem {
public:
    explicit CDryRunFileSystem(CFileSystem& fs);

    bool ListDirectory(const CString& strDir, std::vector<CDirItem>& items) override;
    CFsStatus GetStatus(const CString& strPath) override;
    std::unique_ptr<CFsFile> OpenForReading(const CString& strPath, CFsError& error) override;
    std::unique_ptr<CFsFile> CreateOrEmpty(const CString& strPath, CFsError& error) override;
    std::unique_ptr<CFsFile> CreateNew(const CString& strPath, CFsError& error) override;
    bool CloseOver(std::unique_ptr<CFsFile> pFile, const CString& strFrom, const CString& strTo,
                   CFsError& error) override;
    bool MakeDirectory(const CString& strPath) override;
    bool MoveOver(const CString& strFrom, const CString& strTo, CFsError& error) override;
    bool RemoveFile(const CString& strPath) override;
    bool RemoveUnlessOpen(const CString& strPath) override;
    bool GetLongName(const CString& strPath, CString& strName) override;
    bool HasOtherSpellings() const override { return m_fs.HasOtherSpellings(); }
    bool HasShortNames() const override { return m_fs.HasShortNames(); }
    CString ShownPath(const CString& strText) const override { return m_fs.ShownPath(strText); }
    bool CheckCreate(const CString& strPath, bool bFolderPlanned, CFsError& error) override;
    bool CheckReplace(const CString& strTo, CFsError& error) override;
    bool IsLink(const CString& strPath) override { return m_fs.IsLink(strPath); }

private:
    std::string Key(const CString& strPath) const;
    bool IsPlanned(const CString& strPath) const;
    // The checks of making strPath: its folder a folder, its name one the
    // system takes.
    bool CheckNew(const CString& strPath, CFsError& error);

    CFileSystem& m_fs;
    std::set<std::string> m_planned; // folders the restore would have made
};
