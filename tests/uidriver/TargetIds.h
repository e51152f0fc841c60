#pragma once
// The dialog of uidriver_target.exe, shared by the target and the tests.

#define IDD_TARGET 100

#define IDC_LABEL 1001
#define IDC_LIST 1002
#define IDC_COMBO 1003
#define IDC_CHECK 1004
#define IDC_EDIT 1005
#define IDC_NOTES 1006
#define IDC_SWITCHED 1007
#define IDC_HIDDEN 1008
#define IDC_ASK 1009
