#include "TessaroApp_win.h"

#include "DornEnv.h"
#include "LeftOutReport.h"
#include "MigrationWriter.h"
#include "RunJournal.h"
#include "WaitCursor_win.h"
#include "WaitDlg.h"
#include "Win32FileSystem.h"

#include <memory>

// The format code of the file follows the books of this computer as the
// environment reports them now.  The file is written beside the chosen one
// and put in its place only when complete: a write that fails (a full disk,
// a file that cannot be read) leaves whatever was there and no cut file.
// m_strWriteError then holds the cause; it stays empty when none of the
// items exists and nothing was written.  A file written without some of
// the installation's files (a name without a code page 932 form, a file
// that cannot be read, one that changed while it was copied, a folder that
// cannot be listed) is no whole migration either: they are in m_leftOut,
// and the result is false.
bool CTessaroApp::WriteMigrationFile() {
    m_strWriteError.Empty();
    m_leftOut.clear();
    std::unique_ptr<CWaitDlg> pWait(new CWaitDlg(0));
    CWaitCursor cursor;
    CWin32FileSystem fs;
    CMigrationContext context(fs, CDornEnv().m_strExcelExt);
    const CMigrationRoots roots(m_astrRoots[0], m_astrRoots[1], m_astrRoots[2]);
    CMigrationWriter writer(context, roots);
    bool bWritten = false;
    if (writer.BuildList()) {
        CRunJournal journal(fs);
        journal.Begin(roots);
        context.m_pJournal = &journal;
        try {
            bWritten = writer.WriteFile(m_strFilePath);
            if (!bWritten)
                m_strWriteError = writer.m_strError;
        } catch (const CException& e) {
            m_strWriteError = e.GetErrorMessage();
        }
        context.m_pJournal = nullptr;
    }
    pWait->DestroyWindow();
    if (bWritten)
        m_leftOut = context.m_skipped;
    return bWritten && m_leftOut.empty();
}

// The way's own failure message, with the cause when there is one.
CString CTessaroApp::WithWriteError(const CString& strMessage) const {
    if (m_strWriteError.IsEmpty())
        return strMessage;
    return strMessage + "\n\n" + m_strWriteError;
}

CString CTessaroApp::LeftOutText(const char* pszFormat) const {
    CString text;
    text.Format(pszFormat, m_strFilePath.GetString(), static_cast<unsigned>(m_leftOut.size()),
                CLeftOutReport::NameLines(
                    m_leftOut, CMigrationRoots(m_astrRoots[0], m_astrRoots[1], m_astrRoots[2]))
                    .GetString());
    return text;
}
