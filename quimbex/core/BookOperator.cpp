#include "BookOperator.h"

#include "ExcelVersion.h"
#include "Win.h"

void CBookOperator::ReadExcelVersion() {
    m_nExcelVersion = ReadRegisteredExcelVersion();
}

void CBookOperator::Execute(const CommandPlan& plan) {
    switch (plan.operation) {
    case BookOperation::ConvertSingleBook:
        ConvertSingleBook(plan.strWorkFile, plan.strArg1);
        break;
    case BookOperation::AddBook:
        AddBook(plan.strWorkFile, plan.strArg1, plan.strArg2);
        break;
    case BookOperation::UpdateYear:
        UpdateYear(plan.strWorkFile);
        break;
    case BookOperation::InitPayrollBook:
        InitPayrollBook(plan.strWorkFile);
        break;
    case BookOperation::ConvertAllBooks:
        ConvertAllBooks(plan.strWorkFile, plan.bShowResult ? TRUE : FALSE);
        break;
    case BookOperation::InitAttendanceBook:
        InitAttendanceBook(plan.strWorkFile);
        break;
    case BookOperation::ChangeBookFormat:
        ChangeBookFormat(plan.strWorkFile);
        break;
    }
}
