#pragma once
#include "Win.h"

// The module that templates, strings and clips are loaded from.  A library
// with resources of its own switches to itself while it creates its windows.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstance);

// Adds a library to the modules searched after the current one.
void AfxRegisterResourceModule(HINSTANCE hInstance);
// The first module, current one first, that holds the resource.
HINSTANCE AfxFindResourceHandle(const char* pszName, const char* pszType);

// Switches the current resource module for one scope.
class CResourceModuleSwitch {
public:
    explicit CResourceModuleSwitch(HINSTANCE hInstance) : m_hPrevious(AfxGetResourceHandle()) {
        AfxSetResourceHandle(hInstance);
    }
    ~CResourceModuleSwitch() { AfxSetResourceHandle(m_hPrevious); }
    CResourceModuleSwitch(const CResourceModuleSwitch&) = delete;
    CResourceModuleSwitch& operator=(const CResourceModuleSwitch&) = delete;

private:
    HINSTANCE m_hPrevious;
};
