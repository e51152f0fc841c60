#include "BookChecks.h"

#include "SampleWorkbooks.h"
#include "TempDir.h"

const char* const kPayrollSections[] = {"Company",    "Employees",   "PayData", "Payslips",
                                        "BonusSlips", "Withholding", nullptr};
const char* const kAttendanceSections[] = {"Attendance", nullptr};

testing::AssertionResult IsRebuiltFrom(const CString& book, const CString& backup,
                                       const char* const* sections) {
    CStandinWorkbook newBook, oldBook;
    if (!newBook.Load(book))
        return testing::AssertionFailure() << book.GetString() << " is missing";
    if (!oldBook.Load(backup))
        return testing::AssertionFailure() << backup.GetString() << " is missing";
    if (newBook.GetValue("Book", "Template") != kCurrentTemplateVersion)
        return testing::AssertionFailure() << book.GetString() << " is not from the template";
    if (oldBook.GetValue("Book", "Template") != kOldTemplateVersion)
        return testing::AssertionFailure() << backup.GetString() << " is not the old book";
    for (; *sections; ++sections) {
        const auto* got = newBook.FindSection(*sections);
        const auto* want = oldBook.FindSection(*sections);
        if (!got || !want || got->lines.empty() || got->lines != want->lines)
            return testing::AssertionFailure() << "section " << *sections << " not carried over";
    }
    return testing::AssertionSuccess();
}
