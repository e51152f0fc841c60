#include "QuimbexApp_win.h"

#include "BookOperator_win.h"
#include "DornEnv.h"
#include "Ole_win.h"
#include "RunGuard_win.h"
#include "RunOutcome.h"

#include <commctrl.h>

#include <new>

CQuimbexApp theApp;

CQuimbexApp::CQuimbexApp() : CWinApp("Quimbex") {}

CQuimbexApp::~CQuimbexApp() = default;

// The whole run.  Always FALSE: the process ends afterwards.
BOOL CQuimbexApp::InitInstance() {
    if (!AfxOleInit()) {
        AfxMessageBox("初期化に失敗");
        CRunOutcome::NoteFailed();
        return FALSE;
    }
    // Excel may be busy in a macro for a long time: no dialog may ask the
    // user about it.
    if (COleMessageFilter* filter = AfxOleGetMessageFilter()) {
        filter->EnableBusyDialog(FALSE);
        filter->EnableNotRespondingDialog(FALSE);
        filter->SetMessagePendingDelay(10000);
    }
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_ANIMATE_CLASS};
    ::InitCommonControlsEx(&icc);

    try {
        RunCommand();
    } catch (const CException&) {
        AfxMessageBox("処理を中断しました。");
        CRunOutcome::NoteFailed();
    } catch (const std::bad_alloc&) {
        AfxMessageBox("処理を中断しました。");
        CRunOutcome::NoteFailed();
    }
    return FALSE;
}

// The exit code: 1 when the command failed or stopped on an error, 0 when
// it did its work, had nothing to do or the user declined it.
int CQuimbexApp::ExitInstance() {
    return CRunOutcome::ExitCode();
}

void CQuimbexApp::RunCommand() {
    CBookOperator op;
    CDornEnv env;
    op.m_strProductDir = env.m_strInstallDir;
    op.m_strBookExt = env.m_strExcelExt;
    op.ReadExcelVersion();
    if (!ParseSwitches())
        return;
    CRunGuard guard;
    if (!guard.Take()) {
        AfxMessageBox("他のExcelブックの処理が実行中です。\n"
                      "その処理が終了してから、もう一度実行してください。",
                      MB_OK | MB_ICONEXCLAMATION);
        CRunOutcome::NoteFailed();
        return;
    }
    CommandSwitches sw;
    sw.nCommand = m_nCommand;
    sw.strArgO = m_strArgO;
    sw.strArgN = m_strArgN;
    CommandPlan plan;
    if (!PlanCommand(sw, op.m_strProductDir, op.m_strBookExt, plan)) {
        AfxMessageBox("ﾊﾟﾗﾒｰﾀが不正です。");
        CRunOutcome::NoteFailed();
        return;
    }
    op.Execute(plan);
}

int CQuimbexApp::ParseSwitches() {
    CommandSwitches sw;
    const bool any = ParseCommandSwitches(m_lpCmdLine, sw);
    m_nCommand = sw.nCommand;
    m_strArgO = sw.strArgO;
    m_strArgN = sw.strArgN;
    return any ? 1 : 0;
}
