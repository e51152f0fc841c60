#include "BookChecks.h"

#include "SampleWorkbooks.h"
#include "TempDir.h"
#include <cstdlib>
#include <algorithm>

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

const char kTrue[] = "\t=> BOOL:-1";

std::string CheckProtectRun(const std::string& book) {
    return "Run\tCheckProtect\tBSTR:" + book + "\t=> BOOL:0";
}

// "Run\t<macro>\tBSTR:<source>\t<middle>\tBSTR:<target>\t=> BOOL:-1"
std::string ConversionRun(const char* macro, const std::string& source, const char* middle,
                          const std::string& target) {
    return std::string("Run\t") + macro + "\tBSTR:" + source + "\t" + middle + "\tBSTR:" + target +
           kTrue;
}

} // namespace

std::vector<std::string> PayrollRebuildRuns(const std::string& book, const std::string& backupFile,
                                            const std::string& target) {
    const char* const protection = "BSTR:KARVINE";
    return {
        CheckProtectRun(book),
        ConversionRun("会社情報コンバート", backupFile, "BSTR:", target),
        ConversionRun("社員名簿コンバート", backupFile, "I4:0", target),
        ConversionRun("給与データコンバート", backupFile, protection, target),
        ConversionRun("給与明細コンバート", backupFile, protection, target),
        ConversionRun("賞与明細コンバート", backupFile, protection, target),
        ConversionRun("源泉徴収票コンバート", backupFile, protection, target),
        ConversionRun("差引徴収税額再計算", backupFile, protection, target),
    };
}

std::vector<std::string> AttendanceRebuildRuns(const std::string& book,
                                               const std::string& backupFile,
                                               const std::string& target) {
    return {CheckProtectRun(book),
            ConversionRun("勤怠コンバート", backupFile, "BSTR:KARVINE", target)};
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
    const long oldYear = std::strtol(oldBook.GetValue("Book", "Year"), nullptr, 10);
    if (std::strtol(newBook.GetValue("Book", "Year"), nullptr, 10) != oldYear + 1)
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
