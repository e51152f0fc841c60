#include "ResourceModule.h"

#include <vector>

namespace {
HINSTANCE g_hCurrent = nullptr;
std::vector<HINSTANCE>& Chain() {
    static std::vector<HINSTANCE> chain;
    return chain;
}
} // namespace

HINSTANCE AfxGetResourceHandle() {
    return g_hCurrent ? g_hCurrent : ::GetModuleHandleA(nullptr);
}

void AfxSetResourceHandle(HINSTANCE hInstance) {
    g_hCurrent = hInstance;
}

void AfxRegisterResourceModule(HINSTANCE hInstance) {
    Chain().push_back(hInstance);
}

HINSTANCE AfxFindResourceHandle(const char* pszName, const char* pszType) {
    const HINSTANCE current = AfxGetResourceHandle();
    if (::FindResourceA(current, pszName, pszType))
        return current;
    for (HINSTANCE h : Chain())
        if (::FindResourceA(h, pszName, pszType))
            return h;
    return current;
}
