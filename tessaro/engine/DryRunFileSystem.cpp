#include "DryRunFileSystem.h"

namespace {

// Takes what the restore would write and keeps none of it.
class CNullFile : public CFsFile {
public:
    explicit CNullFile(const CString& strPath) : m_strPath(strPath) {}
    unsigned Read(void* /*pBuf*/, unsigned /*nCount*/) override { return 0; }
    void Write(const void* /*pBuf*/, unsigned nCount) override { m_nLength += nCount; }
    int64_t Skip(uint64_t /*nCount*/) override { return 0; }
    void WriteAt(int64_t /*nOffset*/, const void* /*pBuf*/, unsigned /*nCount*/) override {}
    void SetLength(int64_t nLength) override { m_nLength = nLength; }
    int64_t GetLength() override { return m_nLength; }
    void Close() override {}
    CString GetFilePath() const override { return m_strPath; }

private:
    CString m_strPath;
    int64_t m_nLength = 0;
};

} // namespace

CDryRunFileSystem::CDryRunFileSystem(CFileSystem& fs) : m_fs(fs) {}

// Where other spellings name one file, a folder made as "Data" answers to
// "data" too.
std::string CDryRunFileSystem::Key(const CString& strPath) const {
    CString key = strPath;
    if (m_fs.HasOtherSpellings())
        key.MakeLower();
    return key.str();
}

bool CDryRunFileSystem::IsPlanned(const CString& strPath) const {
    return m_planned.count(Key(strPath)) > 0;
}

bool CDryRunFileSystem::ListDirectory(const CString& strDir, std::vector<CDirItem>& items) {
    return IsPlanned(strDir) || m_fs.ListDirectory(strDir, items);
}

CFsStatus CDryRunFileSystem::GetStatus(const CString& strPath) {
    if (!IsPlanned(strPath))
        return m_fs.GetStatus(strPath);
    CFsStatus status;
    status.bExists = status.bDirectory = true;
    return status;
}

std::unique_ptr<CFsFile> CDryRunFileSystem::OpenForReading(const CString& strPath,
                                                           CFsError& error) {
    return m_fs.OpenForReading(strPath, error);
}

std::unique_ptr<CFsFile> CDryRunFileSystem::CreateOrEmpty(const CString& strPath, CFsError& error) {
    if (!GetStatus(strPath).bExists && !CheckNew(strPath, error))
        return nullptr;
    return std::make_unique<CNullFile>(strPath);
}

// A name that is taken answers as CreateNew would, so that the restore
// takes the next temporary name as it would.
std::unique_ptr<CFsFile> CDryRunFileSystem::CreateNew(const CString& strPath, CFsError& error) {
    if (GetStatus(strPath).bExists) {
        error.bExists = true;
        error.strCause = "exists";
        return nullptr;
    }
    if (!CheckNew(strPath, error))
        return nullptr;
    return std::make_unique<CNullFile>(strPath);
}

// The rename makes the target's name: a name the temporary one passed may
// still be refused there (too long, without a form on the disk).
bool CDryRunFileSystem::CloseOver(std::unique_ptr<CFsFile> pFile, const CString& strFrom,
                                  const CString& strTo, CFsError& error) {
    pFile.reset();
    return MoveOver(strFrom, strTo, error);
}

bool CDryRunFileSystem::MakeDirectory(const CString& strPath) {
    CFsError error;
    if (GetStatus(strPath).bExists || !CheckNew(strPath, error))
        return false;
    m_planned.insert(Key(strPath));
    return true;
}

bool CDryRunFileSystem::MoveOver(const CString& /*strFrom*/, const CString& strTo,
                                 CFsError& error) {
    return GetStatus(strTo).bExists ? CheckReplace(strTo, error) : CheckNew(strTo, error);
}

bool CDryRunFileSystem::RemoveFile(const CString& /*strPath*/) {
    return true;
}

bool CDryRunFileSystem::RemoveUnlessOpen(const CString& /*strPath*/) {
    return true;
}

bool CDryRunFileSystem::GetLongName(const CString& strPath, CString& strName) {
    return !IsPlanned(strPath) && m_fs.GetLongName(strPath, strName);
}

bool CDryRunFileSystem::CheckCreate(const CString& strPath, bool bFolderPlanned, CFsError& error) {
    return m_fs.CheckCreate(strPath, bFolderPlanned || IsPlanned(FolderOf(strPath)), error);
}

// A planned folder is new: nothing stands in it to be replaced.
bool CDryRunFileSystem::CheckReplace(const CString& strTo, CFsError& error) {
    return IsPlanned(FolderOf(strTo)) || m_fs.CheckReplace(strTo, error);
}

bool CDryRunFileSystem::CheckNew(const CString& strPath, CFsError& error) {
    const CString folder = FolderOf(strPath);
    if (IsPlanned(folder))
        return m_fs.CheckCreate(strPath, true, error);
    return m_fs.CheckCreate(strPath, false, error);
}
