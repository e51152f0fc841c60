#pragma once
#include "DispatchDriver_win.h"
#include "Wnd_win.h"

// One invisible Excel instance per run, created on the first macro call,
// with its alerts switched off (and again before each closing of its
// books).  A macro call opens a workbook, runs one named macro in it,
// closes the workbook and then the whole workbook collection.
class CExcelDriver : public CWnd {
public:
    ~CExcelDriver() override;

    int Connect();
    int IsConnected();
    int IsExcelWindowPresent();
    // The argument variants belong to the callee: they are cleared on every path.
    int RunMacro(const CString& bookPath, const CString& macroName, VARIANT& argument,
                 int saveChanges);
    int RunMacro3(const CString& bookPath, const CString& macroName, VARIANT& argument1,
                  VARIANT& argument2, VARIANT& argument3, int saveChanges);
    void CloseBook(int saveChanges);

    COleDispatchDriver m_app;   // the application
    COleDispatchDriver m_books; // its workbook collection, for one call
    COleDispatchDriver m_book;  // the workbook of the current call
    int m_bBookOpen = 0;
    int m_bCanCreate = 1;

private:
    bool SwitchOffAlerts();
    void PutAlertsOff();
    int RunInBook(const CString& bookPath, const CString& macroName, VARIANT* const* ppArgs,
                  UINT nArgs, int saveChanges);
    void CloseAllBooksAfterFailure();
    void ReleaseInstance();
};
