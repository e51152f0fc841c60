#include "WinApp_win.h"

#include "Wnd_win.h"

namespace {
CWinApp* g_pModuleApp = nullptr;
}

// Our DLLs carry their own copy of the framework; they find the program's
// application object through this export of the program.
extern "C" __declspec(dllexport) CWinApp* FwProcessApp() {
    return g_pModuleApp;
}

CWinApp::CWinApp(const char* pszAppName) : m_pszAppName(pszAppName) {
    g_pModuleApp = this;
}

CWinApp::~CWinApp() {
    if (g_pModuleApp == this)
        g_pModuleApp = nullptr;
}

CWinApp* AfxGetApp() {
    if (g_pModuleApp)
        return g_pModuleApp;
    using Getter = CWinApp* (*)();
    auto getter = reinterpret_cast<Getter>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA(nullptr), "FwProcessApp")));
    return getter ? getter() : nullptr;
}

int AfxMessageBox(const char* pszText, UINT nType, UINT) {
    if ((nType & MB_ICONMASK) == 0)
        nType |= MB_ICONEXCLAMATION;
    CWinApp* app = AfxGetApp();
    const char* caption = app && app->m_pszAppName ? app->m_pszAppName : "";
    return ::MessageBoxA(CWnd::GetSafeOwner(nullptr), pszText, caption, nType);
}

int AfxWinMain(const char* pszCmdLine) {
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_lpCmdLine = pszCmdLine ? pszCmdLine : "";
    if (!app->m_pszAppName)
        app->m_pszAppName = "";
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}
