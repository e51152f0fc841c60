#pragma once
#include "WindowFinder.h"

#include <windows.h>

#include <string>
#include <vector>

// The platform's open or save dialog shown by a program under test, as Wine
// draws it: caption "開く" or "名前を付けて保存" and the controls of
// FileDialogControls.h.
class CommonFileDialog {
public:
    explicit CommonFileDialog(HWND hwnd) : m_hwnd(hwnd) {}
    // Waits for a visible dialog of the process with this caption; throws
    // uidriver::Error at the deadline.
    static CommonFileDialog WaitFor(const uidriver::WindowFinder& windows,
                                    const std::string& caption, DWORD timeoutMs = 30000);

    HWND Handle() const { return m_hwnd; }
    HWND Owner() const { return ::GetWindow(m_hwnd, GW_OWNER); }
    std::string FileName() const;
    std::vector<std::string> FileTypes() const;
    int FileTypeSelection() const;

    // Types the name and presses OK, as a user does.
    void Confirm(const std::string& name) const;
    void Cancel() const;

private:
    HWND NameEdit() const;

    HWND m_hwnd;
};
