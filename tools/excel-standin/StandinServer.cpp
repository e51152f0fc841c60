#include "StandinServer.h"

#include "BusyFilter.h"
#include "ClassFactory.h"
#include "ExcelStandinControl.h"
#include "OleOwners_win.h"
#include "ServerLog.h"
#include "TimingLog.h"

#include <objbase.h>

LONG CStandinServer::s_nHolds = 0;

// Everything runs on the one apartment thread, so a plain count will do.
void CStandinServer::Hold() {
    ++s_nHolds;
}

void CStandinServer::Unhold() {
    if (--s_nHolds == 0)
        ::PostQuitMessage(0);
}

// The client finds Excel by this window's class; it is never shown.
HWND CStandinServer::CreateMainWindow(HINSTANCE hInstance) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = hInstance;
    wc.lpszClassName = ExcelStandin::kWindowClass;
    if (!::RegisterClassA(&wc))
        return nullptr;
    return ::CreateWindowA(ExcelStandin::kWindowClass, "Excel stand-in", WS_OVERLAPPEDWINDOW,
                           CW_USEDEFAULT, CW_USEDEFAULT, 400, 300, nullptr, nullptr, hInstance,
                           nullptr);
}

int CStandinServer::Run(HINSTANCE hInstance) {
    CTimingLog::Start();
    const CComInitialization com(COINIT_APARTMENTTHREADED);
    if (!com)
        return 1;
    const bool bServed = Serve(hInstance);
    LogEvent("Exit");
    CTimingLog::Finish();
    ::CoRegisterMessageFilter(nullptr, nullptr);
    return bServed ? 0 : 1;
}

// REGCLS_SINGLEUSE: once an application object has been made, COM starts a
// new process for the next client, as it does with real Excel.  The class
// object is revoked and the window destroyed before the exit is logged.
bool CStandinServer::Serve(HINSTANCE hInstance) {
    const CWindowHandle window(CreateMainWindow(hInstance));
    LogEvent("Start");
    static CBusyFilter filter;
    ::CoRegisterMessageFilter(&filter, nullptr);
    static CClassFactory factory;
    const CClassObjectRegistration registration(ExcelStandin::kClsid, &factory, CLSCTX_LOCAL_SERVER,
                                                REGCLS_SINGLEUSE);
    if (!window || !registration) {
        CString what;
        what.Format("server start failed: window %p, CoRegisterClassObject 0x%08lX",
                    static_cast<void*>(window.Get()),
                    static_cast<unsigned long>(registration.Result()));
        LogUnexpected(what);
        return false;
    }
    CTimingLog::Ready();
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return true;
}
