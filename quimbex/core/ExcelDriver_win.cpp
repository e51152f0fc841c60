#include "ExcelDriver_win.h"

#include "WinApp_win.h"

namespace {

// Excel's member identifiers, invoked by number.
constexpr DISPID kDispRun = 0x103;
constexpr DISPID kDispWorkbooks = 0x23C;
constexpr DISPID kDispOpen = 0x2AA;
constexpr DISPID kDispClose = 0x115;

// The macro's result is the 16-bit integer in the first two data bytes: a
// Boolean True (-1) counts as 1, and of a Long only the low word counts.
// An error value (CVErr(xlErrNA) holds 2042 there) and a String (the low
// word of a pointer) are no answer of a macro that did its work: failure.
int MacroResult(const VARIANT& result) {
    if (result.vt == VT_ERROR || result.vt == VT_BSTR)
        return 0;
    const short value = result.iVal;
    return value == -1 ? 1 : value;
}

} // namespace

CExcelDriver::~CExcelDriver() {
    ReleaseInstance();
}

int CExcelDriver::IsExcelWindowPresent() {
    return ::FindWindowA("XLMAIN", nullptr) ? 1 : 0;
}

int CExcelDriver::IsConnected() {
    return !m_app.IsEmpty() && IsExcelWindowPresent() ? 1 : 0;
}

// Creation is tried once per run: after a failure every call fails at once.
// An instance whose alerts cannot be switched off is not used: a prompt in
// it would wait for ever where nobody can see it.  That is reported as the
// automation error it is, and the next call tries a new instance.
int CExcelDriver::Connect() {
    if (IsConnected())
        return 1;
    if (!m_app.IsEmpty())
        m_app.ReleaseDispatch(); // Excel went away behind our back
    if (!m_bCanCreate)
        return 0;
    if (!m_app.CreateDispatch("Excel.Application")) {
        AfxMessageBox("Microsoft Excel がｲﾝｽﾄｰﾙされている必要があります\n処理を中断します");
        m_bCanCreate = 0;
        return 0;
    }
    if (SwitchOffAlerts())
        return 1;
    m_app.ReleaseDispatch();
    AfxMessageBox("コンバート処理を中断しました。");
    return 0;
}

// The instance is invisible: a question to save a workbook that a macro
// left changed, or any other alert, would never be answered.  With alerts
// off Excel takes the default answer (a workbook closed by Workbooks.Close
// is not saved).  The identifier is asked of each new instance by name.
bool CExcelDriver::SwitchOffAlerts() {
    try {
        PutAlertsOff();
        return true;
    } catch (const COleDispatchException&) {
    } catch (const COleException&) {
    }
    return false;
}

// Put again before every closing of the collection: a macro may have taken
// back what was set (one that switched the alerts off for its own work and
// on at its end, as Excel's own example does, or one that left them off,
// which Excel switches on when the macro ends).
void CExcelDriver::PutAlertsOff() {
    const DISPID displayAlerts = m_app.GetIDOfName("DisplayAlerts");
    COleVariant off;
    off.vt = VT_BOOL;
    off.boolVal = VARIANT_FALSE;
    VARIANT* args[] = {&off};
    m_app.Invoke(displayAlerts, DISPATCH_PROPERTYPUT, args, 1, nullptr);
}

int CExcelDriver::RunMacro(const CString& bookPath, const CString& macroName, VARIANT& argument,
                           int saveChanges) {
    VARIANT* args[] = {&argument};
    return RunInBook(bookPath, macroName, args, 1, saveChanges);
}

int CExcelDriver::RunMacro3(const CString& bookPath, const CString& macroName, VARIANT& argument1,
                            VARIANT& argument2, VARIANT& argument3, int saveChanges) {
    VARIANT* args[] = {&argument1, &argument2, &argument3};
    return RunInBook(bookPath, macroName, args, 3, saveChanges);
}

int CExcelDriver::RunInBook(const CString& bookPath, const CString& macroName,
                            VARIANT* const* ppArgs, UINT nArgs, int saveChanges) {
    // The caller's arguments are cleared however the call ends.
    const CClearedVariants clearer(ppArgs, nArgs);
    if (!Connect())
        return 0;
    try {
        m_books.AttachDispatch(
            m_app.InvokeForDispatch(kDispWorkbooks, DISPATCH_PROPERTYGET, nullptr, 0));
        COleVariant path(bookPath);
        VARIANT* openArgs[] = {&path};
        m_book.AttachDispatch(m_books.InvokeForDispatch(kDispOpen, DISPATCH_METHOD, openArgs, 1));
        m_bBookOpen = 1;

        COleVariant name(macroName);
        VARIANT* runArgs[4] = {&name};
        for (UINT i = 0; i < nArgs; ++i)
            runArgs[i + 1] = ppArgs[i];
        COleVariant result;
        m_app.Invoke(kDispRun, DISPATCH_METHOD, runArgs, nArgs + 1, &result);
        name.Clear();
        const int value = MacroResult(result);

        CloseBook(saveChanges);
        PutAlertsOff();
        m_books.Invoke(kDispClose, DISPATCH_METHOD, nullptr, 0, nullptr);
        return value;
    } catch (const COleDispatchException&) {
    } catch (const COleException&) {
    }
    CloseAllBooksAfterFailure();
    AfxMessageBox("コンバート処理を中断しました。");
    return 0;
}

void CExcelDriver::CloseBook(int saveChanges) {
    if (m_bBookOpen) {
        COleVariant save(static_cast<long>(saveChanges));
        VARIANT* args[] = {&save};
        m_book.Invoke(kDispClose, DISPATCH_METHOD, args, 1, nullptr);
    }
    m_bBookOpen = 0;
}

// After an automation error no workbook may stay open.  Excel may be gone
// already; that failure has just been reported, so a second one is not.
// Closing with the alerts on could ask a question nobody answers: an
// instance that will not switch them off is let go instead, and the next
// call makes a new one.  So is one that died: while another Excel's window
// is on the desktop, it would still look connected to every later call.
void CExcelDriver::CloseAllBooksAfterFailure() {
    try {
        PutAlertsOff();
    } catch (const COleDispatchException&) {
        ReleaseInstance();
        return;
    } catch (const COleException&) {
        ReleaseInstance();
        return;
    }
    if (m_books.IsEmpty())
        return;
    try {
        m_books.Invoke(kDispClose, DISPATCH_METHOD, nullptr, 0, nullptr);
    } catch (const COleDispatchException&) {
    } catch (const COleException&) {
    }
}

// Workbook first, application last; Excel is never asked to quit.
void CExcelDriver::ReleaseInstance() {
    m_book.ReleaseDispatch();
    m_books.ReleaseDispatch();
    m_app.ReleaseDispatch();
}
