#include "SafeFile_win.h"
#include "ScopedHandle_win.h"

CSafeFile::~CSafeFile() {
    Abort();
}

CString CSafeFile::TempPathFor(const char* pszFileName) {
    return CString(pszFileName) + ".tmp";
}

namespace {

// The destination may be replaced only when no other program holds it open
// (as an exclusive open for writing would find); a file that does not exist
// yet is free.
DWORD HeldElsewhereError(const char* pszFileName) {
    const CFileHandle h(::CreateFileA(pszFileName, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (h)
        return ERROR_SUCCESS;
    const DWORD err = ::GetLastError();
    return err == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : err;
}

} // namespace

BOOL CSafeFile::Open(const char* pszFileName, CFileException* pError) {
    Abort();
    m_strFileName = pszFileName;
    if (const DWORD err = HeldElsewhereError(pszFileName)) {
        if (pError)
            *pError =
                CFileException(FileCauseFromOsError(err), static_cast<long>(err), m_strFileName);
        return FALSE;
    }
    m_bOwnTemp = m_temp.Open(TempPathFor(pszFileName),
                             CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive |
                                 CFile::modeNoInherit,
                             pError) != FALSE;
    return m_bOwnTemp ? TRUE : FALSE;
}

unsigned CSafeFile::Read(void*, unsigned) {
    ThrowFileOsError(ERROR_INVALID_ACCESS, m_strFileName);
}

void CSafeFile::Write(const void* pBuf, unsigned nCount) {
    m_temp.Write(pBuf, nCount);
}

// The bytes reach the disk before the name changes, so that a crash after
// the replacement cannot leave an empty file under the destination's name.
void CSafeFile::Commit() {
    const CString temp = m_temp.GetFilePath();
    if (!::FlushFileBuffers(m_temp.m_hFile.Get()))
        ThrowFileOsError(::GetLastError(), m_strFileName);
    m_temp.Close();
    if (!::MoveFileExA(temp, m_strFileName, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ThrowFileOsError(::GetLastError(), m_strFileName);
    m_bOwnTemp = false;
}

// Only a temporary file that this object made is removed, never one that
// another program holds under the same name.
void CSafeFile::Abort() {
    if (!m_bOwnTemp)
        return;
    m_temp.Abort();
    ::DeleteFileA(m_temp.GetFilePath());
    m_bOwnTemp = false;
}
