#pragma once
#include "DataForExMap.h"
#include "Map.h"

// The book-management data "BookMNG.dat": book name -> book record.
class CExcelFileMap : public CObject {
public:
    CExcelFileMap(); // the file of the installed product
    explicit CExcelFileMap(CString strMngPath);

    int Load(); // 1 when the file was read
    int Save(); // 1 when the file was written
    void Serialize(CArchive& ar) override;
    CString GetMngPath() const { return m_strMngPath; }

    CMap<CString, CDataForExMap> m_mapBooks;
    CString m_strMngPath;
};
