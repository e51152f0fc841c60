#include "QuimbexRun.h"

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

} // namespace

std::string TestOutputDir() {
    std::string dir = TestBinDir().str();
    dir = dir.substr(0, dir.rfind('\\')) + "\\test-output";
    ::CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

QuimbexRun RunToEnd(const uidriver::StartInfo& start, unsigned long timeoutMs, const char* shotName,
                    const std::function<void(const uidriver::WindowFinder&)>& everyPoll) {
    uidriver::Process process(start);
    const uidriver::WindowFinder windows = process.Windows();
    uidriver::WindowQuery boxQuery;
    boxQuery.className = "#32770";
    boxQuery.accept = [](HWND hwnd) { return uidriver::MsgBox::IsMsgBox(hwnd); };
    QuimbexRun run;
    const DWORD deadline = ::GetTickCount() + timeoutMs;
    while (process.IsRunning() && ::GetTickCount() < deadline) {
        NoteOtherWindows(windows, run);
        if (everyPoll)
            everyPoll(windows);
        if (const HWND hwnd = windows.Find(boxQuery)) {
            const uidriver::MsgBox box(hwnd);
            run.boxes.push_back({box.Caption(), NormaliseLineBreaks(box.Text()), box.Icon()});
            if (shotName && run.boxes.size() == 1)
                uidriver::SaveScreenshot(TestOutputDir(), shotName);
            const int button = box.DefaultButton();
            box.Press(button ? button : IDOK);
            windows.WaitUntilGone(hwnd, 10000);
        }
        ::Sleep(20);
    }
    run.exitCode = process.WaitForExit(1000);
    run.stdoutText = process.Stdout();
    return run;
}
