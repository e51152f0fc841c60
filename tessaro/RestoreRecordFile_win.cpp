#include "RestoreRecordFile.h"

#include "File_win.h"
#include "RecordPlace.h"
#include "Time.h"

#include <utility>

namespace {

const char kCarriedFolder[] = "%s は移行データに含まれるフォルダのため、記録を置けません。";

// The long form of an existing path, so that a short name or another
// spelling cannot hide a carried folder; the path as given otherwise.
CString SystemForm(const CString& strPath) {
    char full[MAX_PATH];
    const DWORD nFull = ::GetFullPathNameA(strPath, MAX_PATH, full, nullptr);
    if (nFull == 0 || nFull >= MAX_PATH)
        return strPath;
    char longName[MAX_PATH];
    const DWORD nLong = ::GetLongPathNameA(full, longName, MAX_PATH);
    return nLong == 0 || nLong >= MAX_PATH ? CString(full) : CString(longName);
}

CString TempFolder() {
    char path[MAX_PATH];
    const DWORD n = ::GetTempPathA(MAX_PATH, path);
    if (n == 0 || n >= MAX_PATH)
        return CString();
    CString folder(path);
    return folder.Right(1) == "\\" ? folder.Left(folder.GetLength() - 1) : folder;
}

CString ErrorText(DWORD dwError, const CString& strPath) {
    return CFileException(FileCauseFromOsError(dwError), static_cast<long>(dwError), strPath)
        .GetErrorMessage();
}

} // namespace

CRestoreRecordFile::CRestoreRecordFile(const CString& strMigrationFile,
                                       std::vector<CString> astrCarried)
    : m_strMigrationFile(strMigrationFile), m_astrCarried(std::move(astrCarried)),
      m_strStamp(CTime::GetCurrentTime().Format("%Y%m%d%H%M%S")) {}

bool CRestoreRecordFile::Write(const std::string& strText) {
    m_strPath.Empty();
    m_strFailure.Empty();
    const CString beside = CRecordPlace::FolderOf(m_strMigrationFile);
    if (!beside.IsEmpty() && WriteInto(beside, strText))
        return true;
    const CString temp = TempFolder();
    if (temp.IsEmpty()) {
        Fail(ErrorText(ERROR_PATH_NOT_FOUND, "%TEMP%"));
        return false;
    }
    const CString a = SystemForm(beside), b = SystemForm(temp);
    if (CRecordPlace::IsInside(a, b) && CRecordPlace::IsInside(b, a))
        return false; // tried already
    return WriteInto(temp, strText);
}

void CRestoreRecordFile::Fail(const CString& strCause) {
    if (!m_strFailure.IsEmpty())
        m_strFailure += "\n";
    m_strFailure += strCause;
}

bool CRestoreRecordFile::IsCarried(const CString& strFolder) const {
    const CString folder = SystemForm(strFolder);
    for (const CString& carried : m_astrCarried)
        if (!carried.IsEmpty() && CRecordPlace::IsInside(folder, SystemForm(carried)))
            return true;
    return false;
}

// A name that an earlier record holds (two restores in one second) moves
// on to the next attempt; any other failure ends the folder.
bool CRestoreRecordFile::WriteInto(const CString& strFolder, const std::string& strText) {
    if (IsCarried(strFolder)) {
        CString cause;
        cause.Format(kCarriedFolder, strFolder.GetString());
        Fail(cause);
        return false;
    }
    for (int attempt = 1; attempt <= CRecordPlace::kMaxAttempts; ++attempt) {
        const CString path =
            strFolder + "\\" + CRecordPlace::FileName(m_strMigrationFile, m_strStamp, attempt);
        bool bNameTaken = false;
        if (WriteAs(path, strText, bNameTaken)) {
            m_strPath = path;
            return true;
        }
        if (!bNameTaken)
            return false;
    }
    Fail(ErrorText(ERROR_FILE_EXISTS, strFolder + "\\" +
                                          CRecordPlace::FileName(m_strMigrationFile, m_strStamp,
                                                                 CRecordPlace::kMaxAttempts)));
    return false;
}

// The bytes reach the disk before the name appears, so that the name never
// holds a cut record.
bool CRestoreRecordFile::WriteAs(const CString& strPath, const std::string& strText,
                                 bool& bNameTaken) {
    const CString temp = strPath + ".tmp";
    CFile file;
    CFileException error;
    if (!file.Open(temp,
                   CFile::modeCreate | CFile::modeCreateNew | CFile::modeWrite |
                       CFile::shareExclusive | CFile::modeNoInherit,
                   &error)) {
        bNameTaken = error.m_lOsError == ERROR_FILE_EXISTS;
        if (!bNameTaken)
            Fail(error.GetErrorMessage());
        return false;
    }
    try {
        file.Write(strText.data(), static_cast<unsigned>(strText.size()));
        if (!::FlushFileBuffers(file.m_hFile.Get()))
            ThrowFileOsError(::GetLastError(), temp);
        file.Close();
    } catch (const CFileException& e) {
        file.Abort();
        ::DeleteFileA(temp);
        Fail(e.GetErrorMessage());
        return false;
    }
    if (::MoveFileExA(temp, strPath, MOVEFILE_WRITE_THROUGH))
        return true;
    const DWORD err = ::GetLastError();
    ::DeleteFileA(temp);
    bNameTaken = err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS;
    if (!bNameTaken)
        Fail(ErrorText(err, strPath));
    return false;
}
