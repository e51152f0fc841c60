#pragma once
#include "IconReader.h"
#include "Process.h"
#include "TempDir.h"
#include "WindowFinder.h"

#include <functional>

#include <string>
#include <vector>

// One run of Quimbex.exe to its end: every message box it shows is noted
// (caption, text with "\n" breaks, icon) and answered with its default
// button; every other visible top-level window it shows is noted by class
// and caption.
struct QuimbexRun {
    struct Box {
        std::string caption;
        std::string text;
        uidriver::IconKind icon;
    };
    std::vector<Box> boxes;
    std::vector<std::string> otherWindows; // "<class>|<caption>", each once
    unsigned long exitCode = 0;
    std::string stdoutText;
};

// Runs the program to its end (at most timeoutMs); a screenshot of the
// first message box goes to the test output folder as <shotName>.bmp when
// shotName is given.  everyPoll, when given, is called with the program's
// windows about every 20 ms while it runs.
QuimbexRun RunToEnd(const uidriver::StartInfo& start, unsigned long timeoutMs = 120000,
                    const char* shotName = nullptr,
                    const std::function<void(const uidriver::WindowFinder&)>& everyPoll = {});

// For a program driven through its dialogs: waits for its next message box,
// notes it, and presses `button` (a text such as "いいえ", or the default
// button when null).  Throws uidriver::Error at the deadline.
QuimbexRun::Box AnswerNextBox(const uidriver::WindowFinder& windows, const char* button = nullptr,
                              unsigned long timeoutMs = 60000);
// Answers every further message box with its default button until the
// program ends, and fills in the exit code and standard output.
void FinishRun(uidriver::Process& process, QuimbexRun& run, unsigned long timeoutMs = 120000);

// Runs the program to its end, pressing OK in its dialog of this caption
// (none when null) once it shows, and answering every message box.
QuimbexRun RunPressingOk(const uidriver::StartInfo& start, const char* dialog);
