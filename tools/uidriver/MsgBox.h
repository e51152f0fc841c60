#pragma once
#include "IconReader.h"
#include "WindowFinder.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace uidriver {

struct ButtonInfo {
    int id = 0;
    std::string text; // as the button shows it, e.g. "はい(&Y)"
};

// A message box (MessageBoxA, AfxMessageBox) of the program under test.
class MsgBox {
public:
    // Throws Error unless `hwnd` looks like a message box (see IsMsgBox).
    explicit MsgBox(HWND hwnd);
    // Waits for a visible message box of the process, optionally with the
    // exact caption; throws Error (with the window list) at the deadline.
    static MsgBox WaitFor(const WindowFinder& windows, DWORD timeoutMs,
                          const std::optional<std::string>& caption = std::nullopt);
    // A dialog of class "#32770" with the text static 0xFFFF, push buttons
    // and statics only.
    static bool IsMsgBox(HWND hwnd);

    HWND Handle() const { return m_hwnd; }
    std::string Caption() const;
    // The text as the program gave it; Wine keeps "\n" line breaks as "\n".
    std::string Text() const;
    // The visible push buttons, left to right.
    std::vector<ButtonInfo> Buttons() const;
    // The default button's id, 0 when there is none.
    int DefaultButton() const;
    IconKind Icon(DWORD timeoutMs = 3000) const;

    void Press(int id) const;
    // The button whose text, with or without its "(&Y)" marker, is `text`.
    void Press(const std::string& text) const;
    // caption="..." text="..." icon=... buttons=A|B, escaped to one line.
    std::string Describe() const;

private:
    HWND m_hwnd;
};

} // namespace uidriver
