#include "Process.h"

#include "Error.h"
#include "ScopedHandle_win.h"

namespace uidriver {

namespace {

// The attribute that lets the child inherit these handles and no others.
// Without it the child would inherit every inheritable handle of the test
// program, among them the pipe that CTest reads, and a COM server that the
// child starts would keep that pipe open after the test has ended.
class InheritOnly {
public:
    explicit InheritOnly(std::vector<HANDLE> handles) : m_handles(std::move(handles)) {
        SIZE_T size = 0;
        ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        m_buffer.resize(size);
        if (!::InitializeProcThreadAttributeList(List(), 1, 0, &size))
            ThrowLastError("InitializeProcThreadAttributeList");
        if (!::UpdateProcThreadAttribute(List(), 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST,
                                         m_handles.data(), m_handles.size() * sizeof(HANDLE),
                                         nullptr, nullptr)) {
            ::DeleteProcThreadAttributeList(List());
            ThrowLastError("UpdateProcThreadAttribute");
        }
    }
    ~InheritOnly() { ::DeleteProcThreadAttributeList(List()); }
    InheritOnly(const InheritOnly&) = delete;
    InheritOnly& operator=(const InheritOnly&) = delete;
    LPPROC_THREAD_ATTRIBUTE_LIST List() {
        return reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(m_buffer.data());
    }

private:
    std::vector<HANDLE> m_handles; // must live as long as the list
    std::vector<unsigned char> m_buffer;
};

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::string NewTemporaryFile() {
    char dir[MAX_PATH];
    char path[MAX_PATH];
    if (!::GetTempPathA(MAX_PATH, dir) || !::GetTempFileNameA(dir, "uid", 0, path))
        ThrowLastError("GetTempFileNameA");
    return path;
}

// An inheritable handle that the child writes to.
HANDLE OpenForChild(const std::string& path) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    const HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, kShareAll, &sa, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        ThrowLastError("CreateFileA " + path);
    return h;
}

HANDLE OpenNulForChild() {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    const HANDLE h = ::CreateFileA("NUL", GENERIC_READ, kShareAll, &sa, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        ThrowLastError("CreateFileA NUL");
    return h;
}

std::string ReadWholeFile(const std::string& path) {
    const CHandle h(
        ::CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    if (h.Get() == INVALID_HANDLE_VALUE)
        ThrowLastError("CreateFileA " + path);
    std::string bytes;
    char buf[4096];
    DWORD n = 0;
    while (::ReadFile(h.Get(), buf, sizeof buf, &n, nullptr) && n > 0)
        bytes.append(buf, n);
    return bytes;
}

} // namespace

Process::Process(const std::string& commandLine) {
    StartInfo info;
    info.commandLine = commandLine;
    Start(info);
}

Process::Process(const StartInfo& info) {
    Start(info);
}

// A temporary capture file may still be held by a grandchild (a COM server
// inherits the handles); it then stays in the temporary folder.
Process::~Process() {
    if (IsRunning()) {
        ::TerminateProcess(m_info.hProcess, 1);
        ::WaitForSingleObject(m_info.hProcess, 5000);
    }
    const CProcessHandles handles(m_info);
    RemoveTemporaries();
}

std::string Process::CommandLine(const std::string& program, const std::vector<std::string>& args) {
    std::string line;
    auto add = [&line](const std::string& word) {
        if (!line.empty())
            line += ' ';
        const bool quote = word.empty() || word.find_first_of(" \t") != std::string::npos;
        line += quote ? '"' + word + '"' : word;
    };
    add(program);
    for (const std::string& arg : args)
        add(arg);
    return line;
}

void Process::Start(const StartInfo& info) {
    m_commandLine = info.commandLine;
    m_stdoutPath = info.stdoutPath;
    m_stderrPath = info.stderrPath;
    m_stdoutTemporary = m_stdoutPath.empty();
    m_stderrTemporary = m_stderrPath.empty();
    try {
        if (m_stdoutTemporary)
            m_stdoutPath = NewTemporaryFile();
        if (m_stderrTemporary)
            m_stderrPath = NewTemporaryFile();
        const CHandle in(OpenNulForChild());
        const CHandle out(OpenForChild(m_stdoutPath));
        // One file for both keeps one file position, so neither overwrites the other.
        const bool shared = m_stderrPath == m_stdoutPath;
        const CHandle err(shared ? nullptr : OpenForChild(m_stderrPath));
        Launch(info, in.Get(), out.Get(), shared ? out.Get() : err.Get());
    } catch (...) {
        RemoveTemporaries();
        throw;
    }
}

void Process::Launch(const StartInfo& info, HANDLE in, HANDLE out, HANDLE err) {
    std::vector<HANDLE> inherited{in, out};
    if (err != out)
        inherited.push_back(err); // the list must not name a handle twice
    InheritOnly only(inherited);
    STARTUPINFOEXA si{};
    si.StartupInfo.cb = sizeof si;
    si.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    si.StartupInfo.hStdInput = in;
    si.StartupInfo.hStdOutput = out;
    si.StartupInfo.hStdError = err;
    si.lpAttributeList = only.List();
    std::vector<char> line(info.commandLine.begin(), info.commandLine.end());
    line.push_back('\0');
    if (!::CreateProcessA(info.application.empty() ? nullptr : info.application.c_str(),
                          line.data(), nullptr, nullptr, TRUE, EXTENDED_STARTUPINFO_PRESENT,
                          nullptr,
                          info.workingDirectory.empty() ? nullptr : info.workingDirectory.c_str(),
                          &si.StartupInfo, &m_info))
        ThrowLastError("CreateProcessA " + info.application + " [" + info.commandLine + "]");
}

void Process::RemoveTemporaries() const {
    if (m_stdoutTemporary && !m_stdoutPath.empty())
        ::DeleteFileA(m_stdoutPath.c_str());
    if (m_stderrTemporary && !m_stderrPath.empty())
        ::DeleteFileA(m_stderrPath.c_str());
}

bool Process::IsRunning() const {
    return ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD Process::WaitForExit(DWORD timeoutMs) const {
    if (::WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0)
        throw Error("process " + std::to_string(Id()) + " [" + m_commandLine +
                    "] still runs after " + std::to_string(timeoutMs) + " ms; its windows:\n" +
                    Windows().Describe());
    return ExitCode();
}

DWORD Process::ExitCode() const {
    DWORD code = 0;
    if (IsRunning())
        throw Error("process " + std::to_string(Id()) + " [" + m_commandLine + "] still runs");
    if (!::GetExitCodeProcess(m_info.hProcess, &code))
        ThrowLastError("GetExitCodeProcess");
    return code;
}

void Process::Terminate() {
    // The program may end by itself between the question and the call.
    if (IsRunning() && !::TerminateProcess(m_info.hProcess, 1) && IsRunning())
        ThrowLastError("TerminateProcess");
    ::WaitForSingleObject(m_info.hProcess, 5000);
}

std::string Process::Stdout() const {
    return ReadWholeFile(m_stdoutPath);
}

std::string Process::Stderr() const {
    return ReadWholeFile(m_stderrPath);
}

} // namespace uidriver
