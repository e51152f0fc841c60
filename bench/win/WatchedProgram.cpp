#include "WatchedProgram.h"

#include "BenchClock.h"
#include "Error.h"
#include "MbcsText.h"
#include "Poll.h"

namespace {
// Often enough that the time a window is seen is that of its showing, to a
// few milliseconds.
const DWORD kPollMs = 5;
} // namespace

std::string Quoted(const std::string& text) {
    return "\"" + uidriver::EscapeLine(text) + "\"";
}

CWatchedProgram::CWatchedProgram(const uidriver::StartInfo& info, FILE* out)
    : m_process(info), m_out(out) {}

void CWatchedProgram::Print(const std::string& line) const {
    // The output is the benchmark's pipe; a failed write has nowhere else to go.
    (void)std::fprintf(m_out, "%s\n", line.c_str());
    (void)std::fflush(m_out);
}

std::optional<uidriver::MsgBox> CWatchedProgram::NextBox(DWORD timeoutMs) {
    const uidriver::WindowFinder windows = m_process.Windows();
    uidriver::WindowQuery query("#32770");
    query.accept = [this](HWND hwnd) {
        return uidriver::MsgBox::IsMsgBox(hwnd) && m_seen.count(hwnd) == 0;
    };
    HWND found = nullptr;
    const bool happened = uidriver::PollUntil(
        [&] {
            found = windows.Find(query);
            return found != nullptr || !m_process.IsRunning();
        },
        timeoutMs, kPollMs);
    if (!happened)
        throw uidriver::Error("no message box and no end in time\n" + windows.Describe());
    if (!found)
        return std::nullopt;
    m_seen.insert(found);
    return uidriver::MsgBox(found);
}

HWND CWatchedProgram::WaitForWindow(const uidriver::WindowQuery& query, DWORD timeoutMs) {
    const uidriver::WindowFinder windows = m_process.Windows();
    HWND found = nullptr;
    const bool shown = uidriver::PollUntil(
        [&] {
            found = windows.Find(query);
            return found != nullptr || !m_process.IsRunning();
        },
        timeoutMs, kPollMs);
    if (!found)
        throw uidriver::Error(
            (shown ? "the program ended before showing " : "not shown in time: ") +
            uidriver::Describe(query) + "\n" + windows.Describe());
    return found;
}

// The icon is not read: that waits for the box to paint, and would be
// counted as the program's time.
int64_t CWatchedProgram::Answer(const uidriver::MsgBox& box, const char* event) {
    const int64_t seen = BenchClock::NowUs();
    int pressed = box.DefaultButton();
    for (const uidriver::ButtonInfo& button : box.Buttons())
        if (button.id == IDYES)
            pressed = IDYES;
    if (!pressed && !box.Buttons().empty())
        pressed = box.Buttons().front().id;
    Print(std::string("event=") + event + " at_us=" + std::to_string(seen) +
          " caption=" + Quoted(box.Caption()) + " text=" + Quoted(box.Text()) +
          " pressed=" + std::to_string(pressed));
    box.Press(pressed);
    return seen;
}

void CWatchedProgram::Finish(DWORD timeoutMs) {
    const DWORD code = m_process.WaitForExit(timeoutMs);
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(m_process.Handle(), &created, &exited, &kernel, &user))
        throw uidriver::Error("GetProcessTimes failed: " + std::to_string(::GetLastError()));
    Print("created_us=" + std::to_string(BenchClock::FromFileTime(created)));
    Print("exited_us=" + std::to_string(BenchClock::FromFileTime(exited)));
    Print("exit_code=" + std::to_string(code));
}
