#pragma once
#include "WinApp_win.h"

#include <cstdint>

// The program: one maintenance command per start, chosen by the switches.
class CQuimbexApp : public CWinApp {
public:
    CQuimbexApp();
    ~CQuimbexApp() override;
    BOOL InitInstance() override;
    int ExitInstance() override;
    int ParseSwitches();

    int32_t m_nCommand = 0;
    CString m_strArgO;
    CString m_strArgN;

private:
    void RunCommand();
};
