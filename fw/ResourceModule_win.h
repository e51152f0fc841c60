#pragma once
#include "Win_win.h"

// The module that this copy of the framework loads templates, strings,
// icons and clips from: the module it is linked into.  Every program and
// every one of our DLLs links the framework statically, so a DLL's dialogs
// come from the DLL and a program's from the program, with no switching.
HINSTANCE AfxGetResourceHandle();
