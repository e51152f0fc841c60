#include "BookOperator_win.h"

#include "ExcelVersion.h"
#include "RunOutcome.h"
#include "Win_win.h"

void CBookOperator::ReadExcelVersion() {
    m_nExcelVersion = ReadRegisteredExcelVersion();
}

// The commands without a dialog of their own fail with their result; the
// others note their outcome where they know it (their dialogs return what
// the user pressed).
void CBookOperator::Execute(const CommandPlan& plan) {
    switch (plan.operation) {
    case BookOperation::ConvertSingleBook:
        if (ConvertSingleBook(plan.strWorkFile, plan.strArg1) == 0)
            CRunOutcome::NoteFailed();
        break;
    case BookOperation::AddBook:
        if (AddBook(plan.strWorkFile, plan.strArg1, plan.strArg2) == 0)
            CRunOutcome::NoteFailed();
        break;
    case BookOperation::UpdateYear:
        UpdateYear(plan.strWorkFile);
        break;
    case BookOperation::InitPayrollBook:
        InitPayrollBook(plan.strWorkFile);
        break;
    case BookOperation::ConvertAllBooks:
        if (ConvertAllBooks(plan.strWorkFile, plan.bShowResult ? TRUE : FALSE) != 1)
            CRunOutcome::NoteFailed();
        break;
    case BookOperation::InitAttendanceBook:
        InitAttendanceBook(plan.strWorkFile);
        break;
    case BookOperation::ChangeBookFormat:
        ChangeBookFormat(plan.strWorkFile);
        break;
    }
}
