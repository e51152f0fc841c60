#include "IkoMeteredFile.h"

#include <utility>

CIkoMeteredFile::CIkoMeteredFile(std::unique_ptr<CFsFile> pFile, CIkoMeter& meter)
    : m_pFile(std::move(pFile)), m_meter(meter) {}

unsigned CIkoMeteredFile::Read(void* pBuf, unsigned nCount) {
    const unsigned n = m_pFile->Read(pBuf, nCount);
    m_meter.OnRead(n);
    return n;
}

void CIkoMeteredFile::Write(const void* pBuf, unsigned nCount) {
    m_pFile->Write(pBuf, nCount);
    m_meter.OnWrite(nCount);
}

int64_t CIkoMeteredFile::Skip(uint64_t nCount) {
    const int64_t n = m_pFile->Skip(nCount);
    if (n > 0)
        m_meter.OnRead(static_cast<uint64_t>(n));
    return n;
}

CString CIkoMeteredFile::GetFilePath() const {
    return m_pFile->GetFilePath();
}

int64_t CIkoMeteredFile::GetLength() {
    const int64_t n = m_pFile->GetLength();
    m_meter.OnLength(n);
    return n;
}

void CIkoMeteredFile::Close() {
    m_pFile->Close();
}

void CIkoMeteredFile::Flush() {
    m_pFile->Flush();
}

void CIkoMeteredFile::WriteAt(int64_t nOffset, const void* pBuf, unsigned nCount) {
    m_pFile->WriteAt(nOffset, pBuf, nCount);
}

void CIkoMeteredFile::SetLength(int64_t nLength) {
    m_pFile->SetLength(nLength);
}

bool CIkoMeteredFile::IsTransient() const {
    return m_pFile->IsTransient();
}

bool CIkoMeteredFile::HasName() const {
    return m_pFile->HasName();
}
