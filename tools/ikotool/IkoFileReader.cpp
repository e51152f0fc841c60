#include "IkoFileReader.h"

#include "Archive.h"
#include "IkoMeteredFile.h"
#include "MigrationContext.h"
#include "MigrationFileException.h"
#include "MigrationReader.h"

CString CIkoVerdict::Message(const CString& strFile) const {
    CString text;
    if (nStatus == damaged)
        text.Format("%s: damaged at byte offset %llu: %s", strFile.GetString(),
                    static_cast<unsigned long long>(nOffset), strFault.GetString());
    else
        text = strFile + ": " + strFault;
    return text;
}

CIkoFileReader::CIkoFileReader(CFileSystem& fs, CIkoMeter* pMeter) : m_fs(fs), m_pMeter(pMeter) {}

CIkoVerdict CIkoFileReader::ReadFile(const CString& strFile, const Read& read) {
    CIkoVerdict verdict;
    CFsError error;
    std::unique_ptr<CFsFile> file = m_fs.OpenForReading(strFile, error);
    if (!file) {
        verdict.nStatus = CIkoVerdict::failed;
        verdict.strFault = "cannot be opened: " + error.strCause;
        return verdict;
    }
    if (m_pMeter)
        file = std::make_unique<CIkoMeteredFile>(std::move(file), *m_pMeter);
    try {
        CArchive ar(file.get(), CArchive::load, CMigrationContext::kArchiveBufferSize);
        read(ar, file->GetLength());
    } catch (const CMigrationFileException& e) {
        verdict.nStatus = CIkoVerdict::damaged;
        verdict.nOffset = e.m_nOffset;
        verdict.strFault = e.m_strFault;
    } catch (const CException& e) {
        verdict.nStatus = CIkoVerdict::failed;
        verdict.strFault = e.GetErrorMessage();
    }
    return verdict;
}

// The product byte is read as it is: the file need not be ours.
CIkoHeader CIkoFileReader::ReadHeader(const CString& strFile) {
    CIkoHeader header;
    CIkoFileReader(m_fs).ReadFile(strFile, [&](CArchive& ar, int64_t nLength) {
        if (nLength < CMigrationReader::kHeaderSize)
            return;
        ar >> header.nCount >> header.nProduct;
        header.bRead = true;
    });
    return header;
}
