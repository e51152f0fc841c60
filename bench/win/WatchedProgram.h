#pragma once
#include "MsgBox.h"
#include "Process.h"

#include <cstdio>
#include <optional>
#include <set>
#include <string>

// A program under measurement: its windows are looked at every few
// milliseconds, each event is printed as one "key=value" line with the time
// it was seen, and the process's own start and end times are printed last.
class CWatchedProgram {
public:
    CWatchedProgram(const uidriver::StartInfo& info, FILE* out);

    const uidriver::Process& Process() const { return m_process; }
    // The next message box not seen before; none when the program ends
    // first.  Throws uidriver::Error when nothing happens in time.
    std::optional<uidriver::MsgBox> NextBox(DWORD timeoutMs);
    // The visible dialog of this class and caption, looked for as often.
    HWND WaitForWindow(const uidriver::WindowQuery& query, DWORD timeoutMs);
    // Answers a question with Yes, anything else with its default button;
    // prints the box and returns the time it was seen.
    int64_t Answer(const uidriver::MsgBox& box, const char* event);
    // Waits for the end; prints created_us, exited_us and the exit code.
    void Finish(DWORD timeoutMs);
    void Print(const std::string& line) const;

private:
    uidriver::Process m_process;
    FILE* m_out;
    std::set<HWND> m_seen;
};

// "text" with quotes, backslashes and line breaks escaped to one line.
std::string Quoted(const std::string& text);
