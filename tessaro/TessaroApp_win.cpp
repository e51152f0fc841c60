#include "TessaroApp_win.h"

#include "DornEnv.h"
#include "File_win.h"
#include "ProductPaths.h"
#include "TessaroDlg_win.h"
#include "TessaroSwitches.h"

#include <commctrl.h>

#include <exception>

CTessaroApp theApp;

namespace {

const char kLocalMutex[] = "hKyuyo";
const char kGlobalMutex[] = "Global\\hKyuyo";

// The global namespace of mutexes exists from NT 5.1 on.  Comparing major and
// minor numbers orders every version exactly as reading "%d.%d" as a decimal
// number and comparing it with 5.1 does.
bool HasGlobalNamespace(const OSVERSIONINFOA& vi) {
    return vi.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           (vi.dwMajorVersion > 5 || (vi.dwMajorVersion == 5 && vi.dwMinorVersion >= 1));
}

void ShowProductMessage(const char* pszFormat, const CString& strProductName, UINT nType) {
    CString text;
    text.Format(pszFormat, strProductName.GetString(), strProductName.GetString());
    AfxMessageBox(text, nType);
}

} // namespace

CTessaroApp::CTessaroApp() : CWinApp("Tessaro") {}

// Always FALSE: the program ends when the dialog or the backup is done, or
// after the message of the first check that fails.
BOOL CTessaroApp::InitInstance() {
    CDornEnv env;
    if (env.m_nInstalled == 0) {
        AfxMessageBox("「Morvane 8」がインストールされていません。", MB_ICONEXCLAMATION);
        return FALSE;
    }
    OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
    ::GetVersionExA(&vi);
    if (vi.dwPlatformId == VER_PLATFORM_WIN32_NT && !CheckWritePermission())
        return FALSE;
    if (!TakeLocalMutex(env.m_strProductName))
        return FALSE;
    if (HasGlobalNamespace(vi) && !TakeGlobalMutex(env.m_strProductName))
        return FALSE;
    SetRootDirectories();
    // The wait dialog of the long work needs the animation control.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_ANIMATE_CLASS};
    ::InitCommonControlsEx(&icc);
    m_strBookExt = env.m_strExcelExt;
    ParseSwitches();
    if (m_nCommand == kBackupCommand)
        RunBackup();
    else
        RunMainDialog();
    return FALSE;
}

int CTessaroApp::ExitInstance() {
    if (m_bMutexCreated)
        m_hMutex.Close();
    m_bMutexCreated = false;
    return CWinApp::ExitInstance();
}

// A second start of this user's, or the product's main program, holds the
// local mutex.  Two starts at the same moment can both miss it when they
// look; the one whose creation finds it already there gives way too.
bool CTessaroApp::TakeLocalMutex(const CString& strProductName) {
    const char* const format = "「%s」または\n「%s データ移行ツール」\nが既に起動しています。";
    if (const CHandle hOther{::OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kLocalMutex)}) {
        ShowProductMessage(format, strProductName, MB_ICONEXCLAMATION);
        return false;
    }
    ::SetLastError(ERROR_SUCCESS);
    m_hMutex.Attach(::CreateMutexA(nullptr, FALSE, kLocalMutex));
    m_bMutexCreated = static_cast<bool>(m_hMutex);
    if (m_bMutexCreated && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        ShowProductMessage(format, strProductName, MB_ICONEXCLAMATION);
        ReleaseMutexes();
        return false;
    }
    return true;
}

// Another user logged on at the same time holds the global mutex with a
// DACL that refuses us; an existing one of our own is no obstacle.
bool CTessaroApp::TakeGlobalMutex(const CString& strProductName) {
    m_hGlobalMutex.Attach(::CreateMutexA(nullptr, FALSE, kGlobalMutex));
    if (m_hGlobalMutex || ::GetLastError() != ERROR_ACCESS_DENIED)
        return true;
    ShowProductMessage("他のユーザーが「%s」または\n「%s データ移行ツール」を使用しています。\n"
                       "そのユーザーがアプリケーションを終了してからご利用ください。",
                       strProductName, MB_ICONEXCLAMATION);
    ReleaseMutexes();
    return false;
}

void CTessaroApp::ReleaseMutexes() {
    if (m_hGlobalMutex) {
        ::ReleaseMutex(m_hGlobalMutex.Get());
        m_hGlobalMutex.Close();
    }
    if (m_bMutexCreated) {
        ::ReleaseMutex(m_hMutex.Get());
        m_hMutex.Close();
        m_bMutexCreated = false;
    }
}

// Opened for writing without sharing, neither created nor emptied: the
// probe tells whether this user may write in the product's data at all.
// Both boxes ask for no icon; the framework's box adds its exclamation mark.
bool CTessaroApp::CheckWritePermission() {
    CDornEnv env;
    const CString path = CProductPaths(env).WriteProbe();
    CString text;
    CFileStatus status;
    if (!CFile::GetStatus(path, status)) {
        text.Format("ファイルが見つからないため「%s　移行ツール」を起動できません",
                    env.m_strProductName.GetString());
        AfxMessageBox(text);
        return false;
    }
    CFile probe;
    if (!probe.Open(path, CFile::modeWrite | CFile::shareExclusive)) {
        text.Format("ファイルの書き込み権限がないため「%s　移行ツール」は使えません。\n"
                    "制限ユーザーに設定されている場合は権限を変更してご利用ください。",
                    env.m_strProductName.GetString());
        AfxMessageBox(text);
        return false;
    }
    probe.Close();
    return true;
}

void CTessaroApp::ParseSwitches() {
    ParseTessaroSwitches(m_lpCmdLine, m_nCommand);
}

// An exception that ends the dialog (a handler's file or memory error) gets
// the framework's report before the program ends.
void CTessaroApp::RunMainDialog() {
    CTessaroDlg dlg;
    m_pMainWnd = &dlg;
    try {
        dlg.DoModal();
    } catch (...) {
        AfxReportWndProcException(std::current_exception());
    }
    m_pMainWnd = nullptr;
}
