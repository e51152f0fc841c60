#include "BookOperator_win.h"

#include "BookFiles.h"
#include "DornEnv.h"
#include "File_win.h"
#include "ProductPaths.h"
#include "WaitDlg.h"
#include "WinApp_win.h"

namespace {

const char kCloseBookMessage[] = "給与計算Excelブックを閉じてください。";

// The template is copied onto the new name, so a name that is taken already
// (by the source or by any other file of the folder, whatever the case of
// its letters) would cost the user that file: it is refused before anything
// is copied.
bool RefusesTakenName(const CString& excelDir, const CString& newFile) {
    if (!BookFileExists(excelDir + "\\" + newFile) && !FolderHoldsName(excelDir, newFile))
        return false;
    CString text;
    text.Format("追加するブックと同じ名前のファイル「%s」がすでにあります。\n"
                "ブックの追加処理を中断します",
                newFile.GetString());
    AfxMessageBox(text);
    return true;
}

// The temporary copy is ours: a read-only or hidden source would hand its
// attributes on, and a read-only copy could not be removed at the end (the
// run would then report the added book as a failure and leave the copy).
void CopyForMacro(const CString& source, const CString& copy) {
    if (CopyBookFile(source, copy))
        ::SetFileAttributesA(copy, FILE_ATTRIBUTE_NORMAL);
}

void RemoveIfPresent(const CString& path) {
    if (BookFileExists(path))
        CFile::Remove(path);
}

} // namespace

// Command 6: a new payroll workbook from the template, with the company
// information of an existing one carried over from a temporary copy of it
// (the source itself is only read).  A new workbook whose macro failed is
// removed again; the temporary copy is removed in every case.
int CBookOperator::AddBook(const CString& workFile, const CString& bookFile,
                           const CString& newFile) {
    CDornEnv env;
    const CProductPaths paths(env);
    const CString excelDir = paths.ExcelFolder();
    const CString tempPath = MakeUniquePath(paths.SourceBookCopy(env.m_strExcelExt));
    const CString newPath = paths.ExcelFile(newFile);
    const CString templ = paths.PayrollTemplate(env.m_strExcelExt);
    if (!BookFileExists(paths.ExcelFile(bookFile))) {
        AfxMessageBox("元になる給与計算ブックが見つかりません。ブックの追加処理を中断します");
        return 0;
    }
    if (RefusesTakenName(excelDir, newFile) ||
        !CheckUnprotected(workFile, bookFile, ProtectedBookText(bookFile)))
        return 0;
    try {
        CopyForMacro(paths.ExcelFile(bookFile), tempPath); // a failed copy fails the macro
        int result = 0;
        if (CopyBookFile(templ, newPath, true)) {
            CWaitDlg wait(0);
            result = MacroCompanyInfo(workFile, GetFileNamePart(tempPath), "", newFile);
            wait.DestroyWindow();
            if (result == 0)
                RemoveIfPresent(newPath);
        }
        RemoveIfPresent(tempPath);
        return result;
    } catch (const CFileException& e) {
        ReportBookFileError(e, kCloseBookMessage);
        return 0;
    }
}
