#include "DialogWindow.h"

#include "Error.h"
#include "MbcsText.h"
#include "RemoteWindow.h"

namespace uidriver {

namespace {

LONG StyleOf(HWND hwnd) {
    return ::GetWindowLongA(hwnd, GWL_STYLE);
}

std::string Narrow(const std::wstring& text) {
    if (text.empty())
        return "";
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &bytes[0], n,
                          nullptr, nullptr);
    return bytes;
}

// One item of a list box or a combo box.  Sent to another process as ANSI,
// LB_GETTEXT and CB_GETLBTEXT come back from Wine 8 as UTF-16 bytes, not
// converted; asked as Unicode they answer right everywhere, and the item is
// turned into the ANSI code page (932) here, as WM_GETTEXT gives it.
std::string ReadItem(HWND control, UINT lengthMsg, UINT textMsg, int index) {
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(control, lengthMsg, static_cast<WPARAM>(index), 0, SMTO_NORMAL, 5000,
                               &length))
        ThrowLastError("reading the length of item " + std::to_string(index));
    if (static_cast<LRESULT>(length) < 0)
        throw Error("item " + std::to_string(index) + " cannot be read");
    std::vector<wchar_t> wide(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(control, textMsg, static_cast<WPARAM>(index),
                               reinterpret_cast<LPARAM>(wide.data()), SMTO_NORMAL, 5000, &copied))
        ThrowLastError("reading item " + std::to_string(index));
    return Narrow(std::wstring(wide.data()));
}

std::vector<std::string> ReadItems(HWND control, UINT countMsg, UINT lengthMsg, UINT textMsg) {
    std::vector<std::string> items;
    const LRESULT count = Query(control, countMsg);
    if (count > 0)
        items.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        items.push_back(ReadItem(control, lengthMsg, textMsg, i));
    return items;
}

int IndexOf(const std::vector<std::string>& items, const std::string& text) {
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == text)
            return static_cast<int>(i);
    return -1;
}

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "\"" : ", \"") + EscapeLine(item) + "\"";
    return text;
}

} // namespace

DialogWindow::DialogWindow(HWND hwnd) : m_hwnd(hwnd) {
    if (!::IsWindow(hwnd))
        throw Error("no such dialog window");
}

DialogWindow DialogWindow::WaitFor(const WindowFinder& windows, const std::string& caption,
                                   DWORD timeoutMs) {
    WindowQuery query;
    query.className = "#32770";
    query.caption = caption;
    return DialogWindow(windows.WaitFor(query, timeoutMs));
}

HWND DialogWindow::Control(int id) const {
    const HWND control = ::GetDlgItem(m_hwnd, id);
    if (!control)
        throw Error("dialog \"" + EscapeLine(Caption()) + "\" has no control " +
                    std::to_string(id));
    return control;
}

std::vector<ControlInfo> DialogWindow::Controls() const {
    std::vector<ControlInfo> controls;
    for (HWND child : ChildrenOf(m_hwnd)) {
        ControlInfo info;
        info.id = ::GetDlgCtrlID(child);
        info.className = ReadClass(child);
        info.text = ReadText(child);
        info.visible = ::IsWindowVisible(child) != FALSE;
        info.enabled = ::IsWindowEnabled(child) != FALSE;
        controls.push_back(info);
    }
    return controls;
}

std::string DialogWindow::Caption() const {
    return ReadCaption(m_hwnd);
}

std::string DialogWindow::Text(int id) const {
    return ReadText(Control(id));
}

bool DialogWindow::IsEnabled(int id) const {
    return ::IsWindowEnabled(Control(id)) != FALSE;
}

bool DialogWindow::IsVisible(int id) const {
    return ::IsWindowVisible(Control(id)) != FALSE;
}

int DialogWindow::CheckState(int id) const {
    return static_cast<int>(Query(Control(id), BM_GETCHECK));
}

std::vector<std::string> DialogWindow::ListItems(int id) const {
    return ReadItems(Control(id), LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

int DialogWindow::ListSelection(int id) const {
    return static_cast<int>(Query(Control(id), LB_GETCURSEL));
}

std::vector<std::string> DialogWindow::ComboItems(int id) const {
    return ReadItems(Control(id), CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

int DialogWindow::ComboSelection(int id) const {
    return static_cast<int>(Query(Control(id), CB_GETCURSEL));
}

std::string DialogWindow::Name(int id) const {
    const HWND control = ::GetDlgItem(m_hwnd, id);
    return "control " + std::to_string(id) + " (" + (control ? ReadClass(control) : "none") +
           ") of dialog \"" + EscapeLine(Caption()) + "\"";
}

HWND DialogWindow::UsableControl(int id) const {
    const HWND control = Control(id);
    if (!::IsWindowVisible(control))
        throw Error(Name(id) + " is hidden");
    if (!::IsWindowEnabled(control))
        throw Error(Name(id) + " is disabled");
    if (!::IsWindowEnabled(m_hwnd))
        throw Error(Name(id) + ": the dialog is disabled (a modal window is above it)");
    return control;
}

// The WM_COMMAND that the control itself sends its parent.
void DialogWindow::Notify(HWND control, int code) const {
    Act(::GetParent(control), WM_COMMAND,
        MAKEWPARAM(static_cast<WORD>(::GetDlgCtrlID(control)), static_cast<WORD>(code)),
        reinterpret_cast<LPARAM>(control));
}

void DialogWindow::Click(int id) const {
    Act(UsableControl(id), BM_CLICK, 0, 0);
}

namespace {

// SendInput's absolute coordinates: 0 to 65535 across the primary screen.
INPUT MouseInput(DWORD flags, POINT at) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = ::MulDiv(at.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = ::MulDiv(at.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return input;
}

} // namespace

void DialogWindow::MouseClick(int id, int times) const {
    RECT rect;
    ::GetWindowRect(UsableControl(id), &rect);
    const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    std::vector<INPUT> inputs = {MouseInput(MOUSEEVENTF_MOVE, centre)};
    for (int i = 0; i < times; ++i) {
        inputs.push_back(MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, centre));
        inputs.push_back(MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, centre));
    }
    const UINT count = static_cast<UINT>(inputs.size());
    if (::SendInput(count, inputs.data(), sizeof(INPUT)) != count)
        ThrowLastError(Name(id) + ": SendInput");
}

// A three-state box goes unchecked, checked, indeterminate: at most three
// clicks reach any state.
void DialogWindow::SetCheck(int id, bool checked) const {
    const HWND control = UsableControl(id);
    const int wanted = checked ? BST_CHECKED : BST_UNCHECKED;
    for (int i = 0; i < 3 && CheckState(id) != wanted; ++i)
        Act(control, BM_CLICK, 0, 0);
    if (CheckState(id) != wanted)
        throw Error(Name(id) + " does not change its check state when clicked");
}

// A list box tells its parent only when it has LBS_NOTIFY; so does this.
void DialogWindow::SelectListItem(int id, int index) const {
    const HWND control = UsableControl(id);
    const LRESULT count = Query(control, LB_GETCOUNT);
    if (index < 0 || index >= count)
        throw Error(Name(id) + " has no item " + std::to_string(index));
    if (Query(control, LB_SETCURSEL, static_cast<WPARAM>(index)) == LB_ERR)
        throw Error(Name(id) + " refuses LB_SETCURSEL (a multiple-selection list?)");
    if (StyleOf(control) & LBS_NOTIFY)
        Notify(control, LBN_SELCHANGE);
}

void DialogWindow::SelectListItem(int id, const std::string& text) const {
    const std::vector<std::string> items = ListItems(id);
    const int index = IndexOf(items, text);
    if (index < 0)
        throw Error(Name(id) + " has no item \"" + EscapeLine(text) + "\"; it has " +
                    Joined(items));
    SelectListItem(id, index);
}

void DialogWindow::SelectComboItem(int id, int index) const {
    const HWND control = UsableControl(id);
    const LRESULT count = Query(control, CB_GETCOUNT);
    if (index < 0 || index >= count)
        throw Error(Name(id) + " has no item " + std::to_string(index));
    if (Query(control, CB_SETCURSEL, static_cast<WPARAM>(index)) == CB_ERR)
        throw Error(Name(id) + " refuses CB_SETCURSEL");
    Notify(control, CBN_SELCHANGE);
}

void DialogWindow::SelectComboItem(int id, const std::string& text) const {
    const std::vector<std::string> items = ComboItems(id);
    const int index = IndexOf(items, text);
    if (index < 0)
        throw Error(Name(id) + " has no item \"" + EscapeLine(text) + "\"; it has " +
                    Joined(items));
    SelectComboItem(id, index);
}

// A single-line edit control sends EN_CHANGE for WM_SETTEXT itself; a
// multi-line one does not, so the parent hears of it here, once either way.
void DialogWindow::TypeText(int id, const std::string& text) const {
    const HWND control = UsableControl(id);
    if (!IsClass(control, "Edit"))
        throw Error(Name(id) + " is no edit control");
    if (StyleOf(control) & ES_READONLY)
        throw Error(Name(id) + " is read-only");
    if (!Query(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())))
        throw Error(Name(id) + " refuses the text \"" + EscapeLine(text) + "\" (too long?)");
    if (StyleOf(control) & ES_MULTILINE)
        Notify(control, EN_CHANGE);
}

} // namespace uidriver
