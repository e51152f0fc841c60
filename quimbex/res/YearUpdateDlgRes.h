#pragma once
// The year-update dialog (command 7).
#define IDD_YEAR_UPDATE 129
#define IDC_YEAR_ALL_BOOKS 1005
#define IDC_YEAR_TARGET 1009
#define IDC_YEAR_SPARE_SCROLL 1010
#define IDC_YEAR_BOOK_LIST 1014
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
