#pragma once
#include "File_win.h"

// A file written beside its destination and put in its place only when
// complete: a failed write (a full disk) or an object destroyed before
// Commit leaves the destination as it was and removes the temporary file.
class CSafeFile : public CArchiveStream {
public:
    CSafeFile() = default;
    ~CSafeFile() override;
    CSafeFile(const CSafeFile&) = delete;
    CSafeFile& operator=(const CSafeFile&) = delete;

    // FALSE (and *pError when given) when another program holds the
    // destination or the temporary file cannot be made.
    BOOL Open(const char* pszFileName, CFileException* pError = nullptr);
    unsigned Read(void* pBuf, unsigned nCount) override; // write-only: throws
    void Write(const void* pBuf, unsigned nCount) override;
    // Writes the temporary file through, closes it and replaces the
    // destination with it; throws CFileException.
    void Commit();
    // Drops what was written; the destination stays.
    void Abort();
    CString GetFilePath() const override { return m_strFileName; }

    // The temporary file of a destination: its name + ".tmp".
    static CString TempPathFor(const char* pszFileName);

private:
    CFile m_temp;
    CString m_strFileName;
    bool m_bOwnTemp = false; // the temporary file is ours to remove
};
