#pragma once
#include "String.h"

#include "Win_win.h"

class CWnd;

// The application object: one global instance per program.  The framework's
// WinMain hands it the command-line tail and calls InitInstance; a FALSE
// result ends the process through ExitInstance.
class CWinApp {
public:
    explicit CWinApp(const char* pszAppName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }
    virtual int Run() { return ExitInstance(); }

    const char* m_pszAppName;
    const char* m_lpCmdLine = "";
    CWnd* m_pMainWnd = nullptr;
};

// The program's application object; also found from inside our DLLs.
CWinApp* AfxGetApp();

// The framework's message box: the program's name as caption, the
// exclamation icon when the type asks for none.
int AfxMessageBox(const char* pszText, UINT nType = MB_OK, UINT nIDHelp = 0);

// Runs the application object; the framework's WinMain calls it.
int AfxWinMain(const char* pszCmdLine);
