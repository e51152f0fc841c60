#include "FileSystem.h"

#include "Exception.h"

#include <algorithm>

// A file that can only be written in order cannot take a restore's target.
void CFsFile::WriteAt(int64_t /*nOffset*/, const void* /*pBuf*/, unsigned /*nCount*/) {
    throw CFileException(CFileException::genericException, 0, GetFilePath());
}

void CFsFile::SetLength(int64_t /*nLength*/) {
    throw CFileException(CFileException::genericException, 0, GetFilePath());
}

// Where a file open from CreateNew cannot be renamed, it is closed first;
// a system that can make sure strFrom still holds it does so instead.
bool CFileSystem::CloseOver(std::unique_ptr<CFsFile> pFile, const CString& strFrom,
                            const CString& strTo, CFsError& error) {
    pFile->Close();
    pFile.reset();
    return MoveOver(strFrom, strTo, error);
}

CString CFileSystem::FolderOf(const CString& strPath) {
    return strPath.Left(std::max(strPath.ReverseFind('\\'), 0));
}

bool CFileSystem::CheckCreate(const CString& strPath, bool bFolderPlanned, CFsError& error) {
    if (bFolderPlanned || GetStatus(FolderOf(strPath)).bDirectory)
        return true;
    error.strCause = "its folder does not exist";
    return false;
}

bool CFileSystem::CheckReplace(const CString& strTo, CFsError& error) {
    if (!GetStatus(strTo).bDirectory)
        return true;
    error.strCause = "a folder of that name";
    return false;
}

bool CFileSystem::CheckWriteOver(const CString& strTo, CFsError& error) {
    const CFsStatus status = GetStatus(strTo);
    if (!status.bProtected || status.bDirectory)
        return true;
    error.strCause = "access denied";
    return false;
}
