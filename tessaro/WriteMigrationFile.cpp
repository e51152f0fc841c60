#include "TessaroApp.h"

#include "DornEnv.h"
#include "MigrationWriter.h"
#include "WaitCursor.h"
#include "WaitDlg.h"
#include "Win32FileSystem.h"

#include <memory>

// The format code of the file follows the books of this computer as the
// environment reports them now.  The file is written beside the chosen one
// and put in its place only when complete: a write that fails (a full disk,
// a file that cannot be read) leaves whatever was there and no cut file.
// m_strWriteError then holds the cause; it stays empty when none of the
// items exists and nothing was written.
bool CTessaroApp::WriteMigrationFile() {
    m_strWriteError.Empty();
    std::unique_ptr<CWaitDlg> pWait(new CWaitDlg(0));
    CWaitCursor cursor;
    CWin32FileSystem fs;
    CMigrationContext context(fs, CDornEnv().m_strExcelExt);
    CMigrationWriter writer(context,
                            CMigrationRoots(m_astrRoots[0], m_astrRoots[1], m_astrRoots[2]));
    bool bWritten = false;
    if (writer.BuildList()) {
        try {
            bWritten = writer.WriteFile(m_strFilePath);
            if (!bWritten)
                m_strWriteError = writer.m_strError;
        } catch (const CException& e) {
            m_strWriteError = e.GetErrorMessage();
        }
    }
    pWait->DestroyWindow();
    return bWritten;
}

// The way's own failure message, with the cause when there is one.
CString CTessaroApp::WithWriteError(const CString& strMessage) const {
    if (m_strWriteError.IsEmpty())
        return strMessage;
    return strMessage + "\n\n" + m_strWriteError;
}
