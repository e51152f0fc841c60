#include "BookChecks.h"

#include "SampleWorkbooks.h"
#include "TempDir.h"

#include <algorithm>
#include <cstdlib>

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

namespace {

testing::AssertionResult LoadPair(const CString& book, const CString& backup,
                                  CStandinWorkbook& newBook, CStandinWorkbook& oldBook) {
    if (!newBook.Load(book))
        return testing::AssertionFailure() << book.GetString() << " is missing";
    if (!oldBook.Load(backup))
        return testing::AssertionFailure() << backup.GetString() << " is missing";
    if (newBook.GetValue("Book", "Template") != kCurrentTemplateVersion)
        return testing::AssertionFailure() << book.GetString() << " is not from the template";
    return testing::AssertionSuccess();
}

std::vector<CString> LinesOf(const CStandinWorkbook& book, const char* section) {
    const auto* found = book.FindSection(section);
    return found ? found->lines : std::vector<CString>();
}

} // namespace

testing::AssertionResult IsNextYearOf(const CString& book, const CString& backup) {
    CStandinWorkbook newBook, oldBook;
    if (auto loaded = LoadPair(book, backup, newBook, oldBook); !loaded)
        return loaded;
    const int oldYear = std::atoi(oldBook.GetValue("Book", "Year"));
    if (std::atoi(newBook.GetValue("Book", "Year")) != oldYear + 1)
        return testing::AssertionFailure() << "year " << newBook.GetValue("Book", "Year").str()
                                           << " does not follow " << oldYear;
    if (LinesOf(newBook, "Company").empty() ||
        LinesOf(newBook, "Company") != LinesOf(oldBook, "Company"))
        return testing::AssertionFailure() << "company not carried over";
    std::vector<CString> staying;
    for (const CString& line : LinesOf(oldBook, "Employees"))
        if (!CStandinWorkbook::IsRetiredEmployee(line))
            staying.push_back(line);
    if (staying.empty() || staying.size() == LinesOf(oldBook, "Employees").size() ||
        LinesOf(newBook, "Employees") != staying)
        return testing::AssertionFailure() << "employees are not those who stay";
    for (const char* section : {"PayData", "Payslips", "BonusSlips"})
        if (!LinesOf(newBook, section).empty())
            return testing::AssertionFailure() << "section " << section << " not emptied";
    return testing::AssertionSuccess();
}

testing::AssertionResult IsInitialisedFrom(const CString& book, const CString& backup,
                                           const std::vector<std::string>& carried) {
    CStandinWorkbook newBook, oldBook;
    if (auto loaded = LoadPair(book, backup, newBook, oldBook); !loaded)
        return loaded;
    if (newBook.GetValue("Book", "TaxRecalculated") != "1")
        return testing::AssertionFailure() << "tax not recalculated";
    for (const char* const* section = kPayrollSections; *section; ++section) {
        const bool wanted = std::string(*section) == "Company" ||
                            std::find(carried.begin(), carried.end(), *section) != carried.end();
        const std::vector<CString> got = LinesOf(newBook, *section);
        if (wanted && (got.empty() || got != LinesOf(oldBook, *section)))
            return testing::AssertionFailure() << "section " << *section << " not carried over";
        if (!wanted && !got.empty())
            return testing::AssertionFailure() << "section " << *section << " carried unasked";
    }
    return testing::AssertionSuccess();
}
