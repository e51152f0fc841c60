#include "TessaroDlg_win.h"

#include "DornEnv.h"
#include "File_win.h"
#include "ProductPaths.h"
#include "TessaroApp_win.h"

#include <exception>

namespace {

const char kCreatedWithout[] =
    "ファイル名：%s\nMorvaneデータ移行用ファイルを作成しましたが、次のファイルは含まれていません"
    "（全 %u 件）。%s\n\nこれらのファイルは移行先に復元されません。他のアプリケーションで使用中の"
    "ファイルは、そのアプリケーションを終了してから、もう一度作成してください。";

// Sets the attribute byte of "App.tmp" and leaves its times alone.  A file
// error (the file is missing) gets the framework's report, and the dialog
// stays open.
bool SetAppTmpAttribute(BYTE nAttribute) {
    const CString path = CProductPaths(CDornEnv()).AppTmp();
    try {
        CFileStatus status;
        if (!CFile::GetStatus(path, status))
            throw CFileException(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, path);
        status.m_mtime = CTime();
        status.m_attribute = nAttribute;
        CFile::SetStatus(path, status);
    } catch (const CFileException& e) {
        AfxMessageBox(e.GetErrorMessage(), MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

} // namespace

// The information icon for both outcomes; a failure names its cause.  A
// file written without some of the files says so, with the exclamation icon.
LRESULT CTessaroDlg::OnDoCreateFile() {
    CString text;
    if (theApp.WriteMigrationFile()) {
        text.Format("ファイル名：%s\nMorvaneデータ移行用ファイルを作成しました。",
                    theApp.m_strFilePath.GetString());
        AfxMessageBox(text, MB_ICONINFORMATION);
    } else if (!theApp.m_leftOut.empty()) {
        AfxMessageBox(theApp.LeftOutText(kCreatedWithout), MB_ICONEXCLAMATION);
    } else {
        text.Format("ファイル名：%s\nMorvaneデータ移行用ファイルが作成できませんでした。",
                    theApp.m_strFilePath.GetString());
        AfxMessageBox(theApp.WithWriteError(text), MB_ICONINFORMATION);
    }
    return 0;
}

// "App.tmp" is a normal file while the restore runs and hidden again after
// it, however the restore ended.  Without it the restore does not run.
LRESULT CTessaroDlg::OnDoRestoreFile() {
    if (!SetAppTmpAttribute(CFile::normal))
        return 0;
    try {
        theApp.RestoreMigrationFile();
    } catch (...) {
        SetAppTmpAttribute(CFile::hidden);
        throw;
    }
    SetAppTmpAttribute(CFile::hidden);
    return 0;
}
