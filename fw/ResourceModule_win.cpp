#include "ResourceModule_win.h"

// The module is found from an address inside this very function, which lies
// in whatever module this copy of the framework was linked into.
HINSTANCE AfxGetResourceHandle() {
    static HINSTANCE module = [] {
        HMODULE h = nullptr;
        ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                 GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                             reinterpret_cast<LPCSTR>(&AfxGetResourceHandle), &h);
        return h ? h : ::GetModuleHandleA(nullptr);
    }();
    return module;
}
