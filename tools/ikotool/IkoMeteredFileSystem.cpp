#include "IkoMeteredFileSystem.h"

#include "IkoMeteredFile.h"
#include "IkoProgress.h"

CIkoMeteredFileSystem::CIkoMeteredFileSystem(CFileSystem& fs, CIkoProgress& progress)
    : m_fs(fs), m_progress(progress) {}

void CIkoMeteredFileSystem::StartProgress(const int64_t* pnFiles) {
    m_bMeasuring = false;
    m_progress.Start(m_nMeasuredFiles, m_nMeasuredBytes, pnFiles);
}

bool CIkoMeteredFileSystem::ListDirectory(const CString& strDir, std::vector<CDirItem>& items) {
    return m_fs.ListDirectory(strDir, items);
}

CFsStatus CIkoMeteredFileSystem::GetStatus(const CString& strPath) {
    return m_fs.GetStatus(strPath);
}

std::unique_ptr<CFsFile> CIkoMeteredFileSystem::Metered(std::unique_ptr<CFsFile> pFile) {
    if (!pFile)
        return pFile;
    CIkoMeter& meter = *this;
    return std::make_unique<CIkoMeteredFile>(std::move(pFile), meter);
}

std::unique_ptr<CFsFile> CIkoMeteredFileSystem::OpenForReading(const CString& strPath,
                                                               CFsError& error) {
    return Metered(m_fs.OpenForReading(strPath, error));
}

std::unique_ptr<CFsFile> CIkoMeteredFileSystem::CreateOrEmpty(const CString& strPath,
                                                              CFsError& error) {
    return Metered(m_fs.CreateOrEmpty(strPath, error));
}

std::unique_ptr<CFsFile> CIkoMeteredFileSystem::CreateNew(const CString& strPath, CFsError& error) {
    return Metered(m_fs.CreateNew(strPath, error));
}

std::unique_ptr<CFsFile> CIkoMeteredFileSystem::CreateTransient(const CString& strPath,
                                                                CFsError& error) {
    return Metered(m_fs.CreateTransient(strPath, error));
}

std::unique_ptr<CFsFile> CIkoMeteredFileSystem::CreateUnnamed(const CString& strPath,
                                                              CFsError& error) {
    return Metered(m_fs.CreateUnnamed(strPath, error));
}

// The platform's file, not the watching one, is what the platform closes
// and renames: a transient one would otherwise go with its handle.
bool CIkoMeteredFileSystem::CloseOver(std::unique_ptr<CFsFile> pFile, const CString& strFrom,
                                      const CString& strTo, CFsError& error) {
    if (auto* metered = dynamic_cast<CIkoMeteredFile*>(pFile.get()))
        return m_fs.CloseOver(metered->TakeFile(), strFrom, strTo, error);
    return m_fs.CloseOver(std::move(pFile), strFrom, strTo, error);
}

bool CIkoMeteredFileSystem::GiveName(CFsFile& file, const CString& strPath, CFsError& error) {
    if (auto* metered = dynamic_cast<CIkoMeteredFile*>(&file))
        return m_fs.GiveName(metered->File(), strPath, error);
    return m_fs.GiveName(file, strPath, error);
}

bool CIkoMeteredFileSystem::CheckReplace(const CString& strTo, CFsError& error) {
    return m_fs.CheckReplace(strTo, error);
}

bool CIkoMeteredFileSystem::CheckWriteOver(const CString& strTo, CFsError& error) {
    return m_fs.CheckWriteOver(strTo, error);
}

bool CIkoMeteredFileSystem::MakeDirectory(const CString& strPath) {
    return m_fs.MakeDirectory(strPath);
}

bool CIkoMeteredFileSystem::MoveOver(const CString& strFrom, const CString& strTo,
                                     CFsError& error) {
    return m_fs.MoveOver(strFrom, strTo, error);
}

bool CIkoMeteredFileSystem::RemoveFile(const CString& strPath) {
    return m_fs.RemoveFile(strPath);
}

bool CIkoMeteredFileSystem::RemoveUnlessOpen(const CString& strPath) {
    return m_fs.RemoveUnlessOpen(strPath);
}

// Not metered: the file is the one the inner system removes.
std::unique_ptr<CFsFile> CIkoMeteredFileSystem::OpenToRemove(const CString& strPath,
                                                             CFsError& error) {
    return m_fs.OpenToRemove(strPath, error);
}

bool CIkoMeteredFileSystem::RemoveOpened(CFsFile& file, const CString& strPath) {
    return m_fs.RemoveOpened(file, strPath);
}

// The writer measures every file it lists once, by its length.
void CIkoMeteredFileSystem::OnLength(int64_t nLength) {
    if (!m_bMeasuring)
        return;
    ++m_nMeasuredFiles;
    if (nLength > 0)
        m_nMeasuredBytes += nLength;
}

void CIkoMeteredFileSystem::OnRead(uint64_t nBytes) {
    if (!m_bMeasuring)
        m_progress.AddBytes(nBytes);
}

// Writing the migration file, and nothing read: empty files.
void CIkoMeteredFileSystem::OnWrite(uint64_t /*nBytes*/) {
    if (!m_bMeasuring)
        m_progress.Tick();
}
