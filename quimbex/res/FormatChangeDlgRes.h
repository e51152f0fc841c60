#pragma once
// Dialog 131: the question before the workbook format changes.
#define IDD_FORMAT_CHANGE 131
#define IDC_FORMAT_QUESTION 1009
