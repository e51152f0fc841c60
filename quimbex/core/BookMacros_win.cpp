#include "BookOperator_win.h"

// Every macro lives in the converter workbook, which is closed unsaved: the
// macros save the workbooks they write themselves.

namespace {
const char kProtectionText[] = "KARVINE";
const int kDontSave = 0;
} // namespace

int CBookOperator::MacroCheckProtect(const CString& bookPath, const CString& book) {
    COleVariant arg(book);
    return m_excel.RunMacro(bookPath, "CheckProtect", arg, kDontSave);
}

int CBookOperator::RunProtectedMacro(const CString& bookPath, const char* macroName,
                                     const CString& source, const CString& target) {
    COleVariant a1(source), a2(kProtectionText), a3(target);
    return m_excel.RunMacro3(bookPath, macroName, a1, a2, a3, kDontSave);
}

int CBookOperator::MacroYearUpdate(const CString& bookPath, const CString& source,
                                   const CString& target) {
    return RunProtectedMacro(bookPath, "年度更新コンバート", source, target);
}

int CBookOperator::MacroEmployeeList(const CString& bookPath, const CString& source, int mode,
                                     const CString& target) {
    COleVariant a1(source), a2(static_cast<long>(mode)), a3(target);
    return m_excel.RunMacro3(bookPath, "社員名簿コンバート", a1, a2, a3, kDontSave);
}

int CBookOperator::MacroCompanyInfo(const CString& bookPath, const CString& source,
                                    const CString& option, const CString& target) {
    COleVariant a1(source), a2(option), a3(target);
    return m_excel.RunMacro3(bookPath, "会社情報コンバート", a1, a2, a3, kDontSave);
}

int CBookOperator::MacroWithholdingSlip(const CString& bookPath, const CString& source,
                                        const CString& target) {
    return RunProtectedMacro(bookPath, "源泉徴収票コンバート", source, target);
}

int CBookOperator::MacroPayData(const CString& bookPath, const CString& source,
                                const CString& target) {
    return RunProtectedMacro(bookPath, "給与データコンバート", source, target);
}

int CBookOperator::MacroPayslip(const CString& bookPath, const CString& source,
                                const CString& target) {
    return RunProtectedMacro(bookPath, "給与明細コンバート", source, target);
}

int CBookOperator::MacroBonusSlip(const CString& bookPath, const CString& source,
                                  const CString& target) {
    return RunProtectedMacro(bookPath, "賞与明細コンバート", source, target);
}

int CBookOperator::MacroTaxRecalc(const CString& bookPath, const CString& source,
                                  const CString& target) {
    return RunProtectedMacro(bookPath, "差引徴収税額再計算", source, target);
}

int CBookOperator::MacroAttendance(const CString& bookPath, const CString& source,
                                   const CString& target) {
    return RunProtectedMacro(bookPath, "勤怠コンバート", source, target);
}
