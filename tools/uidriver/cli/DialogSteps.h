#pragma once
#include <windows.h>

#include <set>
#include <string>
#include <vector>

// An action of "uidriver.exe run" on a dialog of the program, taken in the
// order given once its moment has come:
//   --click CAPTION=ID     clicks button ID of the dialog with that caption
//                          once the dialog takes input (no box above it);
//   --file CAPTION=PATH    types PATH into the open or save dialog with that
//                          caption and presses OK;
//   --select CAPTION=ID:TEXT  picks the item TEXT of list or combo box ID;
//   --syscommand CAPTION=ID   chooses the system-menu command ID;
//   --after-boxes N        waits until N message boxes have been answered.
struct DialogStep {
    enum Kind { click, file, select, sysCommand, afterBoxes };
    Kind kind = click;
    std::string caption;
    std::string path; // the file of file, the item of select
    int number = 0;   // the control or command, the count of afterBoxes
};

// The step of `option` with `value`; throws uidriver::Error when the option
// is none of the five or the value does not fit it.
DialogStep ParseDialogStep(const std::string& option, const std::string& value);
bool IsDialogStepOption(const std::string& option);

class DialogSteps {
public:
    explicit DialogSteps(std::vector<DialogStep> steps) : m_steps(std::move(steps)) {}
    // Takes the next step when its window is among `reported` (so it has
    // been reported and shot first) or when enough boxes were answered.
    // Returns the report line of the action, or "" when nothing was done.
    std::string TakeNext(const std::set<HWND>& reported, int boxesAnswered);
    bool Done() const { return m_next >= m_steps.size(); }

private:
    HWND FindDialog(const std::set<HWND>& reported, const std::string& caption) const;
    std::string Click(HWND dialog, const DialogStep& step) const;
    std::string ChooseFile(HWND dialog, const DialogStep& step) const;
    std::string Select(HWND dialog, const DialogStep& step) const;
    std::string SysCommand(HWND dialog, const DialogStep& step) const;

    std::vector<DialogStep> m_steps;
    size_t m_next = 0;
};
