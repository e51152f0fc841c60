#include "CommonFileDialog.h"

#include "DialogWindow.h"
#include "Error.h"
#include "FileDialogControls.h"
#include "RemoteWindow.h"

CommonFileDialog CommonFileDialog::WaitFor(const uidriver::WindowFinder& windows,
                                           const std::string& caption, DWORD timeoutMs) {
    return CommonFileDialog(windows.WaitFor(uidriver::WindowQuery("#32770", caption), timeoutMs));
}

HWND CommonFileDialog::NameEdit() const {
    const HWND edit = uidriver::FileNameEdit(m_hwnd);
    if (!edit)
        throw uidriver::Error("the file dialog has no file name box");
    return edit;
}

std::string CommonFileDialog::FileName() const {
    return uidriver::ReadText(NameEdit());
}

std::vector<std::string> CommonFileDialog::FileTypes() const {
    return uidriver::DialogWindow(m_hwnd).ComboItems(uidriver::kFileTypeCombo);
}

int CommonFileDialog::FileTypeSelection() const {
    return uidriver::DialogWindow(m_hwnd).ComboSelection(uidriver::kFileTypeCombo);
}

// WM_SETTEXT carries a pointer, which the system copies across processes;
// OK is posted, for the dialog may open a box of its own (overwrite?).
void CommonFileDialog::Confirm(const std::string& name) const {
    ::SendMessageA(NameEdit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    ::PostMessageA(m_hwnd, WM_COMMAND, IDOK, 0);
}

void CommonFileDialog::Cancel() const {
    ::PostMessageA(m_hwnd, WM_COMMAND, IDCANCEL, 0);
}
