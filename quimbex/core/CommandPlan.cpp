#include "CommandPlan.h"

#include "ProductPaths.h"

namespace {

// The format change needs the converter of the other format.
CString OtherFormatConverter(const CString& productDir, const CString& bookExt) {
    return CProductPaths::OfProduct(productDir).Converter(bookExt == ".xls" ? ".xlsm" : ".xls");
}

} // namespace

bool PlanCommand(const CommandSwitches& sw, const CString& productDir, const CString& bookExt,
                 CommandPlan& plan) {
    plan = CommandPlan();
    plan.strWorkFile = CProductPaths::OfProduct(productDir).Converter(bookExt);
    switch (sw.nCommand) {
    case 5:
        plan.operation = BookOperation::ConvertSingleBook;
        plan.strArg1 = sw.strArgO;
        return IsPlainBookName(plan.strArg1);
    case 6:
        plan.operation = BookOperation::AddBook;
        plan.strArg1 = sw.strArgO;
        plan.strArg2 = sw.strArgN;
        // The new workbook is made under its name: one the system would
        // open as another name or as a device makes no workbook of it.
        return IsPlainBookName(plan.strArg1) && IsBookFileName(plan.strArg2);
    case 7:
        plan.operation = BookOperation::UpdateYear;
        return true;
    case 8:
        plan.operation = BookOperation::InitPayrollBook;
        return true;
    case 9:
    case 12:
        plan.operation = BookOperation::ConvertAllBooks;
        plan.bShowResult = sw.nCommand == 9;
        return true;
    case 10:
        plan.operation = BookOperation::InitAttendanceBook;
        return true;
    case 11:
        plan.operation = BookOperation::ChangeBookFormat;
        plan.strWorkFile = OtherFormatConverter(productDir, bookExt);
        return true;
    default:
        return false;
    }
}
