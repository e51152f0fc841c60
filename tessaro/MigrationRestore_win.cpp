#include "MigrationRestore_win.h"

#include "Archive.h"
#include "BookConversion_win.h"
#include "File_win.h"
#include "MigrationFileException.h"
#include "MigrationReader.h"
#include "ProductPaths.h"
#include "RestoreRecord.h"
#include "RestoreReport.h"
#include "RunJournal.h"
#include "TessaroApp_win.h"
#include "WaitCursor_win.h"
#include "WaitDlg.h"

namespace {

const char kForeignFile[] = "この移行データはMorvane用のものではありません。";
const char kNewerFile[] = "%s より新しいバージョンのバックアップファイルです。\n"
                          "このファイルでは復元ができません。\n\n復元を中止します。";
const char kXlsmRefused[] =
    "バックアップファイルに含まれるExcel管理ブックの形式がExcel2010/2007形式(.xlsm)です。\n"
    "このPCでは復元できません。\n"
    "Excel2007以上をインストールするか、バックアップを行ったPCでExcelブックの拡張子の変更を\n"
    "行って、再度バックアップを取って復元してください。\n\n復元を中止します。";
const char kToXlsmQuestion[] =
    "Excel管理ブックの形式がExcel2010/2007形式(.xlsm)に変更されますがよろしいですか？\n\n"
    "復元後、Excel97-2003形式(.xls)に戻したい場合は、\n"
    "メイン画面の [ExcelブックをExcel97-2003形式(.xls)に変更] を\n実行してください。\n";
const char kToXlsQuestion[] =
    "Excel管理ブックの形式がExcel97-2003形式(.xls)に変更されますがよろしいですか？\n\n"
    "復元後、Excel2010/2007形式(.xlsm)に戻したい場合は、\n"
    "メイン画面の [ExcelブックをExcel2007/2010形式(.xlsm)に変更] を\n実行してください。\n";
const char kRenameFailed[] = "名前の変更ができませんでした。";
const char kConvertQuestion[] =
    "復元するデータにExcelブックが含まれている場合、データコンバートする必要があります。\n"
    "コンバートには時間がかかる可能性がありますが、開始してもよろしいですか？";
const char kMigrated[] = "ファイル名：%s\nMorvaneデータを移行しました。";
const char kDamaged[] = "ファイル名：%s\nこの移行データは壊れているため、復元できません。%s\n\n"
                        "復元を中止します。このパソコンのデータは変更していません。";
const char kUnreadable[] = "ファイル名：%s\nこの移行データを読み込めません。\n%s\n\n"
                           "復元を中止します。このパソコンのデータは変更していません。";
const char kIncomplete[] =
    "ファイル名：%s\nデータの復元中にエラーが発生しました。\n%s\n\n"
    "復元は完了していません。原因を取り除いてから、もう一度復元してください。";
const char kUnwritten[] = "ファイル名：%s\n次のファイルは書き込めなかったため、復元されていません"
                          "（全 %u 件）。%s\n\n読み取り専用や隠しファイル、他のアプリケーションで"
                          "使用中のファイルは上書きできません。";
const char kRecordPlace[] = "\n\n記録ファイル：%s";
const char kRecordFailed[] = "復元の記録を書き込めませんでした。\n%s";
const char kPartlyMigrated[] =
    "ファイル名：%s\nMorvaneデータを移行しましたが、復元されていないファイルが %u 件あります。";

const int kFormatXlsm = 4;
const int kFirstXlsmExcel = 12;

bool Confirm(const char* pszQuestion) {
    return AfxMessageBox(pszQuestion, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void CloseWaitDialog(std::unique_ptr<CWaitDlg>& pWait) {
    if (pWait)
        pWait->DestroyWindow();
    pWait.reset();
}

} // namespace

CMigrationRestore::CMigrationRestore(CTessaroApp& app)
    : m_app(app), m_context(m_fs),
      m_roots(app.m_astrRoots[0], app.m_astrRoots[1], app.m_astrRoots[2]),
      m_record(app.m_strFilePath,
               {CProductPaths::OfProduct(m_roots[CMigrationRoots::product]).DataFolder(),
                CProductPaths::OfData(m_roots[CMigrationRoots::data]).ExcelFolder()}) {}

// A marker renamed for the workbook format is renamed back when the restore
// ends before any file is written (the user declines the conversion, the
// file cannot be opened again): the books of this computer are still in
// the old format, and the product must go on finding them.  Once data are
// written it stays, as they are meant for the new format.
bool CMigrationRestore::Run() {
    int32_t nFormat = 0;
    if (!PeekFormat(nFormat) || !AcceptFile(nFormat))
        return false;
    if (!Confirm(kConvertQuestion)) {
        UndoMarkerRename();
        return false;
    }
    CWaitCursor cursor;
    if (!Extract(cursor)) {
        if (m_context.m_nWritten == 0)
            UndoMarkerRename();
        return false;
    }
    const bool bComplete = Finish();
    cursor.Restore();
    return bComplete;
}

CString CMigrationRestore::WithFileName(const char* pszFormat) const {
    CString text;
    text.Format(pszFormat, m_app.m_strFilePath.GetString());
    return text;
}

// The header and the format code of the first entry.  A file that cannot be
// opened ends the restore without a word, as the open dialog has just shown
// it; a file too short for them, or without entries, is damaged.
bool CMigrationRestore::PeekFormat(int32_t& nFormat) {
    CFile file;
    if (!file.Open(m_app.m_strFilePath, CFile::modeRead | CFile::shareDenyNone))
        return false;
    try {
        CArchive ar(&file, CArchive::load, 4096);
        CMigrationContext context(m_fs);
        nFormat =
            CMigrationReader(context, CMigrationRoots(), static_cast<int64_t>(file.GetLength()))
                .PeekFormat(ar);
        if (nFormat < 0) {
            file.Close();
            AfxMessageBox(kForeignFile, MB_ICONINFORMATION);
            return false;
        }
    } catch (const CException& e) {
        ReportUnreadable(e);
        return false;
    }
    return true;
}

// The whole file is read before anything on this computer changes, so that
// a cut or damaged file is refused with nothing renamed or written.
bool CMigrationRestore::AcceptFile(int32_t nFormat) {
    if (nFormat > kFormatXlsm) {
        CString text;
        text.Format(kNewerFile, m_env.m_strProductName.GetString());
        AfxMessageBox(text, MB_ICONEXCLAMATION);
        return false;
    }
    if (!CheckWholeFile())
        return false;
    m_app.ReadExcelVersion();
    return ReconcileBookFormat(nFormat);
}

bool CMigrationRestore::CheckWholeFile() {
    CFile file;
    CFileException error;
    if (!file.Open(m_app.m_strFilePath, CFile::modeRead | CFile::shareDenyNone, &error)) {
        ReportUnreadable(error);
        return false;
    }
    try {
        CArchive ar(&file, CArchive::load, 4096);
        CMigrationContext context(m_fs);
        CMigrationReader(context, m_roots, static_cast<int64_t>(file.GetLength())).Check(ar);
    } catch (const CException& e) {
        ReportUnreadable(e);
        return false;
    }
    return true;
}

// An archive error is a damaged file, with the place of the first fault
// when the check found one (the offset counts from 0, the user counts the
// bytes from 1); a file error is the system's refusal to read.
void CMigrationRestore::ReportUnreadable(const CException& e) const {
    CString text;
    if (dynamic_cast<const CArchiveException*>(&e)) {
        CString where;
        if (const auto* fault = dynamic_cast<const CMigrationFileException*>(&e))
            where.Format("（%llu バイト目に異常があります）",
                         static_cast<unsigned long long>(fault->m_nOffset) + 1);
        text.Format(kDamaged, m_app.m_strFilePath.GetString(), where.GetString());
    } else {
        text.Format(kUnreadable, m_app.m_strFilePath.GetString(), e.GetErrorMessage().GetString());
    }
    AfxMessageBox(text, MB_ICONEXCLAMATION);
}

// ".xlsm" books need Excel 2007 or later; an Excel that cannot be read
// (-1) or reads as 0 does not refuse.
bool CMigrationRestore::ReconcileBookFormat(int32_t nFormat) {
    const CProductPaths paths(m_env);
    if (nFormat == kFormatXlsm) {
        if (m_app.m_nExcelVersion > 0 && m_app.m_nExcelVersion < kFirstXlsmExcel) {
            AfxMessageBox(kXlsmRefused, MB_ICONSTOP);
            return false;
        }
        if (m_app.m_strBookExt == ".xls")
            return Confirm(kToXlsmQuestion) && RenameMarker(paths.XlsMarker(), paths.XlsmMarker());
        return true;
    }
    if (m_app.m_strBookExt == ".xlsm")
        return Confirm(kToXlsQuestion) && RenameMarker(paths.XlsmMarker(), paths.XlsMarker());
    return true;
}

bool CMigrationRestore::RenameMarker(const CString& strFrom, const CString& strTo) {
    if (!MoveMarker(strFrom, strTo))
        return false;
    m_strRenamedFrom = strFrom;
    m_strRenamedTo = strTo;
    return true;
}

// A marker that cannot take its old name back leaves the installation in
// the other format: the user is told, as for the rename itself.
void CMigrationRestore::UndoMarkerRename() {
    if (m_strRenamedFrom.IsEmpty())
        return;
    MoveMarker(m_strRenamedTo, m_strRenamedFrom);
    m_strRenamedFrom = m_strRenamedTo = CString();
}

// Fails on a missing marker and on an existing target alike.
bool CMigrationRestore::MoveMarker(const CString& strFrom, const CString& strTo) {
    try {
        CFile::Rename(strFrom, strTo);
    } catch (const CFileException&) {
        AfxMessageBox(kRenameFailed);
        return false;
    }
    return true;
}

// Under the wait dialog, which goes before any message.  An error half-way
// leaves the files written so far; the user learns what failed, and the
// books are not converted from half-restored data.  Once entries were read
// the record of the restore is written, whatever came of it.
bool CMigrationRestore::Extract(CWaitCursor& cursor) {
    std::unique_ptr<CWaitDlg> pWait(new CWaitDlg(0));
    std::string recordText;
    CRestoreRecord record(m_roots, CRestoreRecord::AppendTo(recordText));
    CFile file;
    CFileException openError;
    bool bOpened = false, bOurs = false;
    CString strError;
    if (!file.Open(m_app.m_strFilePath, CFile::modeRead | CFile::shareDenyNone, &openError)) {
        strError = openError.GetErrorMessage();
    } else {
        bOpened = true;
        m_context.m_pRecord = &record;
        CRunJournal journal(m_fs);
        journal.Begin(m_roots);
        m_context.m_pJournal = &journal;
        try {
            bOurs = ReadEntries(file);
            file.Close();
        } catch (const CException& e) {
            file.Abort();
            strError = e.GetErrorMessage();
        }
        m_context.m_pJournal = nullptr;
        m_context.m_pRecord = nullptr;
    }
    NoteBookRestored();
    CloseWaitDialog(pWait);
    if (bOpened && (bOurs || !strError.IsEmpty())) {
        record.Finish(strError);
        WriteRecord(recordText);
    }
    if (!strError.IsEmpty()) {
        cursor.Restore();
        ReportIncomplete(strError);
        return false;
    }
    if (!bOurs) {
        cursor.Restore();
        AfxMessageBox(kForeignFile, MB_ICONINFORMATION);
    }
    return bOurs;
}

// A record that cannot be written changes nothing of the restore's result:
// the user is told, and the boxes after it name no record.
void CMigrationRestore::WriteRecord(const std::string& strText) {
    if (m_record.Write(strText))
        return;
    CString text;
    text.Format(kRecordFailed, m_record.Failure().GetString());
    AfxMessageBox(text, MB_ICONEXCLAMATION);
}

CString CMigrationRestore::WithRecordPlace(const CString& strText) const {
    if (m_record.Path().IsEmpty())
        return strText;
    CString place;
    place.Format(kRecordPlace, m_record.Path().GetString());
    return strText + place;
}

bool CMigrationRestore::ReadEntries(CFile& file) {
    CArchive ar(&file, CArchive::load, 4096);
    CMigrationReader reader(m_context, m_roots, static_cast<int64_t>(file.GetLength()));
    return reader.Restore(ar);
}

// Set for the rest of the run: every later restore converts the books too.
// A book map that the filter let through but that could not be written is
// not restored: the older one stays, and its books need no conversion.
void CMigrationRestore::NoteBookRestored() {
    if (m_context.m_bBookMapWritten)
        m_app.m_bBookRestored = 1;
}

void CMigrationRestore::ReportIncomplete(const CString& strCause) const {
    CString text;
    text.Format(kIncomplete, m_app.m_strFilePath.GetString(), strCause.GetString());
    AfxMessageBox(WithRecordPlace(text), MB_ICONEXCLAMATION);
}

// Files that could not be written are named before the books are
// converted, so that the user learns of them whatever the conversion does,
// and the last message then does not claim a complete migration.
bool CMigrationRestore::Finish() {
    m_unwritten = CRestoreReport::Unwritten(m_context.m_skipped);
    if (!m_unwritten.empty())
        ReportUnwritten();
    CBookConversion conversion(m_env);
    if (m_app.m_bBookRestored && !conversion.Run())
        return false;
    if (m_unwritten.empty()) {
        AfxMessageBox(WithFileName(kMigrated), MB_ICONINFORMATION);
    } else {
        CString text;
        text.Format(kPartlyMigrated, m_app.m_strFilePath.GetString(),
                    static_cast<unsigned>(m_unwritten.size()));
        AfxMessageBox(text, MB_ICONEXCLAMATION);
    }
    if (m_app.m_bBookRestored)
        conversion.RemoveMarker();
    return m_unwritten.empty();
}

void CMigrationRestore::ReportUnwritten() const {
    CString text;
    text.Format(kUnwritten, m_app.m_strFilePath.GetString(),
                static_cast<unsigned>(m_unwritten.size()),
                CRestoreReport::NameLines(m_unwritten, m_roots).GetString());
    AfxMessageBox(WithRecordPlace(text), MB_ICONEXCLAMATION);
}

bool CTessaroApp::RestoreMigrationFile() {
    return CMigrationRestore(*this).Run();
}
