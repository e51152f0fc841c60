#pragma once
// Dialog 130: the attendance book initialisation.
#define IDD_ATTEND_INIT 130
#define IDC_ATTEND_KEEP_DATA 1011
#define IDC_ATTEND_INITIAL 1012
#define IDC_ATTEND_BOOKS 1015
