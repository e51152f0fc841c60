// uidriver_target.exe: the program that the UI driver's tests drive.  The
// words of its command line are done in turn:
//   echo            prints "tail=[<the command-line tail WinMain got>]"
//   cwd             prints "cwd=[<the current directory>]"
//   inherited:HEX   prints "inherited=1" when the handle HEX is open here, else 0
//   /...            a switch meant for another program: ignored
//   out:TEXT        prints TEXT on standard output, err:TEXT on standard error
//   caption:TEXT text:TEXT icon:NAME buttons:NAME default:N
//                   set up the next message box ("\n" in TEXT breaks the line)
//   msgbox          shows it; its answer becomes the exit code
//   dialog          shows the dialog IDD_TARGET; its result becomes the exit code
//   exit:N          sets the exit code
//   open            shows the platform's open dialog; prints "file=[<path>]"
//   spawn           runs another target that shows a box captioned "子"
//                   and waits for it
//   vanish          shows the dialog IDD_TARGET modeless on a thread of its
//                   own, which answers for 300 ms, then answers nothing for
//                   500 ms and ends, taking the dialog with it while the
//                   driver waits for an answer; prints "vanished"
//   going           shows the dialog IDD_TARGET modeless on a thread of its
//                   own; the second time another program reads the length
//                   of its OK button's text (the first is the driver's
//                   report of the dialog, the second a pending click's),
//                   the thread ends without answering, taking the dialog
//                   with it, as a dialog that ends just then; prints "gone"
//   start           starts the target of spawn and goes on without waiting
// Every notification of the dialog is printed, so that a test sees what
// arrived and in which order.
#include "Mbcs.h"
#include "ScopedHandle_win.h"
#include "TargetIds.h"

#include <windows.h>

#include <commdlg.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A line on standard output for the test that drives this program; a
// failed write has nowhere else to go.
// NOLINTNEXTLINE(cert-dcl50-cpp): printf's own shape, checked by the compiler
__attribute__((format(printf, 1, 2))) void Say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    (void)std::vfprintf(stdout, format, args);
    va_end(args);
    (void)std::fputc('\n', stdout);
    (void)std::fflush(stdout);
}

// No CP932 trail byte is a blank, so splitting at blanks is safe.
std::vector<std::string> Words(const char* tail) {
    std::vector<std::string> words;
    std::string word;
    for (const char* p = tail;; ++p) {
        if (*p == ' ' || *p == '\t' || *p == '\0') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
            if (*p == '\0')
                return words;
        } else {
            word += *p;
        }
    }
}

// "\n" becomes a line break; a trail byte 0x5C followed by 'n' does not.
std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size();) {
        const int n = fw::CharLen932(s.data(), static_cast<int>(i), static_cast<int>(s.size()));
        if (n == 1 && s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 'n') {
            out += '\n';
            i += 2;
        } else {
            out.append(s, i, static_cast<size_t>(n));
            i += static_cast<size_t>(n);
        }
    }
    return out;
}

struct Named {
    const char* name;
    UINT flag;
};

const Named kIcons[] = {{"none", 0},
                        {"information", MB_ICONINFORMATION},
                        {"exclamation", MB_ICONEXCLAMATION},
                        {"error", MB_ICONERROR},
                        {"question", MB_ICONQUESTION}};
const Named kButtons[] = {{"ok", MB_OK},
                          {"okcancel", MB_OKCANCEL},
                          {"yesno", MB_YESNO},
                          {"yesnocancel", MB_YESNOCANCEL},
                          {"retrycancel", MB_RETRYCANCEL},
                          {"abortretryignore", MB_ABORTRETRYIGNORE}};
const Named kDefaults[] = {{"1", MB_DEFBUTTON1}, {"2", MB_DEFBUTTON2}, {"3", MB_DEFBUTTON3}};

template <size_t N> UINT Lookup(const Named (&table)[N], const std::string& name) {
    for (const Named& entry : table)
        if (name == entry.name)
            return entry.flag;
    Say("unknown name: %s", name.c_str());
    std::exit(99);
}

std::string ItemText(HWND control, UINT lengthMsg, UINT textMsg, int index) {
    if (index < 0)
        return "";
    std::string text(static_cast<size_t>(::SendMessageA(control, lengthMsg, index, 0)) + 1, '\0');
    ::SendMessageA(control, textMsg, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::string ControlText(HWND dlg, int id) {
    char buf[512] = "";
    ::GetDlgItemTextA(dlg, id, buf, sizeof buf);
    return buf;
}

int IsOpenHandle(const std::string& hex) {
    const HANDLE h = reinterpret_cast<HANDLE>(std::strtoull(hex.c_str(), nullptr, 16));
    DWORD flags = 0;
    return ::GetHandleInformation(h, &flags) ? 1 : 0;
}

std::string CurrentDirectory() {
    char buf[MAX_PATH] = "";
    ::GetCurrentDirectoryA(MAX_PATH, buf);
    return buf;
}

void FillDialog(HWND dlg) {
    for (const char* item : {"表示.xls", "給与", "賞与"})
        ::SendDlgItemMessageA(dlg, IDC_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    for (const char* item : {"東京", "大阪", "ソフト\\"})
        ::SendDlgItemMessageA(dlg, IDC_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    ::SendDlgItemMessageA(dlg, IDC_COMBO, CB_SETCURSEL, 0, 0);
}

void SayState(HWND dlg) {
    Say("ok: list=%d combo=%d check=%d edit=%s",
        static_cast<int>(::SendDlgItemMessageA(dlg, IDC_LIST, LB_GETCURSEL, 0, 0)),
        static_cast<int>(::SendDlgItemMessageA(dlg, IDC_COMBO, CB_GETCURSEL, 0, 0)),
        ::IsDlgButtonChecked(dlg, IDC_CHECK), ControlText(dlg, IDC_EDIT).c_str());
}

void OnSelection(HWND dlg, int id, int code) {
    const HWND control = ::GetDlgItem(dlg, id);
    if (id == IDC_LIST && code == LBN_SELCHANGE) {
        const int sel = static_cast<int>(::SendMessageA(control, LB_GETCURSEL, 0, 0));
        Say("list: %d %s", sel, ItemText(control, LB_GETTEXTLEN, LB_GETTEXT, sel).c_str());
    } else if (id == IDC_COMBO && code == CBN_SELCHANGE) {
        const int sel = static_cast<int>(::SendMessageA(control, CB_GETCURSEL, 0, 0));
        Say("combo: %d %s", sel, ItemText(control, CB_GETLBTEXTLEN, CB_GETLBTEXT, sel).c_str());
    }
}

void OnCommand(HWND dlg, int id, int code) {
    switch (id) {
    case IDC_LIST:
    case IDC_COMBO:
        OnSelection(dlg, id, code);
        break;
    case IDC_CHECK:
        // The owner reacts at once: the dependent button follows the box.
        ::EnableWindow(::GetDlgItem(dlg, IDC_SWITCHED),
                       ::IsDlgButtonChecked(dlg, IDC_CHECK) == BST_CHECKED);
        Say("check: %d", ::IsDlgButtonChecked(dlg, IDC_CHECK));
        break;
    case IDC_EDIT:
    case IDC_NOTES:
        if (code == EN_CHANGE)
            Say("%s: %s", id == IDC_EDIT ? "edit" : "notes", ControlText(dlg, id).c_str());
        break;
    case IDC_SWITCHED:
        Say("switched");
        break;
    case IDC_ASK:
        Say("ask: %d", ::MessageBoxA(dlg, "続けますか？", "確認", MB_YESNO | MB_ICONQUESTION));
        break;
    case IDOK:
        SayState(dlg);
        ::EndDialog(dlg, IDOK);
        break;
    case IDCANCEL:
        ::EndDialog(dlg, IDCANCEL);
        break;
    }
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) {
        FillDialog(dlg);
        return TRUE;
    }
    if (msg == WM_COMMAND) {
        OnCommand(dlg, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

void ChooseFile() {
    char path[MAX_PATH] = "";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER;
    Say("file=[%s]", ::GetOpenFileNameA(&ofn) ? path : "");
}

void SpawnChild(bool wait) {
    char self[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = std::string("\"") + self + "\" caption:子 text:子の箱 msgbox";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(self, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi))
        return;
    const CProcessHandles child(pi);
    if (!wait)
        return;
    ::WaitForSingleObject(child.hProcess.Get(), INFINITE);
    Say("child ended");
}

DWORD WINAPI VanishingDialog(LPVOID instance) {
    const HWND dlg = ::CreateDialogParamA(static_cast<HINSTANCE>(instance),
                                          MAKEINTRESOURCEA(IDD_TARGET), nullptr, DialogProc, 0);
    ::ShowWindow(dlg, SW_SHOW);
    const DWORD end = ::GetTickCount() + 300;
    MSG msg;
    while (static_cast<LONG>(end - ::GetTickCount()) > 0) {
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
        ::Sleep(5);
    }
    ::Sleep(500);
    return 0;
}

WNDPROC g_goingButtonProc = nullptr;
int g_lengthReads = 0;

// The thread ends without answering: the system takes its windows with it.
LRESULT CALLBACK GoingButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETTEXTLENGTH && ::InSendMessage() && ++g_lengthReads == 2)
        ::ExitThread(0);
    return ::CallWindowProcA(g_goingButtonProc, hwnd, msg, wParam, lParam);
}

DWORD WINAPI GoingDialog(LPVOID instance) {
    const HWND dlg = ::CreateDialogParamA(static_cast<HINSTANCE>(instance),
                                          MAKEINTRESOURCEA(IDD_TARGET), nullptr, DialogProc, 0);
    g_goingButtonProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
        ::GetDlgItem(dlg, IDOK), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GoingButtonProc)));
    ::ShowWindow(dlg, SW_SHOW);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    return 0;
}

void ShowGoingDialog(HINSTANCE instance) {
    const CHandle thread(::CreateThread(nullptr, 0, GoingDialog, instance, 0, nullptr));
    ::WaitForSingleObject(thread.Get(), INFINITE);
    Say("gone");
}

void ShowVanishingDialog(HINSTANCE instance) {
    const CHandle thread(::CreateThread(nullptr, 0, VanishingDialog, instance, 0, nullptr));
    ::WaitForSingleObject(thread.Get(), INFINITE);
    Say("vanished");
}

struct BoxSettings {
    std::string caption = "uidriver_target";
    std::string text;
    UINT icon = 0;
    UINT buttons = MB_OK;
    UINT defaultButton = MB_DEFBUTTON1;
};

// Does one word of the command line; false when the word is unknown.
bool Do(const std::string& word, BoxSettings& box, int& exitCode, HINSTANCE instance,
        const char* tail) {
    const size_t colon = word.find(':');
    const std::string key = word.substr(0, colon);
    const std::string value = colon == std::string::npos ? "" : Unescape(word.substr(colon + 1));
    if (key.empty() || key[0] == '/')
        return true;
    if (key == "echo")
        Say("tail=[%s]", tail);
    else if (key == "cwd")
        Say("cwd=[%s]", CurrentDirectory().c_str());
    else if (key == "inherited")
        Say("inherited=%d", IsOpenHandle(value));
    else if (key == "out")
        Say("%s", value.c_str());
    else if (key == "err")
        (void)std::fprintf(stderr, "%s\n", value.c_str());
    else if (key == "caption")
        box.caption = value;
    else if (key == "text")
        box.text = value;
    else if (key == "icon")
        box.icon = Lookup(kIcons, value);
    else if (key == "buttons")
        box.buttons = Lookup(kButtons, value);
    else if (key == "default")
        box.defaultButton = Lookup(kDefaults, value);
    else if (key == "msgbox")
        exitCode = ::MessageBoxA(nullptr, box.text.c_str(), box.caption.c_str(),
                                 box.icon | box.buttons | box.defaultButton);
    else if (key == "dialog")
        exitCode = static_cast<int>(
            ::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_TARGET), nullptr, DialogProc, 0));
    else if (key == "exit")
        exitCode = static_cast<int>(std::strtol(value.c_str(), nullptr, 10));
    else if (key == "open")
        ChooseFile();
    else if (key == "spawn")
        SpawnChild(true);
    else if (key == "vanish")
        ShowVanishingDialog(instance);
    else if (key == "going")
        ShowGoingDialog(instance);
    else if (key == "start")
        SpawnChild(false);
    else
        return false;
    return true;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR tail, int) {
    BoxSettings box;
    int exitCode = 0;
    for (const std::string& word : Words(tail)) {
        if (!Do(word, box, exitCode, instance, tail)) {
            Say("unknown word: %s", word.c_str());
            return 99;
        }
    }
    return exitCode;
}
