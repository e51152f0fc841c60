#include "BookOperator.h"

#include "Win.h"

// The major version of the Excel registered for automation, from the
// default value of "Excel.Application\CurVer"; -1 when it cannot be read.
void CBookOperator::ReadExcelVersion() {
    m_nExcelVersion = -1;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, "Excel.Application\\CurVer", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return;
    char value[260] = {};
    DWORD size = sizeof value - 1; // always leaves a terminator
    DWORD type = 0;
    if (::RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
            ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ))
        m_nExcelVersion = ExcelVersionFromCurVer(value);
    ::RegCloseKey(key);
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
