#include "BookOperator.h"

#include "BookFiles.h"
#include "BookNames.h"
#include "DornEnv.h"
#include "File.h"
#include "FormatChangeDlg.h"
#include "MarkerFiles.h"
#include "Time.h"
#include "WaitDlg.h"
#include "WinApp.h"

#include <cstdio>

namespace {

const char kResultCaption[] = "Excel拡張子の変更";

// The other workbook format: ".xlsm" for exactly ".xls", else ".xls".
CString TargetExtension(const CString& ext) {
    return ext == ".xls" ? CString(".xlsm") : CString(".xls");
}

// One workbook into the safety folder, in both extensions where present.
// Only the file name changes extension, never the folders: a data directory
// whose name holds ".xls" stays as it is.
void CopyForSafety(const CString& excelDir, const CString& safetyDir, const CString& name,
                   const CString& ext, const CString& target) {
    for (const CString& each : {name, WithExtensionReplaced(name, ext, target)})
        if (BookFileExists(excelDir + "\\" + each))
            CopyBookFile(excelDir + "\\" + each, safetyDir + "\\" + each);
}

// Before anything changes, every payroll and attendance workbook goes into
// a folder named by the time.  Failures are ignored: the rebuilds keep
// their own backups.
void MakeSafetyCopies(const CExcelFileMap& bookMap, const CString& excelDir, const CString& ext,
                      const CString& target) {
    const CString safetyDir = excelDir + "\\" + CTime::GetCurrentTime().Format("%Y%m%d%H%M%S");
    ::CreateDirectoryA(safetyDir, nullptr);
    for (POSITION pos = bookMap.m_mapBooks.GetStartPosition(); pos;) {
        CString key;
        CDataForExMap book;
        bookMap.m_mapBooks.GetNextAssoc(pos, key, book);
        CopyForSafety(excelDir, safetyDir, book.m_strFileName, ext, target);
        CopyForSafety(excelDir, safetyDir, "勤怠_" + book.m_strFileName, ext, target);
    }
}

// Both workbooks of every book in the target format, each record renamed
// in memory whatever its rebuilds returned; the folded result.
int RebuildAllBooks(CBookOperator& op, const CString& workFile, const CString& ext,
                    const CString& target, CWaitDlg& wait) {
    CMap<CString, CDataForExMap>& books = op.m_bookMap.m_mapBooks;
    int result = 1;
    for (POSITION pos = books.GetStartPosition(); pos;) {
        CString key;
        CDataForExMap book;
        books.GetNextAssoc(pos, key, book);
        wait.SetText(book.m_strFileName + " コンバート中...");
        result =
            FoldResult(result, op.RebuildPayrollBook(workFile, book.m_strFileName, key, target));
        wait.SetText(book.m_strFileName + " コンバート中...");
        result =
            FoldResult(result, op.RebuildAttendanceBook(workFile, book.m_strFileName, key, target));
        book.m_strFileName = WithExtensionReplaced(book.m_strFileName, ext, target);
        books.SetAt(key, book); // same key: the walk goes on unchanged
    }
    return result;
}

} // namespace

// Command 11: Excel 2007 or later is needed in both directions.
int CBookOperator::ChangeBookFormat(const CString& workFile) {
    if (m_nExcelVersion < 12) {
        const char* text =
            m_nExcelVersion == -1
                ? "ﾌｧｲﾙ形式の変換を行うには、Microsoft Excelがｲﾝｽﾄｰﾙされている必要があります"
                : "ﾌｧｲﾙ形式の変換を行うには、Microsoft "
                  "Excel(2007以上)がｲﾝｽﾄｰﾙされている必要があります";
        ::MessageBoxA(nullptr, text, "ﾌｧｲﾙ形式の変換", MB_OK | MB_ICONINFORMATION);
        return 2;
    }
    CFormatChangeDlg dlg(workFile);
    return static_cast<int>(dlg.DoModal());
}

// Every book is rebuilt in the other format, also after a failure; the
// records take the new names in memory and reach "BookMNG.dat" only when
// every rebuild succeeded and the file was written.
int CBookOperator::SwitchAllBooksFormat(const CString& workFile) {
    CWaitDlg wait(0);
    CDornEnv env;
    const CString ext = env.m_strExcelExt;
    const CString target = TargetExtension(ext);
    m_bookMap.Load(); // a damaged file has been reported; what was read counts
    if (m_bookMap.m_mapBooks.IsEmpty()) {
        wait.DestroyWindow();
        ::MessageBoxA(nullptr, "コンバートが必要なExcelブックはありませんでした。", kResultCaption,
                      MB_OK | MB_ICONINFORMATION);
        return 1;
    }
    MakeSafetyCopies(m_bookMap, env.m_strDataDir + "\\Excel", ext, target);
    int result = RebuildAllBooks(*this, workFile, ext, target, wait);
    // A list that could not be written would name workbooks that no longer
    // exist once the marker changed: that is a failure too.
    if (result != 0 && !m_bookMap.Save())
        result = 0;
    wait.DestroyWindow();
    return result;
}

// The marker of the current format takes the other one's name.  A missing
// marker is only noted on standard output.
int CBookOperator::SwitchFormatMarker(const CString& productDir, const CString& ext) {
    const bool toXlsm = ext == ".xls";
    const CString from = productDir + (toXlsm ? markers::kExType1 : markers::kExType2);
    const CString to = productDir + (toXlsm ? markers::kExType2 : markers::kExType1);
    try {
        CFile::Rename(from, to);
        return 1;
    } catch (const CFileException& e) {
        if (e.m_cause == CFileException::fileNotFound) {
            NoteOnStdout("ERROR: fileNotFound");
        } else {
            ReportBookFileError(e, "拡張子の変更に失敗しました。");
        }
        return 0;
    }
}
