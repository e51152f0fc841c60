#pragma once
#include "WindowFinder.h"

#include <windows.h>

#include <string>
#include <vector>

namespace uidriver {

// A control as the diagnostics show it.
struct ControlInfo {
    int id = 0;
    std::string className;
    std::string text;
    bool visible = false;
    bool enabled = false;
};

// A dialog of the program under test: reads its controls and works them
// the way a user does.  An action on a control that is hidden or disabled,
// or in a dialog that is disabled (a modal box above it), throws Error: a
// user could not do it either.
class DialogWindow {
public:
    explicit DialogWindow(HWND hwnd);
    // Waits for a visible dialog ("#32770") of the process with the exact
    // caption; throws Error (with the window list) at the deadline.
    static DialogWindow WaitFor(const WindowFinder& windows, const std::string& caption,
                                DWORD timeoutMs);

    HWND Handle() const { return m_hwnd; }
    // The control with `id`; throws Error when the dialog has none.
    HWND Control(int id) const;
    std::vector<ControlInfo> Controls() const;
    std::string Caption() const;

    std::string Text(int id) const;
    bool IsEnabled(int id) const;
    bool IsVisible(int id) const;
    int CheckState(int id) const; // BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE
    std::vector<std::string> ListItems(int id) const;
    int ListSelection(int id) const; // -1: none
    std::vector<std::string> ComboItems(int id) const;
    int ComboSelection(int id) const; // -1: none

    void Click(int id) const;
    // The left mouse button pressed and let go on the control's centre, as
    // a user clicks: the system gives the click to whatever window is there
    // when the program takes it from its queue (it drops a click on a
    // disabled window).  Returns at once, the program may be busy; throws
    // Error, as Click does, when the control cannot be clicked now.  With
    // `times` 2 the button goes down and up twice in one input: a double
    // click, all of it queued before the program takes any of it.
    void MouseClick(int id, int times = 1) const;
    void SetCheck(int id, bool checked) const;
    void SelectListItem(int id, int index) const;
    void SelectListItem(int id, const std::string& text) const;
    void SelectComboItem(int id, int index) const;
    void SelectComboItem(int id, const std::string& text) const;
    void TypeText(int id, const std::string& text) const;

private:
    HWND UsableControl(int id) const;
    std::string Name(int id) const;
    void Notify(HWND control, int code) const;

    HWND m_hwnd;
};

} // namespace uidriver
