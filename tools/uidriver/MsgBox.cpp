#include "MsgBox.h"

#include "Error.h"
#include "MbcsText.h"
#include "RemoteWindow.h"

#include <algorithm>

namespace uidriver {

namespace {

const int kTextId = 0xFFFF;

LONG StyleOf(HWND hwnd) {
    return ::GetWindowLongA(hwnd, GWL_STYLE);
}

bool IsIconStatic(HWND hwnd) {
    return IsClass(hwnd, "Static") && (StyleOf(hwnd) & SS_TYPEMASK) == SS_ICON;
}

bool IsPushButton(HWND hwnd) {
    const LONG type = StyleOf(hwnd) & BS_TYPEMASK;
    return IsClass(hwnd, "Button") && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

int LeftOf(HWND hwnd) {
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    return rect.left;
}

} // namespace

MsgBox::MsgBox(HWND hwnd) : m_hwnd(hwnd) {
    if (!IsMsgBox(hwnd))
        throw Error("window " + ReadClass(hwnd) + " \"" + EscapeLine(ReadCaption(hwnd)) +
                    "\" is no message box");
}

MsgBox MsgBox::WaitFor(const WindowFinder& windows, DWORD timeoutMs,
                       const std::optional<std::string>& caption) {
    WindowQuery query;
    query.className = "#32770";
    query.caption = caption;
    query.accept = IsMsgBox;
    return MsgBox(windows.WaitFor(query, timeoutMs));
}

// A dialog with a static 0xFFFF (IDC_STATIC) and an OK button passes too;
// for a test that is no loss, it reads and answers the same way.
bool MsgBox::IsMsgBox(HWND hwnd) {
    if (!IsClass(hwnd, "#32770"))
        return false;
    const HWND text = ::GetDlgItem(hwnd, kTextId);
    if (!text || !IsClass(text, "Static") || IsIconStatic(text))
        return false;
    bool hasButton = false;
    for (HWND child : ChildrenOf(hwnd)) {
        if (IsPushButton(child))
            hasButton = true;
        else if (!IsClass(child, "Static"))
            return false;
    }
    return hasButton;
}

std::string MsgBox::Caption() const {
    return ReadCaption(m_hwnd);
}

std::string MsgBox::Text() const {
    return ReadText(::GetDlgItem(m_hwnd, kTextId));
}

std::vector<ButtonInfo> MsgBox::Buttons() const {
    std::vector<HWND> shown;
    for (HWND child : ChildrenOf(m_hwnd))
        if (IsPushButton(child) && ::IsWindowVisible(child))
            shown.push_back(child);
    std::stable_sort(shown.begin(), shown.end(),
                     [](HWND a, HWND b) { return LeftOf(a) < LeftOf(b); });
    std::vector<ButtonInfo> buttons;
    buttons.reserve(shown.size());
    for (HWND button : shown)
        buttons.push_back(ButtonInfo{::GetDlgCtrlID(button), ReadText(button)});
    return buttons;
}

// Wine's message box answers DM_GETDEFID with IDOK whatever its buttons
// are; the button that carries BS_DEFPUSHBUTTON is the one Enter presses.
int MsgBox::DefaultButton() const {
    for (HWND child : ChildrenOf(m_hwnd))
        if (IsPushButton(child) && ::IsWindowVisible(child) &&
            (StyleOf(child) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return ::GetDlgCtrlID(child);
    return 0;
}

IconKind MsgBox::Icon(DWORD timeoutMs) const {
    for (HWND child : ChildrenOf(m_hwnd))
        if (IsIconStatic(child) && ::IsWindowVisible(child))
            return RecogniseIcon(child, timeoutMs);
    return IconKind::None;
}

void MsgBox::Press(int id) const {
    const HWND button = ::GetDlgItem(m_hwnd, id);
    if (!button || !IsPushButton(button) || !::IsWindowVisible(button))
        throw Error("message box \"" + EscapeLine(Caption()) + "\" has no button " +
                    std::to_string(id) + "; " + Describe());
    if (!::IsWindowEnabled(button))
        throw Error("button " + std::to_string(id) + " of message box is disabled");
    Act(button, BM_CLICK, 0, 0);
}

void MsgBox::Press(const std::string& text) const {
    for (const ButtonInfo& button : Buttons()) {
        if (button.text == text || StripMnemonic(button.text) == text) {
            Press(button.id);
            return;
        }
    }
    throw Error("message box has no button \"" + EscapeLine(text) + "\"; " + Describe());
}

std::string MsgBox::Describe() const {
    std::string buttons;
    for (const ButtonInfo& button : Buttons())
        buttons += (buttons.empty() ? "" : "|") + StripMnemonic(button.text);
    return "caption=\"" + EscapeLine(Caption()) + "\" text=\"" + EscapeLine(Text()) +
           "\" icon=" + IconKindName(Icon()) + " buttons=" + buttons;
}

} // namespace uidriver
