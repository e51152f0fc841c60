#pragma once
#include "StandinFaults.h"
#include "String.h"

#include <windows.h>

#include <vector>

// Control of the Excel stand-in, for the tests and the stand-in itself: its
// registration as "Excel.Application", its control folder (call log and
// faults) and the end of servers left running.  Functions that return bool
// leave the Win32 error code in GetLastError when they fail.
namespace ExcelStandin {

extern const CLSID kClsid;
extern const char kClsidText[];
extern const char kProgId[];      // "Excel.Application"
extern const char kWindowClass[]; // "XLMAIN"
extern const char kExeName[];     // "ExcelStandin.exe"

// Registration below HKLM\Software\Classes (Wine reads no other classes).
bool Register(const char* exePath, int version = 16);
bool Unregister();
bool SetCurVer(int version);
bool RemoveCurVer();
// The default value of Excel.Application\CurVer; "" when there is none.
CString ReadCurVer();
// ExcelStandin.exe in the folder of the module (program or DLL) that holds
// address, by default this library's user.
CString ServerPathBeside(const void* address = nullptr);

// The control folder: ControlDir below HKLM\SOFTWARE\QZTest\ExcelStandin,
// else C:\excel-standin.  Setting it creates the folder.
CString ControlDir();
bool SetControlDir(const char* dir);
bool RemoveControlDir();

// faults.ini in the control folder; no faults removes the file.
bool WriteFaults(const CStandinFaults& faults);
bool ClearFaults();
// The faults in force; errors gets one line per line not understood.
CStandinFaults ReadFaults(std::vector<CString>* errors = nullptr);

// One line of calls.log: the server's process id and the rest of the line.
struct LogLine {
    DWORD pid;
    CString text;
};
std::vector<LogLine> ReadLog();
bool ClearLog();
// Appends "<this process id>\t<text>" as one line.
bool AppendLog(const CString& text);

// Ends every stand-in server that is still running (found by its XLMAIN
// window); returns how many were ended.
int KillStrayServers();

} // namespace ExcelStandin
