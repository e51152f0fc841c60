#include "Workbooks.h"

#include "Application.h"
#include "AutomationError.h"
#include "ServerLog.h"
#include "VariantText.h"
#include "Workbook.h"

CWorkbooks::CWorkbooks(CApplication* app) : m_pApp(CComPtr<CApplication>::Share(app)) {}

CWorkbooks::~CWorkbooks() = default;

const std::vector<CDispatchObject::Member>& CWorkbooks::Members() const {
    static const std::vector<Member> members = {
        // FileName and the 14 optional arguments that follow it in Excel's
        // Workbooks.Open (UpdateLinks, ReadOnly, Format, Password ...).
        {L"Open", dispidOpen, DISPATCH_METHOD, 1, 15},
        {L"Close", dispidClose, DISPATCH_METHOD, 0, 0},
    };
    return members;
}

void CWorkbooks::Call(DISPID dispid, const Args& args, VARIANT* result) {
    if (dispid == dispidOpen) {
        Open(args, result);
        return;
    }
    CString line;
    line.Format("WorkbooksClose\t%d", m_pApp->Books().CloseAll(m_pApp->DisplayAlerts()));
    LogEvent(line);
}

namespace {

CString FullPath(const CString& path) {
    char full[MAX_PATH];
    const DWORD n = ::GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return (n > 0 && n < MAX_PATH) ? CString(full) : path;
}

} // namespace

// A relative name is taken from the current folder, as Excel does; the book
// keeps its full path, which the macros need to find the product directory.
// The optional arguments are logged and not acted on.
void CWorkbooks::Open(const Args& args, VARIANT* result) {
    const VARIANT& fileName = *args[0];
    if (fileName.vt != VT_BSTR) {
        LogUnexpected("Workbooks.Open: file name is " + DescribeVariant(fileName));
        throw CCallFailure{DISP_E_TYPEMISMATCH};
    }
    const CString path = NarrowFromBstr(fileName.bstrVal);
    CString line = "Open\t" + path;
    for (size_t i = 1; i < args.size(); ++i)
        line += "\t" + DescribeVariant(*args[i]);
    try {
        if (ExcelStandin::ReadFaults().OpenFails())
            throw CAutomationError("Microsoft Excel はファイル '" + path +
                                   "' にアクセスできません。");
        auto book = m_pApp->Books().Open(FullPath(path));
        LogEvent(line);
        result->vt = VT_DISPATCH;
        result->pdispVal = new CWorkbook(m_pApp.Get(), book);
    } catch (const CAutomationError& e) {
        LogEvent(line + "\t=> ERROR:" + e.m_strDescription);
        throw;
    }
}
