#include "FileDialogControls.h"

#include "RemoteWindow.h"

namespace uidriver {

namespace {

// The first "Edit" below `parent`, at any depth.
HWND FindEdit(HWND parent) {
    for (HWND child : ChildrenOf(parent)) {
        if (IsClass(child, "Edit"))
            return child;
        if (const HWND inner = FindEdit(child))
            return inner;
    }
    return nullptr;
}

} // namespace

HWND FileNameEdit(HWND dialog) {
    const HWND box = ::GetDlgItem(dialog, kFileNameBox);
    return box ? FindEdit(box) : nullptr;
}

} // namespace uidriver
