#include "FileSystem.h"

// Where a file open from CreateNew cannot be renamed, it is closed first;
// a system that can make sure strFrom still holds it does so instead.
bool CFileSystem::CloseOver(std::unique_ptr<CFsFile> pFile, const CString& strFrom,
                            const CString& strTo, CFsError& error) {
    pFile->Close();
    pFile.reset();
    return MoveOver(strFrom, strTo, error);
}
