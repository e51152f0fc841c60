#pragma once
// Resources that more than one window of Tessaro uses.
#define IDC_STATIC -1 // NOLINT(bugprone-macro-parentheses): windres reads it too, always alone
// The program's icon, 32x32 and 16x16.
#define IDR_MAINFRAME 128
