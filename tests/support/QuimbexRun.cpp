#include "QuimbexRun.h"

#include "DialogWindow.h"
#include "Error.h"
#include "MsgBox.h"
#include "MsgBoxAnswerer.h"
#include "Screenshot.h"
#include "TempDir.h"
#include "WindowFinder.h"

#include <windows.h>

#include <algorithm>

namespace {

void NoteOtherWindows(const uidriver::WindowFinder& windows, QuimbexRun& run) {
    for (const uidriver::WindowInfo& w : windows.List()) {
        if (!w.visible || uidriver::MsgBox::IsMsgBox(w.hwnd))
            continue;
        const std::string name = w.className + "|" + w.caption;
        if (std::find(run.otherWindows.begin(), run.otherWindows.end(), name) ==
            run.otherWindows.end())
            run.otherWindows.push_back(name);
    }
}

uidriver::WindowQuery MsgBoxQuery() {
    uidriver::WindowQuery query;
    query.className = "#32770";
    query.accept = [](HWND hwnd) { return uidriver::MsgBox::IsMsgBox(hwnd); };
    return query;
}

QuimbexRun::Box Answer(const uidriver::WindowFinder& windows, HWND hwnd, const char* button) {
    const uidriver::MsgBox box(hwnd);
    QuimbexRun::Box seen{box.Caption(), NormaliseLineBreaks(box.Text()), box.Icon()};
    if (button) {
        box.Press(std::string(button));
    } else {
        const int id = box.DefaultButton();
        box.Press(id ? id : IDOK);
    }
    windows.WaitUntilGone(hwnd, 10000);
    return seen;
}

// Answers boxes and notes windows while the program runs, until the deadline.
void AnswerWhileRunning(uidriver::Process& process, QuimbexRun& run, unsigned long timeoutMs,
                        const char* shotName,
                        const std::function<void(const uidriver::WindowFinder&)>& everyPoll) {
    const uidriver::WindowFinder windows = process.Windows();
    const uidriver::WindowQuery boxQuery = MsgBoxQuery();
    const DWORD deadline = ::GetTickCount() + timeoutMs;
    while (process.IsRunning() && static_cast<LONG>(deadline - ::GetTickCount()) > 0) {
        NoteOtherWindows(windows, run);
        if (everyPoll)
            everyPoll(windows);
        if (const HWND hwnd = windows.Find(boxQuery)) {
            if (shotName && run.boxes.empty())
                uidriver::SaveScreenshot(TestOutputDir(), shotName);
            // A box the program closed itself while it was read was never
            // answered: the run goes on without it.
            try {
                run.boxes.push_back(Answer(windows, hwnd, nullptr));
            } catch (const uidriver::WindowGone&) {
            }
        }
        ::Sleep(20);
    }
}

} // namespace

QuimbexRun RunToEnd(const uidriver::StartInfo& start, unsigned long timeoutMs, const char* shotName,
                    const std::function<void(const uidriver::WindowFinder&)>& everyPoll) {
    uidriver::Process process(start);
    QuimbexRun run;
    AnswerWhileRunning(process, run, timeoutMs, shotName, everyPoll);
    run.exitCode = process.WaitForExit(1000);
    run.stdoutText = process.Stdout();
    return run;
}

QuimbexRun::Box AnswerNextBox(const uidriver::WindowFinder& windows, const char* button,
                              unsigned long timeoutMs) {
    const HWND hwnd = windows.WaitFor(MsgBoxQuery(), timeoutMs);
    return Answer(windows, hwnd, button);
}

void FinishRun(uidriver::Process& process, QuimbexRun& run, unsigned long timeoutMs) {
    AnswerWhileRunning(process, run, timeoutMs, nullptr, {});
    run.exitCode = process.WaitForExit(1000);
    run.stdoutText = process.Stdout();
}

QuimbexRun RunPressingOk(const uidriver::StartInfo& start, const char* dialog) {
    uidriver::Process process(start);
    if (dialog)
        uidriver::DialogWindow::WaitFor(process.Windows(), dialog, 60000).Click(IDOK);
    QuimbexRun run;
    FinishRun(process, run);
    return run;
}
