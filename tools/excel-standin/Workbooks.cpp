#include "Workbooks.h"

#include "Application.h"
#include "AutomationError.h"
#include "ServerLog.h"
#include "VariantText.h"
#include "Workbook.h"

CWorkbooks::CWorkbooks(CApplication* app) : m_pApp(app) {
    m_pApp->AddRef();
}

CWorkbooks::~CWorkbooks() {
    m_pApp->Release();
}

const std::vector<CDispatchObject::Member>& CWorkbooks::Members() const {
    static const std::vector<Member> members = {
        {L"Open", dispidOpen, DISPATCH_METHOD, 1, 1},
        {L"Close", dispidClose, DISPATCH_METHOD, 0, 0},
    };
    return members;
}

void CWorkbooks::Call(DISPID dispid, const Args& args, VARIANT* result) {
    if (dispid == dispidOpen) {
        Open(*args[0], result);
        return;
    }
    CString line;
    line.Format("WorkbooksClose\t%d", m_pApp->Books().CloseAll());
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
void CWorkbooks::Open(const VARIANT& fileName, VARIANT* result) {
    if (fileName.vt != VT_BSTR) {
        LogUnexpected("Workbooks.Open: file name is " + DescribeVariant(fileName));
        throw CCallFailure{DISP_E_TYPEMISMATCH};
    }
    const CString path = NarrowFromBstr(fileName.bstrVal);
    const CString line = "Open\t" + path;
    try {
        if (ExcelStandin::ReadFaults().OpenFails())
            throw CAutomationError("Microsoft Excel はファイル '" + path +
                                   "' にアクセスできません。");
        auto book = m_pApp->Books().Open(FullPath(path));
        LogEvent(line);
        result->vt = VT_DISPATCH;
        result->pdispVal = new CWorkbook(m_pApp, book);
    } catch (const CAutomationError& e) {
        LogEvent(line + "\t=> ERROR:" + e.m_strDescription);
        throw;
    }
}
