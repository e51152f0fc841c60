#pragma once
#include "DialogWindow.h"
#include "HeldFiles.h"
#include "IconReader.h"
#include "ProductFixture.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

extern const char kTessaroCaption[]; // the caption of every message box
extern const char kMainDialogCaption[];
extern const int kCreateButton;  // "作成"
extern const int kRestoreButton; // "復元"

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
    CString AppTmpPath() const { return MyDataDir() + "\\App.tmp"; }
    // Quimbex and the libraries in the product's Exe folder, where Tessaro
    // starts it after a restore.
    void CopyProgramsIntoProduct() const;
};

// A message box that a test expects next: its text, icon and caption, and
// the button to press (null: the default one).  With a shot name, the box
// is saved to the test output first.
struct ExpectedBox {
    std::string text;
    uidriver::IconKind icon;
    const char* press = nullptr;
    std::string caption = kTessaroCaption;
    const char* shot = nullptr;
};
// Answers the program's next message boxes in turn, checking each.
void AnswerBoxes(const uidriver::Process& process, const std::vector<ExpectedBox>& boxes);
// Presses a button of the main dialog and answers its open or save dialog
// with `path`.
void ChooseFile(const uidriver::Process& process, const uidriver::DialogWindow& dlg, int button,
                const CString& path);
// Closes the main dialog and expects no further box before the program ends.
void CloseExpectingNoMoreBoxes(uidriver::Process& process, const uidriver::DialogWindow& dlg);
bool IsHidden(const CString& path);
// The last-write time of a file, to show that it was left alone.
ULONGLONG WriteTime(const CString& path);

// Saves the window's rectangle of the screen as <test output>\<name>.bmp
// once the program has painted it (two captures in a row alike).
void SaveWindowShot(HWND hwnd, const std::string& name);

// The record of a restore of the migration file `title` (its name without
// extension) in `folder`, once it is there; Tessaro writes it before its
// boxes name it.
CString WaitForRecord(const CString& folder, const std::string& title);

// A named mutex created by this process; `sddl` its security, or none.
Holding HoldMutex(const char* name, const char* sddl = nullptr);
