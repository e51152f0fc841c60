#include "RunCommand.h"

#include "DialogWindow.h"
#include "Error.h"
#include "MbcsText.h"
#include "Poll.h"
#include "RemoteWindow.h"
#include "ScopedHandle_win.h"
#include "Screenshot.h"

#include <sddl.h>
#include <tlhelp32.h>

#include <memory>

namespace {

const DWORD kPollMs = 50;
// How long a new window gets to paint before its screenshot.
const DWORD kPaintMs = 300;

std::string Quoted(const std::string& text) {
    return "\"" + uidriver::EscapeLine(text) + "\"";
}

std::string ButtonText(const uidriver::MsgBox& box, int id) {
    for (const uidriver::ButtonInfo& button : box.Buttons())
        if (button.id == id)
            return uidriver::StripMnemonic(button.text);
    return std::to_string(id);
}

std::string QuotedList(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : ",") + Quoted(item);
    return "[" + text + "]";
}

// A list shows its items, a combo box its items and its text, any other
// control its text.
std::string ControlValue(const uidriver::DialogWindow& dialog,
                         const uidriver::ControlInfo& control) {
    if (control.className == "ListBox")
        return QuotedList(dialog.ListItems(control.id));
    if (control.className == "ComboBox")
        return Quoted(control.text) + QuotedList(dialog.ComboItems(control.id));
    return Quoted(control.text);
}

// The process and every process it started, directly or through another.
std::vector<DWORD> ProcessTree(DWORD root) {
    std::vector<DWORD> tree{root};
    const CFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return tree;
    std::vector<PROCESSENTRY32> all;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL ok = ::Process32First(snapshot.Get(), &entry); ok;
         ok = ::Process32Next(snapshot.Get(), &entry))
        all.push_back(entry);
    for (size_t i = 0; i < tree.size(); ++i)
        for (const PROCESSENTRY32& e : all)
            if (e.th32ParentProcessID == tree[i] && e.th32ProcessID != root)
                tree.push_back(e.th32ProcessID);
    return tree;
}

// A run ended at its timeout is ended whole: a program it started (Quimbex
// under Tessaro, the Excel server that one drives) would go on with nobody
// to answer its boxes, and hold what it holds (Quimbex's guard keeps every
// later run off the books).  The others are held open before the program
// goes, so that none of their ids can name a new process by then.
void EndWithItsChildren(uidriver::Process& process) {
    const std::vector<DWORD> tree = ProcessTree(process.Id());
    std::vector<CHandle> children;
    for (size_t i = 1; i < tree.size(); ++i)
        if (CHandle h{::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, tree[i])})
            children.push_back(std::move(h));
    process.Terminate();
    for (const CHandle& child : children)
        if (::TerminateProcess(child.Get(), 1))
            ::WaitForSingleObject(child.Get(), 5000);
}

// A named mutex as another user's program holds it: its security denies
// everyone, so the program under test cannot create or open it (access
// denied).  Held until the run ends.
class ForeignMutex {
public:
    explicit ForeignMutex(const std::string& name) {
        CLocalMemory<PSECURITY_DESCRIPTOR> descriptor;
        if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(
                "D:(D;;GA;;;WD)", SDDL_REVISION_1, descriptor.Receive(), nullptr))
            throw uidriver::Error("no security descriptor: error " +
                                  std::to_string(::GetLastError()));
        SECURITY_ATTRIBUTES sa{sizeof sa, descriptor.Get(), FALSE};
        m_handle.Attach(::CreateMutexA(&sa, FALSE, name.c_str()));
        if (!m_handle)
            throw uidriver::Error("the mutex \"" + name + "\" cannot be created: error " +
                                  std::to_string(::GetLastError()));
    }

private:
    CHandle m_handle;
};

} // namespace

RunCommand::RunCommand(const CliOptions& options, FILE* out)
    : m_options(options), m_out(out), m_steps(options.steps) {}

int RunCommand::Run() {
    std::vector<std::unique_ptr<ForeignMutex>> held;
    for (const std::string& name : m_options.foreignMutexes) {
        held.push_back(std::make_unique<ForeignMutex>(name));
        Print("foreign mutex: name=" + Quoted(name));
    }
    uidriver::StartInfo info;
    info.commandLine = m_options.commandLine;
    info.workingDirectory = m_options.workingDirectory;
    info.stdoutPath = m_options.stdoutPath;
    info.stderrPath = m_options.stderrPath;
    uidriver::Process process(info);
    bool ended = false;
    try {
        ended = uidriver::PollUntil(
            [&] {
                ReportNewWindows(process);
                TakeDialogSteps();
                return !process.IsRunning();
            },
            m_options.timeoutMs, kPollMs);
    } catch (...) {
        // A driver that fails leaves nobody to answer the program's boxes,
        // as at the timeout.
        EndWithItsChildren(process);
        throw;
    }
    if (!ended) {
        Print("timeout: still running after " + std::to_string(m_options.timeoutMs / 1000) +
              " s; its windows:\n" + process.Windows().Describe() + "terminated");
        EndWithItsChildren(process);
    }
    Print("exit code: " + std::to_string(process.ExitCode()));
    return ended ? 0 : 3;
}

// Each window is reported once while it exists; a handle that comes back
// later belongs to a new window.
void RunCommand::ReportNewWindows(const uidriver::Process& process) {
    for (auto it = m_reported.begin(); it != m_reported.end();)
        it = ::IsWindow(*it) ? std::next(it) : m_reported.erase(it);
    for (const uidriver::WindowInfo& window : WatchedWindows(process)) {
        if (window.visible && m_reported.insert(window.hwnd).second)
            ReportUnlessGone(window);
    }
}

// A window that a program shows only for a moment (a wait dialog of a quick
// step, a dialog that ends) may be hidden or destroyed, its controls first,
// before it is read: it is left out, not an error.  A read that finds a
// handle gone says so whatever the window looks like a moment later (the
// handle may already name a new window).
void RunCommand::ReportUnlessGone(const uidriver::WindowInfo& window) {
    try {
        ReportWindow(window);
    } catch (const uidriver::WindowGone&) {
        m_reported.erase(window.hwnd);
    } catch (const uidriver::Error&) {
        if (::IsWindow(window.hwnd) && ::IsWindowVisible(window.hwnd))
            throw;
        m_reported.erase(window.hwnd);
    }
}

std::vector<uidriver::WindowInfo>
RunCommand::WatchedWindows(const uidriver::Process& process) const {
    if (!m_options.withChildren)
        return process.Windows().List();
    std::vector<uidriver::WindowInfo> windows;
    for (DWORD pid : ProcessTree(process.Id())) {
        const std::vector<uidriver::WindowInfo> more = uidriver::WindowFinder(pid).List();
        windows.insert(windows.end(), more.begin(), more.end());
    }
    return windows;
}

// A step acts only on a window that has been reported (and shot) already.
void RunCommand::TakeDialogSteps() {
    const std::string line = m_steps.TakeNext(m_reported, m_boxesAnswered);
    if (!line.empty())
        Print(line);
}

void RunCommand::ReportWindow(const uidriver::WindowInfo& window) {
    if (uidriver::MsgBox::IsMsgBox(window.hwnd))
        AnswerMsgBox(uidriver::MsgBox(window.hwnd));
    else if (window.className == "#32770")
        ReportDialog(window.hwnd);
    else
        Print("window: class=" + Quoted(window.className) + " caption=" + Quoted(window.caption) +
              Screenshot(window.hwnd, "window"));
}

// The next --press text, else the default button, else the first one.
int RunCommand::ChooseButton(const uidriver::MsgBox& box, std::string& note) {
    if (m_nextPress < m_options.presses.size()) {
        const std::string& wanted = m_options.presses[m_nextPress++];
        for (const uidriver::ButtonInfo& button : box.Buttons())
            if (button.text == wanted || uidriver::StripMnemonic(button.text) == wanted)
                return button.id;
        note = " (no button " + Quoted(wanted) + ")";
    }
    if (const int id = box.DefaultButton())
        return id;
    const std::vector<uidriver::ButtonInfo> buttons = box.Buttons();
    return buttons.empty() ? 0 : buttons.front().id;
}

void RunCommand::AnswerMsgBox(const uidriver::MsgBox& box) {
    std::string line = "message box: " + box.Describe();
    std::string note;
    const int id = ChooseButton(box, note);
    line += " pressed=" + (id ? ButtonText(box, id) : std::string("none")) + note;
    Print(line + Screenshot(box.Handle(), "msgbox"));
    if (id)
        box.Press(id);
    ++m_boxesAnswered;
}

void RunCommand::ReportDialog(HWND hwnd) {
    const uidriver::DialogWindow dialog(hwnd);
    std::string line = "dialog: caption=" + Quoted(dialog.Caption()) + " controls=";
    for (const uidriver::ControlInfo& control : dialog.Controls())
        if (control.visible)
            line += " " + std::to_string(control.id) + ":" + control.className + "=" +
                    ControlValue(dialog, control) + (control.enabled ? "" : "(disabled)");
    if (m_options.cancelDialogs)
        line += " pressed=cancel";
    Print(line + Screenshot(hwnd, "dialog"));
    if (m_options.cancelDialogs)
        uidriver::Act(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                      reinterpret_cast<LPARAM>(::GetDlgItem(hwnd, IDCANCEL)));
}

// " screenshot=PATH" for the report line, or nothing without --screenshots.
std::string RunCommand::Screenshot(HWND hwnd, const char* kind) {
    if (m_options.screenshotFolder.empty())
        return "";
    // Wine without a window manager may stack a window that appeared while
    // another program had the front below the windows it belongs above; the
    // picture is of the window itself.
    ::SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::Sleep(kPaintMs);
    RECT area{};
    ::GetWindowRect(hwnd, &area);
    char name[64];
    (void)std::snprintf(name, sizeof name, "%02d-%s", ++m_screenshots, kind);
    return " screenshot=" + uidriver::SaveScreenshot(m_options.screenshotFolder, name, &area);
}

// The driver's report goes to its caller's pipe; a failed write has nowhere
// else to go.
void RunCommand::Print(const std::string& line) {
    (void)std::fprintf(m_out, "%s\n", line.c_str());
    (void)std::fflush(m_out);
}
