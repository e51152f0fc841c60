// Start of DORNMSG.dll.  The library links its own copy of the framework,
// which loads the wait dialog's template and clips from the library itself
// (see ResourceModule_win.h): there is nothing to register.
#include "Win_win.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
    if (dwReason == DLL_PROCESS_ATTACH)
        ::DisableThreadLibraryCalls(hInstance);
    return TRUE;
}
