#pragma once
#include "FileSystem.h"
#include "IkoMeter.h"

class CIkoProgress;

// The file system of a create, watched for its progress: while the writer
// lists the items, the lengths it measures make the totals; then what it
// reads of the files is the work done.
class CIkoMeteredFileSystem : public CFileSystem, private CIkoMeter {
public:
    CIkoMeteredFileSystem(CFileSystem& fs, CIkoProgress& progress);
    // The files and bytes measured so far make the totals of the progress.
    void StartProgress(const int64_t* pnFiles);

    bool ListDirectory(const CString& strDir, std::vector<CDirItem>& items) override;
    CFsStatus GetStatus(const CString& strPath) override;
    std::unique_ptr<CFsFile> OpenForReading(const CString& strPath, CFsError& error) override;
    std::unique_ptr<CFsFile> CreateOrEmpty(const CString& strPath, CFsError& error) override;
    std::unique_ptr<CFsFile> CreateNew(const CString& strPath, CFsError& error) override;
    std::unique_ptr<CFsFile> CreateTransient(const CString& strPath, CFsError& error) override;
    std::unique_ptr<CFsFile> CreateUnnamed(const CString& strPath, CFsError& error) override;
    bool CloseOver(std::unique_ptr<CFsFile> pFile, const CString& strFrom, const CString& strTo,
                   CFsError& error) override;
    bool GiveName(CFsFile& file, const CString& strPath, CFsError& error) override;
    bool CheckReplace(const CString& strTo, CFsError& error) override;
    bool CheckWriteOver(const CString& strTo, CFsError& error) override;
    bool MakeDirectory(const CString& strPath) override;
    bool MoveOver(const CString& strFrom, const CString& strTo, CFsError& error) override;
    bool RemoveFile(const CString& strPath) override;
    bool RemoveUnlessOpen(const CString& strPath) override;
    std::unique_ptr<CFsFile> OpenToRemove(const CString& strPath, CFsError& error) override;
    bool RemoveOpened(CFsFile& file, const CString& strPath) override;

private:
    void OnRead(uint64_t nBytes) override;
    void OnWrite(uint64_t nBytes) override;
    void OnLength(int64_t nLength) override;
    std::unique_ptr<CFsFile> Metered(std::unique_ptr<CFsFile> pFile);

    CFileSystem& m_fs;
    CIkoProgress& m_progress;
    bool m_bMeasuring = true;
    int64_t m_nMeasuredFiles = 0;
    int64_t m_nMeasuredBytes = 0;
};
