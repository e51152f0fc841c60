#pragma once
#include "BookNames.h"
#include "CommandSwitches.h"

// The operations that command codes 5 to 12 select.
enum class BookOperation {
    ConvertSingleBook,
    AddBook,
    UpdateYear,
    InitPayrollBook,
    ConvertAllBooks,
    InitAttendanceBook,
    ChangeBookFormat
};

// One operation with the work file (the converter workbook) and arguments.
struct CommandPlan {
    BookOperation operation = BookOperation::ConvertAllBooks;
    CString strWorkFile;
    CString strArg1;
    CString strArg2;
    bool bShowResult = false; // ConvertAllBooks: report the outcome
};

// False for a code outside 5..12, and for a workbook name of the command
// that is no plain name.
bool PlanCommand(const CommandSwitches& sw, const CString& productDir, const CString& bookExt,
                 CommandPlan& plan);
