#include "BookOperator_win.h"

#include "BookFiles.h"
#include "File_win.h"
#include "FormatChangeDlg_win.h"
#include "FormatChangeRun.h"
#include "RunOutcome.h"
#include "WaitDlg.h"
#include "WinApp_win.h"

// Command 11: Excel 2007 or later is needed in both directions.
int CBookOperator::ChangeBookFormat(const CString& workFile) {
    if (m_nExcelVersion < 12) {
        const char* text =
            m_nExcelVersion == -1
                ? "ﾌｧｲﾙ形式の変換を行うには、Microsoft Excelがｲﾝｽﾄｰﾙされている必要があります"
                : "ﾌｧｲﾙ形式の変換を行うには、Microsoft "
                  "Excel(2007以上)がｲﾝｽﾄｰﾙされている必要があります";
        ::MessageBoxA(nullptr, text, "ﾌｧｲﾙ形式の変換", MB_OK | MB_ICONINFORMATION);
        CRunOutcome::NoteFailed();
        return 2;
    }
    CFormatChangeDlg dlg(workFile);
    return static_cast<int>(dlg.DoModal());
}

// Every book changes to the other format, the book list takes the new
// names and the marker the new format, or nothing stays changed: 1 after
// the whole change, 0 after a failure whose books were put back (told
// here, once the wait dialog has gone), 2 when the run did not begin.
int CBookOperator::SwitchAllBooksFormat(const CString& workFile) {
    CWaitDlg wait(0);
    CFormatChangeRun run(*this, workFile);
    const CFormatChangeRun::Outcome outcome = run.Execute(wait);
    wait.DestroyWindow();
    if (outcome == CFormatChangeRun::failed)
        AfxMessageBox(run.FailureText());
    return outcome;
}

// The marker of the current format takes the other one's name.  A missing
// marker is only noted on standard output.
int CBookOperator::SwitchFormatMarker(const CString& productDir, const CString& ext) {
    CString from, to;
    CFormatChangeRun::MarkerNames(productDir, ext, from, to);
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
