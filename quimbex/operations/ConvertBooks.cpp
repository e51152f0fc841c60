#include "BookOperator.h"

#include "BookFiles.h"
#include "DornEnv.h"
#include "File.h"
#include "MarkerFiles.h"
#include "WaitDlg.h"
#include "WinApp.h"

namespace {

const char kConvertCaption[] = "データコンバート";

void ShowConvertMessage(const char* text, const char* caption, UINT icon) {
    ::MessageBoxA(nullptr, text, caption, MB_OK | icon);
}

// The early answers of ConvertAllBooks; neither marker is touched.
bool HasNothingToConvert(CExcelFileMap& bookMap) {
    if (BookFileExists(bookMap.GetMngPath())) {
        bookMap.Load(); // a damaged file has been reported; what was read counts
        if (!bookMap.m_mapBooks.IsEmpty())
            return false;
    }
    ShowConvertMessage("コンバートが必要なExcelブックはありませんでした。", kConvertCaption,
                       MB_ICONINFORMATION);
    return true;
}

bool HasUsableExcel(int32_t version) {
    const char* text = nullptr;
    if (version == -1)
        text =
            "Excelブックのコンバートを行うには、\nMicrosoft Excelがｲﾝｽﾄｰﾙされている必要があります";
    else if (version < 8)
        text = "Excelブックのコンバートを行うには、\nMicrosoft "
               "Excel(97以上)がｲﾝｽﾄｰﾙされている必要があります";
    if (text)
        ShowConvertMessage(text, "Excelブックのコンバート", MB_ICONINFORMATION);
    return text == nullptr;
}

// Creates or truncates the success marker; a failure is silent (the
// migration tool then reports the conversion as failed).
void CreateEmptyMarker(const CString& path) {
    CFile marker;
    if (marker.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive))
        marker.Abort();
}

} // namespace

// Commands 9 and 12: rebuild the payroll and the attendance workbook of
// every book, then update the markers.  Every book is tried even after a
// failure; only a run where every step returned exactly 1 succeeds.
int CBookOperator::ConvertAllBooks(const CString& workFile, BOOL showResult) {
    CDornEnv env;
    if (HasNothingToConvert(m_bookMap))
        return 1;
    if (!HasUsableExcel(m_nExcelVersion))
        return 0;

    int result = 1;
    {
        CWaitDlg wait(0);
        for (POSITION pos = m_bookMap.m_mapBooks.GetStartPosition(); pos;) {
            CString key;
            CDataForExMap book;
            m_bookMap.m_mapBooks.GetNextAssoc(pos, key, book);
            wait.SetText(book.m_strFileName + " コンバート中...");
            result = FoldResult(
                result, RebuildPayrollBook(workFile, book.m_strFileName, key, env.m_strExcelExt));
            wait.SetText("勤怠_" + book.m_strFileName + " コンバート中...");
            result = FoldResult(result, RebuildAttendanceBook(workFile, book.m_strFileName, key,
                                                              env.m_strExcelExt));
        }
        wait.DestroyWindow();
    }

    const CString convMarker = env.m_strInstallDir + markers::kExConv;
    if (BookFileExists(convMarker))
        CFile::Remove(convMarker);
    if (result != 1) {
        if (showResult)
            ShowConvertMessage("Excelブックのコンバートに失敗しました。パソコンを再起動し、各ブック"
                               "の初期化を行ってください。",
                               kConvertCaption, MB_ICONEXCLAMATION);
        return result;
    }
    if (showResult)
        ShowConvertMessage("Excelブックのコンバートが完了しました。\nExcelブックの起動は "
                           "メイン画面【Excel】ボタンから行ってください。",
                           kConvertCaption, MB_ICONINFORMATION);
    CreateEmptyMarker(env.m_strInstallDir + markers::kExMng);
    return 1;
}

// Command 5: rebuild the one payroll workbook named on the command line.
// The macros' results are not evaluated; the attendance workbook stays.
int CBookOperator::ConvertSingleBook(const CString& workFile, const CString& bookFile) {
    CDornEnv env;
    const CString date = BackupDateText();
    const CString excelDir = env.m_strDataDir + "\\Excel\\";
    const CString bookPath = excelDir + bookFile;
    const CString templ = env.m_strInstallDir + "\\Data\\Org\\Kyuyo" + env.m_strExcelExt;

    if (!BookFileExists(bookPath)) {
        AfxMessageBox("コンバート対象の給与計算ブックが見つかりません。コンバート処理を中断します");
        return 0;
    }
    const CString backupPath = MakeUniquePath(excelDir + date + "給与計算" + env.m_strExcelExt);

    CWaitDlg wait(0);
    if (!CheckUnprotected(workFile, bookFile)) {
        wait.DestroyWindow();
        return 0;
    }
    if (!RenameBookToBackup(bookPath, backupPath, "給与計算Excelブックを閉じてください。")) {
        wait.DestroyWindow();
        return 0;
    }
    if (!::CopyFileA(templ, bookPath, FALSE)) {
        wait.DestroyWindow();
        return 0;
    }
    const CString backupFile = GetFileNamePart(backupPath);
    MacroCompanyInfo(workFile, backupFile, "", bookFile);
    MacroEmployeeList(workFile, backupFile, 0, bookFile);
    MacroPayData(workFile, backupFile, bookFile);
    MacroPayslip(workFile, backupFile, bookFile);
    MacroBonusSlip(workFile, backupFile, bookFile);
    MacroWithholdingSlip(workFile, backupFile, bookFile);
    MacroTaxRecalc(workFile, backupFile, bookFile);
    wait.DestroyWindow();
    return 1;
}
