#include "BookFiles.h"

#include "File.h"
#include "WinApp.h"

#include <cstdio>

bool BookFileExists(const CString& path) {
    CFileStatus status;
    return CFile::GetStatus(path, status) != FALSE;
}

bool RenameBookToBackup(const CString& bookPath, const CString& backupPath,
                        const char* closeMessage) {
    try {
        CFile::Rename(bookPath, backupPath);
        return true;
    } catch (const CFileException& e) {
        if (e.m_cause == CFileException::accessDenied ||
            e.m_cause == CFileException::sharingViolation) {
            std::printf("ERROR: accessDenied\n");
            std::fflush(stdout);
            AfxMessageBox(closeMessage);
        } else {
            AfxMessageBox(e.GetErrorMessage());
        }
        return false;
    }
}

CString BackupDateText() {
    return CTime::GetCurrentTime().Format("%Y年%m月%d日");
}
