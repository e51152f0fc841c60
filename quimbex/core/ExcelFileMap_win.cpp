#include "ExcelFileMap.h"

#include "Archive.h"
#include "DornEnv.h"
#include "File_win.h"
#include "ProductPaths.h"
#include "SafeFile_win.h"
#include "WinApp_win.h"

CExcelFileMap::CExcelFileMap() : m_mapBooks(17) {
    CDornEnv env;
    m_strMngPath = CProductPaths(env).BookMap();
}

// A missing file or one that another process holds open for writing gives 0
// without a message; a damaged one is reported here.  Other file errors go
// on to the caller.
int CExcelFileMap::Load() {
    CFileStatus status;
    if (!CFile::GetStatus(m_strMngPath, status))
        return 0;
    CFile file;
    if (!file.Open(m_strMngPath, CFile::modeRead | CFile::shareDenyWrite))
        return 0;
    try {
        CArchive ar(&file, CArchive::load, 4096);
        Serialize(ar);
        ar.Close();
    } catch (const CArchiveException&) {
        AfxMessageBox("ブック管理データファイルが壊れています。");
        return 0;
    }
    file.Close();
    return 1;
}

// The book list is written beside the file and replaces it only when
// complete, so that a full disk or a crash never leaves a cut or empty list.
// A file that another program holds gives 0 without a message and stays; a
// file error while writing goes on to the caller, the old file intact.
int CExcelFileMap::Save() {
    CSafeFile file;
    if (!file.Open(m_strMngPath))
        return 0;
    try {
        CArchive ar(&file, CArchive::store, 4096);
        Serialize(ar);
        ar.Close();
    } catch (const CArchiveException& e) {
        AfxMessageBox(e.GetErrorMessage());
        return 0;
    }
    file.Commit();
    return 1;
}
