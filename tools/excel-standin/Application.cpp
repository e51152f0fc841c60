#include "Application.h"

#include "RunCall.h"
#include "ServerLog.h"
#include "Workbooks.h"

const std::vector<CDispatchObject::Member>& CApplication::Members() const {
    // Run takes the macro name and up to 30 arguments, as Excel's does.
    static const std::vector<Member> members = {
        {L"Run", dispidRun, DISPATCH_METHOD, 1, 31},
        {L"Workbooks", dispidWorkbooks, DISPATCH_PROPERTYGET, 0, 0},
    };
    return members;
}

void CApplication::Call(DISPID dispid, const Args& args, VARIANT* result) {
    if (dispid == dispidRun) {
        CRunCall(m_books, ++m_nRuns).Execute(args, result);
        return;
    }
    LogEvent("Workbooks");
    result->vt = VT_DISPATCH;
    result->pdispVal = new CWorkbooks(this);
}
