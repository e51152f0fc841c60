#include "StandinMacros.h"

#include "StandinWorkbook.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

const char CStandinMacros::kProtectionText[] = "KARVINE";

namespace {

using Transform = bool (*)(const CStandinWorkbook& source, const MacroArg& middle,
                           CStandinWorkbook& target, CString& reason);

std::vector<CString> ActiveEmployees(const CStandinWorkbook& book) {
    std::vector<CString> active;
    if (const auto* section = book.FindSection("Employees"))
        for (const CString& line : section->lines)
            if (!CStandinWorkbook::IsRetiredEmployee(line))
                active.push_back(line);
    return active;
}

std::vector<CString> SectionLines(const CStandinWorkbook& book, const char* name) {
    const auto* section = book.FindSection(name);
    return section ? section->lines : std::vector<CString>();
}

bool ConvertCompany(const CStandinWorkbook& source, const MacroArg& option,
                    CStandinWorkbook& target, CString&) {
    target.SetLines("Company", SectionLines(source, "Company"));
    if (!option.text.IsEmpty())
        target.Lines("Company").push_back("Option=" + option.text);
    return true;
}

// Mode 0 takes every employee over; mode 1 (the year update) leaves out the
// retired ones.
bool ConvertEmployees(const CStandinWorkbook& source, const MacroArg& mode,
                      CStandinWorkbook& target, CString& reason) {
    if (mode.value != 0 && mode.value != 1) {
        reason.Format("employee list mode %ld is neither 0 nor 1", mode.value);
        return false;
    }
    target.SetLines("Employees",
                    mode.value == 0 ? SectionLines(source, "Employees") : ActiveEmployees(source));
    return true;
}

bool RecalculateTax(const CStandinWorkbook&, const MacroArg&, CStandinWorkbook& target, CString&) {
    target.SetValue("Book", "TaxRecalculated", "1");
    return true;
}

bool ParseYear(const CString& text, long& year) {
    char* end = nullptr;
    errno = 0;
    year = std::strtol(text.GetString(), &end, 10);
    return !text.IsEmpty() && errno == 0 && *end == '\0' && year > 0 && year < 9999;
}

bool ConvertYear(const CStandinWorkbook& source, const MacroArg&, CStandinWorkbook& target,
                 CString& reason) {
    long year = 0;
    if (!ParseYear(source.GetValue("Book", "Year"), year)) {
        reason = "the source has no valid Year";
        return false;
    }
    target.SetLines("Company", SectionLines(source, "Company"));
    target.SetLines("Employees", ActiveEmployees(source));
    for (const char* emptied : {"PayData", "Payslips", "BonusSlips"})
        target.SetLines(emptied, {});
    CString next;
    next.Format("%ld", year + 1);
    target.SetValue("Book", "Year", next);
    return true;
}

} // namespace

// What the middle argument of a three-argument macro is.
enum class Middle { protection, option, mode };

struct MacroDef {
    const char* name;
    Middle middle;
    const char* section; // a plain section copy, or nullptr
    Transform transform;
};

namespace {

const MacroDef kMacros[] = {
    {"会社情報コンバート", Middle::option, nullptr, ConvertCompany},
    {"社員名簿コンバート", Middle::mode, nullptr, ConvertEmployees},
    {"給与データコンバート", Middle::protection, "PayData", nullptr},
    {"給与明細コンバート", Middle::protection, "Payslips", nullptr},
    {"賞与明細コンバート", Middle::protection, "BonusSlips", nullptr},
    {"源泉徴収票コンバート", Middle::protection, "Withholding", nullptr},
    {"勤怠コンバート", Middle::protection, "Attendance", nullptr},
    {"差引徴収税額再計算", Middle::protection, nullptr, RecalculateTax},
    {"年度更新コンバート", Middle::protection, nullptr, ConvertYear},
};

const char kCheckProtect[] = "CheckProtect";

const MacroDef* FindMacro(const char* name) {
    for (const MacroDef& def : kMacros)
        if (std::strcmp(def.name, name) == 0)
            return &def;
    return nullptr;
}

MacroOutcome Outcome(MacroOutcome::Kind kind) {
    MacroOutcome outcome;
    outcome.kind = kind;
    return outcome;
}

MacroOutcome False(const CString& reason) {
    MacroOutcome outcome = Outcome(MacroOutcome::returnedFalse);
    outcome.reasons.push_back(reason);
    return outcome;
}

// The parameters are typed in the macros: a string parameter takes a string.
bool CheckType(const MacroArg& arg, MacroArg::Type type, int position, CString& reason) {
    if (arg.type == type)
        return true;
    reason.Format("argument %d is %s, not %s", position, arg.typeName.GetString(),
                  type == MacroArg::typeText ? "BSTR" : "I4");
    return false;
}

// Checks the three argument types and, for most macros, the protection text.
bool CheckArguments(const MacroDef& def, const std::vector<MacroArg>& args, CString& reason) {
    const MacroArg::Type middle =
        def.middle == Middle::mode ? MacroArg::typeLong : MacroArg::typeText;
    if (!CheckType(args[0], MacroArg::typeText, 1, reason) ||
        !CheckType(args[1], middle, 2, reason) ||
        !CheckType(args[2], MacroArg::typeText, 3, reason))
        return false;
    if (def.middle == Middle::protection && args[1].text != CStandinMacros::kProtectionText) {
        reason = "wrong protection text: " + args[1].text;
        return false;
    }
    return true;
}

} // namespace

bool CStandinMacros::Exists(const char* name) {
    return std::strcmp(name, kCheckProtect) == 0 || FindMacro(name) != nullptr;
}

MacroOutcome CStandinMacros::Run(const CString& name, const std::vector<MacroArg>& args) const {
    if (name == kCheckProtect)
        return CheckProtect(args);
    const MacroDef* def = FindMacro(name);
    if (!def)
        return Outcome(MacroOutcome::notFound);
    if (args.size() != 3)
        return Outcome(MacroOutcome::badArgumentCount);
    return Convert(*def, args);
}

// A book that is missing or cannot be read counts as not protected.
MacroOutcome CStandinMacros::CheckProtect(const std::vector<MacroArg>& args) const {
    if (args.size() != 1)
        return Outcome(MacroOutcome::badArgumentCount);
    CString reason, path;
    if (!CheckType(args[0], MacroArg::typeText, 1, reason))
        return False(reason);
    CStandinWorkbook book;
    MacroOutcome outcome = Outcome(MacroOutcome::returnedFalse);
    if (LoadBook(args[0], "book", book, path, outcome) && book.IsProtected())
        outcome.kind = MacroOutcome::returnedTrue;
    return outcome;
}

// The target keeps its own lines (it was copied from the new template) except
// for what the macro carries over; it is saved only when everything went well.
MacroOutcome CStandinMacros::Convert(const MacroDef& def, const std::vector<MacroArg>& args) const {
    CString reason, sourcePath, targetPath;
    if (!CheckArguments(def, args, reason))
        return False(reason);
    CStandinWorkbook source, target;
    MacroOutcome outcome = Outcome(MacroOutcome::returnedFalse);
    if (!LoadBook(args[0], "source", source, sourcePath, outcome) ||
        !LoadBook(args[2], "target", target, targetPath, outcome))
        return outcome;
    if (source.IsProtected() || target.IsProtected())
        return False(CString(source.IsProtected() ? "source " : "target ") + "is protected");
    if (def.section)
        target.SetLines(def.section, SectionLines(source, def.section));
    else if (!def.transform(source, args[1], target, reason))
        return False(reason);
    if (!target.Save(targetPath))
        return False("cannot write the target: " + targetPath);
    return Outcome(MacroOutcome::returnedTrue);
}

bool CStandinMacros::LoadBook(const MacroArg& arg, const char* role, CStandinWorkbook& book,
                              CString& path, MacroOutcome& outcome) const {
    path = m_locator.Resolve(arg.text);
    CString reason;
    if (!book.Load(path))
        reason.Format("%s not found: %s", role, path.GetString());
    else if (!book.IsWorkbook())
        reason.Format("%s is not a workbook: %s", role, path.GetString());
    else
        return true;
    outcome.reasons.push_back(reason);
    return false;
}
