// Start of DORNMSG.dll: it records its own instance and joins the
// framework's chain of resource modules, so that the wait dialog's template
// and clips are found however the calling program has set its own module.
#include "DornMsgModule.h"
#include "ResourceModule.h"

namespace {
HINSTANCE g_hInstance = nullptr;
}

HINSTANCE DornMsgInstance() {
    return g_hInstance;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
    if (dwReason == DLL_PROCESS_ATTACH) {
        g_hInstance = hInstance;
        ::DisableThreadLibraryCalls(hInstance);
        AfxRegisterResourceModule(hInstance);
    }
    return TRUE;
}
