#include "BookOperator_win.h"

#include "BookFiles.h"
#include "BookNames.h"
#include "DornEnv.h"
#include "File_win.h"
#include "ProductPaths.h"
#include "RunCheck.h"
#include "RunOutcome.h"
#include "WaitDlg.h"
#include "WinApp_win.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

namespace {

const char kConvertCaption[] = "データコンバート";

void ShowConvertMessage(const char* text, const char* caption, UINT icon) {
    ::MessageBoxA(nullptr, text, caption, MB_OK | icon);
}

const char kStopLine[] = "コンバート処理を中断します";

// The early answers of ConvertAllBooks; neither marker is touched.  A file
// that could not be read whole has been reported when damaged; what was
// read counts, and `complete` tells the caller that more books may have
// been lost.  A list of which nothing was read (damaged at its start, or
// held by another program for itself) says nothing of the books: that is
// told, never that no book needed converting.
bool HasNothingToConvert(CExcelFileMap& bookMap, bool& complete) {
    complete = true;
    if (BookFileExists(bookMap.GetMngPath())) {
        complete = bookMap.Load() == 1;
        if (!bookMap.m_mapBooks.IsEmpty())
            return false;
    }
    if (complete) {
        ShowConvertMessage("コンバートが必要なExcelブックはありませんでした。", kConvertCaption,
                           MB_ICONINFORMATION);
    } else {
        CString text;
        text.Format("ブック管理データファイル\n%s\nを読み込めません。\n%s",
                    bookMap.GetMngPath().GetString(), kStopLine);
        AfxMessageBox(text);
    }
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

// The templates are read before the first book is renamed: a run without
// them would rename every book and rebuild none.  The attendance template
// only when some book has an attendance workbook.
bool CanReadTemplates(CBookOperator& op, const CString& workFile, const CDornEnv& env) {
    const CRunCheck check(op, workFile, kStopLine);
    const CProductPaths paths(env);
    bool attendance = false;
    for (POSITION pos = op.m_bookMap.m_mapBooks.GetStartPosition(); pos && !attendance;) {
        CString key;
        CDataForExMap book;
        op.m_bookMap.m_mapBooks.GetNextAssoc(pos, key, book);
        attendance = BookFileExists(paths.ExcelFile("勤怠_" + book.m_strFileName));
    }
    return check.CanReadTemplate(paths.PayrollTemplate(env.m_strExcelExt)) &&
           (!attendance || check.CanReadTemplate(paths.AttendanceTemplate(env.m_strExcelExt)));
}

// Two records of one workbook (another case of its name, a record of
// another book's attendance workbook) would have it rebuilt twice, its data
// carried from the workbook just rebuilt: the list is damaged, and nothing
// changes.  The books are named in the order the lists show them.  A record
// that names no workbook of the folder fails its own book and is left out.
bool AreDistinctBooks(CBookOperator& op, const CString& workFile, const CProductPaths& paths) {
    struct Listed {
        int32_t nOrder;
        CString strName;
    };
    const CString excelDir = paths.ExcelFolder() + "\\";
    std::vector<Listed> listed;
    for (POSITION pos = op.m_bookMap.m_mapBooks.GetStartPosition(); pos;) {
        CString key;
        CDataForExMap book;
        op.m_bookMap.m_mapBooks.GetNextAssoc(pos, key, book);
        if (IsBookKey(excelDir, key) && NamesBookInFolder(excelDir, book.m_strFileName))
            listed.push_back({book.m_nOrder, book.m_strFileName});
    }
    std::stable_sort(listed.begin(), listed.end(),
                     [](const Listed& a, const Listed& b) { return a.nOrder < b.nOrder; });
    std::vector<std::pair<CString, CString>> books;
    for (const Listed& book : listed) {
        books.emplace_back(excelDir + book.strName, book.strName);
        books.emplace_back(excelDir + "勤怠_" + book.strName, "勤怠_" + book.strName);
    }
    return CRunCheck(op, workFile, kStopLine).AreDistinct(books);
}

// Only exactly 1 is a step's success.  The first other answer is the run's
// and stays, whatever later steps answer (a later 1 must not cover a 2).
int FoldRunResult(int result, int step) {
    return result == 1 ? step : result;
}

// Both rebuild steps of every book, each under its wait text.  Every step
// runs, also after a failure.  A record whose key would put a backup
// outside the Excel folder, or whose workbook name the system opens as no
// workbook of it (or as another one), is named with what is wrong with it
// when its step comes, as 7, 8 and 11 name it; the step fails and the
// others go on.  Left to the rebuild steps, it failed as a missing workbook
// does, without a word of which record.
int RebuildEveryBook(CBookOperator& op, const CString& workFile, const CString& ext, int result) {
    const CRunCheck check(op, workFile, "このブックはコンバートしません。");
    CWaitDlg wait(0);
    CExcelFileMap& bookMap = op.m_bookMap;
    for (POSITION pos = bookMap.m_mapBooks.GetStartPosition(); pos;) {
        CString key;
        CDataForExMap book;
        bookMap.m_mapBooks.GetNextAssoc(pos, key, book);
        const CString& name = book.m_strFileName;
        // A refused key or name fails both steps: one box tells it.
        if (!check.IsBackupKey(key) || !check.IsBookName(name)) {
            result = FoldRunResult(result, 0);
            continue;
        }
        wait.SetText(name + " コンバート中...");
        result = FoldRunResult(result, op.RebuildPayrollBook(workFile, name, key, ext));
        wait.SetText("勤怠_" + name + " コンバート中...");
        result = FoldRunResult(result, check.IsBookName("勤怠_" + name)
                                           ? op.RebuildAttendanceBook(workFile, name, key, ext)
                                           : 0);
    }
    wait.DestroyWindow();
    return result;
}

// The product's request for a conversion is withdrawn after every run.  One
// that cannot be deleted (read-only, held open) changes nothing of what the
// run did: its outcome and "ExMng.dat" follow all the same.
void WithdrawConversionRequest(const CString& path) {
    if (BookFileExists(path))
        ::DeleteFileA(path);
}

// Creates or truncates the success marker; a failure is silent (the
// migration tool then reports the conversion as failed).
void CreateEmptyMarker(const CString& path) {
    CFile marker;
    if (marker.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive))
        marker.Abort();
}

bool IsAttendanceName(const CString& name) {
    const CString prefix = "勤怠_";
    return name.Left(prefix.GetLength()) == prefix;
}

// A damaged list (Load has told) may have lost the very record that says
// whether the workbook is a payroll book: the command stops, as every
// command stops on a list it cannot read whole.  No list, an empty one or
// one the product holds open leave the workbook to the attendance prefix.
bool ReadsListUnlessDamaged(CExcelFileMap& bookMap) {
    if (!BookFileExists(bookMap.GetMngPath()))
        return true;
    if (bookMap.Load() || bookMap.GetLoadState() != CExcelFileMap::damaged)
        return true;
    AfxMessageBox("コンバートを実行できません。");
    return false;
}

// The command rebuilds a payroll workbook with the payroll template: an
// attendance workbook or a backup given in its place would be rebuilt as a
// payroll book and its own data left in a payroll-style backup.  A list that
// names books must name the workbook; when no book can be read from it (no
// list, one the product holds open), the attendance prefix alone tells such
// a workbook.
bool IsListedPayrollBook(const CExcelFileMap& bookMap, const CString& name) {
    if (bookMap.m_mapBooks.IsEmpty())
        return !IsAttendanceName(name);
    for (POSITION pos = bookMap.m_mapBooks.GetStartPosition(); pos;) {
        CString key;
        CDataForExMap book;
        bookMap.m_mapBooks.GetNextAssoc(pos, key, book);
        if (name.CompareNoCase(book.m_strFileName) == 0)
            return true;
    }
    return false;
}

} // namespace

// Commands 9 and 12: rebuild the payroll and the attendance workbook of
// every book, then update the markers.  Every book is tried even after a
// failure; only a run where every step returned exactly 1 succeeds, and a
// book map that could not be read whole never does.
int CBookOperator::ConvertAllBooks(const CString& workFile, BOOL showResult) {
    CDornEnv env;
    bool mapComplete = true;
    if (HasNothingToConvert(m_bookMap, mapComplete))
        return mapComplete ? 1 : 0;
    if (!HasUsableExcel(m_nExcelVersion) || !CanReadTemplates(*this, workFile, env) ||
        !AreDistinctBooks(*this, workFile, CProductPaths(env)))
        return 0;

    const int result = RebuildEveryBook(*this, workFile, env.m_strExcelExt, mapComplete ? 1 : 0);
    WithdrawConversionRequest(CProductPaths(env).ConversionRequest());
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
    CreateEmptyMarker(CProductPaths(env).ConversionDone());
    return 1;
}

// Command 5: rebuild the one payroll workbook named on the command line.
// The macros' results leave the result at 1; the attendance workbook stays.
// The template is found readable before the book is renamed, and a copy
// that still fails gives the book its name back.  The book keeps its own
// name, the one the book list holds, whatever spelling named it.
int CBookOperator::ConvertSingleBook(const CString& workFile, const CString& bookFile) {
    CDornEnv env;
    const CProductPaths paths(env);
    const CString date = BackupDateText();
    const CString excelDir = paths.ExcelFolder() + "\\";
    const CString templ = paths.PayrollTemplate(env.m_strExcelExt);

    // A device or a pattern in place of the name is no workbook of the folder.
    const CString name = NameInFolder(excelDir + bookFile);
    const char missing[] =
        "コンバート対象の給与計算ブックが見つかりません。コンバート処理を中断します";
    if (!BookFileExists(excelDir + bookFile) || !NamesFileInFolder(excelDir, name)) {
        AfxMessageBox(missing);
        return 0;
    }
    if (!ReadsListUnlessDamaged(m_bookMap))
        return 0;
    if (!IsListedPayrollBook(m_bookMap, name)) {
        AfxMessageBox(missing);
        return 0;
    }
    const CString bookPath = excelDir + name;
    const CString backupPath = MakeUniquePath(excelDir + date + "給与計算" + env.m_strExcelExt);

    CWaitDlg wait(0);
    if (!CheckUnprotected(workFile, name, ProtectedBookText(name)) ||
        !CRunCheck(*this, workFile, kStopLine).CanReadTemplate(templ) ||
        !ReplaceBookWithTemplate(bookPath, backupPath, templ, bookPath,
                                 "給与計算Excelブックを閉じてください。")) {
        wait.DestroyWindow();
        return 0;
    }
    const CString backupFile = GetFileNamePart(backupPath);
    // The braces run the macros in order.  Their results leave the command's
    // result alone; a failed one (told by the macro layer) fails the run.
    const int results[] = {MacroCompanyInfo(workFile, backupFile, "", name),
                           MacroEmployeeList(workFile, backupFile, 0, name),
                           MacroPayData(workFile, backupFile, name),
                           MacroPayslip(workFile, backupFile, name),
                           MacroBonusSlip(workFile, backupFile, name),
                           MacroWithholdingSlip(workFile, backupFile, name),
                           MacroTaxRecalc(workFile, backupFile, name)};
    wait.DestroyWindow();
    if (std::find(std::begin(results), std::end(results), 0) != std::end(results))
        CRunOutcome::NoteFailed();
    return 1;
}
