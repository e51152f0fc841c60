#include "BookConversion_win.h"

#include "DornEnv.h"
#include "File_win.h"
#include "ProductPaths.h"
#include "ScopedHandle_win.h"
#include "WinApp_win.h"

CBookConversion::CBookConversion(const CDornEnv& env)
    : m_strExe(CProductPaths(env).QuimbexProgram()),
      m_strMarker(CProductPaths(env).ConversionDone()) {}

// A marker left by an earlier conversion (the product's own "/K:9" creates
// it too, and only a restore ever deletes it) would make a failed run look
// like a success, so it goes before Quimbex starts.
bool CBookConversion::Run() {
    ::DeleteFileA(m_strMarker);
    PROCESS_INFORMATION pi{};
    if (!Start(pi)) {
        AfxMessageBox(m_strExe + "を起動できません", MB_ICONEXCLAMATION);
        return false;
    }
    const CProcessHandles handles(pi);
    WaitForEnd(pi);
    if (Succeeded())
        return true;
    ::MessageBoxA(nullptr,
                  "Excelブックのコンバートに失敗しました。パソコンを再起動し、各ブックの初期化を"
                  "行ってください。",
                  "データコンバート", MB_ICONEXCLAMATION);
    return false;
}

// The command line begins with a blank: Quimbex's tail is then "/K:12".
bool CBookConversion::Start(PROCESS_INFORMATION& pi) {
    char commandLine[] = " /K:12";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    return ::CreateProcessA(m_strExe, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &si, &pi) != FALSE;
}

// No time limit: the conversion of many books takes long, and the outcome
// is only known once Quimbex has ended.
void CBookConversion::WaitForEnd(const PROCESS_INFORMATION& pi) {
    if (::WaitForSingleObject(pi.hProcess, INFINITE) != WAIT_OBJECT_0)
        AfxMessageBox("ERROR：WaitForSingleObject");
}

bool CBookConversion::Succeeded() const {
    CFileStatus status;
    return CFile::GetStatus(m_strMarker, status) != FALSE;
}

void CBookConversion::RemoveMarker() {
    CFileStatus status;
    if (CFile::GetStatus(m_strMarker, status))
        ::DeleteFileA(m_strMarker);
}
