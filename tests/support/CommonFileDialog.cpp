#include "CommonFileDialog.h"

#include "DialogWindow.h"
#include "Error.h"
#include "RemoteWindow.h"

namespace {

const int kFileTypeCombo = 0x470;
const int kFileNameBox = 0x47C;

// The first "Edit" below `parent`, at any depth.
HWND FindEdit(HWND parent) {
    for (HWND child : uidriver::ChildrenOf(parent)) {
        if (uidriver::IsClass(child, "Edit"))
            return child;
        if (const HWND inner = FindEdit(child))
            return inner;
    }
    return nullptr;
}

} // namespace

CommonFileDialog CommonFileDialog::WaitFor(const uidriver::WindowFinder& windows,
                                           const std::string& caption, DWORD timeoutMs) {
    return CommonFileDialog(windows.WaitFor(uidriver::WindowQuery("#32770", caption), timeoutMs));
}

HWND CommonFileDialog::NameEdit() const {
    const HWND box = ::GetDlgItem(m_hwnd, kFileNameBox);
    const HWND edit = box ? FindEdit(box) : nullptr;
    if (!edit)
        throw uidriver::Error("the file dialog has no file name box");
    return edit;
}

std::string CommonFileDialog::FileName() const {
    return uidriver::ReadText(NameEdit());
}

std::vector<std::string> CommonFileDialog::FileTypes() const {
    return uidriver::DialogWindow(m_hwnd).ComboItems(kFileTypeCombo);
}

int CommonFileDialog::FileTypeSelection() const {
    return uidriver::DialogWindow(m_hwnd).ComboSelection(kFileTypeCombo);
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
