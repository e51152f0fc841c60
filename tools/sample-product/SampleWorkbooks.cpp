#include "SampleWorkbooks.h"

const char kOldTemplateVersion[] = "2025.1";
const char kCurrentTemplateVersion[] = "2026.1";

namespace {

CStandinWorkbook Header(const char* kind, const char* version) {
    CStandinWorkbook book;
    book.SetValue("Book", "Kind", kind);
    book.SetValue("Book", "Template", version);
    book.SetValue("Book", "Protected", "0");
    book.SetValue("Book", "Year", "2026");
    return book;
}

CString Line(const char* format, int seed) {
    CString s;
    s.Format(format, seed + 1);
    return s;
}

} // namespace

CStandinWorkbook PayrollTemplate() {
    CStandinWorkbook book = Header("Payroll", kCurrentTemplateVersion);
    for (const char* section :
         {"Company", "Employees", "PayData", "Payslips", "BonusSlips", "Withholding"})
        book.Lines(section);
    return book;
}

CStandinWorkbook AttendanceTemplate() {
    CStandinWorkbook book = Header("Attendance", kCurrentTemplateVersion);
    book.Lines("Attendance");
    return book;
}

CStandinWorkbook ConverterWorkbook() {
    return Header("Converter", kCurrentTemplateVersion);
}

CStandinWorkbook PayrollBook(const char* company, int seed) {
    CStandinWorkbook book = Header("Payroll", kOldTemplateVersion);
    book.SetLines("Company", {"Name=株式会社" + CString(company), Line("Code=%d", seed),
                              "Address=東京都港区表参道1-2-3"});
    book.SetLines("Employees", {Line("000%d,山田 太郎,0", seed), Line("010%d,佐藤 花子,0", seed),
                                Line("020%d,鈴木 一郎,1", seed)});
    book.SetLines("PayData", {Line("2026-04,000%d,基本給=300000", seed),
                              Line("2026-04,010%d,基本給=280000", seed)});
    book.SetLines("Payslips", {Line("2026-04,000%d,差引支給額=245000", seed)});
    book.SetLines("BonusSlips", {Line("2026-06,000%d,賞与=500000", seed)});
    book.SetLines("Withholding", {Line("2025,000%d,源泉徴収税額=120000", seed)});
    return book;
}

CStandinWorkbook AttendanceBook(int seed) {
    CStandinWorkbook book = Header("Attendance", kOldTemplateVersion);
    book.SetLines("Attendance", {Line("2026-04,000%d,出勤=20,欠勤=0,残業=12.5", seed),
                                 Line("2026-04,010%d,出勤=19,欠勤=1,残業=3.0", seed)});
    return book;
}
