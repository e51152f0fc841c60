#pragma once
// The payroll-book initialisation dialog (command 8).
#define IDD_BOOK_INIT 103
#define IDC_INIT_BONUS_INPUT 1002
#define IDC_INIT_WAGE_LEDGER 1005
#define IDC_INIT_EMPLOYEE_LIST 1006
#define IDC_INIT_PAYSLIP_INPUT 1007
#define IDC_INIT_WITHHOLDING 1008
#define IDC_INIT_KEEP_SETTINGS 1011
#define IDC_INIT_INITIAL_STATE 1012
#define IDC_INIT_BOOK 1013
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
