#pragma once
#include "ArchiveStream.h"
#include "Exception.h"
#include "ScopedHandle_win.h"
#include "Time.h"

#include "Win_win.h"

struct CFileStatus {
    CTime m_ctime;
    CTime m_mtime;
    CTime m_atime;
    ULONGLONG m_size = 0;
    BYTE m_attribute = 0;
    CString m_szFullName;
};

// A file handle opened with the framework's access and sharing modes.
// Failures raise CFileException with the cause mapped from the Win32 error.
class CFile : public CArchiveStream {
public:
    // The attribute byte of CFileStatus.
    enum Attribute : BYTE { normal = 0x00, readOnly = 0x01, hidden = 0x02, system = 0x04 };
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeBinary = 0x8000,
        // Ours, with modeCreate: the file must not exist yet.
        modeCreateNew = 0x100000,
        // Ours: the handle may also mark the file to be deleted when closed.
        modeDelete = 0x200000
    };

    CFile() = default;
    CFile(const char* pszFileName, UINT nOpenFlags); // throws CFileException
    ~CFile() override;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Returns FALSE and fills *pError (when given) instead of throwing.
    BOOL Open(const char* pszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    unsigned Read(void* pBuf, unsigned nCount) override;
    void Write(const void* pBuf, unsigned nCount) override;
    int64_t Skip(uint64_t nCount) override;
    ULONGLONG GetLength() const;
    void Close();
    void Abort(); // closes without raising
    CString GetFilePath() const override { return m_strFileName; }

    static void Rename(const char* pszOldName, const char* pszNewName);
    static void Remove(const char* pszFileName);
    static BOOL GetStatus(const char* pszFileName, CFileStatus& rStatus);
    // Writes the attribute byte; the times only when m_mtime is set.
    static void SetStatus(const char* pszFileName, const CFileStatus& status);

    CFileHandle m_hFile;

private:
    CString m_strFileName;
};

CFileException::Cause FileCauseFromOsError(DWORD dwError);
[[noreturn]] void ThrowFileOsError(DWORD dwError, const char* pszFileName);
