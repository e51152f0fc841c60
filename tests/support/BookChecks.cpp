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
