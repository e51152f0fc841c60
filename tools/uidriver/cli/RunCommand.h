#pragma once
#include "CliOptions.h"
#include "MsgBox.h"
#include "Process.h"

#include <cstdio>
#include <iterator>
#include <set>

// "uidriver.exe run": starts the program, reports every window it shows
// (one line each), answers its message boxes, and reports its exit code.
class RunCommand {
public:
    RunCommand(const CliOptions& options, FILE* out);
    // 0 when the program ended by itself, 3 when it was ended at the timeout.
    int Run();

private:
    void ReportNewWindows(const uidriver::Process& process);
    std::vector<uidriver::WindowInfo> WatchedWindows(const uidriver::Process& process) const;
    void TakeDialogSteps();
    void ReportUnlessGone(const uidriver::WindowInfo& window);
    void ReportWindow(const uidriver::WindowInfo& window);
    void AnswerMsgBox(const uidriver::MsgBox& box);
    void ReportDialog(HWND hwnd);
    std::string Screenshot(HWND hwnd, const char* kind);
    int ChooseButton(const uidriver::MsgBox& box, std::string& note);
    void Print(const std::string& line);

    CliOptions m_options;
    FILE* m_out;
    std::set<HWND> m_reported;
    size_t m_nextPress = 0;
    int m_boxesAnswered = 0;
    DialogSteps m_steps;
    int m_screenshots = 0;
};
