#pragma once
#include "DataForExMap.h"
#include "Map.h"

// The book-management data "BookMNG.dat": book name -> book record.
class CExcelFileMap : public CObject {
public:
    CExcelFileMap(); // the file of the installed product
    explicit CExcelFileMap(CString strMngPath);

    int Load(); // 1 when the file was read
    // What the last Load met: a file it could not open (another program
    // holds it, this user may not read it) gives 0 as a missing one does,
    // without a word; a damaged one it has told.
    enum LoadState { loaded, missing, unopened, damaged };
    LoadState GetLoadState() const { return m_nLoadState; }
    int Save(); // 1 when the file was written
    void Serialize(CArchive& ar) override;
    CString GetMngPath() const { return m_strMngPath; }

    CMap<CString, CDataForExMap> m_mapBooks;
    CString m_strMngPath;

private:
    LoadState m_nLoadState = loaded;
};
