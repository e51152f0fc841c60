#pragma once
#include "StandinWorkbook.h"

// The workbooks of the sample installation.  Books carry the data of an
// older template; templates carry the current template and no data.

extern const char kOldTemplateVersion[];
extern const char kCurrentTemplateVersion[];

CStandinWorkbook PayrollTemplate();
CStandinWorkbook AttendanceTemplate();
CStandinWorkbook ConverterWorkbook();
// A payroll book with company, employees (one retired) and slips; seed
// varies the data between books.
CStandinWorkbook PayrollBook(const char* company, int seed);
CStandinWorkbook AttendanceBook(int seed);
