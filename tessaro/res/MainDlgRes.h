#pragma once
// The main dialog and its system-menu entry.
#define IDD_TESSARO_DIALOG 102
#define IDC_CREATE_FILE 1000
#define IDC_RESTORE_FILE 1001
// The text of the About entry appended to the system menu.
#define IDS_ABOUTBOX 101
// A system command: the system reserves the low four bits.
#define IDM_ABOUT 0x0010
