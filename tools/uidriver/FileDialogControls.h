#pragma once
#include <windows.h>

namespace uidriver {

// The platform's open and save dialogs, as Wine draws them: the file type
// combo 0x470 and the file name box 0x47C, a ComboBoxEx32 holding a ComboBox
// holding an Edit.
constexpr int kFileTypeCombo = 0x470;
constexpr int kFileNameBox = 0x47C;

// The edit of the file name box of `dialog`; null when it has none.
HWND FileNameEdit(HWND dialog);

} // namespace uidriver
