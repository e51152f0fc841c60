#include "FormatChangeRun.h"

#include "BookFiles.h"
#include "BookNames.h"
#include "BookOperator_win.h"
#include "DornEnv.h"
#include "ProductPaths.h"
#include "RunCheck.h"
#include "Time.h"
#include "WaitDlg.h"
#include "WinApp_win.h"

#include <algorithm>

namespace {

const char kStopLine[] = "ﾌｧｲﾙ形式の変換を中断します";
const char kAttendancePrefix[] = "勤怠_";

// The other workbook format: ".xlsm" for exactly ".xls", else ".xls".
CString TargetExtension(const CString& ext) {
    return ext == ".xls" ? CString(".xlsm") : CString(".xls");
}

} // namespace

void CFormatChangeRun::MarkerNames(const CString& productDir, const CString& ext, CString& from,
                                   CString& to) {
    const bool toXlsm = ext == ".xls";
    const CProductPaths paths = CProductPaths::OfProduct(productDir);
    from = toXlsm ? paths.XlsMarker() : paths.XlsmMarker();
    to = toXlsm ? paths.XlsmMarker() : paths.XlsMarker();
}

// The safety folder is named by the time the run began.
CFormatChangeRun::CFormatChangeRun(CBookOperator& op, const CString& workFile)
    : m_op(op), m_strWorkFile(workFile), m_strProductDir(CDornEnv().m_strInstallDir),
      m_strExcelDir(CProductPaths(CDornEnv()).ExcelFolder()), m_strExt(CDornEnv().m_strExcelExt),
      m_strTarget(TargetExtension(m_strExt)),
      m_strSafetyDir(
          CProductPaths(CDornEnv()).SafetyFolder(CTime::GetCurrentTime().Format("%Y%m%d%H%M%S"))),
      m_changes(m_strExcelDir, m_strSafetyDir) {
    MarkerNames(m_strProductDir, m_strExt, m_strMarkerFrom, m_strMarkerTo);
}

// A failure (or an exception, which goes on to the caller) puts back what
// the books went through so far.
CFormatChangeRun::Outcome CFormatChangeRun::Execute(CWaitDlg& wait) {
    if (!ReadBooks())
        return refused;
    if (m_op.m_bookMap.m_mapBooks.IsEmpty())
        return SwitchWithoutBooks(wait);
    if (!CheckBeforeChange() || !MakeSafetyCopies())
        return refused;
    m_op.m_pRunChanges = &m_changes;
    try {
        const bool ok = RebuildAll(wait) && Commit();
        m_op.m_pRunChanges = nullptr;
        if (!ok)
            return PutBack();
        m_changes.RemoveOldNames();
        return done;
    } catch (...) {
        m_op.m_pRunChanges = nullptr;
        PutBack();
        throw;
    }
}

CString CFormatChangeRun::FailureText() const {
    CString text;
    if (m_strNotPutBack.IsEmpty())
        text.Format("ﾌｧｲﾙ形式の変換に失敗しました。\nすべてのブックを変換前の状態に戻しました。\n"
                    "変換前のブックの控えは\n%s\nにあります。",
                    m_strSafetyDir.GetString());
    else
        text.Format("ﾌｧｲﾙ形式の変換に失敗しました。\n次のブックは変換前の状態に戻せませんでした。"
                    "%s\n変換前のブックの控えは\n%s\nにあります。",
                    m_strNotPutBack.GetString(), m_strSafetyDir.GetString());
    return text;
}

bool CFormatChangeRun::EveryBook(const BookVisit& visit) const {
    const CMap<CString, CDataForExMap>& books = m_op.m_bookMap.m_mapBooks;
    for (POSITION pos = books.GetStartPosition(); pos;) {
        CString key;
        CDataForExMap book;
        books.GetNextAssoc(pos, key, book);
        if (!visit(key, book.m_strFileName))
            return false;
    }
    return true;
}

// A list that cannot be read whole would lose the records that were not
// read, and leave the marker disagreeing with the books: nothing changes.
// Load has told that the file is damaged.
bool CFormatChangeRun::ReadBooks() {
    if (!BookFileExists(m_op.m_bookMap.GetMngPath()) || m_op.m_bookMap.Load())
        return true;
    AfxMessageBox("ﾌｧｲﾙ形式の変換を実行できません。");
    return false;
}

// No book to convert: the format still changes, and the marker says so
// (a marker that cannot take its new name is told and does not stop it).
CFormatChangeRun::Outcome CFormatChangeRun::SwitchWithoutBooks(CWaitDlg& wait) {
    wait.DestroyWindow();
    ::MessageBoxA(nullptr, "コンバートが必要なExcelブックはありませんでした。", "Excel拡張子の変更",
                  MB_OK | MB_ICONINFORMATION);
    m_op.SwitchFormatMarker(m_strProductDir, m_strExt);
    return done;
}

// Files first, then Excel's protection check, which is slow: a run that
// cannot begin says so without waiting for Excel when it can.
bool CFormatChangeRun::CheckBeforeChange() const {
    const CRunCheck check(m_op, m_strWorkFile, kStopLine);
    bool attendance = false;
    EveryBook([&](const CString&, const CString& name) {
        attendance = attendance || BookFileExists(m_strExcelDir + "\\" + kAttendancePrefix + name);
        return true;
    });
    const CProductPaths paths = CProductPaths::OfProduct(m_strProductDir);
    if (!check.CanReadTemplate(paths.PayrollTemplate(m_strTarget)) ||
        (attendance && !check.CanReadTemplate(paths.AttendanceTemplate(m_strTarget))))
        return false;
    const bool filesOk = EveryBook([&](const CString&, const CString& name) {
        return CheckFiles(check, name, true) && CheckFiles(check, kAttendancePrefix + name, false);
    });
    if (!filesOk || !CheckDistinct(check) || !check.CanWriteList(m_op.m_bookMap.GetMngPath()) ||
        !check.CanRenameMarker(m_strMarkerFrom, m_strMarkerTo))
        return false;
    return EveryBook([&](const CString&, const CString& name) {
        return CheckProtection(check, name, true) &&
               CheckProtection(check, kAttendancePrefix + name, false);
    });
}

// No two books are one workbook, and no two workbooks take one name in the
// target format.
bool CFormatChangeRun::CheckDistinct(const CRunCheck& check) const {
    std::vector<std::pair<CString, CString>> workbooks, renames;
    EveryBook([&](const CString&, const CString& name) {
        for (const CString& each : {name, kAttendancePrefix + name}) {
            workbooks.emplace_back(m_strExcelDir + "\\" + each, each);
            if (BookFileExists(m_strExcelDir + "\\" + each))
                renames.emplace_back(each, WithExtensionReplaced(each, m_strExt, m_strTarget));
        }
        return true;
    });
    return check.AreDistinct(workbooks) && check.TakeDistinctNames(renames);
}

// The workbook (required, or only when it exists) can be renamed, and the
// name it takes in the other format, if some file has it, written over.
bool CFormatChangeRun::CheckFiles(const CRunCheck& check, const CString& name,
                                  bool bRequired) const {
    if (!check.IsBookName(name))
        return false;
    const CString path = m_strExcelDir + "\\" + name;
    if (!BookFileExists(path))
        return !bRequired || check.Exists(path, name);
    const CString newName = WithExtensionReplaced(name, m_strExt, m_strTarget);
    return check.CanChange(path, name, false) &&
           (newName == name || check.CanChange(m_strExcelDir + "\\" + newName, newName, true));
}

bool CFormatChangeRun::CheckProtection(const CRunCheck& check, const CString& name,
                                       bool bRequired) const {
    if (!bRequired && !BookFileExists(m_strExcelDir + "\\" + name))
        return true;
    return check.IsUnprotected(name);
}

// Every payroll and attendance workbook, in both extensions where present,
// goes into the safety folder before anything changes.  A copy that fails
// stops the run before it begins, and the copies made go again.
bool CFormatChangeRun::MakeSafetyCopies() {
    m_bMadeSafetyDir = ::CreateDirectoryA(m_strSafetyDir, nullptr) != FALSE;
    const bool ok = EveryBook([this](const CString&, const CString& name) {
        return CopyForSafety(name) && CopyForSafety(kAttendancePrefix + name);
    });
    if (ok)
        return true;
    RemoveSafetyCopies();
    CString text;
    text.Format("変換前のブックの控えを\n%s\nに作成できませんでした。\n%s",
                m_strSafetyDir.GetString(), kStopLine);
    AfxMessageBox(text);
    return false;
}

// Only the file name changes extension, never the folders: a data
// directory whose name holds ".xls" stays as it is.
bool CFormatChangeRun::CopyForSafety(const CString& name) {
    for (const CString& each : {name, WithExtensionReplaced(name, m_strExt, m_strTarget)}) {
        const CString copy = m_strSafetyDir + "\\" + each;
        if (!BookFileExists(m_strExcelDir + "\\" + each) ||
            std::find(m_safetyCopies.begin(), m_safetyCopies.end(), copy) != m_safetyCopies.end())
            continue;
        if (!CopyBookFile(m_strExcelDir + "\\" + each, copy))
            return false;
        m_safetyCopies.push_back(copy);
    }
    return true;
}

void CFormatChangeRun::RemoveSafetyCopies() {
    for (const CString& copy : m_safetyCopies)
        ::DeleteFileA(copy);
    m_safetyCopies.clear();
    if (m_bMadeSafetyDir)
        ::RemoveDirectoryA(m_strSafetyDir);
}

// Both workbooks of every book in the target format; the first book that
// fails ends the run, which then puts back the books before it.  Each
// record takes the new name in memory once its workbooks have it.
bool CFormatChangeRun::RebuildAll(CWaitDlg& wait) {
    CMap<CString, CDataForExMap>& books = m_op.m_bookMap.m_mapBooks;
    for (POSITION pos = books.GetStartPosition(); pos;) {
        CString key;
        CDataForExMap book;
        books.GetNextAssoc(pos, key, book);
        wait.SetText(book.m_strFileName + " コンバート中...");
        if (m_op.RebuildPayrollBook(m_strWorkFile, book.m_strFileName, key, m_strTarget) == 0)
            return false;
        wait.SetText(book.m_strFileName + " コンバート中...");
        if (m_op.RebuildAttendanceBook(m_strWorkFile, book.m_strFileName, key, m_strTarget) == 0)
            return false;
        book.m_strFileName = WithExtensionReplaced(book.m_strFileName, m_strExt, m_strTarget);
        books.SetAt(key, book); // same key: the walk goes on unchanged
    }
    return true;
}

// The marker first: its rename is undone at once if the book list, which is
// written whole or not at all, cannot follow.
bool CFormatChangeRun::Commit() {
    if (!m_op.SwitchFormatMarker(m_strProductDir, m_strExt))
        return false;
    if (SaveList())
        return true;
    if (!::MoveFileA(m_strMarkerTo, m_strMarkerFrom))
        m_strNotPutBack += "\n" + FileNamePart(m_strMarkerTo);
    return false;
}

// The list was found writable before the run; a disk that filled up since
// is told with the file error's own report.
bool CFormatChangeRun::SaveList() {
    try {
        if (m_op.m_bookMap.Save())
            return true;
        CString text;
        text.Format("ブック管理データファイル\n%s\nに書き込めません。",
                    m_op.m_bookMap.GetMngPath().GetString());
        AfxMessageBox(text);
    } catch (const CFileException& e) {
        AfxMessageBox(e.GetErrorMessage());
    }
    return false;
}

CFormatChangeRun::Outcome CFormatChangeRun::PutBack() {
    m_strNotPutBack += m_changes.PutBack();
    return failed;
}
