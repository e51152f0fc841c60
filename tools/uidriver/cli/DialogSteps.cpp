#include "DialogSteps.h"

#include "DialogWindow.h"
#include "Error.h"
#include "FileDialogControls.h"
#include "MbcsText.h"
#include "Poll.h"
#include "RemoteWindow.h"

#include <cstdlib>

namespace {

std::string Quoted(const std::string& text) {
    return "\"" + uidriver::EscapeLine(text) + "\"";
}

int ParseNumber(const std::string& text, const std::string& option) {
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || n < 0 || n > 0xFFFF)
        throw uidriver::Error(option + " wants a number from 0 to 65535, not \"" + text + "\"");
    return static_cast<int>(n);
}

// '=' (0x3D) is never the second byte of a code page 932 character, so the
// split cannot cut one.
void SplitAt(const std::string& value, size_t pos, const std::string& option, DialogStep& step,
             std::string& rest) {
    if (pos == std::string::npos || pos == 0)
        throw uidriver::Error(option + " wants CAPTION=VALUE, not \"" + value + "\"");
    step.caption = value.substr(0, pos);
    rest = value.substr(pos + 1);
}

// Wine may answer a read of a window whose program is ending with another
// error than a gone handle (access denied) while the window still shows:
// a window that goes within moments of the failed read was going.
bool IsGoing(HWND hwnd) {
    return uidriver::PollUntil([&] { return !::IsWindow(hwnd) || !::IsWindowVisible(hwnd); }, 2000);
}

} // namespace

bool IsDialogStepOption(const std::string& option) {
    return option == "--click" || option == "--file" || option == "--select" ||
           option == "--syscommand" || option == "--after-boxes";
}

DialogStep ParseDialogStep(const std::string& option, const std::string& value) {
    DialogStep step;
    std::string rest;
    if (option == "--click") {
        step.kind = DialogStep::click;
        SplitAt(value, value.rfind('='), option, step, rest);
        step.number = ParseNumber(rest, option);
    } else if (option == "--file") {
        step.kind = DialogStep::file;
        SplitAt(value, value.find('='), option, step, step.path);
    } else if (option == "--select") {
        // ':' (0x3A) is never a trail byte either; the item text may hold
        // any character.
        step.kind = DialogStep::select;
        SplitAt(value, value.find('='), option, step, rest);
        const size_t colon = rest.find(':');
        if (colon == std::string::npos)
            throw uidriver::Error(option + " wants CAPTION=ID:TEXT, not \"" + value + "\"");
        step.number = ParseNumber(rest.substr(0, colon), option);
        step.path = rest.substr(colon + 1);
    } else if (option == "--syscommand") {
        step.kind = DialogStep::sysCommand;
        SplitAt(value, value.rfind('='), option, step, rest);
        step.number = ParseNumber(rest, option);
    } else if (option == "--after-boxes") {
        step.kind = DialogStep::afterBoxes;
        step.number = ParseNumber(value, option);
    } else {
        throw uidriver::Error("unknown option: " + option);
    }
    return step;
}

// A reported window (a message box, a dialog) may close while its caption
// is read: it is no dialog of the step.  A failed read of a window that
// stays is a failure.
HWND DialogSteps::FindDialog(const std::set<HWND>& reported, const std::string& caption) const {
    for (HWND hwnd : reported) {
        try {
            if (::IsWindow(hwnd) && ::IsWindowVisible(hwnd) && ::IsWindowEnabled(hwnd) &&
                uidriver::IsClass(hwnd, "#32770") && uidriver::ReadText(hwnd) == caption)
                return hwnd;
        } catch (const uidriver::WindowGone&) {
        } catch (const uidriver::Error&) {
            if (!IsGoing(hwnd))
                throw;
        }
    }
    return nullptr;
}

std::string DialogSteps::TakeNext(const std::set<HWND>& reported, int boxesAnswered) {
    if (Done())
        return "";
    const DialogStep& step = m_steps[m_next];
    if (step.kind == DialogStep::afterBoxes) {
        if (boxesAnswered < step.number)
            return "";
        ++m_next;
        return "";
    }
    const HWND dialog = FindDialog(reported, step.caption);
    if (!dialog)
        return "";
    ++m_next;
    switch (step.kind) {
    case DialogStep::click:
        return Click(dialog, step);
    case DialogStep::select:
        return Select(dialog, step);
    case DialogStep::sysCommand:
        return SysCommand(dialog, step);
    default:
        return ChooseFile(dialog, step);
    }
}

// A dialog that ends while its button is read or clicked (its run ended
// just then) took no click: the click came too late, and the program's own
// end tells the outcome.  Its controls go first, so a control gone is a
// dialog going; any other failure on a dialog that stays is one.
std::string DialogSteps::Click(HWND dialog, const DialogStep& step) const {
    const std::string what =
        "caption=" + Quoted(step.caption) + " button=" + std::to_string(step.number);
    try {
        const uidriver::DialogWindow window(dialog);
        const std::string text = uidriver::StripMnemonic(window.Text(step.number));
        window.Click(step.number);
        return "clicked: " + what + ":" + Quoted(text);
    } catch (const uidriver::WindowGone&) {
    } catch (const uidriver::Error&) {
        if (!IsGoing(dialog))
            throw;
    }
    return "click too late: " + what + " (the dialog has gone)";
}

// WM_SETTEXT carries a pointer, which the system copies across processes;
// OK is posted, for the dialog may open a box of its own (overwrite?).
std::string DialogSteps::ChooseFile(HWND dialog, const DialogStep& step) const {
    const HWND edit = uidriver::FileNameEdit(dialog);
    if (!edit)
        throw uidriver::Error("the dialog " + Quoted(step.caption) + " has no file name box");
    ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(step.path.c_str()));
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    return "file chosen: caption=" + Quoted(step.caption) + " name=" + Quoted(step.path) +
           " pressed=OK";
}

// A list box or a combo box, whichever the control is, picked as a user
// picks an item: the dialog hears of the change.
std::string DialogSteps::Select(HWND dialog, const DialogStep& step) const {
    const uidriver::DialogWindow window(dialog);
    if (uidriver::IsClass(::GetDlgItem(dialog, step.number), "ComboBox"))
        window.SelectComboItem(step.number, step.path);
    else
        window.SelectListItem(step.number, step.path);
    return "selected: caption=" + Quoted(step.caption) + " control=" + std::to_string(step.number) +
           " item=" + Quoted(step.path);
}

// Posted, as the system menu does: the command may open a modal dialog.
std::string DialogSteps::SysCommand(HWND dialog, const DialogStep& step) const {
    ::PostMessageA(dialog, WM_SYSCOMMAND, static_cast<WPARAM>(step.number), 0);
    return "system command: caption=" + Quoted(step.caption) +
           " command=" + std::to_string(step.number);
}
