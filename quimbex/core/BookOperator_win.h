#pragma once
#include "CommandPlan.h"
#include "ExcelDriver_win.h"
#include "ExcelFileMap.h"

class CBookChanges;

// The operation context of one run: the Excel driver, the book map, the
// installed Excel version and the product's directory and workbook
// extension.  Every command and every macro call is one of its methods.
class CBookOperator : public CWnd {
public:
    CBookOperator() = default;

    void ReadExcelVersion();
    // Runs the operation of a command; its result is not the run's concern.
    void Execute(const CommandPlan& plan);

    // Commands.
    int ConvertSingleBook(const CString& workFile, const CString& bookFile);
    int AddBook(const CString& workFile, const CString& bookFile, const CString& newFile);
    int UpdateYear(const CString& workFile);
    int InitPayrollBook(const CString& workFile);
    int ConvertAllBooks(const CString& workFile, BOOL showResult);
    int InitAttendanceBook(const CString& workFile);
    int ChangeBookFormat(const CString& workFile);

    // Steps and helpers shared by the commands.
    int RebuildPayrollBook(const CString& workFile, const CString& name, const CString& key,
                           const CString& target);
    int RebuildAttendanceBook(const CString& workFile, const CString& name, const CString& key,
                              const CString& target);
    CString MakeUniquePath(CString path);
    CString GetFileNamePart(CString path);
    // 1 when the workbook has no password, else 0 after telling `protectedText`.
    int CheckUnprotected(const CString& workFile, const CString& bookFile,
                         const CString& protectedText);
    // What is told of a protected workbook that the text names.
    static CString ProtectedBookText(const CString& bookFile);
    // The format change's own steps.
    int SwitchAllBooksFormat(const CString& workFile);
    int SwitchFormatMarker(const CString& productDir, const CString& ext);

    // The workbook macros, run in the converter workbook bookPath.
    int MacroCheckProtect(const CString& bookPath, const CString& book);
    int MacroYearUpdate(const CString& bookPath, const CString& source, const CString& target);
    int MacroEmployeeList(const CString& bookPath, const CString& source, int mode,
                          const CString& target);
    int MacroCompanyInfo(const CString& bookPath, const CString& source, const CString& option,
                         const CString& target);
    int MacroWithholdingSlip(const CString& bookPath, const CString& source, const CString& target);
    int MacroPayData(const CString& bookPath, const CString& source, const CString& target);
    int MacroPayslip(const CString& bookPath, const CString& source, const CString& target);
    int MacroBonusSlip(const CString& bookPath, const CString& source, const CString& target);
    int MacroTaxRecalc(const CString& bookPath, const CString& source, const CString& target);
    int MacroAttendance(const CString& bookPath, const CString& source, const CString& target);

    CExcelDriver m_excel;
    CString m_strProductDir;      // no trailing backslash
    CString m_strBookExt;         // ".xls" or ".xlsm"
    int32_t m_nExcelVersion = -1; // -1: no Excel registered
    CExcelFileMap m_bookMap;
    // Set while a run over several books works that checked every book
    // before it began and puts back what it changed when it fails (the
    // format change); the rebuild steps note their changes there.
    CBookChanges* m_pRunChanges = nullptr;

private:
    bool ReplaceWithTemplate(const CString& workFile, const CString& excelDir, const CString& name,
                             const CString& backupPath, const CString& templ, const CString& ext,
                             const CString& target, CString& newName);
    int RunProtectedMacro(const CString& bookPath, const char* macroName, const CString& source,
                          const CString& target);
};
