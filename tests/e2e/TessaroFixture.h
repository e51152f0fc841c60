#pragma once
#include "DialogWindow.h"
#include "ProductFixture.h"

#include <windows.h>

#include <memory>
#include <string>

extern const char kTessaroCaption[]; // the caption of every message box
extern const char kMainDialogCaption[];
extern const char kNotAvailable[];

// Tessaro.exe of the build on the sample product of ProductFixture.
class TessaroFixture : public ProductFixture {
protected:
    // Starts Tessaro.exe with the command line "<exe> tail".
    static uidriver::StartInfo TessaroStart(const std::string& tail = "");
    static uidriver::DialogWindow WaitForMainDialog(const uidriver::Process& process);
    // Presses "閉じる"; the program then ends with 0.
    static void CloseMainDialog(const uidriver::Process& process,
                                const uidriver::DialogWindow& dlg);

    CString AcckPath() const { return MyDataDir() + "\\acck.sys"; }
};

// Saves the window's rectangle of the screen as <test output>\<name>.bmp
// once the program has painted it (two captures in a row alike).
void SaveWindowShot(HWND hwnd, const std::string& name);

// Something a test holds while Tessaro starts (a handle, a changed file),
// given back when it goes.
using Holding = std::shared_ptr<void>;
Holding HoldHandle(HANDLE handle);
// A named mutex created by this process; `sddl` its security, or none.
Holding HoldMutex(const char* name, const char* sddl = nullptr);
// The file refuses to be opened for writing, by anyone, until given back.
Holding HoldReadOnly(const CString& path);
