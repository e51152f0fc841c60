#pragma once
#include "WindowFinder.h"

#include <windows.h>

#include <string>
#include <vector>

namespace uidriver {

struct StartInfo {
    // lpApplicationName: the program to run.  Empty: the first word of the
    // command line names it.
    std::string application;
    // The command line exactly as the program receives it, e.g. " /K:12".
    std::string commandLine;
    std::string workingDirectory; // empty: the caller's
    // Where standard output and standard error go.  Empty: a temporary file
    // that goes with the Process object.
    std::string stdoutPath;
    std::string stderrPath;
};

// A program under test.  Its standard output and standard error go to files,
// never to a pipe: a COM server that the program starts inherits them and
// would keep a pipe open.  A program still running when the object goes is
// terminated, so that a failed test leaves no process behind.
class Process {
public:
    explicit Process(const std::string& commandLine);
    explicit Process(const StartInfo& info);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // `program` and `args` as one command line; a word with a blank or tab,
    // or an empty one, is put in quotes.
    static std::string CommandLine(const std::string& program,
                                   const std::vector<std::string>& args);

    DWORD Id() const { return m_info.dwProcessId; }
    HANDLE Handle() const { return m_info.hProcess; }
    bool IsRunning() const;
    // Waits for the end and gives the exit code; throws Error (listing the
    // program's windows) when it still runs at the deadline.
    DWORD WaitForExit(DWORD timeoutMs) const;
    // The exit code of a program that has ended; throws Error while it runs.
    DWORD ExitCode() const;
    void Terminate();

    // Everything written so far.
    std::string Stdout() const;
    std::string Stderr() const;

    WindowFinder Windows() const { return WindowFinder(Id(), Handle()); }

private:
    void Start(const StartInfo& info);
    void Launch(const StartInfo& info, HANDLE in, HANDLE out, HANDLE err);
    void RemoveTemporaries() const;

    PROCESS_INFORMATION m_info{};
    std::string m_commandLine;
    std::string m_stdoutPath;
    std::string m_stderrPath;
    bool m_stdoutTemporary = false;
    bool m_stderrTemporary = false;
};

} // namespace uidriver
