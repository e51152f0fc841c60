#pragma once
#include "FileSystem.h"
#include "IkoMeter.h"

#include <memory>

// An open file that tells a meter what passes through it.
class CIkoMeteredFile : public CFsFile {
public:
    CIkoMeteredFile(std::unique_ptr<CFsFile> pFile, CIkoMeter& meter);

    unsigned Read(void* pBuf, unsigned nCount) override;
    void Write(const void* pBuf, unsigned nCount) override;
    int64_t Skip(uint64_t nCount) override;
    CString GetFilePath() const override;
    int64_t GetLength() override;
    void Close() override;
    void Flush() override;
    void WriteAt(int64_t nOffset, const void* pBuf, unsigned nCount) override;
    void SetLength(int64_t nLength) override;
    bool IsTransient() const override;
    bool HasName() const override;
    // The file it watches, for the calls that must reach the file itself.
    std::unique_ptr<CFsFile> TakeFile() { return std::move(m_pFile); }
    CFsFile& File() { return *m_pFile; }

private:
    std::unique_ptr<CFsFile> m_pFile;
    CIkoMeter& m_meter;
};
