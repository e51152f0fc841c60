#include "PendingWork.h"

#include "TessaroDlg.h"
#include "WinApp.h"

// The migration file engine is wired in with the create and restore work;
// until then the handlers say so plainly and pretend nothing.

void ReportNotAvailable() {
    AfxMessageBox("この処理は、このバージョンではまだ使用できません。");
}

LRESULT CTessaroDlg::OnDoCreateFile() {
    ReportNotAvailable();
    return 0;
}

LRESULT CTessaroDlg::OnDoRestoreFile() {
    ReportNotAvailable();
    return 0;
}
